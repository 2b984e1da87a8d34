#pragma once
// The base of the shell's windows that get a skin of their own (login, main window,
// dialogs): each has its own taskbar button and no owner window, and a form skin sf1 with
// its caption label and the three system buttons. Every one but the login window follows
// the skin scheme from its creation to its destruction.

#include "forms/uPelluxForm.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCLabel.h"
#include "forms/uQvFormBorder.h"
#include "framework/uQvForms.h"

class TBaseForm : public TForm {
public:
    explicit TBaseForm(TComponent* AOwner);

    TPelluxForm* sf1 = nullptr;
    TPelluxSystemButton* systmbtn1 = nullptr;  // minimize
    TPelluxSystemButton* systmbtn2 = nullptr;  // maximize and restore
    TPelluxSystemButton* systmbtn3 = nullptr;  // close
    TPelluxNCLabel* nclbl1 = nullptr;
    // The soft shadow around the window while it is neither maximized nor minimized.
    TQvFormLayerBorder* qvfrmlyrbrdr1 = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The component of the stored layout by that name, as T (nullptr when absent).
    template <typename T>
    T* Part(const char16_t* Name) {
        return dynamic_cast<T*>(FindComponent(Name));
    }
    // Whether the window follows the skin scheme (the login keeps its own colours).
    bool FFollowsScheme = true;
    // The handlers that derived windows call first from their own.
    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    // The window's caption, also shown by the title label.
    void SetTitle(const String& Title);
};
