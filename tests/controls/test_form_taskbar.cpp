// The form skin and the taskbar: the options that give an owned form a button of its own or
// take it away, and the hook on the application's window that hides and shows the skinned
// form when the application is minimized and restored from its own button.

#include "controls/form_skin_fixture.h"

namespace {

LONG_PTR ExStyle(TForm* F) {
    return GetWindowLongPtr(F->Handle(), GWL_EXSTYLE);
}

TEST_F(FormSkinTest, TaskbarOptionsAndTheApplicationWindowHook) {
    // Owned forms (the main form is the fixture's): a button of their own, or none at all.
    TForm* Own = NewSkinned(Bounds(100, 100, 300, 200), bsSizeable, false);
    Skin->Options()->SetMinimizeToTaskbar(true);
    ShowAndSettle(Own);
    EXPECT_NE(ExStyle(Own) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindowLongPtr(Own->Handle(), GWLP_HWNDPARENT), 0);
    TForm* Tool = NewSkinned(Bounds(500, 100, 300, 200), bsSizeable, false);
    Skin->Options()->SetHideInTaskbar(true);
    ShowAndSettle(Tool);
    EXPECT_EQ(ExStyle(Tool) & WS_EX_APPWINDOW, 0);
    EXPECT_NE(ExStyle(Tool) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(GetWindowLongPtr(Tool->Handle(), GWL_STYLE) & WS_SYSMENU, 0);

    // The application's own button (the main form not on the taskbar): minimizing hides the
    // skinned form at alpha 0, restoring shows it again with its own alpha.
    ASSERT_FALSE(Application->MainFormOnTaskBar());
    SendMessage(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ProcessMessages();
    EXPECT_TRUE(Application->Minimized());
    EXPECT_EQ(Tool->AlphaBlendValue(), 0);
    EXPECT_EQ(Skin->FormState() & QvFormMinimizing, QvFormMinimizing);
    SendMessage(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_FALSE(Application->Minimized());
    EXPECT_EQ(Skin->FormState() & QvFormRestored, QvFormRestored);
    EXPECT_EQ(Tool->AlphaBlendValue(), 255);
    EXPECT_FALSE(Tool->AlphaBlend());
}

}  // namespace
