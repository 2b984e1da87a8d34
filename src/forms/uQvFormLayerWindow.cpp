#include "forms/uQvFormLayerWindow.h"

#include <algorithm>

#include "forms/uPelluxNCCtrlBase.h"
#include "forms/uQvFormBorder.h"
#include "platform/uQvGdiRegions.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvPixel.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "skin/uPelluxIntf.h"

void QvPremultiply(const TSurface32& Src, TSurface32& Dst) {
    if (!Dst.SetSize(Src.Width(), Src.Height())) return;
    const int N = Src.Width() * Src.Height();
    if (N > 0) PixelKernels().PremultiplyLine(Src.Bits(), Dst.Bits(), N);
}

namespace {

// Without per-pixel alpha a pixel either shows solid or not at all; the region holds the
// solid ones, so nothing half-transparent turns into an opaque band.
TQvRegion MakeSolid(TSurface32& S) {
    std::vector<TRect> Runs;
    for (int Y = 0; Y < S.Height(); ++Y) {
        TColor32* Row = S.ScanLine(Y);
        int Start = -1;
        for (int X = 0; X <= S.Width(); ++X) {
            const bool Solid = X < S.Width() && (Row[X] >> 24) >= 128;
            if (X < S.Width()) Row[X] = Solid ? (Row[X] | 0xFF000000u) : 0;
            if (Solid && Start < 0) Start = X;
            if (!Solid && Start >= 0) {
                Runs.push_back(Rect(Start, Y, X, Y + 1));
                Start = -1;
            }
        }
    }
    return TQvRegion::FromRects(Runs);
}

}  // namespace

TqvFormLayerWindow::TqvFormLayerWindow(TQvFormLayerBorder* Border, TqvFormLayerBorderType Side,
                                       bool Transparent, TCustomForm* Form)
    : TForm(Border), FBorderType(Side), FTransparent(Transparent), FLayerBorder(Border), FForm(Form) {
    SetBorderStyle(bsNone);
    SetScaled(false);
    // The controls it carries keep the form's scaling.
    if (Form != nullptr) ScaleForPPI(Form->CurrentPPI());
    HandleNeeded();
}

void TqvFormLayerWindow::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | (FTransparent ? WS_EX_TRANSPARENT : WS_EX_NOACTIVATE);
    Params.ClassStyle |= CS_OWNDC | CS_DBLCLKS;
    // The form's owner, so the side can lie directly behind the form (an owned window always
    // stays above its owner): none for the main form.
    Params.WndParent = nullptr;
    if (FForm != nullptr && FForm->HandleAllocated()) {
        Params.WndParent = GetWindow(FForm->Handle(), GW_OWNER);
        if (GetWindowLongPtr(FForm->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) Params.ExStyle |= WS_EX_TOPMOST;
    }
}

void TqvFormLayerWindow::CreateWnd() {
    TForm::CreateWnd();
    // The form takes its layered style from its alpha settings, which a side never uses.
    const LONG_PTR Ex = GetWindowLongPtr(Handle(), GWL_EXSTYLE);
    if (!(Ex & WS_EX_LAYERED)) SetWindowLongPtr(Handle(), GWL_EXSTYLE, Ex | WS_EX_LAYERED);
    // Where a compositor runs, a native display shows the side in the form's own window.
    if (FForm != nullptr && FForm->HandleAllocated()) QvSetMarginOf(Handle(), FForm->Handle());
}

void TqvFormLayerWindow::ShowSide() {
    FHided = false;
    DrawSelf(false);
}

void TqvFormLayerWindow::HideSide() {
    FHided = true;
    DrawSelf(true);
}

bool TqvFormLayerWindow::OnThisSide(const TPelluxNCCtrlBase* C) const {
    switch (C->PutSide()) {
        case skdLeft:
            return FBorderType == mpflLeft;
        case skdTop:
            return FBorderType == mpflTop;
        case skdRight:
            return FBorderType == mpflRight;
        case skdBottom:
            return FBorderType == mpflBottom;
    }
    return false;
}

std::vector<TPelluxNCCtrlBase*> TqvFormLayerWindow::SideControls() const {
    std::vector<TPelluxNCCtrlBase*> List = FLayerBorder->NCCtrlList();
    std::erase_if(List, [this](const TPelluxNCCtrlBase* C) { return !OnThisSide(C); });
    return List;
}

