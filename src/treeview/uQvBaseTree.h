#pragma once
// TQvBaseTree: the virtual tree control: TQvTreeCore's nodes shown as rows. It keeps the
// scroll offsets and the content size, lays out cells (indentation, check box, images,
// text), hit-tests points, runs the row loop of painting and hands the mouse and keyboard
// to TQvTreeInput. The string and draw trees derive from it and supply what cells show.
//
// Content taller or wider than 2,147,483,647 pixels scrolls only that far.

#include "framework/uQvForms.h"
#include "framework/uQvHints.h"
#include "treeview/uQvTreeCore.h"
#include "treeview/uQvTreeEdit.h"
#include "treeview/uQvTreeHeader.h"
#include "treeview/uQvTreeHitTest.h"

class TBitmap;
class TCustomImageList;
class TQvTreeInput;
class TQvTreePainter;

class TQvBaseTree : public TQvTreeCore {
public:
    explicit TQvBaseTree(TComponent* AOwner);
    ~TQvBaseTree() override;

    // Also scrolls back to the origin.
    void Clear() override;
    // With toAutoChangeScale the row metrics and every row's height scale too.
    void ChangeScale(int M, int D) override;

    // ---- Header and columns ----
    TQvTreeHeader* Header() const { return FHeader.get(); }
    void SetHeader(const TQvTreeHeader* Value) { FHeader->Assign(Value); }
    // Repaints the header area (nothing while it is hidden or before the window exists).
    void InvalidateHeader();

    // ---- Geometry (client coordinates unless said otherwise) ----
    PQvNode GetNodeAt(int X, int Y);
    PQvNode GetNodeAt(TPoint P) { return GetNodeAt(P.X, P.Y); }
    // Relative: X, Y are client coordinates, else content coordinates. NodeTop receives
    // the row's top in the same coordinates.
    PQvNode GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    THitInfo GetHitTestInfoAt(int X, int Y, bool Relative = true);
    // The node's cell (Column -1: the whole row), or its text part.
    TRect GetDisplayRect(PQvNode Node, int Column, bool TextOnly);
    bool ScrollIntoView(PQvNode Node, bool Center, bool Horizontally = false) override;
    // Content size (saturated to the int range).
    int RangeX() const { return FRangeX; }
    int RangeY();
    // The layout of Node's cell in Column.
    TQvCellGeometry CellGeometry(PQvNode Node, int Column);
    // Node's content width in Column (texts measured, or as the owner draw says).
    int NodeWidth(PQvNode Node, int Column);

    // ---- Scrolling ----
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    // Offsets are 0 or negative and clamped to the content.
    void SetOffsetX(int Value) { SetOffsetXY(Value, FOffsetY); }
    void SetOffsetY(int Value) { SetOffsetXY(FOffsetX, Value); }
    void SetOffsetXY(int X, int Y);
    void UpdateScrollBars(bool DoRepaint);
    virtual void UpdateVerticalScrollBar(bool DoRepaint);
    virtual void UpdateHorizontalScrollBar(bool DoRepaint);

    // ---- Painting ----
    // The node's row (nothing inside an update or before the window exists).
    void InvalidateNode(PQvNode Node) override;
    // Node's row and everything below it.
    void InvalidateToBottom(PQvNode Node);
    // Paints the rows that meet Window (client coordinates) onto Canvas, Window's top-left
    // going to Target.
    virtual void PaintTree(TCanvas* Canvas, const TRect& Window, TPoint Target);

    // The image lists of normal and state images (not owned; forgotten when freed).
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    // The alignment of the one cell of a tree without columns.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    // ---- Editing ----
    // Focuses the node and, when editing is allowed (toEditable, not toReadOnly, OnEditing),
    // starts editing the cell. "Node must not be nil." and "Column must be a valid column
    // index (-1 if no header is shown)." for calls that cannot be meant.
    bool EditNode(PQvNode Node, int Column);
    // True when nothing is being edited afterwards.
    bool EndEditNode();
    bool CancelEditNode();
    bool IsEditing() const { return FEditor->Editing(); }
    const TQvEditLinkPtr& EditLink() const { return FEditor->Link(); }

