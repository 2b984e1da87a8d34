#include "treeview/uQvTreeColumns.h"

#include <algorithm>
#include <climits>
#include <numeric>

#include "draw/uQvSurfaceTypes.h"
#include "framework/uQvRegistry.h"
#include "treeview/uQvBaseTree.h"
#include "treeview/uQvTreeHeader.h"
#include "treeview/uQvTreeHeaderPaint.h"

// ---- TQvTreeColumn --------------------------------------------------------------------

TQvTreeColumn::TQvTreeColumn(TCollection* ACollection) : TCollectionItem(ACollection) {
    const auto* Columns = dynamic_cast<TQvTreeColumns*>(ACollection);
    FWidth = Columns != nullptr ? Columns->DefaultWidth() : 50;
    // Behind every column there is; the collection renumbers.
    FPosition = INT_MAX;
}

TQvTreeColumns* TQvTreeColumn::Owner() const {
    return static_cast<TQvTreeColumns*>(Collection());
}

int TQvTreeColumn::Left() const {
    return Visible() ? ClampToInt(FLeft) : 0;
}

String TQvTreeColumn::DisplayName() const {
    return FText.empty() ? TCollectionItem::DisplayName() : FText;
}

void TQvTreeColumn::Changed() {
    TQvTreeColumns* C = Owner();
    if (C == nullptr || C->UpdateCount() > 0) return;
    C->FHeader->ColumnsChanged();
}

#define QV_COLUMN_SETTER(Name, Type, Field)     \
    void TQvTreeColumn::Set##Name(Type Value) { \
        if (Field == Value) return;             \
        Field = Value;                          \
        Changed();                              \
    }
QV_COLUMN_SETTER(Alignment, TAlignment, FAlignment)
QV_COLUMN_SETTER(CaptionAlignment, TAlignment, FCaptionAlignment)
QV_COLUMN_SETTER(CheckBox, bool, FCheckBox)
QV_COLUMN_SETTER(CheckType, TCheckType, FCheckType)
QV_COLUMN_SETTER(CheckState, TCheckState, FCheckState)
QV_COLUMN_SETTER(ImageIndex, int, FImageIndex)
QV_COLUMN_SETTER(Layout, TQvHeaderColumnLayout, FLayout)
QV_COLUMN_SETTER(Margin, int, FMargin)
QV_COLUMN_SETTER(Spacing, int, FSpacing)
QV_COLUMN_SETTER(Style, TQvTreeColumnStyle, FStyle)
QV_COLUMN_SETTER(Text, const String&, FText)
#undef QV_COLUMN_SETTER

void TQvTreeColumn::SetColor(TColor Value) {
    if (FColor == Value && !FOptions.Contains(coParentColor)) return;
    FColor = Value;
    FOptions.Exclude(coParentColor);
    Changed();
}

void TQvTreeColumn::SetOptions(TQvColumnOptions Value) {
    if (FOptions == Value) return;
    FOptions = Value;
    Changed();
}

void TQvTreeColumn::SetMinWidth(int Value) {
    Value = std::max(Value, 0);
    if (FMinWidth == Value) return;
    FMinWidth = Value;
    if (FMaxWidth < Value) FMaxWidth = Value;
    if (FWidth < Value)
        SetWidth(Value);
    else
        Changed();
}

void TQvTreeColumn::SetMaxWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    if (FMaxWidth == Value) return;
    FMaxWidth = Value;
    if (FWidth > Value)
        SetWidth(Value);
    else
        Changed();
}

void TQvTreeColumn::SetWidth(int Value) {
    Value = std::clamp(Value, FMinWidth, FMaxWidth);
    if (FWidth == Value) return;
    FWidth = Value;
    TQvTreeColumns* C = Owner();
    if (C == nullptr || C->UpdateCount() > 0) return;
    C->FHeader->ColumnsChanged();
    C->FHeader->ColumnResized(Index());
}

void TQvTreeColumn::SetPosition(int Value) {
    TQvTreeColumns* C = Owner();
    if (C == nullptr || C->FHeader->Loading() || C->UpdateCount() > 0) {
        // Stored layouts give every column's position in turn; the layout sorts them.
        FPosition = Value;
        return;
    }
    if (Value == FPosition) return;
    C->MoveColumn(Index(), Value);
}

