#pragma once
// The main window's frame: the skinned title bar with the product caption and picture, the
// left panel for the navigation bar, the top strip for the tabs and the page area with its
// splitter buttons. Its colours follow the title colour of its form skin. It opens
// maximized; closing it ends the application.

#include "app/frmBase.h"
#include "forms/uPelluxNCImage.h"

class TPelluxButton;
class TPelluxPanel;

class TMainForm : public TBaseForm {
public:
    explicit TMainForm(TComponent* AOwner);
    ~TMainForm() override;

    TPelluxNCImage* qvskncmg1 = nullptr;
    TPelluxPanel* pnlLeft = nullptr;
    TPelluxPanel* pnl1 = nullptr;
    TPelluxPanel* pnl2 = nullptr;
    TPelluxPanel* pnl3 = nullptr;
    TPelluxPanel* pnlSubClient = nullptr;
    TPelluxPanel* pnlSplitter = nullptr;
    TPelluxButton* btnShowNAVBar = nullptr;
    TPelluxButton* btnHideNAVBar = nullptr;

private:
    void FormCreate(TObject* Sender);
    void FormResize(TObject* Sender);
    void sf1Changed(TObject* Sender);
    // The title label in the middle of the title bar.
    void CentreTitle();

    // Counts the blank pages opened.
    int FAutoID = 0;
};

// The application's main form, from its creation to the end of the program.
extern TMainForm* MainForm;
