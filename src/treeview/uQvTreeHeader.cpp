#include "treeview/uQvTreeHeader.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "framework/uQvRegistry.h"
#include "treeview/uQvBaseTree.h"
#include "treeview/uQvTreeGlyphs.h"

TQvTreeHeader::TQvTreeHeader(TQvBaseTree* ATree)
    : FTree(ATree), FColumns(std::make_unique<TQvTreeColumns>(this)), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { Invalidate(); };
}

TQvTreeHeader::~TQvTreeHeader() = default;

TPersistent* TQvTreeHeader::GetOwner() const {
    return FTree;
}

bool TQvTreeHeader::Loading() const {
    return FTree->ComponentState().Contains(csLoading);
}

// ---- Properties -----------------------------------------------------------------------

void TQvTreeHeader::SetAutoSizeIndex(int Value) {
    if (FAutoSizeIndex == Value) return;
    FAutoSizeIndex = Value;
    RecalculateAutoSize();
}

void TQvTreeHeader::SetBackground(TColor Value) {
    if (FBackground == Value) return;
    FBackground = Value;
    Invalidate();
}

void TQvTreeHeader::SetDefaultHeight(int Value) {
    FDefaultHeight = std::clamp(Value, FMinHeight, FMaxHeight);
}

void TQvTreeHeader::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    Invalidate();
}

const TFont* TQvTreeHeader::CaptionFont() const {
    return FParentFont ? FTree->Font() : FFont.get();
}

void TQvTreeHeader::SetHeight(int Value) {
    Value = std::clamp(Value, FMinHeight, FMaxHeight);
    if (FHeight == Value) return;
    FHeight = Value;
    if (Visible()) FTree->HeaderFrameChanged();
}

void TQvTreeHeader::SetMinHeight(int Value) {
    FMinHeight = std::clamp(Value, 0, FMaxHeight);
    if (FHeight < FMinHeight) SetHeight(FMinHeight);
}

void TQvTreeHeader::SetMaxHeight(int Value) {
    FMaxHeight = std::max(Value, FMinHeight);
    if (FHeight > FMaxHeight) SetHeight(FMaxHeight);
}

int TQvTreeHeader::MainColumn() const {
    const int Count = FColumns->Count();
    return Count == 0 ? -1 : std::clamp(FMainColumn, 0, Count - 1);
}

void TQvTreeHeader::SetMainColumn(int Value) {
    if (Loading()) {
        FMainColumn = Value;
        return;
    }
    const int Count = FColumns->Count();
    Value = Count == 0 ? -1 : std::clamp(Value, 0, Count - 1);
    if (MainColumn() == Value && FMainColumn == Value) return;
    FMainColumn = Value;
    if (Count > 0) FTree->SetFocusedColumn(Value);
    FTree->Invalidate();
}

void TQvTreeHeader::SetOptions(TQvHeaderOptions Value) {
    if (FOptions == Value) return;
    const bool Frame = FOptions.Contains(hoVisible) != Value.Contains(hoVisible);
    const bool Auto = !FOptions.Contains(hoAutoResize) && Value.Contains(hoAutoResize);
    FOptions = Value;
    if (Frame) FTree->HeaderFrameChanged();
    if (Auto) RecalculateAutoSize();
    Invalidate();
}

int TQvTreeHeader::SortColumn() const {
    return FTree->SortColumn();
}

void TQvTreeHeader::SetSortColumn(int Value) {
    if (!Loading() && FColumns->Count() > 0) Value = std::min(Value, FColumns->Count() - 1);
    if (SortColumn() == Value) return;
    FTree->SetSortColumn(Value);
    Invalidate();
}

TQvSortDirection TQvTreeHeader::SortDirection() const {
    return FTree->SortDirection();
}

void TQvTreeHeader::SetSortDirection(TQvSortDirection Value) {
    if (SortDirection() == Value) return;
    FTree->SetSortDirection(Value);
    Invalidate();
}