void TQvTreeColumn::Assign(const TPersistent* Source) {
    const auto* S = dynamic_cast<const TQvTreeColumn*>(Source);
    if (S == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAlignment = S->FAlignment;
    FCaptionAlignment = S->FCaptionAlignment;
    FCheckBox = S->FCheckBox;
    FCheckType = S->FCheckType;
    FCheckState = S->FCheckState;
    FColor = S->FColor;
    FDefaultSortDirection = S->FDefaultSortDirection;
    FHint = S->FHint;
    FTag = S->FTag;
    FImageIndex = S->FImageIndex;
    FLayout = S->FLayout;
    FMargin = S->FMargin;
    FSpacing = S->FSpacing;
    FMaxWidth = S->FMaxWidth;
    FMinWidth = S->FMinWidth;
    FOptions = S->FOptions;
    FPosition = S->FPosition;
    FStyle = S->FStyle;
    FText = S->FText;
    FWidth = S->FWidth;
    Changed();
}

// ---- TQvTreeColumns -------------------------------------------------------------------

TQvTreeColumns::TQvTreeColumns(TQvTreeHeader* AHeader)
    : TOwnedCollection(AHeader, CollectionItemClass<TQvTreeColumn>()), FHeader(AHeader) {}

void TQvTreeColumns::Update(TCollectionItem*) {
    FHeader->ColumnsChanged();
}

void TQvTreeColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    // Every column that leaves is extracted (a deletion announces itself twice).
    if (Action != cnExtracting) return;
    // A column that goes takes the marks that point at it along.
    const int Index = Item->Index();
    for (int* Mark : {&FHoverColumn, &FPressedColumn, &FDragColumn, &FDropTarget})
        if (*Mark == Index)
            *Mark = -1;
        else if (*Mark > Index)
            --*Mark;
    if (FHeader->FTrackColumn == Index) FHeader->CancelTracking();
}

void TQvTreeColumns::UpdatePositions() {
    const int N = Count();
    FPositionToIndex.resize(static_cast<size_t>(N));
    std::iota(FPositionToIndex.begin(), FPositionToIndex.end(), 0);
    // Ties (a new column, positions read from a layout) keep the index order.
    std::stable_sort(FPositionToIndex.begin(), FPositionToIndex.end(),
                     [this](int A, int B) { return Items(A)->FPosition < Items(B)->FPosition; });
    FVisible.clear();
    int64_t Left = 0;
    for (int P = 0; P < N; ++P) {
        TQvTreeColumn* C = Items(FPositionToIndex[static_cast<size_t>(P)]);
        C->FPosition = P;
        C->FLeft = Left;
        if (!C->Visible()) continue;
        FVisible.push_back(C->Index());
        Left += C->FWidth;
    }
    FTotalWidth = Left;
}

void TQvTreeColumns::MoveColumn(int Column, int Position) {
    if (Column < 0 || Column >= Count()) return;
    UpdatePositions();
    Position = std::clamp(Position, 0, Count() - 1);
    auto& Order = FPositionToIndex;
    Order.erase(std::find(Order.begin(), Order.end(), Column));
    Order.insert(Order.begin() + Position, Column);
    for (int P = 0; P < Count(); ++P) Items(Order[static_cast<size_t>(P)])->FPosition = P;
    FHeader->ColumnsChanged();
}

int TQvTreeColumns::ColumnFromPosition(int Position) const {
    if (Position < 0 || Position >= static_cast<int>(FPositionToIndex.size())) return -1;
    return FPositionToIndex[static_cast<size_t>(Position)];
}

int TQvTreeColumns::NextVisibleColumn(int Column, bool Backwards) const {
    const auto It = std::find(FVisible.begin(), FVisible.end(), Column);
    if (It == FVisible.end()) return -1;
    if (Backwards) return It == FVisible.begin() ? -1 : *(It - 1);
    return It + 1 == FVisible.end() ? -1 : *(It + 1);
}

int TQvTreeColumns::ColumnFromX(int X, int& Left, int& Right) const {
    Left = Right = 0;
    if (X < 0 || X >= FTotalWidth) return -1;
    // Visible columns' edges grow from the left: a binary search over them.
    const auto It = std::upper_bound(FVisible.begin(), FVisible.end(), int64_t{X},
                                     [this](int64_t V, int C) { return V < Items(C)->FLeft; });
    if (It == FVisible.begin()) return -1;
    const TQvTreeColumn* C = Items(*(It - 1));
    Left = ClampToInt(C->FLeft);
    Right = ClampToInt(C->FLeft + C->FWidth);
    return C->Index();
}

