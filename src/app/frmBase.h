#pragma once
// The base of the shell's windows that get a skin of their own (login, main window,
// dialogs): each has its own taskbar button and no owner window.

#include "framework/uQvForms.h"

class TBaseForm : public TForm {
public:
    explicit TBaseForm(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
};
