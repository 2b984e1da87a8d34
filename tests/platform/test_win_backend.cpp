// The backend seam for backends that show each top-level window natively: what they hear
// of the windows, the dirty parts presented per window, capture and pointer, and what a
// window manager does on its own.

#include <map>

#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvTopLevels.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinManager.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_win_paint_support.h"

namespace {

// A headless backend that also writes down the per-window calls.
class TRecorder : public TQvHeadless {
public:
    std::vector<std::string> Events;
    std::vector<std::pair<HWND, TQvRegion>> Presents;
    std::vector<HWND> Order;
    std::optional<POINT> Pointer;
    std::optional<POINT> Warped;
    std::vector<bool> Captures;

    void WindowCreated(const TQvTopLevel& D) override { Events.push_back("create " + Name(D)); }
    void WindowChanged(const TQvTopLevel& D, unsigned C) override {
        Events.push_back("change " + Name(D) + " " + std::to_string(C));
    }
    void WindowDestroyed(HWND H) override { Events.push_back("destroy " + StringToUtf8(Names[H])); }
    void ZOrderChanged(const std::vector<HWND>& TopFirst) override { Order = TopFirst; }
    void PresentWindow(HWND H, const TQvRegion& Dirty) override { Presents.emplace_back(H, Dirty); }
    std::optional<POINT> PointerPos() const override { return Pointer; }
    void WarpPointer(POINT Pt) override { Warped = Pt; }
    void CaptureChanged(bool Captured) override { Captures.push_back(Captured); }

    std::map<HWND, String> Names;

private:
    std::string Name(const TQvTopLevel& D) {
        Names[D.Handle] = GetWindowTextString(D.Handle);
        return StringToUtf8(Names[D.Handle]);
    }
};

}  // namespace

class WinBackend : public TQvHeadlessTest {
protected:
    // Installs the recorder over the windows that exist, as a backend chosen late would be.
    TRecorder& Install() {
        auto R = std::make_unique<TRecorder>();
        TRecorder& Rec = *R;
        QvSetBackend(std::move(R));
        Headless = &Rec;
        return Rec;
    }
    void Wait() {
        Headless->Step([] {});
        RunScript();
    }
};