void TQvTreeHeader::SetStyle(TQvHeaderStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Invalidate();
}

void TQvTreeHeader::Assign(const TPersistent* Source) {
    const auto* S = dynamic_cast<const TQvTreeHeader*>(Source);
    if (S == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FAutoSizeIndex = S->FAutoSizeIndex;
    FBackground = S->FBackground;
    FDefaultHeight = S->FDefaultHeight;
    FMinHeight = S->FMinHeight;
    FMaxHeight = S->FMaxHeight;
    FParentFont = S->FParentFont;
    FStyle = S->FStyle;
    FFont->Assign(S->FFont.get());
    FColumns->Assign(S->FColumns.get());
    SetOptions(S->FOptions);
    SetHeight(S->FHeight);
    SetMainColumn(S->FMainColumn);
    SetSortColumn(S->SortColumn());
    SetSortDirection(S->SortDirection());
    Invalidate();
}

// ---- Layout ---------------------------------------------------------------------------

void TQvTreeHeader::ColumnsChanged() {
    FColumns->UpdatePositions();
    RecalculateAutoSize();
    FTree->HeaderChanged();
    Invalidate();
}

void TQvTreeHeader::Loaded() {
    ColumnsChanged();
    if (FColumns->Count() > 0) FMainColumn = MainColumn();
}

void TQvTreeHeader::ColumnResized(int Column) {
    FTree->DoColumnResize(Column);
}

void TQvTreeHeader::RecalculateAutoSize(bool Force) {
    const int Count = FColumns->Count();
    if (!FOptions.Contains(hoAutoResize) || FAutoSizing || Count == 0 || FColumns->UpdateCount() > 0 ||
        Loading())
        return;
    const int Index = FAutoSizeIndex >= 0 && FAutoSizeIndex < Count ? FAutoSizeIndex : Count - 1;
    TQvTreeColumn* Auto = FColumns->Items(Index);
    int64_t Others = 0;
    for (int C : FColumns->VisibleOrder())
        if (C != Index) Others += FColumns->Items(C)->Width();
    const int64_t Client = FTree->HandleAllocated() ? FTree->ClientWidth() : FTree->Width();
    int64_t W = std::min<int64_t>(Client - Others, Auto->MaxWidth());
    W = std::max<int64_t>(W, Auto->MinWidth());
    if (W == Auto->Width() && !Force) return;
    FAutoSizing = true;
    Auto->FWidth = static_cast<int>(W);
    FColumns->UpdatePositions();
    FTree->HeaderChanged();
    Invalidate();
    FAutoSizing = false;
    ColumnResized(Index);
}

std::vector<int> TQvTreeHeader::WidestInView() const {
    const int Count = FColumns->Count();
    std::vector<int> Widest(static_cast<size_t>(Count), -1);
    const TQvAliveCheck Alive = FTree->AliveCheck();
    int Top = 0;
    PQvNode N = FTree->GetNodeAt(0, 0, true, Top);
    for (; N != nullptr && Top < FTree->ClientHeight(); N = FTree->GetNextVisible(N)) {
        const TQvNodeRef Ref(FTree, N);
        for (int C : FColumns->VisibleOrder()) {
            const int W = FTree->CellGeometry(N, C).TextLeft() + FTree->NodeWidth(N, C);
            // A handler that changed the tree or its columns ends the measuring.
            if (!Alive.Alive() || Ref.Node() == nullptr || FColumns->Count() != Count) return {};
            Widest[static_cast<size_t>(C)] = std::max(Widest[static_cast<size_t>(C)], W);
        }
        Top += N->NodeHeight;
    }
    return Widest;
}

void TQvTreeHeader::AutoFitColumns() {
    const std::vector<int> Widest = WidestInView();
    if (Widest.empty()) return;
    FRestoreWidths.clear();
    for (int I = 0; I < FColumns->Count(); ++I) FRestoreWidths.push_back(FColumns->Items(I)->Width());
    FColumns->BeginUpdate();
    for (int C : FColumns->VisibleOrder())
        if (Widest[static_cast<size_t>(C)] >= 0) FColumns->Items(C)->SetWidth(Widest[static_cast<size_t>(C)]);
    FColumns->EndUpdate();
}

void TQvTreeHeader::RestoreColumns() {
    if (FRestoreWidths.size() != static_cast<size_t>(FColumns->Count())) return;
    FColumns->BeginUpdate();
    for (int I = 0; I < FColumns->Count(); ++I) FColumns->Items(I)->SetWidth(FRestoreWidths[static_cast<size_t>(I)]);
    FColumns->EndUpdate();
    FRestoreWidths.clear();
}

void TQvTreeHeader::ChangeScale(int M, int D) {
    if (M == D || D <= 0 || M <= 0) return;
    // Rounded to nearest in 64 bits and saturated: a wide column stays wide.
    const auto Scale = [M, D](int V) {
        return static_cast<int>(std::clamp<int64_t>((int64_t{V} * M + D / 2) / D, INT_MIN, INT_MAX));
    };
    SetHeight(Scale(FHeight));
    if (!FParentFont) FFont->SetHeight(MulDiv(FFont->Height(), M, D));
    FColumns->BeginUpdate();
    for (int I = 0; I < FColumns->Count(); ++I) {
        TQvTreeColumn* C = FColumns->Items(I);
        C->SetWidth(Scale(C->Width()));
    }
    FColumns->EndUpdate();
}

void TQvTreeHeader::Invalidate() {
    if (Visible()) FTree->InvalidateHeader();
}

// ---- Mouse ----------------------------------------------------------------------------

int TQvTreeHeader::ResizeColumnAt(int X) const {
    if (!FOptions.Contains(hoColumnResize)) return -1;
    const int Content = X - FTree->OffsetX();
    // From the right, so that a zero-width column's border is reachable last.
    const std::vector<int>& Order = FColumns->VisibleOrder();
    for (auto It = Order.rbegin(); It != Order.rend(); ++It) {
        const TQvTreeColumn* C = FColumns->Items(*It);
        const int Right = C->Left() + C->Width();
        if (std::abs(Content - Right) <= ResizeZone) return C->Options().Contains(coResizable) ? *It : -1;
    }
    return -1;
}

TRect TQvTreeHeader::CheckBoxRect(int Column) const {
    if (!FOptions.Contains(hoShowImages) || Column < 0 || Column >= FColumns->Count()) return TRect{};
    const TQvTreeColumn* C = FColumns->Items(Column);
    if (!C->CheckBox() || !C->Visible()) return TRect{};
    const int Left = C->Left() + FTree->OffsetX() + 2 + C->Margin(), Middle = FHeight / 2;
    return Rect(Left, Middle - QvCheckImageSize / 2, Left + QvCheckImageSize, Middle + QvCheckImageSize / 2);
}

bool TQvTreeHeader::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!Visible() || Y < 0 || Y >= FHeight) return false;
    // A quick second click is a click too, unless it fits a column.
    if (Button != mbLeft || Tracking()) return true;
    FTrackStart = TPoint{X, Y};
    if (Shift.Contains(ssDouble) && FOptions.Contains(hoDblClickResize)) {
        // A double click on a border fits that column to its widest row in view.
        if (const int R = ResizeColumnAt(X); R >= 0) {
            const std::vector<int> Widest = WidestInView();
            if (!Widest.empty() && Widest[static_cast<size_t>(R)] >= 0)
                FColumns->Items(R)->SetWidth(Widest[static_cast<size_t>(R)]);
            return true;
        }
    }
    if (const int R = ResizeColumnAt(X); R >= 0) {
        FTrack = tkResizing;
        FTrackColumn = R;
        FTrackWidth = FColumns->Items(R)->Width();
        return true;
    }
    int L, Rt;
    const int C = FColumns->ColumnFromX(X - FTree->OffsetX(), L, Rt);
    if (C < 0) return true;
    const TQvColumnOptions O = FColumns->Items(C)->Options();
    const bool Clicks = O.Contains(coAllowClick) && O.Contains(coEnabled);
    const bool Drags = FOptions.Contains(hoDrag) && O.Contains(coDraggable);
    if (!Clicks && !Drags) return true;
    FTrack = tkPressed;
    FTrackColumn = C;
    if (Clicks) {
        FColumns->FPressedColumn = C;
        FColumns->FCheckBoxHit = PtInRect(CheckBoxRect(C), TPoint{X, Y});
        Invalidate();
    }
    return true;
}

