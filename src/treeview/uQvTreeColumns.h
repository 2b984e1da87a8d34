#pragma once
// The columns of a tree: each one a collection item with its width limits, alignment,
// colour, caption and options; the collection keeps the display order (a map from
// position to column index, changed by dragging), lays the visible columns out from the
// left in that order, and remembers what the mouse does over the header (hover, press,
// drop target). A tree without columns is one column, -1, as wide as its content.
//
// Widths are summed in 64 bits; a header wider than 2,147,483,647 pixels shows only that
// much (the edges saturate).

#include <cstdint>
#include <vector>

#include "framework/uQvCollections.h"
#include "framework/uQvGraphics.h"
#include "treeview/uQvTreeTypes.h"

class TQvTreeColumns;
class TQvTreeHeader;

enum TQvColumnOption {
    coAllowClick,
    coDraggable,
    coEnabled,
    coParentBidiMode,
    coParentColor,
    coResizable,
    coShowDropMark,
    coVisible,
    coAutoSpring,
    coFixed,
    coSmartResize,
    coAllowFocus,
    coDisableAnimatedResize,
    coWrapCaption,
    coUseCaptionAlignment,
};
using TQvColumnOptions = TSet<TQvColumnOption>;
inline constexpr TQvColumnOptions DefaultColumnOptions{coAllowClick,     coDraggable,   coEnabled,
                                                       coParentBidiMode, coParentColor, coResizable,
                                                       coShowDropMark,   coVisible,     coAllowFocus};

enum TQvTreeColumnStyle { vsText, vsOwnerDraw };
// Where the header image goes beside the caption.
enum TQvHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Which side of a column a dragged column would drop on.
enum TQvDropMarkMode { dmmNone, dmmLeft, dmmRight };

class TQvTreeColumn : public TCollectionItem {
public:
    explicit TQvTreeColumn(TCollection* ACollection);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool Value);
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType Value);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState Value);
    TColor Color() const { return FColor; }
    // Clears coParentColor, as a column given a colour means to show it.
    void SetColor(TColor Value);
    TQvSortDirection DefaultSortDirection() const { return FDefaultSortDirection; }
    void SetDefaultSortDirection(TQvSortDirection Value) { FDefaultSortDirection = Value; }
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TQvHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TQvHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // MinWidth is at least 0 and MaxWidth at least MinWidth; the width follows both.
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TQvColumnOptions Options() const { return FOptions; }
    void SetOptions(TQvColumnOptions Value);
    // The display position; setting it moves the column there (the others shift).
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    TQvTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TQvTreeColumnStyle Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    int Width() const { return FWidth; }
    // Kept within MinWidth ... MaxWidth; OnColumnResize follows a change.
    void SetWidth(int Value);

    bool Visible() const { return FOptions.Contains(coVisible); }
    // The column's left edge in content coordinates (unscrolled); 0 when hidden.
    int Left() const;
    TQvTreeColumns* Owner() const;
    void Assign(const TPersistent* Source) override;
    String DisplayName() const override;

private:
    friend class TQvTreeColumns;
    friend class TQvTreeHeader;
    // Lays the columns out again and repaints, through the collection.
    void Changed();

    TAlignment FAlignment = taLeftJustify;
    TAlignment FCaptionAlignment = taLeftJustify;
    bool FCheckBox = false;
    TCheckType FCheckType = ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    TColor FColor = clWindow;
    TQvSortDirection FDefaultSortDirection = sdAscending;
    String FHint;
    int FTag = 0;
    int FImageIndex = -1;
    TQvHeaderColumnLayout FLayout = blGlyphLeft;
    int FMargin = 4;
    int FSpacing = 3;
    int FMaxWidth = 10000;
    int FMinWidth = 10;
    TQvColumnOptions FOptions = DefaultColumnOptions;
    int FPosition;
    TQvTreeColumnStyle FStyle = vsText;
    String FText;
    int FWidth;
    int64_t FLeft = 0;  // laid out by the collection
};

class TQvTreeColumns : public TOwnedCollection {
public:
    explicit TQvTreeColumns(TQvTreeHeader* AHeader);

    TQvTreeColumn* Add() { return static_cast<TQvTreeColumn*>(TCollection::Add()); }
    TQvTreeColumn* Items(int Index) const { return static_cast<TQvTreeColumn*>(TCollection::Items(Index)); }
    TQvTreeColumn* operator[](int Index) const { return Items(Index); }
    TQvTreeHeader* Header() const { return FHeader; }

    // The width of a new column.
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value < 0 ? 0 : Value; }

    // ---- Geometry (content coordinates unless said otherwise) ----
    // The column at a display position; -1 outside 0 ... Count - 1.
    int ColumnFromPosition(int Position) const;
    // Visible columns, left to right.
    const std::vector<int>& VisibleOrder() const { return FVisible; }
    int FirstVisibleColumn() const { return FVisible.empty() ? -1 : FVisible.front(); }
    int LastVisibleColumn() const { return FVisible.empty() ? -1 : FVisible.back(); }
    // The next (previous) visible column in display order; -1 after the last.
    int NextVisibleColumn(int Column, bool Backwards = false) const;
    // The visible column covering X, with its edges; -1 (edges 0) when none does.
    int ColumnFromX(int X, int& Left, int& Right) const;
    // Content x of a column's edges (both 0 for a hidden or unknown column).
    void ColumnEdges(int Column, int& Left, int& Right) const;
    // The column's extent in client coordinates: moved by the tree's horizontal offset.
    void GetColumnBounds(int Column, int& Left, int& Right) const;
    // The sum of the visible columns' widths.
    int TotalWidth() const;

    // ---- Mouse over the header ----
    int HoverColumn() const { return FHoverColumn; }
    int PressedColumn() const { return FPressedColumn; }
    bool CheckBoxHit() const { return FCheckBoxHit; }
    int DragColumn() const { return FDragColumn; }
    int DropTarget() const { return FDropTarget; }
    bool DropBefore() const { return FDropBefore; }

    // Paints the part of the header inside R (header coordinates) onto Canvas, R's
    // top-left going to Target; RTLOffset shifts the columns for right-to-left trees.
    void PaintHeader(TCanvas* Canvas, const TRect& R, TPoint Target, int RTLOffset = 0);

    // Lays the columns out again (display order renumbered, edges summed).
    void UpdatePositions();

protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    friend class TQvTreeColumn;
    friend class TQvTreeHeader;
    // Moves a column to a display position, the others shifting.
    void MoveColumn(int Column, int Position);

    TQvTreeHeader* FHeader;
    int FDefaultWidth = 50;
    std::vector<int> FPositionToIndex;
    std::vector<int> FVisible;
    int64_t FTotalWidth = 0;
    int FHoverColumn = -1;
    int FPressedColumn = -1;
    bool FCheckBoxHit = false;
    int FDragColumn = -1;
    int FDropTarget = -1;
    bool FDropBefore = true;
};

// Registers the column enumerations and classes with their stored properties.
void RegisterQvTreeColumns();
