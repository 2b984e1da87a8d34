// The skinned scroll bar: layout, thumb size and place at the ends of the range and for
// every range and page size, the parts' images read off the screen, repeat and paging on
// the virtual clock, thumb drag, wheel and keys, range setters and auto-hide.

#include "controls/uPelluxScrollBar.h"
#include "draw/uQvColor32.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "platform/uQvInput.h"
#include "controls/pellux_fixture.h"

namespace {

constexpr uint32_t Background = 0x1E3C5Au;  // the form's RGB(30, 60, 90)

// The images at their built-in sizes, each of a colour of its own.
TSize ImageSize(int I) {
    if (I == sbiBkg) return {10, 62};
    if (I <= sbiBarDown) return {10, 42};
    if (I <= sbiHorzBarDown) return {34, 10};
    if (I <= sbiArrowDownDown) return {10, 9};
    return {9, 10};
}
uint32_t ImageColor(int I) {
    return Color32(static_cast<uint8_t>(20 + I * 11), static_cast<uint8_t>(240 - I * 9), 7) & 0xFFFFFF;
}

class ScrollBarTest : public PelluxTest {
protected:
    void SetUp() override {
        PelluxTest::SetUp();
        for (int I = 0; I < ScrollBarImageCount; ++I) {
            Images[I].SetSize(ImageSize(I).cx, ImageSize(I).cy);
            Images[I].Clear(ImageColor(I) | 0xFF000000u);
        }
        SkinResManager().OnGetImage = [this](TObject*, const String& Name, TPelluxImage*& Image) {
            for (int I = 0; I < ScrollBarImageCount; ++I)
                if (Name == String(u"Pellux") + ScrollBarImageProp(static_cast<TQvScrollBarImage>(I)))
                    Image = &Images[I];
        };
    }
    void TearDown() override {
        SkinResManager().OnGetImage = nullptr;
        PelluxTest::TearDown();
    }
    TPelluxScrollBar* NewBar(TScrollBarKind Kind, TRect R) {
        auto* S = new TPelluxScrollBar(Form);
        S->SetKind(Kind);
        S->SetBoundsRect(R);
        S->OnChange = [this](TObject*) { ++Changes; };
        S->SetParent(Form);
        ProcessMessages();
        return S;
    }
    // The image showing at a client point; -1 the form's background, -2 anything else.
    int Shown(const TControl* C, int X, int Y) {
        ProcessMessages();
        const uint32_t P = At(C, X, Y) & 0xFFFFFF;
        for (int I = 0; I < ScrollBarImageCount; ++I)
            if (P == ImageColor(I)) return I;
        return P == Background ? -1 : -2;
    }
    static TRect Thumb(TPelluxScrollBar* S) { return S->Geometry().Parts[sbpThumb]; }
    void Press(const TControl* C, int X, int Y) {
        MoveTo(C, X, Y);
        Headless->Press();
        RunScript();
    }
    // Lets Ms pass in steps, so that every timer tick due on the way is delivered.
    void Run(int Ms) {
        for (int I = 0; I < Ms; ++I) Wait(1);
    }
    void Release() {
        Headless->Release();
        RunScript();
    }
    TPelluxImage Images[ScrollBarImageCount];
    int Changes = 0;
};

TEST_F(ScrollBarTest, LayoutThumbAtTheEndsAndPartImages) {
    auto* S = NewBar(sbVertical, Rect(20, 20, 40, 220));
    // The thickness is the track image's.
    EXPECT_EQ(S->Width(), 10);
    const TQvScrollBarGeometry& G = S->Geometry();
    EXPECT_EQ(G.Parts[sbpNear], Rect(0, 0, 10, 9));
    EXPECT_EQ(G.Parts[sbpFar], Rect(0, 191, 10, 200));
    EXPECT_EQ(G.Track, Rect(0, 9, 10, 191));
    // Without a page size the thumb has its minimum length (21, two halves of 10).
    EXPECT_EQ(Thumb(S), Rect(0, 9, 10, 29));
    EXPECT_EQ(Shown(S, 5, 9), sbiBarNormal);
    EXPECT_EQ(Shown(S, 5, 29), sbiBkg);
    // The arrows show only while the pointer is over the bar.
    EXPECT_EQ(Shown(S, 5, 4), -1);
    MoveTo(S, 5, 100);
    EXPECT_EQ(Shown(S, 5, 4), sbiArrowUpNormal);
    EXPECT_EQ(Shown(S, 5, 195), sbiArrowDownNormal);
    MoveTo(S, 5, 195);
    EXPECT_EQ(Shown(S, 5, 195), sbiArrowDownHighlight);
    MoveTo(S, 5, 15);
    EXPECT_EQ(Shown(S, 5, 15), sbiBarHighlight);
    MoveTo(Form, 300, 280);
    EXPECT_EQ(Shown(S, 5, 195), -1);

    S->SetPosition(100);
    EXPECT_EQ(Thumb(S), Rect(0, 171, 10, 191));
    EXPECT_EQ(Shown(S, 5, 190), sbiBarNormal);
    // A page of 50 in 0 .. 100: the thumb takes 50/101 of the track; 51 is the end.
    S->SetPosition(0);
    S->SetPageSize(50);
    S->SetPosition(1000);
    EXPECT_EQ(S->Position(), 51);
    EXPECT_EQ(Thumb(S), Rect(0, 101, 10, 191));
    // A disabled bar shows no thumb.
    S->SetEnabled(false);
    EXPECT_EQ(Shown(S, 5, 150), sbiBkg);

    auto* H = NewBar(sbHorizontal, Rect(60, 20, 260, 40));
    EXPECT_EQ(H->Height(), 10);
    EXPECT_EQ(H->Geometry().Parts[sbpFar], Rect(191, 0, 200, 10));
    EXPECT_EQ(Thumb(H), Rect(9, 0, 29, 10));
    EXPECT_EQ(Shown(H, 20, 5), sbiHorzBarNormal);
    EXPECT_EQ(Shown(H, 100, 5), sbiHorzBkg);
    // Turning the kind turns the shape.
    H->SetKind(sbVertical);
    EXPECT_EQ(H->Width(), 10);
    EXPECT_EQ(H->Height(), 200);
}

TEST_F(ScrollBarTest, TheThumbStaysInsideTheTrackForEveryRange) {
    const int Bounds[] = {-7, 0, 1, 5, 100};
    const int Pages[] = {0, 1, 3, 100, 1000, -4};
    const int Lengths[] = {0, 10, 18, 30, 200};
    const TSize Arrow{9, 9};
    for (TScrollBarKind Kind : {sbHorizontal, sbVertical})
        for (int L : Lengths)
            for (int Min : Bounds)
                for (int Max : Bounds)
                    for (int Page : Pages)
                        for (int Pos : {Min - 50, Min, Max, Max + 50}) {
                            TQvScrollBarGeometry G;
                            const int W = Kind == sbVertical ? 10 : L, H = Kind == sbVertical ? L : 10;
                            LayoutScrollBar(Kind, W, H, &Arrow, Min, Max, Pos, Page, 21, G);
                            const TRect& T = G.Parts[sbpThumb];
                            const int From = Kind == sbVertical ? T.Top : T.Left;
                            const int To = Kind == sbVertical ? T.Bottom : T.Right;
                            const int TrackFrom = Kind == sbVertical ? G.Track.Top : G.Track.Left;
                            const int TrackTo = Kind == sbVertical ? G.Track.Bottom : G.Track.Right;
                            ASSERT_TRUE(From >= TrackFrom && From <= To && (To <= TrackTo || From == To))
                                << Kind << " L " << L << " " << Min << ".." << Max << " page " << Page
                                << " pos " << Pos << ": " << From << ".." << To;
                        }
    // The bar keeps its position inside the range, even for a page larger than the range.
    auto* S = NewBar(sbVertical, Rect(20, 20, 40, 220));
    S->SetRange(0, 10, 5, 50);
    EXPECT_EQ(S->Position(), 0);
    EXPECT_EQ(Thumb(S), Rect(0, 9, 10, 191));
    S->SetRange(4, 4, 9, 0);
    EXPECT_EQ(S->Position(), 4);
    EXPECT_EQ(Thumb(S), Rect(0, 9, 10, 29));
}

TEST_F(ScrollBarTest, ArrowsRepeatAndPagingStopsAtThePointer) {
    auto* S = NewBar(sbVertical, Rect(20, 20, 40, 220));
    S->SetPageSize(10);
    S->SetLargeChange(10);
    // The far arrow steps at the press, 61 ms later, then every 50 ms while over it.
    Press(S, 5, 195);
    EXPECT_EQ(S->Position(), 1);
    EXPECT_EQ(Shown(S, 5, 195), sbiArrowDownDown);
    Run(60);
    EXPECT_EQ(S->Position(), 1);
    Run(1);
    EXPECT_EQ(S->Position(), 2);
    Run(50);
    EXPECT_EQ(S->Position(), 3);
    MoveTo(S, 5, 100);
    Run(200);
    EXPECT_EQ(S->Position(), 3);
    MoveTo(S, 5, 195);
    Run(50);
    EXPECT_EQ(S->Position(), 4);
    Release();
    Run(200);
    EXPECT_EQ(S->Position(), 4);

    // Paging toward the end steps until the thumb reaches the pointer at 150.
    S->SetPosition(0);
    int Pages = 0;
    S->OnPageDown = [&](TObject*) { ++Pages; };
    Wait(600);
    Press(S, 5, 150);
    EXPECT_EQ(S->Position(), 10);
    Run(1000);
    EXPECT_EQ(S->Position(), 70);
    EXPECT_EQ(Pages, 7);
    EXPECT_EQ(S->TimerMode(), 0);
    EXPECT_TRUE(Thumb(S).Top <= 150 && 150 < Thumb(S).Bottom);
    EXPECT_TRUE(S->PartHovered(sbpThumb));
    Release();
}

TEST_F(ScrollBarTest, DragWheelAndKeys) {
    auto* S = NewBar(sbVertical, Rect(20, 20, 40, 220));
    S->SetPageSize(10);
    int Last = 0;
    S->OnLastChange = [&](TObject*) { ++Last; };
    // Half the thumb's span is half of the 91 steps: 45.5 rounds to even.
    Press(S, 5, 15);
    MoveTo(S, 5, 96);
    EXPECT_EQ(S->Position(), 46);
    MoveTo(S, 5, 400);
    EXPECT_EQ(S->Position(), 91);
    MoveTo(S, 5, -100);
    EXPECT_EQ(S->Position(), 0);
    EXPECT_EQ(Last, 0);
    Release();
    EXPECT_EQ(Last, 1);

    // Wheel and keys act only on a bar that takes the focus.
    Headless->Wheel(-120);
    Headless->Key(VK_DOWN);
    RunScript();
    EXPECT_EQ(S->Position(), 0);
    S->SetCanFocused(true);
    S->SetFocus();
    ProcessMessages();
    Headless->Wheel(-120);
    Headless->Wheel(-120);
    Headless->Wheel(120);
    RunScript();
    EXPECT_EQ(S->Position(), 1);
    Headless->Key(VK_DOWN);
    Headless->Key(VK_RIGHT);
    Headless->Key(VK_UP);
    RunScript();
    EXPECT_EQ(S->Position(), 2);
    // A focused bar that takes the focus shows its parts pressed.
    EXPECT_EQ(Shown(S, 5, Thumb(S).Top + 2), sbiBarDown);
}

TEST_F(ScrollBarTest, RangeSettersStoredValuesAndAutoHide) {
    auto* S = NewBar(sbHorizontal, Rect(20, 20, 220, 30));
    S->SetPageSize(10);
    S->SetPosition(1000);
    EXPECT_EQ(S->Position(), 91);
    Changes = 0;
    S->SetRange(0, 50, 20, 5);
    EXPECT_EQ(S->Position(), 20);
    EXPECT_EQ(Changes, 0);
    S->SetRange(0, 50, 60, 5);
    EXPECT_EQ(S->Position(), 46);
    EXPECT_EQ(Changes, 1);

    // With a lower bound the end of the range is Max - PageSize + 1 still.
    S->SetRange(10, 100, 85, 10);
    S->SetMax(95);
    EXPECT_EQ(S->Position(), 85);
    S->SetMax(90);
    EXPECT_EQ(S->Position(), 81);
    S->SetPageSize(10);
    S->SetPageSize(11);
    EXPECT_EQ(S->PageSize(), 10);
    S->SetPageSize(10);

    // Stored values come back whole: the bounds are read before the position they limit.
    S->SetSkinImage(sbiBkg, u"OtherTrack");
    S->SetKind(sbVertical);
    TPelluxScrollBar Back(nullptr);
    ReadComponentText(&Back, WriteComponentText(S));
    EXPECT_EQ(Back.Kind(), sbVertical);
    EXPECT_EQ(Back.Min(), 10);
    EXPECT_EQ(Back.Position(), 81);
    EXPECT_EQ(Back.PageSize(), 10);
    EXPECT_EQ(Back.SkinImage(sbiBkg), u"OtherTrack");
    EXPECT_EQ(Back.SkinImage(sbiBarDown), u"PelluxScrollbar_bar_down");
    S->SetSkinImage(sbiBkg, u"PelluxScrollbar_bkg");
    S->SetKind(sbHorizontal);

    S->SetAlign(alBottom);
    S->SetAutoHide(true);
    EXPECT_FALSE(S->Visible());
    S->SetRange(0, 100, 0, 10);
    EXPECT_TRUE(S->Visible());
    Wait(60);
    EXPECT_EQ(S->Height(), 10);
    EXPECT_EQ(S->Top(), Form->ClientHeight() - 10);
    S->SetRange(0, 100, 0, 0);
    EXPECT_FALSE(S->Visible());
}

}  // namespace
