#include "treeview/uQvBaseTree.h"

#include <algorithm>
#include <climits>

#include "draw/uQvSurfaceTypes.h"
#include "framework/uQvImgList.h"
#include "framework/uQvPictures.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "treeview/uQvTreeInput.h"
#include "treeview/uQvTreePaint.h"

// ---- Life -----------------------------------------------------------------------------

TQvBaseTree::TQvBaseTree(TComponent* AOwner)
    : TQvTreeCore(AOwner),
      FInput(std::make_unique<TQvTreeInput>(this)),
      FEditor(std::make_unique<TQvTreeEditor>(this)),
      FHeader(std::make_unique<TQvTreeHeader>(this)) {
    SetBounds(Left(), Top(), 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    TControlStyle Style = ControlStyle();
    Style.Include(csOpaque);
    SetControlStyle(Style);
    ScrollBarOptions()->OnChange = [this](TObject*) { UpdateScrollBars(true); };
}

TQvBaseTree::~TQvBaseTree() = default;

void TQvBaseTree::Clear() {
    BeginUpdate();
    try {
        TQvTreeCore::Clear();
    } catch (...) {
        EndUpdate();
        throw;
    }
    FOffsetX = FOffsetY = 0;
    EndUpdate();
}

void TQvBaseTree::ChangeScale(int M, int D) {
    TQvTreeCore::ChangeScale(M, D);
    if (M == D || D == 0 || !TreeOptions()->AutoOptions().Contains(toAutoChangeScale)) return;
    const auto Scale = [M, D](int V) { return std::max(MulDiv(V, M, D), 0); };
    BeginUpdate();
    SetDefaultNodeHeight(Scale(DefaultNodeHeight()));
    FIndent = Scale(FIndent);
    FMargin = Scale(FMargin);
    FTextMargin = Scale(FTextMargin);
    FHeader->ChangeScale(M, D);
    for (PQvNode N = GetFirst(); N != nullptr; N = GetNext(N)) Nodes().SetNodeHeight(N, Scale(N->NodeHeight));
    EndUpdate();
}

void TQvBaseTree::StructureChanged() {
    if (Updating()) return;
    ClampOffsets();
    UpdateScrollBars(true);
    Invalidate();
    if (FHeaderDirty) InvalidateHeader();
}

void TQvBaseTree::NodeForgotten(PQvNode Node) { FInput->NodeGone(Node); }

// ---- Editing --------------------------------------------------------------------------

bool TQvBaseTree::EditNode(PQvNode Node, int Column) {
    if (Node == nullptr || Node == RootNode()) throw EQvError("Node must not be nil.");
    if (Column < -1 || (Column >= 0 && Column >= ColumnCount()))
        throw EQvError("Column must be a valid column index (-1 if no header is shown).");
    const TQvAliveCheck Alive = AliveCheck();
    const TQvNodeRef Ref(this, Node);
    if (!ChangeFocus(Node, Column) || !Alive.Alive() || Ref.Node() == nullptr) return false;
    if (!DoCanEdit(Node, Column) || !Alive.Alive() || Ref.Node() == nullptr) return false;
    return FEditor->Start();
}

bool TQvBaseTree::EndEditNode() { return FEditor->End(); }

bool TQvBaseTree::CancelEditNode() { return FEditor->Cancel(); }

bool TQvBaseTree::DoCanEdit(PQvNode Node, int Column) {
    const TQvMiscOptions Misc = TreeOptions()->MiscOptions();
    if (!Misc.Contains(toEditable) || Misc.Contains(toReadOnly) || !Enabled() || IsDisabled(Node)) return false;
    bool Allowed = true;
    QvRaise(OnEditing, this, Node, Column, Allowed);
    return Allowed;
}

TQvEditLinkPtr TQvBaseTree::DoCreateEditor(PQvNode Node, int Column) {
    TQvEditLinkPtr Link;
    QvRaise(OnCreateEditor, this, Node, Column, Link);
    return Link;
}

void TQvBaseTree::DoEdited(PQvNode Node, int Column) { QvRaise(OnEdited, this, Node, Column); }

void TQvBaseTree::DoEditCancelled(PQvNode Node, int Column) { QvRaise(OnEditCancelled, this, Node, Column); }

void TQvBaseTree::StructureChanging() {
    if (FEditor->Editing()) FEditor->Cancel();
}

// ---- Geometry -------------------------------------------------------------------------

int TQvBaseTree::RangeY() { return ClampToInt(Nodes().ContentHeight()); }

int TQvBaseTree::ColumnCount() const { return FHeader->Columns()->Count(); }

int TQvBaseTree::MainColumn() const { return FHeader->MainColumn(); }

int TQvBaseTree::ColumnsWidth() const { return FHeader->Columns()->TotalWidth(); }

int TQvBaseTree::ColumnAt(int X, int& Left, int& Right) {
    if (ColumnCount() > 0) return FHeader->Columns()->ColumnFromX(X, Left, Right);
    ColumnSpan(-1, Left, Right);
    return -1;
}

void TQvBaseTree::ColumnSpan(int Column, int& Left, int& Right) {
    if (Column >= 0 && Column < ColumnCount()) {
        FHeader->Columns()->ColumnEdges(Column, Left, Right);
        return;
    }
    Left = 0;
    Right = std::max(FRangeX, ClientWidth());
}

TAlignment TQvBaseTree::ColumnAlignment(int Column) const {
    if (ColumnCount() == 0) return FAlignment;
    if (Column < 0 || Column >= ColumnCount()) return taLeftJustify;
    return FHeader->Columns()->Items(Column)->Alignment();
}

int TQvBaseTree::DoGetNodeWidth(PQvNode, int, TCanvas*) { return 0; }

TCustomImageList* TQvBaseTree::ImageList(TQvImageInfoIndex Kind) const {
    return Kind == iiNormal ? FImages : Kind == iiState ? FStateImages : nullptr;
}

int TQvBaseTree::DoGetImageIndex(PQvNode Node, TQvImageKind Kind, int Column, bool& Ghosted) {
    int Index = -1;
    QvRaise(OnGetImageIndex, this, Node, Kind, Column, Ghosted, Index);
    return Index;
}

int TQvBaseTree::ImageWidth(PQvNode Node, int Column, TQvImageInfoIndex Kind) {
    TCustomImageList* List = ImageList(Kind);
    if (List == nullptr || !OnGetImageIndex) return 0;
    bool Ghosted = false;
    int Index = -1;
    if (Kind == iiNormal && Selected(Node)) Index = DoGetImageIndex(Node, ikSelected, Column, Ghosted);
    if (Index < 0) Index = DoGetImageIndex(Node, Kind == iiNormal ? ikNormal : ikState, Column, Ghosted);
    return Index >= 0 ? List->Width() : 0;
}

void TQvBaseTree::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    FImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
    StructureChanged();
}

