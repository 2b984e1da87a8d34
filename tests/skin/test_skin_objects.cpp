// The text, glow and offset value objects: defaults, when they tell their owner, what
// Assign copies, and their stored form inside a component.

#include <gtest/gtest.h>

#include <memory>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvRegistry.h"
#include "skin/uPelluxIntf.h"

namespace {

// Counts the change events of one value object.
template <typename T>
int* Count(T& Object) {
    auto Counter = std::make_shared<int>(0);
    Object.OnChanged = [Counter](TObject*) { ++*Counter; };
    return Counter.get();
}

class TSkinHolder : public TComponent {
public:
    explicit TSkinHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TQvCaption* Caption() const { return FCaption.get(); }
    TQvOffset* Offset() const { return FOffset.get(); }
    TPelluxStyle Style() const { return FStyle; }
    void SetStyle(TPelluxStyle Value) { FStyle = Value; }

private:
    std::unique_ptr<TQvCaption> FCaption = std::make_unique<TQvCaption>();
    std::unique_ptr<TQvOffset> FOffset = std::make_unique<TQvOffset>();
    TPelluxStyle FStyle = ssColor;
};

void RegisterHolder() {
    RegisterPelluxIntf();
    RegisterClass<TSkinHolder, TComponent>(u"TSkinHolder")
        .Object(u"Caption", &TSkinHolder::Caption)
        .Object(u"Offset", &TSkinHolder::Offset)
        .Prop(u"Style", &TSkinHolder::Style, &TSkinHolder::SetStyle, ssColor);
}

}  // namespace

TEST(SkinValueObjects, LightNotifiesOnRealChangesAndAssignKeepsItsStrength) {
    TQvLightClass Light;
    EXPECT_EQ(Light.BlurRadius(), 1);
    EXPECT_FALSE(Light.Active());
    EXPECT_EQ(Light.Color(), 0xFFFFFE);
    int* Changes = Count(Light);
    Light.SetActive(false);
    Light.SetColor(0xFFFFFE);
    Light.SetBlurRadius(1);
    EXPECT_EQ(*Changes, 0);
    Light.SetBlurRadius(3);
    Light.SetActive(true);
    EXPECT_EQ(*Changes, 2);

    TQvLightClass Source;
    Source.SetBlurRadius(7);
    Source.SetColor(0x00FF00);
    Light.Assign(&Source);
    EXPECT_FALSE(Light.Active());
    EXPECT_EQ(Light.Color(), 0x00FF00);
    EXPECT_EQ(Light.BlurRadius(), 3);
    EXPECT_EQ(*Changes, 4);
    TQvOffset Other;
    EXPECT_THROW(Light.Assign(&Other), EQvError);
}

TEST(SkinValueObjects, TextObjectTellsOfItsOwnAndItsGlowsChanges) {
    TQvTextObj Text;
    EXPECT_EQ(Text.Text(), u"");
    EXPECT_TRUE(Text.Visible());
    ASSERT_NE(Text.Light(), nullptr);
    int* Changes = Count(Text);
    Text.SetText(u"确定");
    Text.SetText(u"确定");
    Text.SetVisible(true);
    EXPECT_EQ(*Changes, 1);
    Text.Light()->SetActive(true);  // the glow is part of the text
    EXPECT_EQ(*Changes, 2);

    TQvTextObj Source;
    Source.SetText(u"OK");
    Source.SetVisible(false);
    Source.Light()->SetColor(0x0000FF);
    Text.Assign(&Source);
    EXPECT_EQ(Text.Text(), u"OK");
    EXPECT_FALSE(Text.Visible());
    EXPECT_EQ(Text.Light()->Color(), 0x0000FF);
    EXPECT_FALSE(Text.Light()->Active());
    EXPECT_EQ(*Changes, 6);  // glow Active and Color, Text, Visible
}

