// Actions and their links: a client shows an action and follows it while it still shows
// its values; executing and updating through the action list; freeing actions, clients
// and lists (also from inside handlers); action lists and image lists in stored layouts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/uQvActnList.h"
#include "framework/uQvImgList.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"

namespace {

class TTestClient;

// Made as a control's link is: a setter follows only while the client still shows the
// action's current value.
class TTestLink : public TActionLink {
public:
    explicit TTestLink(TTestClient* Client) : FClient(Client) {}

protected:
    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    void SetCaption(const String& Value) override;
    void SetEnabled(bool Value) override;

private:
    const TCustomAction& Act() const { return *static_cast<const TCustomAction*>(Action()); }
    TTestClient* FClient;
};

class TTestClient : public TComponent {
public:
    using TComponent::TComponent;

    String Caption;
    bool Enabled = true;
    TNotifyEvent OnClick;

    TBasicAction* Action() const { return FLink ? FLink->Action() : nullptr; }
    void SetAction(TBasicAction* Value) {
        if (Value == nullptr) {
            FLink.reset();
            return;
        }
        if (!FLink) FLink = std::make_unique<TTestLink>(this);
        FLink->SetAction(Value);
        Value->FreeNotification(this);
        if (const auto* A = dynamic_cast<TCustomAction*>(Value)) {
            if (Caption.empty()) Caption = A->Caption();
            Enabled = A->Enabled();
        }
    }
    bool Click() {
        if (OnClick) {
            OnClick(this);
            return true;
        }
        return FLink && FLink->Execute(this);
    }
    TTestLink* Link() const { return FLink.get(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && FLink && AComponent == FLink->Action()) FLink.reset();
    }

private:
    std::unique_ptr<TTestLink> FLink;
};

bool TTestLink::IsCaptionLinked() const {
    return TActionLink::IsCaptionLinked() && FClient->Caption == Act().Caption();
}
bool TTestLink::IsEnabledLinked() const {
    return TActionLink::IsEnabledLinked() && FClient->Enabled == Act().Enabled();
}
void TTestLink::SetCaption(const String& Value) {
    if (IsCaptionLinked()) FClient->Caption = Value;
}
void TTestLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->Enabled = Value;
}

}  // namespace

TEST(ActionLink, AClientShowsTheActionAndFollowsWhatItStillShows) {
    TDataModule Form(nullptr);
    auto* List = new TActionList(&Form);
    auto* Act = new TAction(&Form);
    Act->SetActionList(List);
    Act->SetCaption(u"确定");
    EXPECT_EQ(List->Actions(0), Act);
    EXPECT_EQ(Act->Index(), 0);

    auto* Btn = new TTestClient(&Form);
    Btn->SetAction(Act);
    EXPECT_EQ(Btn->Caption, u"确定");
    int Changes = 0;
    Btn->Link()->OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Act);
        ++Changes;
    };
    Act->SetCaption(u"OK");
    Act->SetEnabled(false);
    Act->SetEnabled(false);  // unchanged: nobody is told
    EXPECT_EQ(Btn->Caption, u"OK");
    EXPECT_FALSE(Btn->Enabled);
    EXPECT_EQ(Changes, 2);

    // A caption of the client's own stays; the other properties still follow.
    Btn->Caption = u"Mine";
    Act->SetCaption(u"Apply");
    Act->SetEnabled(true);
    EXPECT_EQ(Btn->Caption, u"Mine");
    EXPECT_TRUE(Btn->Enabled);
    auto* Own = new TTestClient(&Form);
    Own->Caption = u"Own";
    Own->SetAction(Act);
    EXPECT_EQ(Own->Caption, u"Own");

    // Relinking leaves the first action.
    auto* Other = new TAction(&Form);
    Btn->SetAction(Other);
    Act->SetCaption(u"Again");
    EXPECT_EQ(Btn->Action(), Other);
    EXPECT_EQ(Btn->Caption, u"Mine");
}

