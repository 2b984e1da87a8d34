#include "forms/uPelluxNCMenuItem.h"

#include "draw/uPelluxDPI.h"
#include "forms/uPelluxForm.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxMenu.h"
#include "framework/uQvForms.h"
#include "framework/uQvMenus.h"
#include "framework/uQvPopupList.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

constexpr TColor DisabledCaption = 13092292;

TColor32 HalfAlpha(TColor Color) {
    return (ToColor32(Color) & 0x00FFFFFFu) | 0x80000000u;
}

}  // namespace

TPelluxNCMenuItem::TPelluxNCMenuItem(TCustomForm* AForm, TPelluxMainMenu* AMainMenu,
                                     TQvMainMenuData* AMenuData)
    : TPelluxNCButton(AForm), FMenuData(AMenuData), FPelluxMainMenu(AMainMenu) {
    // Stored but never painted: the entry draws its own colours.
    Picture()->SetActive(false);
    if (FMenuData != nullptr) {
        SetEnabled(FMenuData->Enabled);
        FMenuData->NCMenuItem = this;
        SetCaption(FMenuData->Caption);
    }
    if (FPelluxMainMenu != nullptr) Font()->Assign(FPelluxMainMenu->Font());
    Measure();
    FClickCount = 0;
    SetTimerInterval(10);
}

TPelluxNCMenuItem::~TPelluxNCMenuItem() {
    if (FPelluxMainMenu != nullptr) FPelluxMainMenu->EntryGone(this);
}

void TPelluxNCMenuItem::Detach() {
    FMenuData = nullptr;
    FPelluxMainMenu = nullptr;
}

TPopupMenu* TPelluxNCMenuItem::Popup() const {
    return FMenuData != nullptr && FPelluxMainMenu != nullptr ? FMenuData->PopupMenu.get() : nullptr;
}

void TPelluxNCMenuItem::Measure() {
    TSurface32 S;
    S.SetFont(Font());
    TRect R{0, 0, 0, 0};
    S.Canvas()->TextRect(R, Caption().empty() ? String(u" ") : Caption(), {tfCalcRect, tfSingleLine});
    Pos()->SetWidth(R.Width() + 4);
    Pos()->SetHeight(R.Height() + 4);
}

int TPelluxNCMenuItem::GetWidth() {
    return Pos()->DisplayWidth();
}

int TPelluxNCMenuItem::GetHeight() {
    return Pos()->DisplayHeight();
}

void TPelluxNCMenuItem::EndPress() {
    POINT Cursor;
    FPress.Release(GetCursorPos(&Cursor) && PointInside(Cursor));
    Invalidate();
}

void TPelluxNCMenuItem::DoTimer() {
    const TBusy Busy(this);
    Register();
    // Tracking starts once the form skin lists the entry: only then does it paint.
    if (!Hooked()) return;
    POINT Cursor;
    if (!GetCursorPos(&Cursor)) return;
    TCustomForm* F = Form();
    if (F != nullptr && F->HandleAllocated() && WindowFromPoint(Cursor) == F->Handle()) {
        NCMouseMove(Cursor);
    } else if (FPress.Inside()) {
        FPress.Leave();
        MouseLeave();
    }
}

void TPelluxNCMenuItem::MouseEnter() {
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxNCButton::MouseEnter();
    if (!Alive.Alive() || FPelluxMainMenu == nullptr || !Visible() || !Enabled()) return;
    TPelluxNCMenuItem* Last = FPelluxMainMenu->LastFocusMenu();
    if (Last == nullptr || Last == this) return;
    FClickCount = 0;
    Last->SetDown(false);
    if (!Alive.Alive() || FPelluxMainMenu == nullptr) return;
    if (Pos()->DisplayY() + Pos()->DisplayHeight() > 7) {
        FPelluxMainMenu->SetNextFocusMenu(this);
        SendMessage(PopupList()->Window(), WM_CANCELMODE, 0, 0);
    }
}

void TPelluxNCMenuItem::MouseLeave() {
    if (Visible() && Enabled()) FClickCount = 0;
    TPelluxNCButton::MouseLeave();
}