TEST(SkinValueObjects, CaptionCountsEveryFontAssignmentAndKeepsItsOffsetsOnAssign) {
    TQvCaption Caption;
    EXPECT_EQ(Caption.OffsetX(), 0);
    EXPECT_EQ(Caption.OffsetY(), 0);
    EXPECT_EQ(Caption.Font()->Name(), u"Tahoma");
    int* Changes = Count(Caption);
    Caption.SetOffsetX(0);
    Caption.SetOffsetY(4);
    EXPECT_EQ(*Changes, 1);
    Caption.Font()->SetColor(0x123456);
    EXPECT_EQ(*Changes, 2);
    TFont Same;
    Same.Assign(Caption.Font());
    Caption.SetFont(&Same);  // an unchanged font still counts, once
    EXPECT_EQ(*Changes, 3);
    Same.SetStyle(TFontStyles{fsBold});
    Caption.SetFont(&Same);
    EXPECT_EQ(Caption.Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(*Changes, 4);

    TQvCaption Source;
    Source.SetText(u"标题");
    Source.SetOffsetX(9);
    Source.Font()->SetName(u"微软雅黑");
    Caption.Assign(&Source);
    EXPECT_EQ(Caption.Text(), u"标题");
    EXPECT_EQ(Caption.Font()->Name(), u"微软雅黑");
    EXPECT_EQ(Caption.OffsetX(), 0);
    EXPECT_EQ(Caption.OffsetY(), 4);
    // A plain text object gives what it has; the font stays.
    TQvTextObj Plain;
    Plain.SetText(u"x");
    Caption.Assign(&Plain);
    EXPECT_EQ(Caption.Text(), u"x");
    EXPECT_EQ(Caption.Font()->Name(), u"微软雅黑");
}

TEST(SkinValueObjects, OffsetNotifiesOnRealChangesAndCopies) {
    TQvOffset Offset;
    EXPECT_EQ(Offset.X(), 0);
    EXPECT_EQ(Offset.Y(), 0);
    int* Changes = Count(Offset);
    Offset.SetX(0);
    Offset.SetY(-2);
    Offset.SetY(-2);
    EXPECT_EQ(*Changes, 1);
    // Owners copy offsets given to them, so Assign must work: one change for both values.
    TQvOffset Source;
    Source.SetX(5);
    Source.SetY(6);
    Offset.Assign(&Source);
    EXPECT_EQ(Offset.X(), 5);
    EXPECT_EQ(Offset.Y(), 6);
    EXPECT_EQ(*Changes, 2);
    Offset.Assign(&Source);
    EXPECT_EQ(*Changes, 2);
}

TEST(SkinValueObjects, StoredLayoutRoundTripsNestedProperties) {
    RegisterHolder();
    TSkinHolder H(nullptr);
    H.SetName(u"Holder");
    H.Caption()->SetText(u"标题");
    H.Caption()->SetOffsetY(3);
    H.Caption()->Font()->SetColor(clRed);
    H.Caption()->Light()->SetActive(true);
    H.Caption()->Light()->SetBlurRadius(2);
    H.Offset()->SetX(-4);
    H.SetStyle(ssPicture);

    const String Text = WriteComponentText(&H);
    for (const char16_t* Line :
         {u"Caption.Font.Color = clRed", u"Caption.Light.Active = True", u"Caption.Light.BlurRadius = 2",
          u"Caption.OffsetY = 3", u"Offset.X = -4", u"Style = ssPicture"})
        EXPECT_NE(Text.find(Line), String::npos) << StringToUtf8(Line) << "\n" << StringToUtf8(Text);
    // Defaults are left out.
    for (const char16_t* Left : {u"Caption.Visible", u"Caption.OffsetX", u"Caption.Light.Color", u"Offset.Y"})
        EXPECT_EQ(Text.find(Left), String::npos) << StringToUtf8(Left);

    TSkinHolder Back(nullptr);
    ReadComponentText(&Back, Text);
    EXPECT_EQ(Back.Caption()->Text(), u"标题");
    EXPECT_EQ(Back.Caption()->OffsetY(), 3);
    EXPECT_EQ(Back.Caption()->Font()->Color(), clRed);
    EXPECT_TRUE(Back.Caption()->Light()->Active());
    EXPECT_EQ(Back.Caption()->Light()->BlurRadius(), 2);
    EXPECT_EQ(Back.Offset()->X(), -4);
    EXPECT_EQ(Back.Style(), ssPicture);
    EXPECT_EQ(WriteComponentText(&Back), Text);
}