TEST(Action, ExecuteAsksTheListThenRunsTheActionOnlyWhenEnabled) {
    TDataModule Form(nullptr);
    auto* List = new TActionList(&Form);
    auto* Act = new TAction(&Form);
    Act->SetActionList(List);
    auto* Btn = new TTestClient(&Form);
    Btn->SetAction(Act);
    std::vector<std::string> Log;
    Act->OnUpdate = [&](TObject*) { Log.push_back("update"); };
    TComponent* RanFor = nullptr;
    Act->OnExecute = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Act);
        RanFor = Act->ActionComponent();
        Log.push_back("execute");
    };
    EXPECT_TRUE(Btn->Click());
    EXPECT_EQ(Log, (std::vector<std::string>{"update", "execute"}));
    EXPECT_EQ(RanFor, Btn);
    EXPECT_EQ(Act->ActionComponent(), nullptr);

    // The list comes first; Handled ends it there.
    bool Handle = true;
    List->OnExecute = [&](TBasicAction* A, bool& Handled) {
        EXPECT_EQ(A, Act);
        Log.push_back("list");
        Handled = Handle;
    };
    Log.clear();
    EXPECT_TRUE(Act->Execute());
    Handle = false;
    EXPECT_TRUE(Act->Execute());
    EXPECT_EQ(Log, (std::vector<std::string>{"update", "list", "update", "list", "execute"}));

    // A disabled action does nothing, unless its update enables it.
    Act->SetEnabled(false);
    Log.clear();
    EXPECT_FALSE(Btn->Click());
    EXPECT_EQ(Log, (std::vector<std::string>{"update"}));
    Act->OnUpdate = [&](TObject*) { Act->SetEnabled(true); };
    EXPECT_TRUE(Btn->Click());
    EXPECT_TRUE(Btn->Enabled);

    // The link's update runs the list's OnUpdate, then the action's.
    List->OnUpdate = [&](TBasicAction*, bool& Handled) { Handled = true; };
    Act->OnUpdate = [&](TObject*) { FAIL() << "handled by the list"; };
    EXPECT_TRUE(Btn->Link()->Update());
    List->OnUpdate = nullptr;
    Act->OnUpdate = nullptr;
    EXPECT_FALSE(Btn->Link()->Update());

    // A client's own click handler runs instead of the action.
    Log.clear();
    Btn->OnClick = [&](TObject*) { Log.push_back("click"); };
    Btn->Click();
    EXPECT_EQ(Log, (std::vector<std::string>{"click"}));
}

TEST(Action, FreeingActionsClientsAndListsLeavesNothingDangling) {
    TDataModule Form(nullptr);
    TDataModule Actions(nullptr);  // another owner: free notification goes pair by pair
    auto* List = new TActionList(&Actions);
    auto* Images = new TImageList(&Form);
    List->SetImages(Images);
    auto* Act = new TAction(&Actions);
    Act->SetActionList(List);
    auto* Btn = new TTestClient(&Form);
    Btn->SetAction(Act);
    Act->Free();
    EXPECT_EQ(Btn->Action(), nullptr);
    EXPECT_EQ(Btn->Link(), nullptr);
    EXPECT_EQ(List->ActionCount(), 0);
    EXPECT_FALSE(Btn->Click());

    // Without Free (no notification phase) the link is cleared all the same.
    auto* Deleted = new TAction(&Actions);
    Btn->SetAction(Deleted);
    TTestLink* Link = Btn->Link();
    delete Deleted;
    EXPECT_EQ(Link->Action(), nullptr);

    // A freed client leaves its action.
    auto* Kept = new TAction(&Actions);
    auto* Gone = new TTestClient(&Form);
    Gone->SetAction(Kept);
    Gone->Free();
    Kept->SetCaption(u"still here");

    // Handlers that free their own action or their client.
    Btn->SetAction(Kept);
    Kept->OnExecute = [&](TObject*) { Kept->Free(); };
    EXPECT_TRUE(Btn->Click());
    EXPECT_EQ(Btn->Action(), nullptr);
    auto* Last = new TAction(&Actions);
    Btn->SetAction(Last);
    Last->OnExecute = [&](TObject*) { Btn->Free(); };
    auto* Clicked = Btn;
    EXPECT_TRUE(Clicked->Click());
    EXPECT_EQ(Last->ActionComponent(), nullptr);

    // A freed image list is dropped; a freed action list lets go of the actions it does
    // not own.
    int ListChanges = 0;
    List->OnChange = [&](TObject*) { ++ListChanges; };
    Images->Add(std::make_unique<TBitmap>(16, 16).get(), nullptr);
    EXPECT_EQ(ListChanges, 1);
    Images->Free();
    EXPECT_EQ(List->Images(), nullptr);
    Last->SetActionList(List);
    List->Free();
    EXPECT_EQ(Last->ActionList(), nullptr);
    EXPECT_FALSE(Last->HasParent());
}

