#pragma once
// The login window: the gate to the main window. Its login button sets AllowLogin and
// ends the modal loop with OK; closing it any other way leaves AllowLogin false. No user
// name or password is checked.

#include "app/frmBase.h"
#include "framework/uQvStdCtrls.h"

class TLoginForm : public TBaseForm {
public:
    explicit TLoginForm(TComponent* AOwner);

    bool AllowLogin() const { return FAllowLogin; }

    TLabel* lblContact = nullptr;
    TWinControl* pnlVCenter = nullptr;
    TWinControl* pnlHCenter = nullptr;
    TButton* btn1 = nullptr;

private:
    void FormResize(TObject* Sender);
    void btn1Click(TObject* Sender);

    bool FAllowLogin = false;
};

// The login window while the start-up shows it.
extern TLoginForm* LoginForm;
