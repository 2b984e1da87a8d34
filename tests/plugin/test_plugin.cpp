// The program exports its window system and the plug-in it loads uses that one copy: a
// window the plug-in makes is a window of the host.

#include <dlfcn.h>

#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

class Plugin : public TQvHeadlessTest {};

TEST_F(Plugin, TheChildItMakesLivesInTheHostsWindowTable) {
    WNDCLASS C;
    C.lpfnWndProc = DefWindowProc;
    C.lpszClassName = u"TPage";
    ASSERT_NE(RegisterClass(&C), 0);
    HWND Page = CreateWindowEx(0, u"TPage", u"page", WS_POPUP | WS_VISIBLE, 10, 10, 320, 200, nullptr, nullptr, nullptr,
                               nullptr);
    ASSERT_NE(Page, nullptr);

    void* Lib = dlopen(QV_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(Lib, nullptr) << dlerror();
    auto Call = reinterpret_cast<void (*)(HWND)>(dlsym(Lib, "CallSubFrameInDll"));
    ASSERT_NE(Call, nullptr);
    // The plug-in holds no window system of its own.
    void* Own = dlsym(Lib, "_Z8IsWindowP6HWND__");
    EXPECT_TRUE(Own == nullptr || Own == reinterpret_cast<void*>(&IsWindow));

    Call(Page);
    HWND Sub = GetWindow(Page, GW_CHILD);
    ASSERT_NE(Sub, nullptr);
    EXPECT_EQ(GetWindowTextString(Sub), u"sub frame");
    EXPECT_EQ(GetClassNameString(Sub), u"TSubFrame");
    EXPECT_TRUE(GetClassInfo(nullptr, u"TSubFrame", nullptr));
    RECT R;
    GetWindowRect(Sub, &R);
    EXPECT_EQ(R, Bounds(10, 10, 320, 200));
    EXPECT_TRUE(IsWindowVisible(Sub));
    DestroyWindow(Page);
    EXPECT_FALSE(IsWindow(Sub));
    dlclose(Lib);
}
