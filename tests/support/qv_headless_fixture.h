#pragma once
// Fixture for tests on the headless backend: a fresh backend and window system per test;
// the test fails when an exception was caught at dispatch (unless it expects them).

#include <gtest/gtest.h>

#include "platform/backends/headless/uQvHeadless.h"
#include "support/qv_message_log.h"

class TQvHeadlessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches every pending message (posted, input, due timers); never waits.
    static void ProcessMessages();
    // Runs the scripted input through a waiting loop until no step is left, dispatching
    // everything on the way.
    void RunScript();

    TQvHeadless* Headless = nullptr;
    bool ExpectExceptions = false;
};
