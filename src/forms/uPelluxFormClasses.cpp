#include "forms/uPelluxFormClasses.h"

#include "forms/uPelluxForm.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxMenu.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCCtrlBase.h"
#include "forms/uPelluxNCImage.h"
#include "forms/uPelluxNCLabel.h"
#include "forms/uQvFormBorder.h"

void RegisterPelluxForms() {
    RegisterPelluxNCCtrlBase();
    RegisterPelluxNCButtons();
    RegisterPelluxNCLabel();
    RegisterPelluxNCImage();
    RegisterQvFormBorder();
    RegisterPelluxMenu();
    RegisterPelluxMainMenu();
    RegisterPelluxForm();
}