TEST(ActionStreaming, ImageListsAndActionListsRoundTripThroughTheTextForm) {
    RegisterQvActnList();
    TDataModule Module(nullptr);
    Module.SetName(u"Module1");
    auto* Images = new TImageList(&Module);
    Images->SetName(u"il17");
    Images->SetSize(2, 1);
    const uint32_t Strip[4] = {0xFF102030u, 0x80405060u, 0x00000000u, 0xFFFFFFFFu};
    Images->AddPixels(Strip, 4, 1, sizeof Strip);
    Images->SetBkColor(clWhite);
    auto* List = new TActionList(&Module);
    List->SetName(u"al1");
    List->SetImages(Images);
    auto* Apply = new TAction(&Module);
    Apply->SetName(u"actApply");
    Apply->SetActionList(List);
    Apply->SetCaption(u"确定");
    Apply->SetImageIndex(1);
    Apply->SetShortCut(scCtrl | 'S');
    Apply->SetEnabled(false);
    auto* Reset = new TAction(&Module);
    Reset->SetName(u"actReset");
    Reset->SetActionList(List);

    const String Text = WriteComponentText(&Module);
    EXPECT_NE(Text.find(u"    object actApply: TAction\n"), String::npos) << StringToUtf8(Text);
    EXPECT_NE(Text.find(u"Images = il17"), String::npos);
    EXPECT_NE(Text.find(u"Width = 2"), String::npos);
    EXPECT_NE(Text.find(u"Bitmap = {"), String::npos);
    EXPECT_EQ(Text.find(u"Masked"), String::npos);  // defaults are left out

    TDataModule Back(nullptr);
    ReadComponentText(&Back, Text);
    auto* BackImages = dynamic_cast<TImageList*>(Back.FindComponent(u"il17"));
    auto* BackList = dynamic_cast<TActionList*>(Back.FindComponent(u"al1"));
    auto* BackApply = dynamic_cast<TAction*>(Back.FindComponent(u"actApply"));
    ASSERT_TRUE(BackImages && BackList && BackApply);
    ASSERT_EQ(BackImages->Count(), 2);
    EXPECT_EQ(BackImages->Bits(0)->Pixel(1, 0), 0x80405060u);
    EXPECT_EQ(BackImages->Bits(1)->Pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(BackImages->BkColor(), clWhite);
    EXPECT_EQ(BackList->Images(), BackImages);
    ASSERT_EQ(BackList->ActionCount(), 2);
    EXPECT_EQ(BackList->Actions(0), BackApply);
    EXPECT_EQ(BackApply->Caption(), u"确定");
    EXPECT_EQ(BackApply->ImageIndex(), 1);
    EXPECT_EQ(BackApply->ShortCut(), scCtrl | 'S');
    EXPECT_FALSE(BackApply->Enabled());
    EXPECT_EQ(WriteComponentText(&Back), Text);
}
