// The form skin on a window: what it reserves and paints, its hit zones and size rules
// through the messages, minimize and restore hiding, the first show, maximizing.

#include "controls/form_skin_fixture.h"

namespace {

TEST_F(FormSkinTest, Smoke) {
    TForm* F = NewSkinned(Bounds(100, 100, 400, 300));
    EXPECT_EQ(F->ClientRect(), Rect(0, 0, 396, 271));
    EXPECT_FALSE(F->AlphaBlend());
    Headless->SaveScreenshot(u"/tmp/fs/smoke.png");
}

}  // namespace