void TQvTreeColumns::ColumnEdges(int Column, int& Left, int& Right) const {
    Left = Right = 0;
    if (Column < 0 || Column >= Count() || !Items(Column)->Visible()) return;
    const TQvTreeColumn* C = Items(Column);
    Left = ClampToInt(C->FLeft);
    Right = ClampToInt(C->FLeft + C->FWidth);
}

void TQvTreeColumns::GetColumnBounds(int Column, int& Left, int& Right) const {
    ColumnEdges(Column, Left, Right);
    const int Offset = FHeader->Tree()->OffsetX();
    Left = ClampToInt(int64_t{Left} + Offset);
    Right = ClampToInt(int64_t{Right} + Offset);
}

int TQvTreeColumns::TotalWidth() const {
    return ClampToInt(FTotalWidth);
}

void TQvTreeColumns::PaintHeader(TCanvas* Canvas, const TRect& R, TPoint Target, int RTLOffset) {
    QvPaintHeader(*FHeader, Canvas, R, Target, RTLOffset);
}

// ---- Registration ---------------------------------------------------------------------

void RegisterQvTreeColumns() {
    RegisterEnum<TQvColumnOption>(
        u"TQvColumnOption",
        {u"coAllowClick", u"coDraggable", u"coEnabled", u"coParentBidiMode", u"coParentColor", u"coResizable",
         u"coShowDropMark", u"coVisible", u"coAutoSpring", u"coFixed", u"coSmartResize", u"coAllowFocus",
         u"coDisableAnimatedResize", u"coWrapCaption", u"coUseCaptionAlignment"});
    RegisterEnum<TQvTreeColumnStyle>(u"TQvTreeColumnStyle", {u"vsText", u"vsOwnerDraw"});
    RegisterEnum<TQvHeaderColumnLayout>(u"TQvHeaderColumnLayout",
                                        {u"blGlyphLeft", u"blGlyphRight", u"blGlyphTop", u"blGlyphBottom"});
    using C = TQvTreeColumn;
    RegisterClass<TQvTreeColumn, TCollectionItem>(u"TQvTreeColumn")
        .Prop(u"Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify)
        .Prop(u"CaptionAlignment", &C::CaptionAlignment, &C::SetCaptionAlignment, taLeftJustify)
        .Prop(u"CheckBox", &C::CheckBox, &C::SetCheckBox, false)
        .Prop(u"CheckState", &C::CheckState, &C::SetCheckState, csUncheckedNormal)
        .Prop(u"CheckType", &C::CheckType, &C::SetCheckType, ctCheckBox)
        .Prop(u"DefaultSortDirection", &C::DefaultSortDirection, &C::SetDefaultSortDirection, sdAscending)
        .Prop(u"Hint", &C::Hint, &C::SetHint)
        .Prop(u"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1)
        .Prop(u"Layout", &C::Layout, &C::SetLayout, blGlyphLeft)
        .Prop(u"Margin", &C::Margin, &C::SetMargin, 4)
        .Prop(u"MaxWidth", &C::MaxWidth, &C::SetMaxWidth, 10000)
        .Prop(u"MinWidth", &C::MinWidth, &C::SetMinWidth, 10)
        .Prop(u"Options", &C::Options, &C::SetOptions, DefaultColumnOptions)
        // Colour after the options, so that a stored colour clears coParentColor only when
        // the stored options did.
        .Color(u"Color", &C::Color, &C::SetColor, clWindow)
        .Stored([](C* Col) { return !Col->Options().Contains(coParentColor); })
        .Prop(u"Position", &C::Position, &C::SetPosition)
        .Prop(u"Spacing", &C::Spacing, &C::SetSpacing, 3)
        .Prop(u"Style", &C::Style, &C::SetStyle, vsText)
        .Prop(u"Tag", &C::Tag, &C::SetTag, 0)
        .Prop(u"Text", &C::Text, &C::SetText)
        .Prop(u"Width", &C::Width, &C::SetWidth);
    RegisterClass<TQvTreeColumns, TCollection>(u"TQvTreeColumns");
}
