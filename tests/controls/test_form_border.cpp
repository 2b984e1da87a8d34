// The layered shadow border: every pixel each side shows against the image rendered around
// the form, placement and z-order behind the form through move, size, minimize, maximize
// and hide; the opaque border carrying title-bar controls and dragging the form; nothing
// half-transparent shown where the display has no per-pixel alpha.

#include "controls/form_skin_fixture.h"
#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uQvFormBorder.h"
#include "platform/uQvPixel.h"
#include "platform/uQvTopLevels.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinManager.h"
#include "skin/uPelluxResManager.h"

namespace {

constexpr TqvFormLayerBorderType AllSides[4] = {mpflLeft, mpflTop, mpflRight, mpflBottom};
constexpr uint32_t Desktop = 0xFF808080;

class FormBorderTest : public FormSkinTest {
protected:
    void SetUp() override {
        FormSkinTest::SetUp();
        Form->Hide();
        // A solid plate with a faint three-pixel rim, and a strip for a title-bar button.
        Plate.SetSize(60, 90);
        Plate.Clear(Color32(40, 120, 200));
        Plate.FrameRectS(0, 0, 60, 90, Color32(40, 120, 200, 60));
        Plate.FrameRectS(1, 1, 59, 89, Color32(40, 120, 200, 60));
        Plate.FrameRectS(2, 2, 58, 88, Color32(40, 120, 200, 60));
        Strip.SetSize(40, 10);
        Strip.Clear(Color32(250, 250, 0));
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            if (Name == u"TestPlate") Image = &Plate;
            if (Name == u"TestStrip") Image = &Strip;
        };
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        FormSkinTest::TearDown();
    }
    // A skinned form with a border, shown and settled.
    TForm* NewBordered(TRect Bounds, bool Transparent = true) {
        TForm* F = NewSkinned(Bounds, bsSizeable, false);
        Border = new TQvFormLayerBorder(F);
        Border->SetTransparent(Transparent);
        if (!Transparent) {
            Border->SetImage(u"TestPlate");
            Border->Size()->SetTop(30);
        }
        Skin->SetImageBorder(Border);
        ShowAndSettle(F);
        return F;
    }
    HWND Side(TqvFormLayerBorderType S) const { return Border->SideWindow(S)->Handle(); }
    static TRect WindowRect(HWND H) {
        RECT R;
        GetWindowRect(H, &R);
        return R;
    }
    static uint32_t ScreenAt(int X, int Y) {
        const RECT B = QvScreenBounds();
        return QvComposedScreen().Pixel(X - B.Left, Y - B.Top);
    }
    // Each side shows, pixel for pixel, the premultiplied image rendered around the form.
    void ExpectSlicesOf(TForm* F) {
        const TRect Fr = WindowRect(F->Handle());
        TSurface32 Full, Pre;
        Full.SetSize(Fr.Width() + 16, Fr.Height() + 16);
        DrawNineGridThirds(SkinResManager().GetImageByName(Border->Image(), true), &Full, true);
        Pre.SetSize(Full.Width(), Full.Height());
        for (int Y = 0; Y < Full.Height(); ++Y)
            for (int X = 0; X < Full.Width(); ++X) Pre.SetPixel(X, Y, Premultiply(Full.GetPixel(X, Y)));
        for (TqvFormLayerBorderType S : AllSides) {
            const TRect R = WindowRect(Side(S));
            const TGdiBitmap* Px = QvTopLevelPixels(Side(S));
            ASSERT_NE(Px, nullptr);
            ASSERT_EQ(Px->Width(), R.Width());
            int Wrong = 0;
            for (int Y = 0; Y < R.Height(); ++Y)
                for (int X = 0; X < R.Width(); ++X)
                    Wrong +=
                        Px->Pixel(X, Y) != *Pre.PixelPtr(R.Left - Fr.Left + 8 + X, R.Top - Fr.Top + 8 + Y);
            EXPECT_EQ(Wrong, 0) << "side " << S;
        }
    }
    // The sides lie directly behind the form, at the constant alpha given.
    void ExpectBehind(TForm* F, BYTE Alpha) {
        HWND H = F->Handle();
        for (int I = 0; I < 4; ++I) {
            H = GetWindow(H, GW_HWNDNEXT);
            ASSERT_NE(H, nullptr);
            EXPECT_EQ(QvDescribeTopLevel(H).Alpha, Alpha);
            EXPECT_EQ(QvDescribeTopLevel(H).MarginOf, F->Handle());  // a native display may compose it there
            EXPECT_TRUE(std::any_of(std::begin(AllSides), std::end(AllSides),
                                    [&](TqvFormLayerBorderType S) { return Side(S) == H; }));
        }
    }
    TPelluxImage Plate, Strip;
    TQvFormLayerBorder* Border = nullptr;
};