void TQvBaseTree::SetStateImages(TCustomImageList* Value) {
    if (FStateImages == Value) return;
    FStateImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
    StructureChanged();
}

void TQvBaseTree::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TQvBaseTree::Notification(TComponent* AComponent, TOperation Operation) {
    TQvTreeCore::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) SetImages(nullptr);
    if (AComponent == FStateImages) SetStateImages(nullptr);
}

int TQvBaseTree::NodeWidth(PQvNode Node, int Column) { return DoGetNodeWidth(Node, Column, Canvas()); }

TQvCellGeometry TQvBaseTree::CellGeometry(PQvNode Node, int Column) {
    TQvCellGeometry G;
    const TQvPaintOptions Paint = TreeOptions()->PaintOptions();
    G.MainColumn = Column == MainColumn();
    G.Indent = FIndent;
    G.Margin = FMargin;
    G.ButtonWidth = ButtonWidth();
    if (Node == nullptr) return G;
    G.Levels = Paint.Contains(toFixedIndent) ? 1 : GetNodeLevel(Node) + (Paint.Contains(toShowRoot) ? 1 : 0);
    G.HasButton = Paint.Contains(toShowButtons) && HasChildren(Node);
    if (G.MainColumn && TreeOptions()->MiscOptions().Contains(toCheckSupport) && Node->CheckType != ctNone)
        G.CheckWidth = CheckImageWidth() + 2;
    if (const int W = ImageWidth(Node, Column, iiState); W > 0) G.StateWidth = W + 2;
    if (const int W = ImageWidth(Node, Column, iiNormal); W > 0) G.NormalWidth = W + 2;
    return G;
}

