#include "forms/uQvPopupListEx.h"

#include <memory>

#include "forms/uPelluxForm.h"
#include "framework/uQvApplication.h"
#include "platform/uQvMessages.h"

namespace {

int Count = 0;
// The list that was the application's before the first Install.
std::unique_ptr<TPopupList> Saved;
// The installed list while it lives (a window system started over frees it).
TPopupListEx* Current = nullptr;

// Asked first: finding the window gone frees the installed list.
bool Ours() {
    const TPopupList* List = PopupList();
    return Current != nullptr && List == Current;
}

}  // namespace

TPopupListEx::~TPopupListEx() {
    if (Current == this) Current = nullptr;
}

void TPopupListEx::WndProc(TMessage& M) {
    UINT Notice = 0;
    if (M.Msg == WM_MENUSELECT && HIWORD(M.WParam) == 0xFFFF && M.LParam == 0)
        Notice = MM_MENUCLOSED;
    else if (M.Msg == WM_ENTERMENULOOP)
        Notice = MM_ENTERMENULOOP;
    else if (M.Msg == WM_EXITMENULOOP)
        Notice = MM_EXITMENULOOP;
    if (Notice != 0 && Screen != nullptr)
        if (TCustomForm* F = Screen->ActiveForm()) {
            const TPopupListEx* Self = this;
            F->Perform(Notice, 0, 0);
            // The notice may have released the last install, which freed this list.
            if (Current != Self) return;
        }
    TPopupList::WndProc(M);
}

void TPopupListEx::Install() {
    ++Count;
    if (Ours()) return;
    auto List = std::make_unique<TPopupListEx>();
    Current = List.get();
    std::unique_ptr<TPopupList> Old = SetPopupList(std::move(List));
    // A list made again after the window system started over is not the one to restore.
    if (!Saved) Saved = std::move(Old);
}

void TPopupListEx::Release() {
    if (Count == 0 || --Count > 0) return;
    if (Ours()) SetPopupList(std::move(Saved));
    Saved.reset();
}

bool TPopupListEx::Active() {
    return Ours();
}

