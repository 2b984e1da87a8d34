#include "skin_sheet.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/uQvPixel.h"
#include "platform/uQvBase.h"
#include "skin_paint.h"
#include "skin_styles.h"

namespace {

constexpr int SheetW = 1640;
constexpr int Margin = 24;
constexpr int Gap = 14;      // between cells
constexpr int Pad = 8;       // inside a cell, around its image
constexpr int FrameGap = 6;  // between the frames of a strip
constexpr int LabelH = 13;
constexpr TColor32 Ground = 0xFFE4E7EB;
constexpr TColor32 Card = 0xFFF7F8FA;
constexpr TColor32 CardEdge = 0xFFD3D8DF;
constexpr TColor32 LabelInk = 0xFF3A414B;
constexpr TColor32 NoteInk = 0xFF7A8290;
const String LabelFace = u"DejaVu Sans";

// Headings of the sheet, each before the image it names.
const struct {
    const char* First;
    const char* Title;
} Sections[] = {
    {"PelluxCheckBox", "Check and radio marks"},
    {"PelluxButton", "Buttons"},
    {"PelluxBtn_close", "Caption buttons"},
    {"PelluxMsgIcon_Error", "Message icons"},
    {"PelluxBorderHot", "Borders, tips, previews and edit parts"},
    {"PelluxMenu_bk", "Menus and tabs"},
    {"PelluxBar_base", "Progress bars"},
    {"PelluxScrollbar_bar_down", "Scroll bars"},
    {"PelluxSwitch_on", "Switch, tool-bar scroll buttons, date picker, spin buttons"},
    {"bj", "Application: bars, buttons and backgrounds"},
    {"icons8-trash-32", "Application: icons, image buttons and edit styles"},
    {"icons8-account-17", "Navigation icons"},
    {"1", "Tool-bar and edit icons"},
};

// Images drawn for coloured surfaces are shown on the accent colour.
bool OnAccent(const TSkinImage& I) {
    static const char* const Styles[] = {"cap-light", "cap-light-close", "bar-glyph",  "tips-close",
                                         "tabs",      "nav-hot",         "icon-white", "tab-close"};
    for (const char* S : Styles)
        if (std::strcmp(I.Style, S) == 0) return true;
    return std::strcmp(I.ResID, "fdfd") == 0;
}

void Text(TSurface32& Sheet, const std::string& S, int X, int Y, int Height, bool Bold, TColor32 C) {
    const String T = Utf8ToString(S);
    const TSize Size = TSkinPaint::TextSize(T, LabelFace, Height, Bold);
    const int W = std::min(Size.cx + 2, Sheet.Width() - X), H = std::min(Size.cy + 2, Sheet.Height() - Y);
    if (W <= 0 || H <= 0) return;
    TSkinPaint P(Sheet, X, Y, W, H);
    P.Paint(P.TextMask(T, LabelFace, Height, Bold, 0, 0), TInk::Solid(C));
}

int TextW(const std::string& S, int Height, bool Bold) {
    return TSkinPaint::TextSize(Utf8ToString(S), LabelFace, Height, Bold).cx;
}

void Fill(TSurface32& S, int X, int Y, int W, int H, TColor32 C) {
    S.FillRectS(X, Y, X + W, Y + H, C);
}

void Frame(TSurface32& S, int X, int Y, int W, int H, TColor32 C) {
    S.FrameRectS(X, Y, X + W, Y + H, C);
}

// Source-over of a part of Src at (X, Y).
void Put(TSurface32& Dst, const TSurface32& Src, int Sx, int Sy, int W, int H, int X, int Y) {
    for (int J = 0; J < H; ++J)
        for (int I = 0; I < W; ++I) {
            TColor32& D = *Dst.PixelPtr(X + I, Y + J);
            D = MergeOver(*Src.PixelPtr(Sx + I, Sy + J), D);
        }
}

struct TCell {
    int Index;
    int W;
    int H;
};

// The cell of an image: its frames with gaps (side by side, or stacked for vertical
// strips), each frame's label under it, the image's name and size below the card.
struct TLayout {
    int ImageW;
    int ImageH;
    int StepX;  // from one frame to the next
    int StepY;
};

TLayout LayoutOf(const TSkinImage& I) {
    const int N = I.Frames(), Fw = I.FrameW(), Fh = I.FrameH();
    if (N == 1) return {I.W, I.H, 0, 0};
    if ((I.Flags & fVertical) != 0)
        return {Fw, N * (Fh + LabelH) + (N - 1) * FrameGap, 0, Fh + LabelH + FrameGap};
    return {N * Fw + (N - 1) * FrameGap, Fh + LabelH, Fw + FrameGap, 0};
}

TCell Measure(int Index, const TSkinImage& I) {
    const TLayout L = LayoutOf(I);
    const int TitleW = std::max(TextW(I.ResID, 11, true), TextW("000 x 000, 0 frames", 10, false));
    return {Index, std::max(L.ImageW + 2 * Pad, TitleW + 2 * Pad), L.ImageH + 2 * Pad + 2 * LabelH + 4};
}

void DrawCell(TSurface32& Sheet, const TSkinImage& I, const TSurface32& Image, int X, int Y, const TCell& C) {
    const int N = I.Frames(), Fw = I.FrameW(), Fh = I.FrameH();
    const TLayout L = LayoutOf(I);
    const int BoxH = L.ImageH + 2 * Pad;
    Fill(Sheet, X, Y, C.W, BoxH, OnAccent(I) ? Palette::Accent : Card);
    Frame(Sheet, X, Y, C.W, BoxH, CardEdge);
    const int Ix = X + (C.W - L.ImageW) / 2, Iy = Y + Pad;
    const bool V = (I.Flags & fVertical) != 0;
    for (int K = 0; K < N; ++K) {
        const int Fx = Ix + K * L.StepX, Fy = Iy + K * L.StepY;
        Put(Sheet, Image, V ? 0 : K * Fw, V ? K * Fh : 0, Fw, Fh, Fx, Fy);
        if (N == 1) continue;
        // The state's name when it fits under the frame, else its letter.
        std::string Label = std::to_string(K) + " " + StateName(I.States[K]);
        if (TextW(Label, 9, false) > Fw + FrameGap) Label = std::to_string(K) + std::string(1, I.States[K]);
        Text(Sheet, Label, Fx + (Fw - TextW(Label, 9, false)) / 2, Fy + Fh + 2, 9, false,
             OnAccent(I) ? 0xE6FFFFFF : NoteInk);
    }
    Text(Sheet, I.ResID, X + 2, Y + BoxH + 3, 11, true, LabelInk);
    std::string Note = std::to_string(I.W) + " x " + std::to_string(I.H);
    if (N > 1) Note += ", " + std::to_string(N) + (V ? " stacked" : " frames");
    if ((I.Flags & fOpaque) != 0) Note += ", opaque";
    Text(Sheet, Note, X + 2, Y + BoxH + 3 + LabelH + 1, 10, false, NoteInk);
}

const char* SectionAt(const TSkinImage& I) {
    for (const auto& S : Sections)
        if (std::strcmp(S.First, I.ResID) == 0) return S.Title;
    return nullptr;
}

}  // namespace