bool TQvTreeHeader::MouseMove(TShiftState, int X, int Y) {
    int L, R;
    switch (FTrack) {
        case tkResizing:
            FColumns->Items(FTrackColumn)->SetWidth(FTrackWidth + X - FTrackStart.X);
            return true;
        case tkPressed:
            if (FOptions.Contains(hoDrag) && FColumns->Items(FTrackColumn)->Options().Contains(coDraggable) &&
                std::abs(X - FTrackStart.X) >= DragThreshold) {
                FTrack = tkDragging;
                FColumns->FPressedColumn = -1;
                FColumns->FDragColumn = FTrackColumn;
                Invalidate();
            } else {
                return true;
            }
            [[fallthrough]];
        case tkDragging: {
            const int C = FColumns->ColumnFromX(X - FTree->OffsetX(), L, R);
            const bool Mark = C >= 0 && C != FTrackColumn;
            SetDropTarget(Mark ? C : -1, X - FTree->OffsetX() < (L + R) / 2);
            return true;
        }
        case tkNone:
            break;
    }
    const bool Over = Visible() && Y >= 0 && Y < FHeight;
    SetHover(Over ? FColumns->ColumnFromX(X - FTree->OffsetX(), L, R) : -1);
    return Over;
}

bool TQvTreeHeader::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!Tracking()) return Visible() && Y >= 0 && Y < FHeight;
    if (Button != mbLeft) return true;
    const TTrack Track = FTrack;
    const int Column = FTrackColumn;
    const int Pressed = FColumns->FPressedColumn;
    const int Target = FColumns->FDropTarget;
    const bool Before = FColumns->FDropBefore;
    const bool OnCheckBox = FColumns->FCheckBoxHit;
    CancelTracking();
    if (Track == tkDragging && Target >= 0) {
        const int From = FColumns->Items(Column)->Position();
        int To = FColumns->Items(Target)->Position();
        if (From < To) --To;
        FColumns->MoveColumn(Column, Before ? To : To + 1);
    } else if (Track == tkPressed && Pressed >= 0 && Y >= 0 && Y < FHeight) {
        int L, R;
        if (FColumns->ColumnFromX(X - FTree->OffsetX(), L, R) == Pressed) {
            TQvHeaderHitInfo Hit;
            Hit.X = X;
            Hit.Y = Y;
            Hit.Button = Button;
            Hit.Shift = Shift;
            Hit.Column = Pressed;
            Hit.OnCheckBox = OnCheckBox && PtInRect(CheckBoxRect(Pressed), TPoint{X, Y});
            if (OnCheckBox && !Hit.OnCheckBox) return true;
            HeaderClick(Hit);
        }
    }
    return true;
}