PQvNode TQvBaseTree::GetNodeAt(int X, int Y) {
    int Top;
    return GetNodeAt(X, Y, true, Top);
}

PQvNode TQvBaseTree::GetNodeAt(int, int Y, bool Relative, int& NodeTop) {
    int64_t Absolute = Relative ? int64_t{Y} - FOffsetY : Y;
    if (Absolute < 0) Absolute = 0;
    int64_t Top = 0;
    PQvNode N = Nodes().NodeAt(Absolute, &Top);
    NodeTop = N == nullptr ? 0 : ClampToInt(Relative ? Top + FOffsetY : Top);
    return N;
}

THitInfo TQvBaseTree::GetHitTestInfoAt(int X, int Y, bool Relative) {
    THitInfo Hit;
    if (!Relative) {
        X += FOffsetX;
        Y += FOffsetY;
    }
    if (X < 0)
        Hit.HitPositions.Include(hiToLeft);
    else if (X > std::max(ClientWidth(), FRangeX))
        Hit.HitPositions.Include(hiToRight);
    if (Y < 0)
        Hit.HitPositions.Include(hiAbove);
    else if (Y > std::max(ClientHeight(), RangeY()))
        Hit.HitPositions.Include(hiBelow);
    if (!Hit.HitPositions.Empty()) return Hit;
    const int CX = X - FOffsetX;
    PQvNode Node = Nodes().NodeAt(int64_t{Y} - FOffsetY);
    if (Node == nullptr) {
        Hit.HitPositions.Include(hiNowhere);
        return Hit;
    }
    Hit.HitNode = Node;
    int Left = 0, Right = 0;
    Hit.HitColumn = ColumnAt(CX, Left, Right);
    const TQvCellGeometry G = CellGeometry(Node, Hit.HitColumn);
    const int Column = Hit.HitColumn;
    Hit.HitPositions = QvHitTestCell(G, CX - Left, Right - Left, TreeOptions()->MiscOptions().Contains(toReportMode),
                                     ColumnAlignment(Column), [&] { return NodeWidth(Node, Column); });
    return Hit;
}

TRect TQvBaseTree::GetDisplayRect(PQvNode Node, int Column, bool TextOnly) {
    const int64_t Top = Nodes().NodeTop(Node);
    if (Top < 0) return TRect{};
    TRect R;
    R.Top = ClampToInt(Top + FOffsetY);
    R.Bottom = ClampToInt(Top + FOffsetY + Node->NodeHeight);
    int Left = 0, Right = 0;
    ColumnSpan(Column, Left, Right);
    if (TextOnly) {
        const TQvCellGeometry G = CellGeometry(Node, Column < 0 ? MainColumn() : Column);
        Left += G.TextLeft();
        Right = std::min(Right, Left + NodeWidth(Node, Column));
    }
    R.Left = Left + FOffsetX;
    R.Right = Right + FOffsetX;
    return R;
}

bool TQvBaseTree::ScrollIntoView(PQvNode Node, bool Center, bool Horizontally) {
    if (Node == nullptr || Node == RootNode()) return false;
    if (!FullyVisible(Node)) {
        BeginUpdate();
        for (PQvNode P = Node->Parent; P != nullptr && P != RootNode(); P = P->Parent) Nodes().SetExpanded(P, true);
        EndUpdate();
    }
    const int64_t Top = Nodes().NodeTop(Node);
    if (Top < 0) return false;
    const int H = ClientHeightOrZero();
    int64_t Y = FOffsetY;
    const int64_t RowTop = Top + Y, RowBottom = RowTop + Node->NodeHeight;
    if (Center && (RowTop < 0 || RowBottom > H))
        Y = -(Top - (H - Node->NodeHeight) / 2);
    else if (RowTop < 0)
        Y = -Top;
    else if (RowBottom > H)
        Y = -(Top + Node->NodeHeight - H);
    int X = FOffsetX;
    if (Horizontally) {
        const TQvCellGeometry G = CellGeometry(Node, MainColumn());
        const int Text = G.TextLeft() + FOffsetX;
        if (Text < 0 || Text > ClientWidth()) X = -G.TextLeft();
    }
    const int OldX = FOffsetX, OldY = FOffsetY;
    SetOffsetXY(X, ClampToInt(Y));
    return OldX != FOffsetX || OldY != FOffsetY;
}

