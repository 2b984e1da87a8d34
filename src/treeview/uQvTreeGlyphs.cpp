#include "treeview/uQvTreeGlyphs.h"

#include <algorithm>

#include "framework/uQvPictures.h"
#include "platform/uQvGdiPrimitives.h"

namespace {
uint32_t Argb(TColor Color) {
    const COLORREF C = ColorToRGB(Color);
    return 0xFF000000u | (C & 0xFFu) << 16 | (C & 0xFF00u) | (C >> 16 & 0xFFu);
}

void Fill(TCanvas* C, const TRect& R, TColor Color) {
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}
}  // namespace

// ---- Dotted lines ---------------------------------------------------------------------

TQvDottedBrush::TQvDottedBrush() : FBrush(std::make_unique<TBrush>()) {}

TQvDottedBrush::~TQvDottedBrush() = default;

void TQvDottedBrush::SetColors(TColor Line, TColor Back) {
    if (Line == FLine && Back == FBack) return;
    FLine = Line;
    FBack = Back;
    TBitmap Pattern(8, 8);
    const uint32_t L = Argb(Line);
    const uint32_t B = Argb(Back);
    for (int Y = 0; Y < 8; ++Y) {
        uint32_t* Row = Pattern.ScanLine(Y);
        for (int X = 0; X < 8; ++X) Row[X] = ((X + Y) & 1) ? L : B;
    }
    FBrush->SetBitmap(&Pattern);
}

void TQvDottedBrush::Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
    const TRect R = Rect(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1);
    FillRect(Canvas->Handle(), &R, FBrush->Handle());
}

// ---- Buttons and check images ---------------------------------------------------------

void QvDrawExpandButton(TCanvas* C, int X, int Y, TQvButtonStyle Style, bool Expanded, TColor Frame,
                        TColor Fill_, TColor Sign) {
    constexpr int S = QvButtonSize;
    if (Style == bsTriangle) {
        C->Brush()->SetColor(Sign);
        C->Pen()->SetColor(Sign);
        if (Expanded)
            C->Polygon({TPoint{X, Y + 2}, TPoint{X + S - 1, Y + 2}, TPoint{X + S / 2, Y + S - 2}});
        else
            C->Polygon({TPoint{X + 2, Y}, TPoint{X + S - 3, Y + S / 2}, TPoint{X + 2, Y + S - 1}});
        return;
    }
    if (Fill_ != clNone) Fill(C, Rect(X + 1, Y + 1, X + S - 1, Y + S - 1), Fill_);
    C->Brush()->SetColor(Frame);
    C->FrameRect(Rect(X, Y, X + S, Y + S));
    Fill(C, Rect(X + 2, Y + S / 2, X + S - 2, Y + S / 2 + 1), Sign);
    if (!Expanded) Fill(C, Rect(X + S / 2, Y + 2, X + S / 2 + 1, Y + S - 2), Sign);
}

void QvDrawCheckImage(TCanvas* C, int X, int Y, TCheckType Type, TCheckState State, bool Hot, bool Disabled) {
    const bool Pressed = State == csUncheckedPressed || State == csCheckedPressed || State == csMixedPressed;
    const bool Checked = State == csCheckedNormal || State == csCheckedPressed;
    const bool Mixed = State == csMixedNormal || State == csMixedPressed;
    const TColor Frame = Disabled ? clGrayText : Hot ? clHighlight : clBtnShadow;
    const TColor Inside = Pressed || Disabled ? clBtnFace : clWindow;
    const TColor Mark = Disabled ? clGrayText : clWindowText;
    const TRect Box = Rect(X + 1, Y + 1, X + 14, Y + 14);
    switch (Type) {
        case ctNone:
            return;
        case ctRadioButton:
            C->Pen()->SetColor(Frame);
            C->Brush()->SetColor(Inside);
            C->Ellipse(Box);
            if (Checked) {
                C->Pen()->SetColor(Mark);
                C->Brush()->SetColor(Mark);
                C->Ellipse(Rect(X + 5, Y + 5, X + 10, Y + 10));
            }
            return;
        case ctButton: {
            TRect R = Box;
            DrawEdge(C->Handle(), &R, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
            return;
        }
        default:
            break;
    }
    Fill(C, Box, Inside);
    C->Brush()->SetColor(Frame);
    C->FrameRect(Box);
    if (Mixed && Type == ctTriStateCheckBox) {
        Fill(C, Rect(X + 4, Y + 4, X + 11, Y + 11), Disabled ? clGrayText : clBtnShadow);
    } else if (Checked) {
        // A tick three pixels thick: down from (4, 7) to (6, 9), then up to (10, 5).
        for (int I = 0; I < 3; ++I) {
            Fill(C, Rect(X + 4 + I, Y + 6 + I, X + 5 + I, Y + 9 + I), Mark);
            Fill(C, Rect(X + 7 + I, Y + 7 - I, X + 8 + I, Y + 10 - I), Mark);
        }
    }
}

// ---- Header marks ---------------------------------------------------------------------

void QvDrawSortArrow(TCanvas* C, int X, int Y, bool Ascending, TColor Color) {
    // Rows of 8, 6, 4, 2 and... pixels, centred: a triangle without antialiasing.
    for (int I = 0; I < QvSortArrowHeight - 1; ++I) {
        const int Row = Ascending ? Y + QvSortArrowHeight - 1 - I : Y + I;
        Fill(C, Rect(X + I, Row, X + QvSortArrowWidth - I, Row + 1), Color);
    }
}

void QvDrawDropMark(TCanvas* C, int X, int Y, TColor Color) {
    constexpr int S = QvDropMarkSize;
    Fill(C, Rect(X + S / 2 - 1, Y + 3, X + S / 2 + 1, Y + S - 3), Color);
    for (int I = 0; I < 4; ++I) {
        Fill(C, Rect(X + S / 2 - 4 + I, Y + I, X + S / 2 + 4 - I, Y + I + 1), Color);
        Fill(C, Rect(X + S / 2 - 4 + I, Y + S - 1 - I, X + S / 2 + 4 - I, Y + S - I), Color);
    }
}
