#pragma once
// Fixture of the tree tests: the framework set up on the headless backend, a shown form,
// and a tree on it with rows easy to aim at (20 pixels high, no border), plus helpers
// that click and type at it.

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvForms.h"
#include "platform/uQvInput.h"
#include "support/qv_headless_fixture.h"
#include "treeview/uQvBaseTree.h"

class TreeTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        AppInit();
        Application->CreateForm(Form);
        Form->SetBounds(0, 0, 400, 300);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override {
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
    // A tree on the form, placed and focused.
    template <class T = TQvBaseTree>
    T* NewTree(int Width = 200, int Height = 100) {
        auto* Tree = new T(Form);
        Tree->SetBorderStyle(bsNone);
        Tree->SetBounds(10, 10, Width, Height);
        Tree->SetDefaultNodeHeight(20);
        Tree->SetParent(Form);
        ProcessMessages();
        Tree->SetFocus();
        ProcessMessages();
        return Tree;
    }
    // Top-level nodes, each with Children children.
    static std::vector<PQvNode> AddRows(TQvBaseTree* Tree, int Count, int Children = 0) {
        std::vector<PQvNode> Rows;
        for (int I = 0; I < Count; ++I) {
            Rows.push_back(Tree->AddChild(nullptr));
            for (int K = 0; K < Children; ++K) Tree->AddChild(Rows.back());
        }
        return Rows;
    }
    void ClickAt(const TControl* C, int X, int Y, TQvButton Button = TQvButton::Left) {
        const TPoint S = C->ClientToScreen(TPoint{X, Y});
        Headless->Click(S.X, S.Y, Button);
        RunScript();
    }
    void DoubleClickAt(const TControl* C, int X, int Y) {
        const TPoint S = C->ClientToScreen(TPoint{X, Y});
        Headless->DoubleClick(S.X, S.Y);
        RunScript();
    }
    void MoveTo(const TControl* C, int X, int Y) {
        const TPoint S = C->ClientToScreen(TPoint{X, Y});
        Headless->MouseMove(S.X, S.Y);
        RunScript();
    }
    // A key, with modifiers held around it.
    void Key(int VirtKey, std::initializer_list<int> Held = {}) {
        for (int H : Held) Headless->KeyDown(H);
        Headless->Key(VirtKey);
        for (int H : Held) Headless->KeyUp(H);
        RunScript();
    }
    TForm* Form = nullptr;
};
