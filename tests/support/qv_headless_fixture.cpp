#include "support/qv_headless_fixture.h"

#include "platform/uQvMessages.h"
#include "platform/uQvWindows.h"

void TQvHeadlessTest::SetUp() { Headless = &QvInstallHeadless(); }

void TQvHeadlessTest::TearDown() {
    if (!ExpectExceptions) {
        for (const std::string& E : Headless->Exceptions()) ADD_FAILURE() << "exception caught at dispatch: " << E;
    }
    QvResetWindowSystem();
}

void TQvHeadlessTest::ProcessMessages() {
    MSG M;
    while (PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
        if (M.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(M.wParam));
            return;
        }
        TranslateMessage(&M);
        DispatchMessage(&M);
    }
}

void TQvHeadlessTest::RunScript() {
    ProcessMessages();
    while (!Headless->ScriptDone()) {
        WaitMessage();
        ProcessMessages();
    }
}
