#include "forms/uQvStdCtrl.h"

#include "framework/uQvForms.h"

TQvHookWindowProc::TQvHookWindowProc(TComponent* AOwner) : TComponent(AOwner) {
    FDestForm = dynamic_cast<TCustomForm*>(AOwner);
    if (FDestForm == nullptr || ComponentState().Contains(csDesigning)) {
        FDestForm = nullptr;
        return;
    }
    FOldWindowProc = FDestForm->WindowProc;
    // The procedure checks the flag: a copy of it kept by a dispatch still running when
    // the hook goes passes the message to the old procedure instead.
    std::weak_ptr<bool> Alive = FAlive;
    TWndMethod Old = FOldWindowProc;
    FDestForm->WindowProc = [this, Alive, Old](TMessage& M) {
        if (!Alive.expired()) {
            NewWndProc(M);
        } else if (Old) {
            Old(M);
        }
    };
}

TQvHookWindowProc::~TQvHookWindowProc() {
    Unhook();
    *FAlive = false;
}

void TQvHookWindowProc::Unhook() {
    if (FDestForm != nullptr && FOldWindowProc) FDestForm->WindowProc = FOldWindowProc;
    FOldWindowProc = nullptr;
}

void TQvHookWindowProc::NewWndProc(TMessage& M) {
    if (FOldWindowProc) FOldWindowProc(M);
}
