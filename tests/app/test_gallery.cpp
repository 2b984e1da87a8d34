// The controls gallery: repainting any one control gives the screen a full repaint gives,
// at 100 % and at 150 %.

#include <functional>

#include "app/frmGallery.h"
#include "controls/uPelluxControls.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "platform/uQvHighDpi.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWinPaint.h"
#include "support/qv_headless_fixture.h"

namespace {

class GalleryTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        HighDPIEnabled = true;
        RegisterPelluxControls();
        AppInit();
    }
    void TearDown() override {
        AppShutdown();
        HighDPIEnabled = false;
        TQvHeadlessTest::TearDown();
    }
    static std::vector<uint32_t> Pixels(const TRect& R) {
        const TGdiBitmap& Screen = QvComposedScreen();
        std::vector<uint32_t> P;
        for (int Y = R.Top; Y < R.Bottom; ++Y) P.insert(P.end(), Screen.Row(Y) + R.Left, Screen.Row(Y) + R.Right);
        return P;
    }
    static void Walk(TWinControl* Parent, const std::function<void(TControl*)>& Visit) {
        for (int I = 0; I < Parent->ControlCount(); ++I) {
            TControl* C = Parent->Controls(I);
            Visit(C);
            if (auto* W = dynamic_cast<TWinControl*>(C)) Walk(W, Visit);
        }
    }
};

TEST_F(GalleryTest, RepaintingOneControlMatchesAFullRepaint) {
    for (const int PPI : {96, 144}) {
        SCOPED_TRACE(PPI);
        auto* Gallery = new TGalleryForm(nullptr);
        if (PPI != 96) Gallery->ScaleForPPI(PPI);
        Gallery->Show();
        ProcessMessages();
        const TRect R = Gallery->BoundsRect();
        RedrawWindow(Gallery->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        ProcessMessages();
        const std::vector<uint32_t> Full = Pixels(R);
        int Checked = 0;
        Walk(Gallery, [&](TControl* C) {
            C->Invalidate();
            ProcessMessages();
            EXPECT_TRUE(Pixels(R) == Full) << "after repainting " << StringToUtf8(C->ClassName());
            ++Checked;
        });
        EXPECT_GT(Checked, 30);
        delete Gallery;
        ProcessMessages();
    }
}

}  // namespace