std::unique_ptr<TSurface32> MakeContactSheet(const std::vector<std::unique_ptr<TSurface32>>& Images) {
    const std::vector<TSkinImage>& Table = SkinImages();
    // Lay the cells out in rows, a section heading starting a new row.
    struct TPlaced {
        TCell Cell;
        int X;
        int Y;
        const char* Section;
    };
    std::vector<TPlaced> Placed;
    int X = Margin, Y = Margin + 44, RowH = 0;
    for (int I = 0; I < static_cast<int>(Table.size()); ++I) {
        const TCell C = Measure(I, Table[I]);
        const char* Section = SectionAt(Table[I]);
        if (Section != nullptr || X + C.W > SheetW - Margin) {
            if (X > Margin) Y += RowH + Gap;
            X = Margin;
            RowH = 0;
            if (Section != nullptr) Y += 26;
        }
        Placed.push_back({C, X, Y, Section});
        X += C.W + Gap;
        RowH = std::max(RowH, C.H);
    }
    auto Sheet = std::make_unique<TSurface32>();
    Sheet->SetSize(SheetW, Y + RowH + Margin);
    Sheet->Clear(Ground);
    Text(*Sheet, "Varnoth skin images at 100 %", Margin, Margin - 4, 18, true, LabelInk);
    Text(*Sheet,
         "Frames: n normal, h hot, p pressed, d disabled, x focused, s selected, c checked, C checked hot. "
         "Images for coloured surfaces are shown on the accent colour.",
         Margin, Margin + 22, 11, false, NoteInk);
    for (const TPlaced& P : Placed) {
        if (P.Section != nullptr) Text(*Sheet, P.Section, Margin, P.Y - 22, 13, true, LabelInk);
        DrawCell(*Sheet, Table[P.Cell.Index], *Images[P.Cell.Index], P.X, P.Y, P.Cell);
    }
    return Sheet;
}