TEST_F(WinBackend, ABackendHearsOfEachTopLevelWindowAndPresentsItsDirtyParts) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(255, 0, 0), WS_POPUP | WS_VISIBLE, Bounds(10, 10, 100, 100));
    HWND B = SolidWindow(Log, "b", RGB(0, 0, 255), WS_POPUP, Bounds(500, 500, 50, 50), 0, A);
    ProcessMessages();
    TRecorder& Rec = Install();
    Wait();
    // Told about both, bottom first (the owned one stays above its owner), the hidden one
    // too; the shown one presented whole.
    EXPECT_EQ(Rec.Events, (std::vector<std::string>{"create a", "create b"}));
    EXPECT_EQ(Rec.Order, (std::vector<HWND>{B, A}));
    ASSERT_EQ(Rec.Presents.size(), 1u);
    EXPECT_EQ(Rec.Presents[0].first, A);
    EXPECT_EQ(Rec.Presents[0].second, TQvRegion(Rect(0, 0, 100, 100)));
    EXPECT_EQ(QvDescribeTopLevel(B).Owner, A);
    EXPECT_EQ(QvTopLevelPixels(A)->Pixel(5, 5) & 0xFFFFFF, Px(RGB(255, 0, 0)) & 0xFFFFFF);
    Rec.Events.clear();
    Rec.Presents.clear();
    // A child's painting presents only its part, in window coordinates; nothing else is told.
    SolidWindow(Log, "k", RGB(0, 255, 0), WS_CHILD | WS_VISIBLE, Bounds(20, 30, 5, 10), 0, A);
    Wait();
    EXPECT_TRUE(Rec.Events.empty());
    ASSERT_EQ(Rec.Presents.size(), 1u);
    EXPECT_EQ(Rec.Presents[0].second, TQvRegion(Rect(20, 30, 25, 40)));
    Rec.Events.clear();
    // Showing, moving, layering, reshaping and destroying each come as their change.
    ShowWindow(B, SW_SHOWNOACTIVATE);
    SetWindowPos(A, nullptr, 40, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Wait();
    EXPECT_EQ(Rec.Events, (std::vector<std::string>{"change a " + std::to_string(tcGeometry),
                                                    "change b " + std::to_string(tcShown | tcStyle)}));
    Rec.Events.clear();
    SetWindowLongPtr(A, GWL_EXSTYLE, WS_EX_LAYERED);
    SetLayeredWindowAttributes(A, 0, 128, LWA_ALPHA);
    SetWindowRgn(A, CreateRectRgn(0, 0, 50, 50), TRUE);
    Wait();
    EXPECT_EQ(Rec.Events, (std::vector<std::string>{"change a " + std::to_string(tcStyle | tcLayer | tcShape)}));
    EXPECT_EQ(QvDescribeTopLevel(A).Alpha, 128);
    Rec.Events.clear();
    // A modal loop's target comes as its own change while the window shows, and goes with it.
    QvSetModalFor(B, A);
    Wait();
    EXPECT_EQ(QvDescribeTopLevel(B).ModalFor, A);
    ShowWindow(B, SW_HIDE);
    Wait();
    EXPECT_EQ(Rec.Events, (std::vector<std::string>{"change b " + std::to_string(tcModal),
                                                    "change b " + std::to_string(tcShown | tcStyle | tcModal)}));
    EXPECT_EQ(QvDescribeTopLevel(B).ModalFor, nullptr);
    Rec.Events.clear();
    DestroyWindow(B);
    Wait();
    EXPECT_EQ(Rec.Events, (std::vector<std::string>{"destroy b"}));
    EXPECT_EQ(Rec.Order, (std::vector<HWND>{A}));
}

TEST_F(WinBackend, PointerCaptureAndWindowManagerRequestsGoThroughTheSeam) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(255, 0, 0), WS_POPUP | WS_VISIBLE, Bounds(10, 10, 100, 100));
    HWND B = SolidWindow(Log, "b", RGB(0, 0, 255), WS_POPUP | WS_VISIBLE, Bounds(300, 10, 100, 100));
    TRecorder& Rec = Install();
    SetCapture(A);
    SetCapture(B);
    ReleaseCapture();
    EXPECT_EQ(Rec.Captures, (std::vector<bool>{true, false}));
    SetCursorPos(50, 60);
    EXPECT_EQ(Rec.Warped, (POINT{50, 60}));
    Rec.Pointer = POINT{-5, 2000};
    POINT Pt{};
    GetCursorPos(&Pt);
    EXPECT_EQ(Pt, (POINT{-5, 2000}));
    // Focus, close, an imposed placement.
    QvWmFocus(A, true);
    EXPECT_EQ(GetActiveWindow(), A);
    QvWmFocus(A, false);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    QvWmSysCommand(B, SC_CLOSE);
    Log.Clear();
    ProcessMessages();
    EXPECT_EQ(Log.Count(B, WM_SYSCOMMAND), 1u);
    EXPECT_FALSE(IsWindow(B));  // DefWindowProc closed it
    QvWmPlaced(A, Bounds(0, 0, 120, 90));
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, Bounds(0, 0, 120, 90));
    // The pointer leaving every window ends leave tracking.
    QvInputMouseMove(POINT{20, 20});
    ProcessMessages();
    TRACKMOUSEEVENT T{sizeof(T), TME_LEAVE, A, 0};
    TrackMouseEvent(&T);
    QvInputPointerLeft(POINT{-100, -100});
    Log.Clear();
    ProcessMessages();
    EXPECT_EQ(Log.Count(A, WM_MOUSELEAVE), 1u);
}