void TQvTreeHeader::HeaderClick(const TQvHeaderHitInfo& Hit) {
    const TQvAliveCheck Alive = FTree->AliveCheck();
    if (Hit.OnCheckBox) {
        // The check box toggles; it does not sort.
        TQvTreeColumn* C = FColumns->Items(Hit.Column);
        const bool Checked = C->CheckState() == csCheckedNormal || C->CheckState() == csCheckedPressed;
        C->SetCheckState(C->CheckType() == ctRadioButton || !Checked ? csCheckedNormal : csUncheckedNormal);
    } else if (FOptions.Contains(hoHeaderClickAutoSort)) {
        if (Hit.Column == SortColumn()) {
            SetSortDirection(SortDirection() == sdAscending ? sdDescending : sdAscending);
        } else {
            // One sort for the new column and its direction.
            FTree->BeginUpdate();
            FTree->SetSortColumn(Hit.Column);
            FTree->SetSortDirection(FColumns->Items(Hit.Column)->DefaultSortDirection());
            FTree->EndUpdate();
            Invalidate();
        }
        if (!Alive.Alive()) return;
    }
    FTree->DoHeaderClick(Hit);
}

void TQvTreeHeader::MouseLeave() {
    if (!Tracking()) SetHover(-1);
}

void TQvTreeHeader::CancelTracking() {
    const bool Marks =
        FColumns->FPressedColumn >= 0 || FColumns->FDragColumn >= 0 || FColumns->FDropTarget >= 0;
    FTrack = tkNone;
    FTrackColumn = -1;
    FColumns->FPressedColumn = -1;
    FColumns->FDragColumn = -1;
    FColumns->FDropTarget = -1;
    FColumns->FCheckBoxHit = false;
    if (Marks) Invalidate();
}