// ---- Scrolling ------------------------------------------------------------------------

int TQvBaseTree::ClientHeightOrZero() const { return std::max(ClientHeight(), 0); }

void TQvBaseTree::ClampOffsets() {
    const int MinY = std::min(0, ClientHeightOrZero() - RangeY());
    const int MinX = std::min(0, std::max(ClientWidth(), 0) - FRangeX);
    FOffsetY = std::clamp(FOffsetY, MinY, 0);
    FOffsetX = std::clamp(FOffsetX, MinX, 0);
}

void TQvBaseTree::SetOffsetXY(int X, int Y) {
    const int OldX = FOffsetX, OldY = FOffsetY;
    FOffsetX = X;
    FOffsetY = Y;
    ClampOffsets();
    if (FOffsetX == OldX && FOffsetY == OldY) return;
    if (!Updating()) {
        UpdateScrollBars(true);
        Invalidate();
    }
    DoScroll(FOffsetX - OldX, FOffsetY - OldY);
}

void TQvBaseTree::DoScroll(int DeltaX, int DeltaY) {
    QvRaise(OnScroll, this, DeltaX, DeltaY);
}

void TQvBaseTree::ComputeRangeX() {
    if (ColumnCount() > 0) {
        FRangeX = ColumnsWidth();
        return;
    }
    // Without columns: the widest row in view decides.
    int Widest = 0;
    int Top = 0;
    PQvNode N = GetNodeAt(0, 0, true, Top);
    for (int Y = Top; N != nullptr && Y < ClientHeight(); N = GetNextVisible(N)) {
        const TQvCellGeometry G = CellGeometry(N, -1);
        Widest = std::max(Widest, G.TextLeft() + NodeWidth(N, -1));
        Y += N->NodeHeight;
    }
    FRangeX = Widest;
}

void TQvBaseTree::UpdateScrollBars(bool DoRepaint) {
    if (Updating()) return;
    ComputeRangeX();
    ClampOffsets();
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
}

void TQvBaseTree::UpdateVerticalScrollBar(bool DoRepaint) {
    if (Updating() || !HandleAllocated()) return;
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    const bool Shown = ScrollBarOptions()->ScrollBars() == ssVertical || ScrollBarOptions()->ScrollBars() == ssBoth;
    Info.nMax = Shown ? std::max(RangeY() - 1, 0) : 0;  // the last pixel, inclusive
    Info.nPage = static_cast<UINT>(ClientHeightOrZero());
    Info.nPos = -FOffsetY;
    SetScrollInfo(Handle(), SB_VERT, &Info, DoRepaint);
}

void TQvBaseTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    if (Updating() || !HandleAllocated()) return;
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    const bool Shown = ScrollBarOptions()->ScrollBars() == ssHorizontal || ScrollBarOptions()->ScrollBars() == ssBoth;
    Info.nMax = Shown ? std::max(FRangeX - 1, 0) : 0;
    Info.nPage = static_cast<UINT>(std::max(ClientWidth(), 0));
    Info.nPos = -FOffsetX;
    SetScrollInfo(Handle(), SB_HORZ, &Info, DoRepaint);
}

// ---- Painting -------------------------------------------------------------------------