TEST_F(FormBorderTest, SidesShowTheImageAroundTheFormAndFollowIt) {
    TForm* F = NewBordered(Bounds(100, 100, 400, 300));
    EXPECT_EQ(WindowRect(Side(mpflTop)), Bounds(92, 92, 416, 13));
    EXPECT_EQ(WindowRect(Side(mpflBottom)), Bounds(92, 395, 416, 13));
    EXPECT_EQ(WindowRect(Side(mpflLeft)), Bounds(92, 105, 13, 290));
    EXPECT_EQ(WindowRect(Side(mpflRight)), Bounds(495, 105, 13, 290));
    // The side slices start on the row they are placed at: nothing repeats near the corners.
    ExpectSlicesOf(F);
    ExpectBehind(F, 255);
    // The corner keeps the image's own pixels; the shadow darkens the desktop softly.
    EXPECT_EQ(QvTopLevelPixels(Side(mpflTop))->Pixel(7, 7), 0x0A000000u);
    EXPECT_LT(ScreenAt(99, 250) & 0xFF, 0x80u);
    EXPECT_GT(ScreenAt(99, 250) & 0xFF, 0x60u);
    EXPECT_EQ(ScreenAt(91, 250), Desktop);

    F->SetBounds(300, 200, 500, 250);
    ProcessMessages();
    EXPECT_EQ(WindowRect(Side(mpflRight)), Bounds(795, 205, 13, 240));
    ExpectSlicesOf(F);
    ExpectBehind(F, 255);

    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ProcessMessages();
    EXPECT_FALSE(Border->Shown());
    ExpectBehind(F, 0);
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_TRUE(Border->Shown());
    EXPECT_EQ(WindowRect(Side(mpflTop)), Bounds(292, 192, 516, 13));
    ExpectBehind(F, 255);

    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Wait(600);
    EXPECT_FALSE(Border->Shown());
    EXPECT_EQ(QvDescribeTopLevel(Side(mpflLeft)).Alpha, 0);
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Wait(40);
    ExpectBehind(F, 255);
    EXPECT_EQ(WindowRect(Side(mpflLeft)), Bounds(292, 205, 13, 240));

    F->Hide();
    ProcessMessages();
    EXPECT_EQ(ScreenAt(295, 300), Desktop);
    F->Show();
    Wait(40);
    ExpectBehind(F, 255);
    ExpectSlicesOf(F);
    // A click on the shadow reaches what lies below it.
    EXPECT_NE(WindowFromPoint(POINT{295, 300}), Side(mpflLeft));

    // Tiled from the image's corner, the sides reach no further than the border's size.
    Border->SetStretchKind(skTile);
    F->SetBounds(300, 200, 500, 251);
    ProcessMessages();
    EXPECT_EQ(WindowRect(Side(mpflTop)), Bounds(292, 192, 516, 8));
    EXPECT_EQ(WindowRect(Side(mpflLeft)), Bounds(292, 200, 8, 251));
    EXPECT_EQ(QvTopLevelPixels(Side(mpflTop))->Pixel(67, 7), 0x0A000000u);
}

