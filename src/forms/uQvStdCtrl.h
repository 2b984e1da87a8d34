#pragma once
// TQvHookWindowProc: a component that puts itself in front of its form's message
// procedure for as long as it lives. Derived classes see every message of the form in
// NewWndProc and pass on (to the procedure that was there before) what they do not handle,
// so nothing in the form's own class has to know about them.

#include <memory>

#include "framework/uQvControl.h"

class TCustomForm;

class TQvHookWindowProc : public TComponent {
public:
    // Hooks AOwner when it is a form; any other owner leaves the component inert.
    explicit TQvHookWindowProc(TComponent* AOwner);
    // Gives the form back the procedure it had.
    ~TQvHookWindowProc() override;

    // The owning form; nullptr when the owner is not one.
    TCustomForm* DestForm() const { return FDestForm; }
    bool Hooked() const { return static_cast<bool>(FOldWindowProc); }
    // Whether the component still lives, for code that goes on after passing a message on.
    TQvAliveCheck AliveCheck() const { return TQvAliveCheck(FAlive); }

protected:
    // Every message of the form. The base passes it on.
    virtual void NewWndProc(TMessage& Message);

private:
    void Unhook();

    TWndMethod FOldWindowProc;
    TCustomForm* FDestForm = nullptr;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