void TQvBaseTree::InvalidateNode(PQvNode Node) {
    if (Node == nullptr || Updating() || !HandleAllocated() || !FullyVisible(Node)) return;
    const TRect R = GetDisplayRect(Node, -1, false);
    const RECT Row{0, R.Top, ClientWidth(), R.Bottom};
    InvalidateRect(Handle(), &Row, FALSE);
}

void TQvBaseTree::InvalidateToBottom(PQvNode Node) {
    if (Updating() || !HandleAllocated()) return;
    if (Node == nullptr || !FullyVisible(Node)) {
        Invalidate();
        return;
    }
    const TRect R = GetDisplayRect(Node, -1, false);
    const RECT Rest{0, R.Top, ClientWidth(), ClientHeight()};
    InvalidateRect(Handle(), &Rest, FALSE);
}

void TQvBaseTree::InvalidateHeader() {
    // The header lives in the frame: it waits for the next paint with it (WM_NCPAINT), so
    // many changes in a row draw it once. Inside an update bracket it waits for the end.
    FHeaderDirty = Updating();
    if (FHeaderDirty || !HandleAllocated() || !FHeader->Visible()) return;
    const RECT None{0, 0, 0, 0};
    RedrawWindow(Handle(), &None, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TQvBaseTree::PaintHeaderFrame() {
    const int H = FHeader->Height();
    const int W = ClientWidth();
    if (W <= 0 || H <= 0) return;
    RECT Outer;
    GetWindowRect(Handle(), &Outer);
    POINT Origin{0, 0};
    ::ClientToScreen(Handle(), &Origin);
    const TPoint Target{Origin.X - Outer.Left, Origin.Y - Outer.Top - H};
    // Released even when a drawing handler throws (or frees the tree).
    struct TWindowCanvas {
        HDC Dc;
        TCanvas Canvas;
        explicit TWindowCanvas(HDC ADc) : Dc(ADc) { Canvas.SetHandle(Dc); }
        ~TWindowCanvas() {
            Canvas.SetHandle(nullptr);
            ReleaseDC(nullptr, Dc);
        }
    };
    const HDC Dc = GetWindowDC(Handle());
    if (Dc == nullptr) return;
    TWindowCanvas C(Dc);
    FHeader->Columns()->PaintHeader(&C.Canvas, Rect(0, 0, W, H), Target);
}

void TQvBaseTree::HeaderChanged() {
    if (Updating()) return;
    UpdateScrollBars(true);
    Invalidate();
}

void TQvBaseTree::HeaderFrameChanged() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HeaderChanged();
}

void TQvBaseTree::Paint() {
    TCanvas* C = Canvas();
    PaintTree(C, C->ClipRect(), C->ClipRect().TopLeft());
}

void TQvBaseTree::PaintTree(TCanvas* Target, const TRect& Window, TPoint Origin) {
    QvPaintTreeRows(*this, Target, Window, Origin);
}

void TQvBaseTree::DoPaintNode(TQvPaintInfo&) {}

// ---- Settings -------------------------------------------------------------------------

void TQvBaseTree::OptionsChanged() {
    TQvTreeCore::OptionsChanged();
    UpdateScrollBars(true);
}

#define QV_TREE_SETTER(Name, Type, Field)   \
    void TQvBaseTree::Set##Name(Type Value) { \
        if (Field == Value) return;           \
        Field = Value;                        \
        StructureChanged();                   \
    }
QV_TREE_SETTER(NodeAlignment, TQvNodeAlignment, FNodeAlignment)
QV_TREE_SETTER(LineStyle, TQvLineStyle, FLineStyle)
QV_TREE_SETTER(LineMode, TQvLineMode, FLineMode)
QV_TREE_SETTER(ButtonStyle, TQvButtonStyle, FButtonStyle)
QV_TREE_SETTER(ButtonFillMode, TQvButtonFillMode, FButtonFillMode)
QV_TREE_SETTER(CheckImageKind, TQvCheckImageKind, FCheckImageKind)
QV_TREE_SETTER(SelectionCurveRadius, int, FSelectionCurveRadius)
QV_TREE_SETTER(SelectionBlendFactor, int, FSelectionBlendFactor)
QV_TREE_SETTER(DrawSelectionMode, TQvDrawSelectionMode, FDrawSelectionMode)
QV_TREE_SETTER(Indent, int, FIndent)
QV_TREE_SETTER(Margin, int, FMargin)
QV_TREE_SETTER(TextMargin, int, FTextMargin)
#undef QV_TREE_SETTER