TEST_F(FormBorderTest, OpaqueBorderCarriesTheTitleControlsAndDragsTheForm) {
    TForm* F = Create<TForm>(Application);
    F->SetBoundsRect(Bounds(300, 200, 400, 300));
    auto* B = new TPelluxNCButton(F);
    B->Picture()->SetActive(true);
    B->Picture()->SetImage(u"TestStrip");
    B->Picture()->SetCount(4);
    B->Pos()->SetAlign(caRight);
    B->Pos()->SetXValue(41);
    B->Pos()->SetYValue(10);
    int Clicks = 0;
    B->OnClick = [&](TObject*) { ++Clicks; };
    Skin = new TPelluxForm(F);
    Border = new TQvFormLayerBorder(F);
    Border->SetTransparent(false);
    Border->SetImage(u"TestPlate");
    Border->Size()->SetTop(30);
    Skin->SetImageBorder(Border);
    ShowAndSettle(F);
    EXPECT_EQ(B->Form(), Border->SideWindow(mpflTop));
    // Where it was on the form: 41 pixels left of the form's right edge.
    const TRect Top = WindowRect(Side(mpflTop));
    EXPECT_EQ(Top, Bounds(292, 170, 416, 35));
    const TRect R = B->ClientRect();
    EXPECT_EQ(Top.Left + R.Left, 300 + 400 - 41);
    EXPECT_EQ(Top.Top + R.Top, 180);
    EXPECT_EQ(ScreenAt(Top.Left + R.Left + 2, 182), 0xFFF9F901u);
    // Opaque sides run the full height behind the top and bottom ones.
    EXPECT_EQ(WindowRect(Side(mpflLeft)), Bounds(292, 170, 13, 338));

    Headless->Click(Top.Left + R.Left + 3, 183);
    RunScript();
    EXPECT_EQ(Clicks, 1);
    // A press beside the controls drags the form, and the border with it.
    Headless->Drag(400, 185, 440, 215);
    RunScript();
    EXPECT_EQ(F->BoundsRect(), Bounds(340, 230, 400, 300));
    EXPECT_EQ(WindowRect(Side(mpflTop)), Bounds(332, 200, 416, 35));
    // Only the side shows the control: the form's own title leaves it out.
    SendMessage(F->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(ScreenAt(340 + 369, 242), ScreenAt(340 + 300, 242));
    EXPECT_EQ(WindowRect(Side(mpflTop)).Left + B->ClientRect().Left, 340 + 400 - 41);

    Border->SetDragEnabled(false);
    Headless->Drag(400, 205, 440, 235);
    RunScript();
    EXPECT_EQ(F->BoundsRect(), Bounds(340, 230, 400, 300));

    // Freeing the sides gives the control back to the form, where it was.
    Border->FreeLayerWindow();
    EXPECT_EQ(B->Form(), F);
    EXPECT_EQ(B->Pos()->XValue(), 41);
}

TEST_F(FormBorderTest, AtHighDpiAnOpaqueSideKeepsARightAlignedControlWhereItWas) {
    HighDPIEnabled = true;
    Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, 2880, 1620), Rect(0, 0, 2880, 1560), 144}});
    TForm* F = Create<TForm>(Application);
    F->SetBoundsRect(Bounds(300, 200, 600, 450));
    F->ScaleForPPI(144);
    auto* B = new TPelluxNCButton(F);
    B->Pos()->SetAlign(caRight);
    B->Pos()->SetXValue(41);
    Skin = new TPelluxForm(F);
    Border = new TQvFormLayerBorder(F);
    Border->SetTransparent(false);
    Border->Size()->SetRight(7);
    Skin->SetImageBorder(Border);
    ShowAndSettle(F);
    EXPECT_EQ(B->Form(), Border->SideWindow(mpflTop));
    // MulDiv(41, 144, 96) = 62 from the form's right edge, as on the form's own title.
    EXPECT_EQ(WindowRect(Side(mpflTop)).Left + B->ClientRect().Left, WindowRect(F->Handle()).Right - 62);
    HighDPIEnabled = false;
}

