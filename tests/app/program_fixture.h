#pragma once
// Headless tests of the whole program, with the settings file in the test's own folder.

#include "app/uProSettings.h"
#include "platform/uQvPaths.h"
#include "support/qv_headless_fixture.h"

class TProgramTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        SetTempPathForTests(u".");
        ResetProSettingsForTests();
    }
    void TearDown() override {
        ResetProSettingsForTests();
        SetTempPathForTests(u"");
        TQvHeadlessTest::TearDown();
    }
};