    // ---- Settings ----
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);
    TQvNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TQvNodeAlignment Value);
    TQvLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TQvLineStyle Value);
    TQvLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TQvLineMode Value);
    TQvButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TQvButtonStyle Value);
    TQvButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TQvButtonFillMode Value);
    TQvCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TQvCheckImageKind Value);
    int SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(int Value);
    int SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(int Value);
    TQvDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TQvDrawSelectionMode Value);
    TQvHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TQvHintMode Value) { FHintMode = Value; }
    int EditDelay() const { return FEditDelay; }
    void SetEditDelay(int Value) { FEditDelay = Value < 0 ? 0 : Value; }
    TCursor HotCursor() const { return FHotCursor; }
    void SetHotCursor(TCursor Value) { FHotCursor = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    // bsNone or bsSingle; other values count as bsSingle.
    void SetBorderStyle(TFormBorderStyle Value);

    // ---- Events ----
    TQvNodeClickEvent OnNodeClick;
    TQvNodeClickEvent OnNodeDblClick;
    TQvColumnClickEvent OnColumnClick;
    TQvGetCursorEvent OnGetCursor;
    TQvScrollEvent OnScroll;
    TQvKeyActionEvent OnKeyAction;
    TQvEditingEvent OnEditing;
    TQvCreateEditorEvent OnCreateEditor;
    TQvEditChangeEvent OnEdited;
    TQvEditChangeEvent OnEditCancelled;
    TQvHeaderClickEvent OnHeaderClick;
    TQvHeaderPaintEvent OnHeaderDraw;
    TQvHeaderNotifyEvent OnColumnResize;
    TQvGetImageIndexEvent OnGetImageIndex;
    TQvBeforeItemPaintEvent OnBeforeItemPaint;
    TQvBeforeItemEraseEvent OnBeforeItemErase;
    TQvItemPaintEvent OnAfterItemErase;
    TQvBeforeCellPaintEvent OnBeforeCellPaint;
    TQvAfterCellPaintEvent OnAfterCellPaint;
    TQvItemPaintEvent OnAfterItemPaint;
    // May paint the area below the last row (client coordinates) instead of the tree.
    TQvBackgroundPaintEvent OnPaintBackground;

    void WndProc(TMessage& Message) override;

protected:
    friend class TQvTreeInput;
    friend class TQvTreeEditor;
    friend class TQvTreeHeader;
    friend class TQvTreePainter;
    friend void QvPaintTreeRows(TQvBaseTree& Tree, TCanvas* Target, const TRect& Window, TPoint Origin);
    friend void QvPaintHeader(TQvTreeHeader& Header, TCanvas* Canvas, const TRect& R, TPoint Target, int RTLOffset);

    void CreateParams(TCreateParams& Params) override;
    void Loaded() override;
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoEnter() override;
    void DoExit() override;

    // ---- Hooks for derived trees ----
    // Columns: without columns the tree is one column, -1, as wide as the content.
    virtual int ColumnCount() const;
    virtual int MainColumn() const;
    // The column at content x and its edges (content coordinates).
    virtual int ColumnAt(int X, int& Left, int& Right);
    // A column's edges (content coordinates); -1: the whole row.
    virtual void ColumnSpan(int Column, int& Left, int& Right);
    virtual int ColumnsWidth() const;
    virtual TAlignment ColumnAlignment(int Column) const;
    // The width of a node's content in a column; 0 unless a derived tree measures it.
    virtual int DoGetNodeWidth(PQvNode Node, int Column, TCanvas* Canvas);
    // Image widths (0: no image) and the check image width.
    virtual int ImageWidth(PQvNode Node, int Column, TQvImageInfoIndex Kind);
    // The image of a node for Kind from OnGetImageIndex (-1: none).
    virtual int DoGetImageIndex(PQvNode Node, TQvImageKind Kind, int Column, bool& Ghosted);
    // The list a kind of image comes from (nullptr: none).
    TCustomImageList* ImageList(TQvImageInfoIndex Kind) const;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual int CheckImageWidth() const { return 16; }
    virtual int ButtonWidth() const { return 9; }
    // One cell of one row, with the canvas's origin at the row's top.
    virtual void DoPaintNode(TQvPaintInfo& PaintInfo);
    // After every scroll, with the change of the offsets.
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoNodeClick(const THitInfo& HitInfo);
    virtual void DoNodeDblClick(const THitInfo& HitInfo);
    virtual void DoColumnClick(int Column, TShiftState Shift);
    virtual void DoHeaderClick(const TQvHeaderHitInfo& HitInfo);
    virtual void DoColumnResize(int Column);
    // Whether the header draws Column itself: OnHeaderDraw did (hoOwnerDraw, vsOwnerDraw).
    virtual bool DoHeaderDraw(TCanvas* Canvas, TQvTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                              TQvDropMarkMode DropMark);
    // The columns changed: the content width, the scroll bars and the rows follow.
    void HeaderChanged();
    // The header was shown, hidden or changed its height: the frame is laid out again.
    void HeaderFrameChanged();
    virtual void DoGetCursor(TCursor& Cursor);
    // The full text of a cell for its hint (empty: none).
    virtual String CellHintText(PQvNode Node, int Column);
    // CM_HINTSHOW: false when no hint may show. With hmTooltip the hint is the text of the
    // cell under the mouse, and only when that text is cut off.
    virtual bool PrepareHint(THintInfo& Info);
    // Whether the cell may be edited now.
    virtual bool DoCanEdit(PQvNode Node, int Column);
    // The link from OnCreateEditor (nullptr: no editing).
    virtual TQvEditLinkPtr DoCreateEditor(PQvNode Node, int Column);
    virtual void DoEdited(PQvNode Node, int Column);
    virtual void DoEditCancelled(PQvNode Node, int Column);
    // Structural changes cancel an edit in progress.
    void StructureChanging() override;
    void StructureChanged() override;
    void OptionsChanged() override;
    void NodeForgotten(PQvNode Node) override;

private:
    void ClampOffsets();
    int ClientHeightOrZero() const;
    void ComputeRangeX();
    // The header drawn into the window's frame above the rows.
    void PaintHeaderFrame();

    std::unique_ptr<TQvTreeInput> FInput;
    std::unique_ptr<TQvTreeEditor> FEditor;
    std::unique_ptr<TQvTreeHeader> FHeader;
    std::unique_ptr<TBitmap> FRowBuffer;  // reused by every row painted
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TAlignment FAlignment = taLeftJustify;
    bool FHeaderDirty = false;  // the header changed inside an update bracket
    int FOffsetX = 0, FOffsetY = 0;
    int FRangeX = 0;
    int FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TQvNodeAlignment FNodeAlignment = naProportional;
    TQvLineStyle FLineStyle = lsDotted;
    TQvLineMode FLineMode = lmNormal;
    TQvButtonStyle FButtonStyle = bsRectangle;
    TQvButtonFillMode FButtonFillMode = fmTreeColor;
    TQvCheckImageKind FCheckImageKind = ckSystemDefault;
    int FSelectionCurveRadius = 0;
    int FSelectionBlendFactor = 128;
    TQvDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    TQvHintMode FHintMode = hmDefault;
    int FEditDelay = 1000;
    TCursor FHotCursor = crDefault;
    TFormBorderStyle FBorderStyle = bsSingle;
};