TEST_F(FormBorderTest, ARefusedCloseKeepsTheBorderAndAClosedFormGetsItBackWhenShown) {
    TForm* F = Create<TForm>(Application);
    F->SetBoundsRect(Bounds(100, 100, 400, 300));
    TCloseAction Answer = caNone;
    F->OnClose = [&](TObject*, TCloseAction& Action) { Action = Answer; };
    Skin = new TPelluxForm(F);
    Border = new TQvFormLayerBorder(F);
    Skin->SetImageBorder(Border);
    ShowAndSettle(F);
    F->Close();
    F->SetBounds(200, 100, 400, 300);
    ProcessMessages();
    EXPECT_EQ(WindowRect(Side(mpflTop)), Bounds(192, 92, 416, 13));
    Answer = caHide;
    F->Close();
    ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(F->Handle()));
    F->Show();
    Wait(40);
    EXPECT_TRUE(Border->Shown());
    ExpectBehind(F, 255);
    EXPECT_EQ(WindowRect(Side(mpflTop)), Bounds(192, 92, 416, 13));

    // A border that outlives its form lets its sides go with it.
    auto* Lone = new TQvFormLayerBorder(Application);
    Skin->SetImageBorder(Lone);
    ASSERT_NE(Lone->SideWindow(mpflTop), nullptr);
    EXPECT_EQ(Border->SideWindow(mpflTop), nullptr);  // the border given up is gone
    EXPECT_EQ(Border->Form(), nullptr);
    F->Free();
    EXPECT_EQ(Lone->SideWindow(mpflTop), nullptr);
    EXPECT_EQ(Lone->Form(), nullptr);
    delete Lone;
}

TEST_F(FormBorderTest, WithoutPerPixelAlphaNoShadowShowsAndACompositorBringsItAndTakesItAway) {
    Headless->SetDisplayCaps(TQvDisplayCaps{false, true, true});
    TForm* F = NewBordered(Bounds(100, 100, 400, 300));
    TQvFormLayerBorder* FB = Border;
    EXPECT_EQ(Border->SideWindow(mpflTop), nullptr);
    EXPECT_TRUE(Border->Shown());
    EXPECT_EQ(ScreenAt(99, 250), Desktop);
    // An opaque border keeps only its solid pixels: the faint rim is left out, not darkened.
    TForm* G = NewBordered(Bounds(700, 300, 400, 300), false);
    ASSERT_NE(Border->SideWindow(mpflTop), nullptr);
    EXPECT_EQ(ScreenAt(693, 285), Desktop);
    EXPECT_EQ(ScreenAt(700 - 8 + 3, 285), 0xFF2878C8u);

    // A compositor starting: the shadow and the faint rim show.
    Headless->SetDisplayCaps(TQvDisplayCaps{true, true, true});
    QvWmCompositionChanged();
    ProcessMessages();
    ASSERT_NE(FB->SideWindow(mpflTop), nullptr);
    EXPECT_LT(ScreenAt(99, 250) & 0xFF, 0x80u);
    EXPECT_NE(ScreenAt(693, 285), Desktop);
    // It stops while G is maximized: F's shadow goes at once, G's rim when G is restored.
    SendMessage(G->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ProcessMessages();
    Headless->SetDisplayCaps(TQvDisplayCaps{false, true, true});
    QvWmCompositionChanged();
    ProcessMessages();
    EXPECT_EQ(FB->SideWindow(mpflTop), nullptr);
    EXPECT_TRUE(FB->Shown());
    SendMessage(G->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ProcessMessages();
    EXPECT_TRUE(Border->Shown());
    EXPECT_EQ(ScreenAt(99, 250), Desktop);
    EXPECT_EQ(ScreenAt(693, 285), Desktop);
    EXPECT_EQ(ScreenAt(700 - 8 + 3, 285), 0xFF2878C8u);
    static_cast<void>(F);
}

}  // namespace
