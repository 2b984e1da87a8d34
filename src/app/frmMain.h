#pragma once
// The main window's frame: the left panel for the navigation bar, the top strip for the
// tabs and the page area with its splitter buttons. Closing it ends the application.

#include "app/frmBase.h"
#include "framework/uQvStdCtrls.h"

class TMainForm : public TBaseForm {
public:
    explicit TMainForm(TComponent* AOwner);
    ~TMainForm() override;

    TWinControl* pnlLeft = nullptr;
    TWinControl* pnl1 = nullptr;
    TWinControl* pnl2 = nullptr;
    TWinControl* pnl3 = nullptr;
    TWinControl* pnlSubClient = nullptr;
    TWinControl* pnlSplitter = nullptr;
    TButton* btnShowNAVBar = nullptr;
    TButton* btnHideNAVBar = nullptr;

private:
    void FormResize(TObject* Sender);
};

// The application's main form, from its creation to the end of the program.
extern TMainForm* MainForm;
