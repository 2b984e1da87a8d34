// The registries of skinned forms and controls: entries leave when what they name is
// freed, iteration survives removals, the shut-down frees the registries, and a skinned
// form's background picture is sampled past its frame and title bar.

#include <gtest/gtest.h>

#include <vector>

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvForms.h"
#include "skin/uQvSkinRegistry.h"
#include "support/qv_headless_fixture.h"

namespace {

// A form skin as the form skin engine will be: a component the form owns.
class TFakeFormSkin : public TComponent, public TQvFormSkinIntf {
public:
    explicit TFakeFormSkin(TComponent* AOwner) : TComponent(AOwner) {}
    TSurface32* GetBackgroundPicture() override { return Picture.Empty() ? nullptr : &Picture; }
    int FramWidth() const override { return Frame; }
    int TitleHeight() const override { return Title; }
    TPelluxStyle Style() const override { return SkinStyle; }
    void RefreshSkin() override { ++Refreshes; }

    TSurface32 Picture;
    int Frame = 2, Title = 27, Refreshes = 0;
    TPelluxStyle SkinStyle = ssPicture;
};

class SkinRegistryTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        RegisterQvSkinRegistry();
        AppInit();
    }
    void TearDown() override {
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
};

}  // namespace

TEST_F(SkinRegistryTest, FormEntriesLeaveWithTheirFormOrSkinAndShutdownFreesThem) {
    auto* A = Create<TForm>(nullptr);
    auto* B = Create<TForm>(nullptr);
    auto* C = Create<TForm>(nullptr);
    auto* SkinA = new TFakeFormSkin(A);
    auto* SkinB = new TFakeFormSkin(B);
    auto* SkinC = new TFakeFormSkin(C);
    TQvFormSkinHelper* Forms = FormSkinHelper();
    Forms->Add(A, SkinA);
    Forms->Add(B, SkinB);
    Forms->Add(C, SkinC);
    Forms->Add(B, SkinB);  // once per form
    EXPECT_EQ(Forms->GetCount(), 3);
    EXPECT_EQ(Forms->IndexOf(C), 2);
    EXPECT_EQ(Forms->Get(B), SkinB);

    // Walking back from the last, a call that frees an earlier form skips it.
    std::vector<TCustomForm*> Seen;
    Forms->ForEach(
        [&](TCustomForm* Form, TQvFormSkinIntf* Skin) {
            Seen.push_back(Form);
            Skin->RefreshSkin();
            if (Form == C) B->Free();
        },
        true);
    EXPECT_EQ(Seen, (std::vector<TCustomForm*>{C, A}));
    EXPECT_EQ(SkinC->Refreshes, 1);
    EXPECT_EQ(Forms->GetCount(), 2);
    EXPECT_EQ(Forms->IndexOf(B), -1);

    SkinA->Free();  // the skin dies before its form: the form is no longer skinned
    EXPECT_EQ(Forms->Get(A), nullptr);
    Forms->Remove(C);
    EXPECT_EQ(Forms->GetCount(), 0);
    Forms->Add(C, SkinC);

    AppShutdown();  // frees the forms, then the registries
    EXPECT_FALSE(FormSkinHelperAssigned());
    EXPECT_FALSE(WinControlHelperAssigned());
    AppInit();
    EXPECT_EQ(FormSkinHelper()->GetCount(), 0);  // made anew on first use
}

TEST_F(SkinRegistryTest, ControlEntriesLeaveWhenFreedAndIterationSkipsThem) {
    auto* Form = Create<TForm>(nullptr);
    auto* First = new TWinControl(Form);
    auto* Second = new TWinControl(Form);
    auto* Third = new TWinControl(Form);
    TQvWinControlHelper* Controls = WinControlHelper();
    for (TWinControl* C : {First, Second, Third, First}) Controls->Add(C);
    EXPECT_EQ(Controls->GetCount(), 3);

    std::vector<TWinControl*> Seen;
    Controls->ForEach([&](TWinControl* C) {
        Seen.push_back(C);
        if (C == First) Second->Free();
    });
    EXPECT_EQ(Seen, (std::vector<TWinControl*>{First, Third}));
    EXPECT_EQ(Controls->IndexOf(Second), -1);
    Controls->Remove(Third);
    EXPECT_EQ(Controls->GetCount(), 1);
    EXPECT_EQ(Controls->Items(0), First);
    EXPECT_THROW(Controls->Items(1), EListError);

    Form->Free();  // its controls go with it
    EXPECT_EQ(Controls->GetCount(), 0);
    // Freeing the registry while a control lives leaves the control sound.
    auto* Loose = new TWinControl(nullptr);
    WinControlHelper()->Add(Loose);
    FreeSkinRegistries();
    Loose->Free();
    EXPECT_FALSE(WinControlHelperAssigned());
}

TEST_F(SkinRegistryTest, FormSkinBackgroundIsSampledPastFrameAndTitle) {
    auto* Form = Create<TForm>(nullptr);
    auto* Skin = new TFakeFormSkin(Form);
    Skin->Picture.SetSize(100, 100);
    for (int Y = 0; Y < 100; ++Y)
        for (int X = 0; X < 100; ++X) Skin->Picture.SetPixel(X, Y, 0xFF000000u | (X << 8) | Y);
    TSurface32 Buffer;
    Buffer.SetSize(4, 4);
    const TRect R = Rect(10, 20, 14, 24);
    EXPECT_FALSE(CopyFormSkinBackground(Form, &Buffer, R));  // not skinned yet

    FormSkinHelper()->Add(Form, Skin);
    ASSERT_TRUE(CopyFormSkinBackground(Form, &Buffer, R));
    EXPECT_EQ(Buffer.GetPixel(0, 0), 0xFF000000u | (12 << 8) | 47);  // (10 + 2, 20 + 27)
    EXPECT_EQ(Buffer.GetPixel(3, 3), 0xFF000000u | (15 << 8) | 50);
    Skin->SkinStyle = ssColor;  // the colour style's picture starts below the title
    ASSERT_TRUE(CopyFormSkinBackground(Form, &Buffer, R));
    EXPECT_EQ(Buffer.GetPixel(0, 0), 0xFF000000u | (12 << 8) | 20);
    Form->SetBorderStyle(bsNone);
    Skin->SkinStyle = ssPicture;
    ASSERT_TRUE(CopyFormSkinBackground(Form, &Buffer, R));
    EXPECT_EQ(Buffer.GetPixel(0, 0), 0xFF000000u | (10 << 8) | 20);

    EXPECT_FALSE(CopyFormSkinBackground(Form, &Buffer, Rect(5, 5, 5, 9)));
    Skin->Picture.SetSize(0, 0);
    EXPECT_FALSE(CopyFormSkinBackground(Form, &Buffer, R));
}
