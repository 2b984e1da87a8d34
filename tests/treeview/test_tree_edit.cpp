// In-place editing through edit links: the order of the link's calls, ending, cancelling
// (Esc, structural changes, deleting the edited node), links that refuse, the errors of
// calls that cannot be meant, and the edit that a click on the focused row starts after
// the delay.

#include "support/qv_error_of.h"
#include "treeview/tree_fixture.h"

namespace {

int KeyF2() { return 0x71; }

class TFakeLink : public IQvEditLink {
public:
    explicit TFakeLink(std::vector<std::string>& Log) : FLog(Log) {}
    bool BeginEdit() override { return Say("begin", Begin); }
    bool CancelEdit() override { return Say("cancel", true); }
    bool EndEdit() override { return Say("end", true); }
    TRect GetBounds() override { return Bounds; }
    bool PrepareEdit(TQvBaseTree*, PQvNode, int) override { return Say("prepare", Prepare); }
    void ProcessMessage(TMessage&) override {}
    void SetBounds(TRect R) override {
        Bounds = R;
        FLog.push_back("bounds");
    }
    bool Prepare = true, Begin = true;
    TRect Bounds;

private:
    bool Say(const char* What, bool Result) {
        FLog.push_back(What);
        return Result;
    }
    std::vector<std::string>& FLog;
};

class TreeEditTest : public TreeTest {
protected:
    TQvBaseTree* NewEditableTree() {
        auto* T = NewTree();
        T->TreeOptions()->SetMiscOptions(T->TreeOptions()->MiscOptions().Include(toEditable));
        T->OnCreateEditor = [this](TObject*, PQvNode, int, TQvEditLinkPtr& Link) {
            auto L = std::make_shared<TFakeLink>(Log);
            L->Prepare = Prepare;
            Last = L;
            Link = L;
        };
        T->OnEdited = [this](TObject*, PQvNode, int) { Log.push_back("edited"); };
        T->OnEditCancelled = [this](TObject*, PQvNode, int) { Log.push_back("cancelled"); };
        return T;
    }
    std::vector<std::string> Log;
    std::weak_ptr<TFakeLink> Last;
    bool Prepare = true;
};

using Steps = std::vector<std::string>;

TEST_F(TreeEditTest, LinksBeginEndAndCancelInTheirOrder) {
    auto* T = NewEditableTree();
    const std::vector<PQvNode> R = AddRows(T, 3);
    EXPECT_TRUE(T->EditNode(R[1], -1));
    EXPECT_EQ(T->FocusedNode(), R[1]);
    EXPECT_EQ(Log, (Steps{"prepare", "bounds", "begin"}));
    EXPECT_EQ(Last.lock()->Bounds, Rect(0, 20, 200, 40));
    EXPECT_TRUE(T->IsEditing());
    EXPECT_TRUE(T->EndEditNode());
    EXPECT_EQ(Log, (Steps{"prepare", "bounds", "begin", "end", "edited"}));
    EXPECT_TRUE(Last.expired());  // released

    // F2 edits the focused cell, Esc abandons it.
    Log.clear();
    Key(KeyF2());
    EXPECT_TRUE(T->IsEditing());
    Key(VK_ESCAPE);
    EXPECT_EQ(Log, (Steps{"prepare", "bounds", "begin", "cancel", "cancelled"}));
    EXPECT_FALSE(T->IsEditing());

    // Adding a node cancels; so does deleting the edited node, before it goes.
    Log.clear();
    T->EditNode(R[1], -1);
    T->AddChild(nullptr);
    EXPECT_EQ(Log.back(), "cancelled");
    T->EditNode(R[2], -1);
    T->DeleteNode(R[2]);
    EXPECT_EQ(Log.back(), "cancelled");
    EXPECT_FALSE(T->IsEditing());

    // A link that will not prepare leaves nothing behind.
    Log.clear();
    Prepare = false;
    EXPECT_FALSE(T->EditNode(R[0], -1));
    EXPECT_EQ(Log, Steps{"prepare"});
    EXPECT_TRUE(Last.expired());
    Prepare = true;

    // Not editable, or a handler says no: nothing starts.
    T->OnEditing = [](TObject*, PQvNode, int, bool& Allowed) { Allowed = false; };
    EXPECT_FALSE(T->EditNode(R[0], -1));
    T->OnEditing = nullptr;
    T->TreeOptions()->SetMiscOptions(T->TreeOptions()->MiscOptions().Exclude(toEditable));
    EXPECT_FALSE(T->EditNode(R[0], -1));
    EXPECT_EQ(QvErrorOf([&] { T->EditNode(nullptr, -1); }), "Node must not be nil.");
    EXPECT_EQ(QvErrorOf([&] { T->EditNode(R[0], 0); }),
              "Column must be a valid column index (-1 if no header is shown).");
    EXPECT_TRUE(T->EndEditNode());  // nothing to end
    EXPECT_TRUE(T->CancelEditNode());
}

TEST_F(TreeEditTest, AClickOnTheFocusedRowEditsAfterTheDelay) {
    auto* T = NewEditableTree();
    T->TreeOptions()->SetSelectionOptions(T->TreeOptions()->SelectionOptions().Include(toFullRowSelect));
    T->SetEditDelay(300);
    AddRows(T, 3);
    ClickAt(T, 100, 10);  // focuses; no edit yet
    Headless->Advance(1000);
    ProcessMessages();
    EXPECT_FALSE(T->IsEditing());
    ClickAt(T, 100, 10);  // the focused row again
    Headless->Advance(299);
    ProcessMessages();
    EXPECT_FALSE(T->IsEditing());
    Headless->Advance(1);
    ProcessMessages();
    EXPECT_TRUE(T->IsEditing());
    T->EndEditNode();
    // A press elsewhere before the delay stops the pending edit.
    ClickAt(T, 100, 10);
    ClickAt(T, 100, 30);
    Headless->Advance(1000);
    ProcessMessages();
    EXPECT_FALSE(T->IsEditing());
}

}  // namespace
