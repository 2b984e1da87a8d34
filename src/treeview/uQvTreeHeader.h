#pragma once
// The header bar of a tree: its options, height, fonts, the main, sort and auto-size
// columns, and what the mouse does over it (pressing and clicking a column, hot tracking,
// resizing a column by its right border, dragging a column to another position). The
// header belongs to its tree, which shows it above the rows (in the window's frame, so
// client coordinates stay those of the rows) and hands it the mouse while it is over it.

#include <memory>

#include "treeview/uQvTreeColumns.h"

class TQvBaseTree;

enum TQvHeaderOption {
    hoAutoResize,
    hoColumnResize,
    hoDblClickResize,
    hoDrag,
    hoHotTrack,
    hoOwnerDraw,
    hoRestrictDrag,
    hoShowHint,
    hoShowImages,
    hoShowSortGlyphs,
    hoVisible,
    hoAutoSpring,
    hoFullRepaintOnResize,
    hoDisableAnimatedResize,
    hoHeightResize,
    hoHeightDblClickResize,
    hoHeaderClickAutoSort,
};
using TQvHeaderOptions = TSet<TQvHeaderOption>;
inline constexpr TQvHeaderOptions DefaultHeaderOptions{hoColumnResize, hoDrag, hoShowSortGlyphs};

enum TQvHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates };

// What a header click hit (header coordinates: the header's top is 0).
struct TQvHeaderHitInfo {
    int X = 0, Y = 0;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    int Column = -1;
    bool OnCheckBox = false;  // the click toggled the column's check box
};

using TQvHeaderClickEvent = std::function<void(TQvTreeHeader* Sender, const TQvHeaderHitInfo& HitInfo)>;
using TQvHeaderPaintEvent =
    std::function<void(TQvTreeHeader* Sender, TCanvas* HeaderCanvas, TQvTreeColumn* Column, const TRect& R,
                       bool Hover, bool Pressed, TQvDropMarkMode DropMark)>;
using TQvHeaderNotifyEvent = std::function<void(TQvTreeHeader* Sender, int Column)>;

class TQvTreeHeader : public TPersistent {
public:
    explicit TQvTreeHeader(TQvBaseTree* ATree);
    ~TQvTreeHeader() override;

    TQvBaseTree* Tree() const { return FTree; }
    TPersistent* GetOwner() const override;

    int AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(int Value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor Value);
    TQvTreeColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TQvTreeColumns* Value) { FColumns->Assign(Value); }
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // The font captions are drawn in: the tree's with ParentFont.
    const TFont* CaptionFont() const;
    int Height() const { return FHeight; }
    // Kept within MinHeight ... MaxHeight.
    void SetHeight(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    // -1 without columns. Setting it clamps into 0 ... Count - 1 and focuses that column.
    int MainColumn() const;
    void SetMainColumn(int Value);
    TQvHeaderOptions Options() const { return FOptions; }
    void SetOptions(TQvHeaderOptions Value);
    // The tree's sort column and direction; setting them sorts at once (toAutoSort).
    int SortColumn() const;
    void SetSortColumn(int Value);
    TQvSortDirection SortDirection() const;
    void SetSortDirection(TQvSortDirection Value);
    TQvHeaderStyle Style() const { return FStyle; }
    void SetStyle(TQvHeaderStyle Value);

    bool Visible() const { return FOptions.Contains(hoVisible); }
    // The height the header takes above the rows: 0 while hidden.
    int ShownHeight() const { return Visible() ? FHeight : 0; }
    // The auto-size column (hoAutoResize) takes the client width the others leave. Raises
    // OnColumnResize when its width changed or Force is set.
    void RecalculateAutoSize(bool Force = false);
    // Every visible column as wide as its widest row in view (within its limits); the
    // widths before are kept for RestoreColumns.
    void AutoFitColumns();
    void RestoreColumns();
    // Height, font size (unless ParentFont) and every column width by M / D.
    void ChangeScale(int M, int D);
    // Repaints the header area.
    void Invalidate();
    // After a stored layout was read: the columns take their stored positions.
    void Loaded();
    void Assign(const TPersistent* Source) override;

    // ---- Mouse (header coordinates; the tree calls them) ----
    // True when the press was taken (it was over the header).
    bool MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    // True while the header tracks the mouse (a press, a resize or a drag) or it is over it.
    bool MouseMove(TShiftState Shift, int X, int Y);
    bool MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseLeave();
    // Ends a press, resize or drag without its effect.
    void CancelTracking();
    bool Tracking() const { return FTrack != tkNone; }
    // The column whose right border X is on, for resizing; -1 when none.
    int ResizeColumnAt(int X) const;
    // Where a column's check box is drawn (hoShowImages, CheckBox; header coordinates,
    // unpressed); empty when it has none.
    TRect CheckBoxRect(int Column) const;
    // Pixels on either side of a column's right border that start a resize.
    static constexpr int ResizeZone = 3;
    // Moving the mouse this far with a column pressed starts dragging it.
    static constexpr int DragThreshold = 5;

private:
    friend class TQvTreeColumns;
    friend class TQvTreeColumn;
    enum TTrack { tkNone, tkPressed, tkResizing, tkDragging };
    // The columns changed: positions, auto size, the tree's range, repaint.
    void ColumnsChanged();
    void ColumnResized(int Column);
    void SetHover(int Column);
    void SetDropTarget(int Column, bool Before);
    void HeaderClick(const TQvHeaderHitInfo& Hit);
    bool Loading() const;
    // Per column the width of its widest row in view (-1: hidden); empty when a handler
    // changed the tree while it was measured.
    std::vector<int> WidestInView() const;

    TQvBaseTree* FTree;
    std::unique_ptr<TQvTreeColumns> FColumns;
    std::unique_ptr<TFont> FFont;
    int FAutoSizeIndex = 0;
    TColor FBackground = clBtnFace;
    int FDefaultHeight = 19;
    int FHeight = 19;
    int FMinHeight = 10;
    int FMaxHeight = 10000;
    int FMainColumn = -1;
    bool FParentFont = false;
    TQvHeaderOptions FOptions = DefaultHeaderOptions;
    TQvHeaderStyle FStyle = hsThickButtons;
    TTrack FTrack = tkNone;
    int FTrackColumn = -1;
    TPoint FTrackStart;
    int FTrackWidth = 0;
    bool FAutoSizing = false;
    std::vector<int> FRestoreWidths;  // column widths before the last AutoFitColumns
};

// Registers the header enumerations and class (after RegisterQvTreeColumns).
void RegisterQvTreeHeader();