void TqvFormLayerWindow::DrawSelf(bool Hidden) {
    if (!HandleAllocated()) return;
    const TSurface32* Slice = FLayerBorder->SideImage(FBorderType);
    TSurface32 S;
    if (Slice == nullptr || Slice->Empty()) {
        // Nothing to show on this side (a form smaller than the border's corners).
        S.SetSize(1, 1);
    } else {
        S.SetSize(Slice->Width(), Slice->Height());
        std::copy_n(Slice->Bits(), static_cast<size_t>(S.Width()) * static_cast<size_t>(S.Height()),
                    S.Bits());
    }
    // The controls measure their places in the window's size, so it takes the slice's first.
    if (Width() != S.Width() || Height() != S.Height())
        SetWindowPos(Handle(), nullptr, 0, 0, S.Width(), S.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!Hidden && !FHided && !FTransparent) {
        const TQvAliveCheck Alive = AliveCheck();
        for (TPelluxNCCtrlBase* C : SideControls()) {
            FLayerBorder->AdoptControl(C, this);
            if (C->Form() == this && C->Visible()) C->Paint(&S);
            if (!Alive.Alive()) return;
        }
    }
    const bool Translucent = TQvFormLayerBorder::Translucent();
    if (!Translucent)
        SetWindowRgn(Handle(), GdiCreateRegion(MakeSolid(S)), FALSE);
    else if (FShaped)
        SetWindowRgn(Handle(), nullptr, FALSE);
    FShaped = !Translucent;
    TSurface32 P;
    QvPremultiply(S, P);
    RECT W;
    GetWindowRect(Handle(), &W);
    const POINT Pos{W.Left, W.Top}, Zero{0, 0};
    const SIZE Size{P.Width(), P.Height()};
    const BLENDFUNCTION Blend{AC_SRC_OVER, 0, static_cast<BYTE>(Hidden ? 0 : 255), AC_SRC_ALPHA};
    UpdateLayeredWindow(Handle(), nullptr, &Pos, &Size, P.Handle(), &Zero, 0, &Blend, ULW_ALPHA);
}

// ---- Mouse --------------------------------------------------------------------------------

void TqvFormLayerWindow::NCPress() {
    const TQvAliveCheck Alive = AliveCheck();
    for (TPelluxNCCtrlBase* C : SideControls())
        if (C->Form() == this && C->Visible() && C->CursorEnter()) {
            C->LMouseDown();
            return;
        }
    if (!FDrag || FForm == nullptr || !FForm->HandleAllocated() || !Alive.Alive()) return;
    ReleaseCapture();
    // A move from the cursor, as a press on the form's own caption starts.
    SendMessage(FForm->Handle(), WM_SYSCOMMAND, SC_MOVE | 1, 0);
}

void TqvFormLayerWindow::NCRelease() {
    for (TPelluxNCCtrlBase* C : SideControls())
        if (C->Form() == this && C->Visible() && C->CursorEnter()) {
            C->LMouseUp();
            return;
        }
}

void TqvFormLayerWindow::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_NCHITTEST:
            M.Result = HTOBJECT;
            return;
        case WM_MOUSEACTIVATE:
            M.Result = MA_NOACTIVATE;
            return;
        case WM_NCLBUTTONDOWN:
            return NCPress();
        case WM_NCLBUTTONUP:
            return NCRelease();
        case WM_NCMOUSEMOVE: {
            const TPoint P{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
            const TQvAliveCheck Alive = AliveCheck();
            for (TPelluxNCCtrlBase* C : SideControls()) {
                if (C->Form() == this) C->NCMouseMove(P);
                if (!Alive.Alive()) return;
            }
            return;
        }
        case WM_SYSCOMMAND:
            // Only a move by the mouse (a title label's drag) reaches the form.
            if (M.WParam == (SC_MOVE | HTCAPTION) && FForm != nullptr && FForm->HandleAllocated())
                M.Result = SendMessage(FForm->Handle(), WM_SYSCOMMAND, M.WParam, M.LParam);
            return;
        case MM_NCPAINT:
            DrawSelf(FHided);
            return;
        default:
            TForm::WndProc(M);
    }
}