void TQvTreeHeader::SetHover(int Column) {
    if (FColumns->FHoverColumn == Column) return;
    FColumns->FHoverColumn = Column;
    if (FOptions.Contains(hoHotTrack)) Invalidate();
}

void TQvTreeHeader::SetDropTarget(int Column, bool Before) {
    if (FColumns->FDropTarget == Column && FColumns->FDropBefore == Before) return;
    FColumns->FDropTarget = Column;
    FColumns->FDropBefore = Before;
    Invalidate();
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvTreeHeader() {
    RegisterEnum<TQvHeaderOption>(
        u"TQvHeaderOption",
        {u"hoAutoResize", u"hoColumnResize", u"hoDblClickResize", u"hoDrag", u"hoHotTrack", u"hoOwnerDraw",
         u"hoRestrictDrag", u"hoShowHint", u"hoShowImages", u"hoShowSortGlyphs", u"hoVisible",
         u"hoAutoSpring", u"hoFullRepaintOnResize", u"hoDisableAnimatedResize", u"hoHeightResize",
         u"hoHeightDblClickResize", u"hoHeaderClickAutoSort"});
    RegisterEnum<TQvHeaderStyle>(u"TQvHeaderStyle", {u"hsThickButtons", u"hsFlatButtons", u"hsPlates"});
    using H = TQvTreeHeader;
    // Columns before the column indexes that refer to them.
    RegisterClass<TQvTreeHeader, TPersistent>(u"TQvTreeHeader")
        .Object(u"Columns", &H::Columns)
        .Prop(u"AutoSizeIndex", &H::AutoSizeIndex, &H::SetAutoSizeIndex, 0)
        .Color(u"Background", &H::Background, &H::SetBackground, clBtnFace)
        .Prop(u"DefaultHeight", &H::DefaultHeight, &H::SetDefaultHeight, 19)
        .Object(u"Font", &H::Font)
        .Prop(u"ParentFont", &H::ParentFont, &H::SetParentFont, false)
        .Prop(u"MinHeight", &H::MinHeight, &H::SetMinHeight, 10)
        .Prop(u"MaxHeight", &H::MaxHeight, &H::SetMaxHeight, 10000)
        .Prop(u"Height", &H::Height, &H::SetHeight, 19)
        .Prop(u"MainColumn", &H::MainColumn, &H::SetMainColumn, 0)
        .Stored([](H* Self) { return Self->Columns()->Count() > 0; })
        .Prop(u"Options", &H::Options, &H::SetOptions, DefaultHeaderOptions)
        .Prop(u"SortColumn", &H::SortColumn, &H::SetSortColumn, -1)
        .Prop(u"SortDirection", &H::SortDirection, &H::SetSortDirection, sdAscending)
        .Prop(u"Style", &H::Style, &H::SetStyle, hsThickButtons);
}
