#include "controls/uPelluxControls.h"

#include "controls/base/uQvLocate.h"
#include "controls/base/uSimpleTimer.h"
#include "controls/uPelluxButton.h"
#include "controls/uPelluxCheckBox.h"
#include "controls/uPelluxColorButton.h"
#include "controls/uPelluxHtmlLabel.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxMessageBoxStyle.h"
#include "controls/uPelluxPanel.h"
#include "controls/uPelluxPopupMessage.h"
#include "controls/uPelluxScrollBar.h"
#include "controls/uPelluxShape.h"
#include "controls/uPelluxTree.h"
#include "controls/uQvLikeMenuDlg.h"
#include "forms/uPelluxFormClasses.h"
#include "forms/uPelluxMenuHook.h"
#include "framework/uQvAppInit.h"
#include "skin/uPelluxSkin.h"

void RegisterPelluxControls() {
    RegisterPelluxSkin();
    RegisterSimpleTimers();
    RegisterPelluxMenuHook();
    RegisterPelluxMessageBoxStyle();
    QvRegisterInitStep(ioPelluxClasses, u"pellux classes", [] {
        RegisterQvLocate();
        RegisterPelluxButtons();
        RegisterPelluxColorButtons();
        RegisterPelluxPanels();
        RegisterPelluxLabels();
        RegisterPelluxHtmlLabel();
        RegisterPelluxShapes();
        RegisterPelluxToggles();
        RegisterPelluxPopupMessage();
        RegisterPelluxScrollBar();
        RegisterPelluxTrees();
        RegisterQvLikeMenuDlg();
        RegisterPelluxForms();
    }, {});
}
