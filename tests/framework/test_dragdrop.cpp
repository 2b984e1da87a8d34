// Dragging between controls: enter, move and leave, accepting and refusing with the
// cursor, the drop, Esc, drops on nothing, a target freed meanwhile; and the cursor rules.

#include <string>
#include <vector>

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvDragDrop.h"
#include "platform/uQvInput.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"

namespace {

// A drag object with a picture, telling when it is finished.
class TImageDrag : public TDragControlObject {
public:
    TImageDrag(TControl* C, std::vector<std::string>& Log) : TDragControlObject(C), FImages(nullptr), FLog(Log) {
        FImages.SetSize(8, 8);
        std::vector<uint32_t> Px(64, 0xFFFF0000u);
        Px[0] = 0xFFFF00FFu;  // magenta: not shown
        FImages.AddPixels(Px.data(), 8, 8, 32);
        FImages.SetDragImage(0, 2, 3);
    }
    TDragImageList* GetDragImages() override { return &FImages; }
    void Finished(TObject* Target, int, int, bool Accepted) override {
        FLog.push_back(std::string("finished ") + (Target != nullptr ? "target" : "none") + (Accepted ? " yes" : " no") +
                       (Cancelling() ? " esc" : ""));
    }
    TDragImageList FImages;

private:
    std::vector<std::string>& FLog;
};

class DragDropTest : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        AppInit();
        Application->CreateForm(Form);
        Form->SetBoundsRect(Bounds(100, 100, 400, 300));
        Source = Child(Bounds(10, 10, 100, 40));
        Target = Child(Bounds(10, 100, 100, 40));
        Other = Child(Bounds(200, 10, 100, 40));
        Target->OnDragOver = [this](TObject*, TObject* Src, int, int, TDragState State, bool& Accept) {
            static const char* Names[] = {"enter", "leave", "move"};
            Log.push_back(std::string(Names[State]) + (Src == Source ? "" : " ?"));
            Accept = Accepting;
        };
        Target->OnDragDrop = [this](TObject*, TObject* Src, int X, int Y) {
            Log.push_back("drop " + std::to_string(X) + "," + std::to_string(Y) + (Src == Source ? "" : " ?"));
        };
        Source->OnEndDrag = [this](TObject*, TObject* To, int, int) {
            Log.push_back(std::string("end ") + (To == nullptr ? "none" : To == Target ? "target" : "?"));
        };
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override {
        AppShutdown();
        TQvHeadlessTest::TearDown();
    }
    TWinControl* Child(TRect R) {
        auto* C = new TWinControl(Form);
        C->SetBoundsRect(R);
        C->SetParent(Form);
        return C;
    }
    void Run() {
        Headless->RunStep();
        ProcessMessages();
    }
    void MoveTo(TPoint P) {
        Headless->MouseMove(P.X, P.Y);
        Run();
    }
    std::vector<std::string> Take() { return std::exchange(Log, {}); }
    TForm* Form = nullptr;
    TWinControl* Source = nullptr;
    TWinControl* Target = nullptr;
    TWinControl* Other = nullptr;
    bool Accepting = false;
    std::vector<std::string> Log;
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(DragDropTest, DragFromSourceToTargetShowsStatesCursorAndImageAndDrops) {
    TImageDrag* Object = nullptr;
    Source->OnStartDrag = [&](TObject*, TDragObject*& O) { O = Object = new TImageDrag(Source, Log); };
    Source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { Source->BeginDrag(false); };
    const TPoint S = QvControlCenter(Source);
    MoveTo(S);
    Headless->Press();
    Run();
    ASSERT_TRUE(Source->Dragging());
    MoveTo(TPoint{S.X + 5, S.Y});  // within the threshold: nothing yet
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(Object->FImages.DragWindow(), nullptr);

    const TPoint T = QvControlCenter(Target);
    MoveTo(T);
    EXPECT_EQ(Take(), (Strings{"enter", "move"}));
    EXPECT_EQ(GetCursor(), CursorHandle(crNoDrop));
    const HWND Image = Object->FImages.DragWindow();
    ASSERT_NE(Image, nullptr);
    RECT R;
    GetWindowRect(Image, &R);
    EXPECT_EQ(R.Left, T.X - 2);
    EXPECT_EQ(R.Top, T.Y - 3);
    EXPECT_TRUE(IsWindowVisible(Image));

    Accepting = true;
    MoveTo(TPoint{T.X + 1, T.Y});
    EXPECT_EQ(Take(), (Strings{"move"}));
    EXPECT_EQ(GetCursor(), CursorHandle(crDrag));
    MoveTo(QvControlCenter(Other));  // refuses: it has no OnDragOver
    EXPECT_EQ(Take(), (Strings{"leave"}));
    EXPECT_EQ(GetCursor(), CursorHandle(crNoDrop));

    MoveTo(T);
    Headless->Release();
    Run();
    const TPoint L = Target->ScreenToClient(T);
    EXPECT_EQ(Take(), (Strings{"enter", "move", "leave", "drop " + std::to_string(L.X) + "," + std::to_string(L.Y),
                               "end target", "finished target yes"}));
    EXPECT_FALSE(Source->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(IsWindow(Image));
}

TEST_F(DragDropTest, EscDropOnNothingAndAFreedTargetEndWithoutTarget) {
    Source->SetDragMode(dmAutomatic);
    Accepting = true;
    const TPoint S = QvControlCenter(Source);
    const TPoint T = QvControlCenter(Target);
    auto StartOver = [&](TPoint P) {
        Headless->Advance(1000);  // not a double click
        MoveTo(S);
        Headless->Press();
        Run();
        MoveTo(P);
    };
    StartOver(T);
    Headless->KeyDown(VK_ESCAPE);
    Run();
    EXPECT_EQ(Take(), (Strings{"enter", "move", "leave", "end none"}));
    EXPECT_FALSE(Source->Dragging());
    Headless->KeyUp(VK_ESCAPE);
    Headless->Release();
    Run();
    Run();
    EXPECT_TRUE(Log.empty());

    StartOver(Form->ClientToScreen(TPoint{300, 250}));
    Headless->Release();
    Run();
    EXPECT_EQ(Take(), (Strings{"end none"}));

    StartOver(T);
    Take();
    delete Target;
    Target = nullptr;
    MoveTo(TPoint{T.X + 1, T.Y});
    Headless->Release();
    Run();
    EXPECT_EQ(Take(), (Strings{"end none"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DragDropTest, ScreenCursorOverridesTheControlCursorAndGoesBack) {
    Source->SetCursor(crHandPoint);
    MoveTo(QvControlCenter(Source));
    EXPECT_EQ(GetCursor(), CursorHandle(crHandPoint));
    Screen->SetCursor(crHourGlass);
    MoveTo(TPoint{QvControlCenter(Source).X + 1, QvControlCenter(Source).Y});
    EXPECT_EQ(GetCursor(), CursorHandle(crHourGlass));
    Screen->SetCursor(crDefault);
    EXPECT_EQ(GetCursor(), CursorHandle(crHandPoint));
}