void TQvBaseTree::SetBorderStyle(TFormBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TQvBaseTree::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
}

void TQvBaseTree::Loaded() {
    TCustomControl::Loaded();
    FHeader->Loaded();
}

void TQvBaseTree::Resize() {
    FHeader->RecalculateAutoSize();
    UpdateScrollBars(true);
    TCustomControl::Resize();
}

// ---- Input ----------------------------------------------------------------------------

void TQvBaseTree::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    // Client y above 0 is the header.
    if (FHeader->MouseDown(Button, Shift, X, Y + FHeader->ShownHeight())) return;
    FInput->MouseDown(Button, Shift, X, Y);
    if (Alive.Alive()) TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TQvBaseTree::MouseMove(TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    if (FHeader->MouseMove(Shift, X, Y + FHeader->ShownHeight())) {
        if (Alive.Alive()) SetHot(nullptr, -1);
        return;
    }
    FInput->MouseMove(Shift, X, Y);
    if (Alive.Alive()) TCustomControl::MouseMove(Shift, X, Y);
}

void TQvBaseTree::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    if (FHeader->MouseUp(Button, Shift, X, Y + FHeader->ShownHeight())) return;
    FInput->MouseUp(Button, Shift, X, Y);
    if (Alive.Alive()) TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TQvBaseTree::KeyPress(Char& Key) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->KeyPress(Key);
    if (Alive.Alive() && Key != 0) TCustomControl::KeyPress(Key);
}

bool TQvBaseTree::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    const TQvAliveCheck Alive = AliveCheck();
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos) || !Alive.Alive()) return true;
    FInput->Wheel(Shift, WheelDelta);
    return true;
}

void TQvBaseTree::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->KeyDown(Key, Shift);
    if (Alive.Alive() && Key != 0) TCustomControl::KeyDown(Key, Shift);
}

void TQvBaseTree::KeyUp(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    FInput->KeyUp(Key, Shift);
    if (Alive.Alive() && Key != 0) TCustomControl::KeyUp(Key, Shift);
}

void TQvBaseTree::DoEnter() {
    Invalidate();
    TCustomControl::DoEnter();
}

void TQvBaseTree::DoExit() {
    Invalidate();
    TCustomControl::DoExit();
}

void TQvBaseTree::DoNodeClick(const THitInfo& HitInfo) {
    QvRaise(OnNodeClick, this, HitInfo);
}

void TQvBaseTree::DoNodeDblClick(const THitInfo& HitInfo) {
    QvRaise(OnNodeDblClick, this, HitInfo);
}

void TQvBaseTree::DoColumnClick(int Column, TShiftState Shift) {
    QvRaise(OnColumnClick, this, Column, Shift);
}

void TQvBaseTree::DoHeaderClick(const TQvHeaderHitInfo& HitInfo) {
    QvRaise(OnHeaderClick, FHeader.get(), HitInfo);
}

void TQvBaseTree::DoColumnResize(int Column) {
    QvRaise(OnColumnResize, FHeader.get(), Column);
}

bool TQvBaseTree::DoHeaderDraw(TCanvas* Canvas, TQvTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                               TQvDropMarkMode DropMark) {
    if (!FHeader->Options().Contains(hoOwnerDraw) || !OnHeaderDraw || Column->Style() != vsOwnerDraw) return false;
    QvRaise(OnHeaderDraw, FHeader.get(), Canvas, Column, R, Hover, Pressed, DropMark);
    return true;
}

String TQvBaseTree::CellHintText(PQvNode, int) { return String(); }

