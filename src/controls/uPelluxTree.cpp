#include "controls/uPelluxTree.h"

#include "controls/uPelluxPanel.h"
#include "controls/uPelluxScrollBar.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvScroll.h"
#include "platform/uQvWindows.h"

template <class TTree>
TPelluxSkinnedTree<TTree>::TPelluxSkinnedTree(TComponent* AOwner) : TTree(AOwner) {
    // The bordered panel, when there is one, is the frame.
    this->SetBorderStyle(bsNone);
}

template <class TTree>
TPelluxSkinnedTree<TTree>::~TPelluxSkinnedTree() {
    ReleaseBar(FVScrollBar);
    ReleaseBar(FHScrollBar);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::ReleaseBar(TPelluxScrollBar*& Field) {
    if (Field == nullptr) return;
    Field->RemoveFreeNotification(this);
    if (Field->BindingWinControl() == this) {
        Field->OnChange = nullptr;
        Field->SetBindingWinControl(nullptr);
    }
    Field = nullptr;
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::SetBar(TPelluxScrollBar*& Field, TPelluxScrollBar* Value, bool Vertical) {
    if (Field == Value) return;
    ReleaseBar(Field);
    Field = Value;
    if (Value == nullptr) return;
    Value->FreeNotification(this);
    if (this->ComponentState().Contains(csDesigning)) return;
    Value->SetRange(0, 0, 0, 0);
    Value->SetAutoHide(true);
    Value->SetSmallChange(20);
    Value->SetBindingWinControl(this);
    Value->OnChange = [this, Vertical](TObject*) { BarChanged(Vertical); };
    MirrorBar(Vertical);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::SetPelluxBorderPanel(TPelluxBorderPanel* Value) {
    if (FPelluxBorderPanel == Value) return;
    if (FPelluxBorderPanel != nullptr) FPelluxBorderPanel->RemoveFreeNotification(this);
    FPelluxBorderPanel = Value;
    if (Value == nullptr) return;
    Value->FreeNotification(this);
    Value->SetCMMouse(false);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::MirrorBar(bool Vertical) {
    TPelluxScrollBar* Bar = Vertical ? FVScrollBar : FHScrollBar;
    if (Bar == nullptr || this->ComponentState().Contains(csDesigning)) return;
    if (!this->Enabled()) {
        Bar->SetEnabled(false);
        return;
    }
    SCROLLINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = SIF_ALL;
    const bool Read = this->HandleAllocated() && GetScrollInfo(this->Handle(), Vertical ? SB_VERT : SB_HORZ, &Info);
    // The maximum is the last pixel (inclusive), so the vertical test counts one more; the
    // horizontal bar has always compared with the maximum itself.
    const int64_t Page = Info.nPage;
    const bool Scrolls = Read && (Vertical ? Page < int64_t(Info.nMax) + 1 : Page < Info.nMax);
    if (Scrolls) {
        Bar->SetRange(0, Info.nMax, Info.nPos, static_cast<int>(Info.nPage));
        if (!Bar->Enabled()) Bar->SetEnabled(true);
    } else {
        Bar->SetRange(0, 0, 0, 0);
        if (Bar->Enabled()) Bar->SetEnabled(false);
    }
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::BarChanged(bool Vertical) {
    TPelluxScrollBar* Bar = Vertical ? FVScrollBar : FHScrollBar;
    if (Bar == nullptr) return;
    this->BeginUpdate();
    FLockUpdate = true;
    try {
        if (Vertical)
            this->SetOffsetY(-Bar->Position());
        else
            this->SetOffsetX(-Bar->Position());
        if (OnScrollBarChange) OnScrollBarChange(Bar);
    } catch (...) {
        FLockUpdate = false;
        this->EndUpdate();
        throw;
    }
    FLockUpdate = false;
    this->EndUpdate();
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::UpdateVerticalScrollBar(bool DoRepaint) {
    TTree::UpdateVerticalScrollBar(DoRepaint);
    MirrorBar(true);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::UpdateHorizontalScrollBar(bool DoRepaint) {
    TTree::UpdateHorizontalScrollBar(DoRepaint);
    MirrorBar(false);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::DoScroll(int DeltaX, int DeltaY) {
    TTree::DoScroll(DeltaX, DeltaY);
    if (FLockUpdate) return;
    MirrorBar(true);
    MirrorBar(false);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::AlignControls(TControl* AControl, TRect& Rect) {
    MirrorBar(true);
    MirrorBar(false);
    TTree::AlignControls(AControl, Rect);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::CreateParams(TCreateParams& Params) {
    TTree::CreateParams(Params);
    Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::Notification(TComponent* AComponent, TOperation Operation) {
    TTree::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FVScrollBar) FVScrollBar = nullptr;
    if (AComponent == FHScrollBar) FHScrollBar = nullptr;
    if (AComponent == FPelluxBorderPanel) FPelluxBorderPanel = nullptr;
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::UpdatePanelFrame(bool ViaMouse, bool InFocus) {
    if (FPelluxBorderPanel != nullptr) FPelluxBorderPanel->UpdateFrame(ViaMouse, InFocus);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::DoEnter() {
    TTree::DoEnter();
    UpdatePanelFrame(false, true);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::DoExit() {
    TTree::DoExit();
    UpdatePanelFrame(false, false);
}

template <class TTree>
void TPelluxSkinnedTree<TTree>::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_NCCALCSIZE:
            // The platform's own bars never show; the skinned ones stand in for them.
            if (this->HandleAllocated()) {
                const LONG_PTR Style = GetWindowLongPtr(this->Handle(), GWL_STYLE);
                if ((Style & (WS_HSCROLL | WS_VSCROLL)) != 0)
                    SetWindowLongPtr(this->Handle(), GWL_STYLE, Style & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
            }
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE: UpdatePanelFrame(true, Message.Msg == CM_MOUSEENTER); break;
        default: break;
    }
    TTree::WndProc(Message);
}

template class TPelluxSkinnedTree<TQvStringTree>;
template class TPelluxSkinnedTree<TQvDrawTree>;

namespace {
template <class T>
void RegisterTree(const String& Name) {
    RegisterClass<T, TCustomControl>(Name)
        .template Component<TPelluxScrollBar>(u"VScrollBar", &T::VScrollBar, &T::SetVScrollBar)
        .template Component<TPelluxScrollBar>(u"HScrollBar", &T::HScrollBar, &T::SetHScrollBar)
        .template Component<TPelluxBorderPanel>(u"PelluxBorderPanel", &T::PelluxBorderPanel,
                                                &T::SetPelluxBorderPanel);
}
}  // namespace

void RegisterPelluxTrees() {
    RegisterTree<TPelluxStringTree>(u"TPelluxStringTree");
    RegisterTree<TPelluxDrawTree>(u"TPelluxDrawTree");
}
