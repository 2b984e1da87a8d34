// The program's message boxes: an exception caught at dispatch shows in the skinned box,
// styled by the data module.

#include "app/dmMain.h"
#include "app/frmMain.h"
#include "app/uProgram.h"
#include "controls/uPelluxButton.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxMessageBox.h"
#include "controls/uPelluxPanel.h"
#include "framework/uQvApplication.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvTimer.h"
#include "platform/uQvInput.h"

#include "app/program_fixture.h"

namespace {

class ProgramMessages : public TProgramTest {};

TEST_F(ProgramMessages, AnExceptionAtDispatchShowsInTheSkinnedBoxOfTheDataModulesStyle) {
    TPelluxMessageForm* Box = nullptr;
    String ButtonImage, Text, Caption;
    Headless->Delay(50);  // the login window fades in first
    Headless->Step([&] {
        const TPoint P = QvControlCenter(QvFindControl(u"LoginForm.btn1"));
        Headless->Click(P.X, P.Y);
        Headless->Step([&] {
            auto* T = new TTimer(MainForm);
            T->SetInterval(10);
            T->SetOnTimer([T](TObject*) {
                T->SetEnabled(false);
                throw EQvError("the handler failed");
            });
            Headless->Delay(100);
            Headless->Step([&] {
                Box = dynamic_cast<TPelluxMessageForm*>(Screen->ActiveForm());
                if (Box == nullptr) return;
                ButtonImage = Box->Button(mbOK)->Pictures()->Image();
                Text = Box->Msg()->Caption();
                Caption = Box->Caption();
                EXPECT_EQ(Box->IconPanel()->BackgroundImage(), u"PelluxMsgIcon_Error");
            });
            Headless->Key(VK_RETURN);
            Headless->Step([&] {
                EXPECT_EQ(Screen->ActiveForm(), MainForm);
                Headless->KeyDown(VK_MENU);
                Headless->Key(VK_F4);
                Headless->KeyUp(VK_MENU);
            });
        });
    });
    RunProgram();
    ASSERT_NE(Box, nullptr);
    EXPECT_EQ(ButtonImage, u"an2");
    EXPECT_EQ(Text, u"the handler failed");
    EXPECT_EQ(Caption, ApplicationTitle());
    EXPECT_EQ(CurrentMessageBoxStyle(), nullptr);  // freed with the data module
}

}  // namespace