bool TQvBaseTree::PrepareHint(THintInfo& Info) {
    // Not while the mouse is held, a band is drawn or the header is tracked.
    if (MouseCapture() || FInput->Banding() || FHeader->Tracking()) return false;
    if (FHintMode != hmTooltip) return true;
    const THitInfo Hit = GetHitTestInfoAt(Info.CursorPos.X, Info.CursorPos.Y, true);
    PQvNode N = Hit.HitNode;
    if (N == nullptr || !Hit.HitPositions.Contains(hiOnItemLabel)) return false;
    if (IsEditing() && FEditor->Node() == N) return false;
    const TQvAliveCheck Alive = AliveCheck();
    const TQvNodeRef Ref(this, N);
    const String Text = CellHintText(N, Hit.HitColumn);
    if (!Alive.Alive() || Ref.Node() == nullptr || Text.empty()) return false;
    const TRect Cell = GetDisplayRect(N, Hit.HitColumn, false);
    const int Start = Cell.Left + CellGeometry(N, Hit.HitColumn).TextLeft();
    const int Width = NodeWidth(N, Hit.HitColumn);
    if (!Alive.Alive() || Ref.Node() == nullptr) return false;
    const int TextLeft = Start + FTextMargin, TextRight = Start + Width - FTextMargin;
    const bool Cut = TextRight > std::min(Cell.Right, ClientWidth()) || TextLeft < std::max(Cell.Left, 0) ||
                     Cell.Top < 0 || Cell.Bottom > ClientHeight();
    if (!Cut) return false;
    Info.HintStr = Text;
    // Moving within the cell keeps the hint; another cell asks again.
    Info.CursorRect = Rect(std::max(Cell.Left, 0), std::max(Cell.Top, 0), std::min(Cell.Right, ClientWidth()),
                           std::min(Cell.Bottom, ClientHeight()));
    return true;
}

void TQvBaseTree::DoGetCursor(TCursor& Cursor) {
    QvRaise(OnGetCursor, this, Cursor);
}

void TQvBaseTree::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_GETDLGCODE:
            M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
            if (TreeOptions()->SelectionOptions().Contains(toExtendedFocus) && ColumnCount() > 0)
                M.Result |= DLGC_WANTTAB;
            return;
        case WM_VSCROLL:
        case WM_HSCROLL:
            FInput->ScrollMessage(M.Msg == WM_VSCROLL, LOWORD(static_cast<uintptr_t>(M.WParam)),
                                  static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(M.WParam))));
            M.Result = 0;
            return;
        case CM_HINTSHOW:
            M.Result = M.LParam != 0 && PrepareHint(*reinterpret_cast<THintInfo*>(M.LParam)) ? 0 : 1;
            return;
        case WM_NCCALCSIZE:
            TCustomControl::WndProc(M);
            if (FHeader->Visible()) {
                // The header sits in the frame above the rows.
                RECT* R = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0]
                                   : reinterpret_cast<RECT*>(M.LParam);
                if (R != nullptr) R->Top = std::min(R->Top + FHeader->Height(), R->Bottom);
            }
            return;
        case WM_NCPAINT: {
            const TQvAliveCheck Alive = AliveCheck();
            TCustomControl::WndProc(M);
            if (Alive.Alive() && FHeader->Visible()) PaintHeaderFrame();
            return;
        }
        case WM_SETCURSOR:
            if (FInput->SetCursor(M)) return;
            break;
        case CM_MOUSELEAVE:
            if (M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(this)) {
                const TQvAliveCheck Alive = AliveCheck();
                FHeader->MouseLeave();
                FInput->MouseLeave();
                if (!Alive.Alive()) return;
            }
            break;
        case WM_CONTEXTMENU:
            // From the keyboard: at the centre of the focused cell.
            if (M.LParam == -1)
                if (TPoint P; FInput->FocusedCellCentre(P)) M.LParam = MAKELPARAM(P.X, P.Y);
            break;
        case WM_TIMER:
            if (M.WParam == TQvTreeEditor::TimerId) {
                FEditor->TimerFired();
                return;
            }
            break;
        case WM_CANCELMODE:
        case CM_CANCELMODE:
            FHeader->CancelTracking();
            FInput->CancelMode();
            break;
        default:
            break;
    }
    TCustomControl::WndProc(M);
}