void TPelluxNCMenuItem::LMouseDown() {
    TPopupMenu* Menu = Popup();
    if (Menu == nullptr) return;
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    if (Menu->Items()->Count() == 0) {
        TPelluxNCButton::LMouseDown();
        if (!Alive.Alive() || FMenuData == nullptr) return;
        if (Visible() && Enabled() && FMenuData->OnClick && (FClickCount - 1) % 2 == 0) {
            FPelluxMainMenu->SetNextFocusMenu(nullptr);
            FPelluxMainMenu->SetLastFocusMenu(this);
            SetDown(true);
            // A copy: the handler may rebuild the title-bar menu and free the record.
            const TNotifyEvent Handler = FMenuData->OnClick;
            Handler(this);
            if (!Alive.Alive()) return;
            // Nothing is left open to close: the entry lets go at once.
            SetDown(false);
            if (FPelluxMainMenu != nullptr && FPelluxMainMenu->LastFocusMenu() == this)
                FPelluxMainMenu->SetLastFocusMenu(nullptr);
            EndPress();
        }
    } else if (Visible() && Enabled() && (FClickCount - 1) % 3 != 0) {
        // A press that opens nothing still starts the click its release ends.
        if (!FInClick) FPress.Press();
    } else if (Visible() && Enabled()) {
        FPelluxMainMenu->SetNextFocusMenu(nullptr);
        FPelluxMainMenu->SetLastFocusMenu(this);
        SetDown(true);
        TPelluxNCButton::LMouseDown();
        if (!Alive.Alive() || Popup() == nullptr) return;
        TCustomForm* F = Form();
        const int X = F->Left() + Pos()->DisplayX(),
                  Y = F->Top() + Pos()->DisplayY() + Pos()->DisplayHeight();
        if (TPelluxMenu* Skin = FPelluxMainMenu->MenuSkin())
            Menu->Popup(X - ScaleByDPI(F, Skin->BorderOffset()), Y);
        else
            Menu->Popup(X, Y + 1);
        if (!Alive.Alive()) return;
        EndPress();
    }
    ++FClickCount;
}

void TPelluxNCMenuItem::LMouseUp() {
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxNCButton::LMouseUp();
    // The group latch of a button is not the entry's: it shows pressed only while its
    // popup is open, and that has closed by now.
    if (Alive.Alive() && (FPelluxMainMenu == nullptr || FPelluxMainMenu->LastFocusMenu() != this))
        SetDown(false);
}

void TPelluxNCMenuItem::Click() {
    if (!Visible() || !Enabled()) return;
    const TBusy Busy(this);
    const TQvAliveCheck Alive = AliveCheck();
    FInClick = true;
    LMouseDown();
    if (!Alive.Alive()) return;
    FInClick = false;
    TPelluxNCButton::Click();
}

void TPelluxNCMenuItem::Paint(TSurface32* Surface) {
    if (Popup() == nullptr) return;
    TPelluxNCCtrlBase::Paint(Surface);
    const int X = Pos()->DisplayX(), Y = Pos()->DisplayY(), Grow = ScaleByDPI(Form(), 2);
    TRect R{X, Y - Grow, X + Pos()->DisplayWidth(), Y + Pos()->DisplayHeight() + Grow};
    if (Enabled()) {
        const TNCButtonState S = State();
        if (S == bsHot) Surface->FillRectTS(R, HalfAlpha(FPelluxMainMenu->HotColor()));
        if (S == bsPressed) Surface->FillRectTS(R, HalfAlpha(FPelluxMainMenu->PressColor()));
    }
    TFont F;
    F.Assign(Font());
    ScaleFontByDPI(Form(), &F);
    if (!Enabled()) F.SetColor(DisabledCaption);
    Surface->SetFont(&F);
    R.Top -= 1;
    R.Bottom -= 1;
    Surface->Textout(R, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Caption());
}

void TPelluxNCMenuItem::DPIChanged() {
    TPelluxNCButton::DPIChanged();
    Measure();
}
