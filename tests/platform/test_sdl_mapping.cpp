// The SDL backend without a display: its mapping of keys, text, window events, the wheel
// and dpi as pure functions, and the backend itself on SDL's offscreen driver, fed with
// SDL_PushEvent.

#include <algorithm>
#include <cstdlib>

#include "platform/backends/sdl/uQvSdlBackend.h"
#include "platform/uQvImm.h"
#include "platform/uQvMessages.h"
#include "platform/uQvTimers.h"
#include "platform/uQvTopLevels.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "support/qv_headless_fixture.h"
#include "test_win_paint_support.h"

using Lines = std::vector<std::string>;

TEST(SdlMapping, KeysFollowTheLayoutForLettersAndThePositionForTheRest) {
    // 'a' typed by the key where a US layout has Q (a French layout): VK 'A', Q's scan code.
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_Q, SDLK_a, 0), (TQvSdlKey{'A', 0x10, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_Z, SDLK_z, KMOD_SHIFT), (TQvSdlKey{'Z', 0x2C, false}));
    // A key typing no Latin letter keeps the letter of its position.
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_F, 0x0430, 0), (TQvSdlKey{'F', 0x21, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_0, SDLK_0, 0), (TQvSdlKey{'0', 0x0B, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_F4, SDLK_F4, 0), (TQvSdlKey{VK_F4, 0x3E, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_F12, SDLK_F12, 0), (TQvSdlKey{VK_F12, 0x58, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_LEFT, SDLK_LEFT, 0), (TQvSdlKey{VK_LEFT, 0x4B, true}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_DELETE, SDLK_DELETE, 0), (TQvSdlKey{VK_DELETE, 0x53, true}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_RETURN, SDLK_RETURN, 0), (TQvSdlKey{VK_RETURN, 0x1C, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0), (TQvSdlKey{VK_RETURN, 0x1C, true}));
    // The keypad: digits with Num Lock, the navigation keys (not extended) without.
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM), (TQvSdlKey{VK_NUMPAD0 + 7, 0x47, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_KP_7, SDLK_KP_7, 0), (TQvSdlKey{VK_HOME, 0x47, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM), (TQvSdlKey{VK_NUMPAD0, 0x52, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0), (TQvSdlKey{VK_DELETE, 0x53, false}));
    // Both modifier keys of a kind give one virtual key; the right Ctrl and Alt are extended.
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0), (TQvSdlKey{VK_SHIFT, 0x36, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0), (TQvSdlKey{VK_CONTROL, 0x1D, true}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_LALT, SDLK_LALT, 0), (TQvSdlKey{VK_MENU, 0x38, false}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 0), (TQvSdlKey{VK_APPS, 0x5D, true}));
    EXPECT_EQ(QvSdlMapKey(SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, 0).Vk, 0);
}

TEST(SdlMapping, TextIsCharactersOrTheInputMethodsCommitsAndCompositions) {
    using A = TQvSdlTextAction;
    TQvSdlTextState T;
    EXPECT_EQ(T.Input("a", 0), (A{A::Chars, u"a"}));
    // One character outside the basic plane is one character (two UTF-16 units).
    EXPECT_EQ(T.Input("\xF0\x9F\x98\x80", 0), (A{A::Chars, u"\U0001F600"}));
    // Several at once (a paste through the input method) are one commit.
    EXPECT_EQ(T.Input("中文", 0), (A{A::Commit, u"中文"}));
    // A composition shows, then its commit ends it, even for one character; the empty
    // composition SDL sends after the commit asks for nothing.
    EXPECT_EQ(T.Editing("zhong"), (A{A::Composition, u"zhong"}));
    EXPECT_TRUE(T.Composing());
    EXPECT_EQ(T.Input("中", 0), (A{A::Commit, u"中"}));
    EXPECT_EQ(T.Editing(""), A{});
    // A composition given up ends with an empty one.
    T.Editing("wen");
    EXPECT_EQ(T.Editing(""), (A{A::Composition, u""}));
    EXPECT_FALSE(T.Composing());
    // Left Alt + letter is a mnemonic, not text; with Ctrl it is AltGr's text.
    EXPECT_EQ(T.Input("f", KMOD_LALT), A{});
    EXPECT_EQ(T.Input("@", KMOD_LALT | KMOD_LCTRL), (A{A::Chars, u"@"}));
}

TEST(SdlMapping, WindowEventsAskOnlyForWhatTheWindowSystemDidNotDoItself) {
    using R = TQvSdlWmRequest;
    auto Req = [](Uint8 Event, DWORD Style, int A = 0, int B = 0) {
        SDL_WindowEvent E{};
        E.type = SDL_WINDOWEVENT;
        E.event = Event;
        E.data1 = A;
        E.data2 = B;
        return QvSdlWindowRequest(E, Style | WS_VISIBLE);
    };
    EXPECT_EQ(Req(SDL_WINDOWEVENT_CLOSE, 0), (R{R::SysCommand, SC_CLOSE}));
    EXPECT_EQ(Req(SDL_WINDOWEVENT_MINIMIZED, 0), (R{R::SysCommand, SC_MINIMIZE}));
    EXPECT_EQ(Req(SDL_WINDOWEVENT_MINIMIZED, WS_MINIMIZE), R{});
    EXPECT_EQ(Req(SDL_WINDOWEVENT_MAXIMIZED, 0), (R{R::SysCommand, SC_MAXIMIZE}));
    EXPECT_EQ(Req(SDL_WINDOWEVENT_MAXIMIZED, WS_MAXIMIZE), R{});
    // Restored from the taskbar while minimized; our own restore to maximized asks nothing.
    EXPECT_EQ(Req(SDL_WINDOWEVENT_RESTORED, WS_MINIMIZE), (R{R::SysCommand, SC_RESTORE}));
    EXPECT_EQ(Req(SDL_WINDOWEVENT_RESTORED, WS_MAXIMIZE), R{});
    EXPECT_EQ(Req(SDL_WINDOWEVENT_MOVED, 0, -5, 30), (R{R::Moved, 0, -5, 30}));
    EXPECT_EQ(Req(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 640, 480), (R{R::Sized, 0, 640, 480}));
    EXPECT_EQ(Req(SDL_WINDOWEVENT_FOCUS_LOST, 0), R{R::Unfocus});
    EXPECT_EQ(Req(SDL_WINDOWEVENT_SHOWN, 0), R{});
}

TEST(SdlMapping, WheelDpiCursorsKindsAndPixelsWithoutAlpha) {
    TQvSdlWheel W;
    EXPECT_EQ(W.Add(1.0f), 120);
    EXPECT_EQ(W.Add(-2.0f), -240);
    // A touchpad's fractions add up to whole units and none is lost.
    int Sum = 0;
    for (int I = 0; I < 10; ++I) Sum += W.Add(0.05f);
    EXPECT_EQ(Sum, 60);
    // A measured dpi lands on a step of 24 (within 6 of it, else the one below, at least 96).
    EXPECT_EQ(QvSdlChooseDpi(100.0f, ""), 96u);
    EXPECT_EQ(QvSdlChooseDpi(139.5f, ""), 144u);
    EXPECT_EQ(QvSdlChooseDpi(130.0f, ""), 120u);
    EXPECT_EQ(QvSdlChooseDpi(72.0f, ""), 96u);
    // SDL could not tell: Xft.dpi, else 96.
    const char* Res = "Xcursor.size:\t24\nXft.dpi:\t144\nXft.antialias:\t1\n";
    EXPECT_EQ(QvSdlChooseDpi(0, Res), 144u);
    EXPECT_EQ(QvSdlChooseDpi(-1, "Xft.dpi: 120.4\n"), 120u);
    EXPECT_EQ(QvSdlChooseDpi(0, "Xft.dpi:\tlarge\n"), 96u);
    EXPECT_EQ(QvSdlChooseDpi(0, "Xft.dpi:\t5000\n"), 96u);
    EXPECT_EQ(QvSdlChooseDpi(0, ""), 96u);

    EXPECT_EQ(QvSdlCursorFor(IDC_SIZEWE), SDL_SYSTEM_CURSOR_SIZEWE);
    EXPECT_EQ(QvSdlCursorFor(IDC_APPSTARTING), SDL_SYSTEM_CURSOR_WAITARROW);
    EXPECT_EQ(QvSdlCursorFor(IDC_UPARROW), SDL_SYSTEM_CURSOR_ARROW);

    // The taskbar rule, and the popups we place ourselves; a frameless form keeps the
    // keyboard (a normal window).
    EXPECT_EQ(QvSdlKindOf(WS_POPUP, 0, false, false), skNormal);
    EXPECT_EQ(QvSdlKindOf(WS_POPUP, 0, true, false), skOwned);
    EXPECT_EQ(QvSdlKindOf(WS_POPUP, WS_EX_APPWINDOW, true, false), skNormal);
    EXPECT_EQ(QvSdlKindOf(WS_CAPTION, WS_EX_TOOLWINDOW, false, false), skOwned);
    EXPECT_EQ(QvSdlKindOf(WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, false, false), skTooltip);
    EXPECT_EQ(QvSdlKindOf(WS_POPUP | WS_THICKFRAME, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, true, false), skOwned);
    EXPECT_EQ(QvSdlKindOf(WS_POPUP, WS_EX_NOACTIVATE, true, false), skTooltip);
    EXPECT_EQ(QvSdlKindOf(WS_POPUP, WS_EX_TOPMOST, true, true), skPopupMenu);

    // Premultiplied half-transparent red and a clear pixel over the menu grey.
    const uint32_t Src[2] = {0x80800000, 0x00000000};
    uint32_t Dst[2];
    QvSdlOverUnderlay(Src, Dst, 2, 0xF0F0F0);
    EXPECT_EQ(Dst[0], 0xFFF87878u);
    EXPECT_EQ(Dst[1], 0xFFF0F0F0u);
    // A colour key's pixels are cut out of the window's shape (alpha bytes do not count).
    auto Bm = TGdiBitmap::Create(4, 2);
    const uint32_t Key = 0xA6A6A6, Red = 0xFFFF0000;
    const uint32_t Pixels[8] = {Key, Red, Red, 0x7F000000 | Key, Red, Red, Red, Red};
    for (int I = 0; I < 8; ++I) Bm->Pixel(I % 4, I / 4) = Pixels[I];
    EXPECT_EQ(QvSdlKeyShape(*Bm, Key), TQvRegion::FromRects({Rect(1, 0, 3, 1), Rect(0, 1, 4, 2)}));
}

// ---- The backend on SDL's offscreen driver ---------------------------------------------

namespace {

// A display with a compositor and an alpha visual, as SDL's offscreen driver has none.
const TQvSdlDisplay Composited{nullptr, false, true, 0x21, false};

// Pushes one premultiplied pixel value over the whole of a layered window.
void PushPixels(HWND W, uint32_t Pixel) {
    RECT R;
    GetWindowRect(W, &R);
    void* Bits = nullptr;
    HBITMAP Bm = GdiCreateBitmap32(R.Width(), R.Height(), &Bits);
    std::fill_n(static_cast<uint32_t*>(Bits), R.Width() * R.Height(), Pixel);
    HDC Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, Bm);
    POINT Pos{R.Left, R.Top}, Zero{0, 0};
    SIZE Size{R.Width(), R.Height()};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_TRUE(UpdateLayeredWindow(W, nullptr, &Pos, &Size, Dc, &Zero, 0, &Blend, ULW_ALPHA));
    DeleteDC(Dc);
    DeleteObject(Bm);
}

}  // namespace

class SdlBackend : public TQvHeadlessTest {
protected:
    void SetUp() override {
        TQvHeadlessTest::SetUp();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::string Error;
        auto B = TQvSdlBackend::Open(TQvSdlOptions{}, Error);
        ASSERT_NE(B, nullptr) << Error;
        Sdl = B.get();
        QvSetBackend(std::move(B));
        QvResetWindowSystem();
    }
    void TearDown() override {
        QvResetWindowSystem();
        Headless = &QvInstallHeadless();
        TQvHeadlessTest::TearDown();
    }
    // Lets the loop wait once, briefly: the backend hears of the windows and handles what
    // was pushed.
    void Pump() {
        const UINT_PTR Tick = SetTimer(nullptr, 0, 10, nullptr);
        ProcessMessages();
        WaitMessage();
        ProcessMessages();
        KillTimer(nullptr, Tick);
    }
    Uint32 IdOf(HWND H) { return SDL_GetWindowID(Sdl->Windows().Native(H)); }
    void Push(SDL_Event E) { ASSERT_EQ(SDL_PushEvent(&E), 1) << SDL_GetError(); }
    void PushWindowEvent(HWND H, Uint8 Event, int A = 0, int B = 0) {
        SDL_Event E{};
        E.type = SDL_WINDOWEVENT;
        E.window.windowID = IdOf(H);
        E.window.event = Event;
        E.window.data1 = A;
        E.window.data2 = B;
        Push(E);
    }
    TQvSdlBackend* Sdl = nullptr;
};

TEST_F(SdlBackend, AShownWindowGetsANativeWindowAtItsPlaceShowingItsPixels) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(200, 10, 20), WS_POPUP | WS_VISIBLE, Bounds(40, 30, 120, 80));
    HWND Menu = SolidWindow(Log, "menu", RGB(0, 0, 255), WS_POPUP, Bounds(60, 60, 50, 50), WS_EX_TOPMOST, A);
    Pump();
    SDL_Window* N = Sdl->Windows().Native(A);
    ASSERT_NE(N, nullptr);
    EXPECT_EQ(Sdl->Windows().Native(Menu), nullptr);  // made at its first show
    int X = 0, Y = 0, W = 0, H = 0;
    SDL_GetWindowPosition(N, &X, &Y);
    SDL_GetWindowSize(N, &W, &H);
    EXPECT_EQ(Bounds(X, Y, W, H), Bounds(40, 30, 120, 80));
    const Uint32 Flags = SDL_GetWindowFlags(N);
    EXPECT_TRUE(Flags & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(Flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR));
    SDL_Surface* S = SDL_GetWindowSurface(N);
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(static_cast<uint32_t*>(S->pixels)[0] & 0xFFFFFF, 0xC80A14u);
    // A repaint of a part shows that part.
    Log.On(A, WM_PAINT, [](HWND Wnd, UINT, WPARAM, LPARAM, LRESULT&) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(Wnd, &Ps);
        FillDC(Dc, Ps.rcPaint, RGB(0, 255, 0));
        EndPaint(Wnd, &Ps);
        return true;
    });
    const RECT Part = Rect(100, 50, 110, 60);
    InvalidateRect(A, &Part, FALSE);
    Pump();
    const auto At = [S](int Px, int Py) {
        return static_cast<uint32_t*>(S->pixels)[Py * S->pitch / 4 + Px] & 0xFFFFFF;
    };
    EXPECT_EQ(At(105, 55), 0x00FF00u);
    EXPECT_EQ(At(95, 55), 0xC80A14u);
    // An owned topmost tool popup is placed by us alone; hiding it hides its native window.
    SetWindowLongPtr(Menu, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    ShowWindow(Menu, SW_SHOWNA);
    Pump();
    ASSERT_NE(Sdl->Windows().Native(Menu), nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(Sdl->Windows().Native(Menu)) & SDL_WINDOW_TOOLTIP);
    ShowWindow(Menu, SW_HIDE);
    Pump();
    EXPECT_TRUE(SDL_GetWindowFlags(Sdl->Windows().Native(Menu)) & SDL_WINDOW_HIDDEN);
    DestroyWindow(A);
    Pump();
    EXPECT_EQ(Sdl->Windows().Native(A), nullptr);
}

TEST_F(SdlBackend, PushedInputReachesTheWindowAsMessages) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(1, 2, 3), WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    SetFocus(A);
    Pump();
    Log.Clear();
    SDL_Event E{};
    E.type = SDL_MOUSEBUTTONDOWN;
    E.button.windowID = IdOf(A);
    E.button.button = SDL_BUTTON_LEFT;
    E.button.state = SDL_PRESSED;
    E.button.x = 10;
    E.button.y = 20;
    Push(E);
    E.type = SDL_MOUSEBUTTONUP;
    E.button.state = SDL_RELEASED;
    Push(E);
    E = SDL_Event{};
    E.type = SDL_KEYDOWN;
    E.key.windowID = IdOf(A);
    E.key.keysym.scancode = SDL_SCANCODE_A;
    E.key.keysym.sym = SDLK_a;
    Push(E);
    E = SDL_Event{};
    E.type = SDL_TEXTINPUT;
    E.text.windowID = IdOf(A);
    SDL_strlcpy(E.text.text, "中", sizeof E.text.text);
    Push(E);
    E = SDL_Event{};
    E.type = SDL_TEXTEDITING;
    SDL_strlcpy(E.edit.text, "wen", sizeof E.edit.text);
    Push(E);
    E = SDL_Event{};
    E.type = SDL_TEXTINPUT;
    SDL_strlcpy(E.text.text, "文", sizeof E.text.text);
    Push(E);
    E = SDL_Event{};
    E.type = SDL_MOUSEWHEEL;
    E.wheel.windowID = IdOf(A);
    E.wheel.preciseY = 1.0f;
    Push(E);
    Pump();
    EXPECT_EQ(QvJoin(Log.Lines({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_CHAR, WM_IME_STARTCOMPOSITION,
                                WM_IME_ENDCOMPOSITION, WM_MOUSEWHEEL})),
              QvJoin(Lines{
                  "a WM_LBUTTONDOWN 10,20 keys=0x1",
                  "a WM_LBUTTONUP 10,20 keys=0x0",
                  "a WM_KEYDOWN vk=0x41",
                  "a WM_CHAR ch=20013",
                  // The commit of a composition comes through the input method.
                  "a WM_IME_STARTCOMPOSITION",
                  "a WM_CHAR ch=25991",
                  "a WM_IME_ENDCOMPOSITION",
                  "a WM_MOUSEWHEEL delta=120 at=110,120",
              }));
}

TEST_F(SdlBackend, TheWindowManagersRequestsAndPlacementsAreFollowed) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(1, 2, 3), WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    Log.Answer(A, WM_SYSCOMMAND, 0);  // refused, as a handler may
    Pump();
    Log.Clear();
    PushWindowEvent(A, SDL_WINDOWEVENT_CLOSE);
    PushWindowEvent(A, SDL_WINDOWEVENT_MINIMIZED);
    // A window manager moved and sized the window on its own.
    PushWindowEvent(A, SDL_WINDOWEVENT_MOVED, 300, 200);
    PushWindowEvent(A, SDL_WINDOWEVENT_SIZE_CHANGED, 250, 90);
    Pump();
    EXPECT_EQ(QvJoin(Log.Lines({WM_SYSCOMMAND})), QvJoin(Lines{
                                                       "a WM_SYSCOMMAND 0xF060",
                                                       "a WM_SYSCOMMAND 0xF020",
                                                   }));
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, Bounds(300, 200, 250, 90));
    // The late echo of an earlier request of ours is no placement: moving twice quickly
    // and hearing of the first move afterwards leaves the window at the second place.
    SetWindowPos(A, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    SetWindowPos(A, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    PushWindowEvent(A, SDL_WINDOWEVENT_MOVED, 10, 10);
    Pump();
    GetWindowRect(A, &R);
    EXPECT_EQ(R, Bounds(20, 20, 250, 90));
}

TEST_F(SdlBackend, AWindowManagerRefusingAPlaceOrSizeIsAcceptedAndHitTestingFollowsIt) {
    // This window manager keeps windows right of x = 50 and at most 300 wide.
    Sdl->Windows().ReadPlacement = [](SDL_Window* W, TRect& R) {
        int X, Y, Wd, Ht;
        SDL_GetWindowPosition(W, &X, &Y);
        SDL_GetWindowSize(W, &Wd, &Ht);
        R = Bounds(std::max(X, 50), Y, std::min(Wd, 300), Ht);
        return true;
    };
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(1, 2, 3), WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    Pump();
    SetWindowPos(A, nullptr, 0, 100, 400, 100, SWP_NOZORDER);
    Pump();
    Pump();
    RECT R;
    GetWindowRect(A, &R);
    EXPECT_EQ(R, Bounds(50, 100, 300, 100));
    EXPECT_EQ(WindowFromPoint(POINT{60, 150}), A);
    EXPECT_EQ(WindowFromPoint(POINT{360, 150}), nullptr);
}

TEST_F(SdlBackend, ALostDisplayEndsEveryWaitAndIsNeverCalledAgain) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(1, 2, 3), WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    Pump();
    Sdl->DisplayLost();
    EXPECT_THROW(QvBackend().Wait(std::nullopt), EQvDisplayLost);
    // The shut-down still moves and destroys windows: nothing reaches the display, and
    // every wait ends at once.
    SetWindowPos(A, nullptr, 0, 0, 50, 50, SWP_NOZORDER);
    EXPECT_THROW(WaitMessage(), EQvDisplayLost);
    DestroyWindow(A);
    EXPECT_THROW(WaitMessage(), EQvDisplayLost);
    EXPECT_TRUE(Sdl->IsLost());
}

TEST_F(SdlBackend, ACompositorStartingOrStoppingIsToldAndRemakesWhatDependsOnIt) {
    TQvMessageLog Log;
    HWND A = SolidWindow(Log, "a", RGB(1, 2, 3), WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
    Pump();
    EXPECT_FALSE(QvBackend().DisplayCaps().Translucency);
    Sdl->CompositorChanged(true);
    Sdl->CompositorChanged(true);  // nothing new
    Pump();
    EXPECT_TRUE(QvBackend().DisplayCaps().Translucency);
    EXPECT_EQ(Log.Count(A, WM_DWMCOMPOSITIONCHANGED), 1u);
    Sdl->CompositorChanged(false);
    Pump();
    EXPECT_FALSE(QvBackend().DisplayCaps().Translucency);
    EXPECT_EQ(Log.Count(A, WM_DWMCOMPOSITIONCHANGED), 2u);

    // A shadow (pushed per-pixel alpha the pointer passes through) has a native window only
    // while a compositor can show its alpha.
    HWND Shadow = SolidWindow(Log, "shadow", 0, WS_POPUP | WS_VISIBLE, Bounds(5, 5, 10, 10),
                              WS_EX_LAYERED | WS_EX_TRANSPARENT);
    PushPixels(Shadow, 0x80000000u);
    TQvSdlWindows Windows(Composited, TPoint{0, 0});
    Windows.Created(QvDescribeTopLevel(Shadow));
    EXPECT_NE(Windows.Native(Shadow), nullptr);
    Windows.DisplayChanged(TQvSdlDisplay{});
    EXPECT_EQ(Windows.Native(Shadow), nullptr);
    Windows.DisplayChanged(Composited);
    EXPECT_NE(Windows.Native(Shadow), nullptr);
}

TEST_F(SdlBackend, WithACompositorAFormsMarginIsShownInItsOwnNativeWindow) {
    TQvMessageLog Log;
    HWND F = SolidWindow(Log, "form", RGB(200, 10, 20), WS_POPUP | WS_VISIBLE, Bounds(100, 100, 40, 30));
    // A shadow's top side over the form's top edge and a hidden bottom one (constant
    // alpha 0, as while the form is maximized).
    HWND Top = SolidWindow(Log, "top", 0, WS_POPUP | WS_VISIBLE, Bounds(92, 92, 56, 13),
                           WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW);
    HWND Bottom = SolidWindow(Log, "bottom", 0, WS_POPUP | WS_VISIBLE, Bounds(92, 125, 56, 13),
                              WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW);
    PushPixels(Top, 0x40000000u);
    PushPixels(Bottom, 0x40000000u);
    SetLayeredWindowAttributes(Bottom, 0, 0, LWA_ALPHA);
    QvSetMarginOf(Top, F);
    QvSetMarginOf(Bottom, F);
    Pump();  // the form paints
    TQvSdlWindows Windows(Composited, TPoint{0, 0});
    for (HWND H : {Bottom, Top, F}) Windows.Created(QvDescribeTopLevel(H));
    Windows.Reordered({F, Top, Bottom});
    Windows.Present(Top, TQvRegion(Rect(0, 0, 56, 13)));
    EXPECT_EQ(Windows.Native(Top), nullptr);
    EXPECT_EQ(Windows.Native(Bottom), nullptr);
    SDL_Window* N = Windows.Native(F);
    ASSERT_NE(N, nullptr);
    int X = 0, Y = 0, W = 0, H = 0;
    SDL_GetWindowPosition(N, &X, &Y);
    SDL_GetWindowSize(N, &W, &H);
    EXPECT_EQ(Bounds(X, Y, W, H), Bounds(92, 92, 56, 38));  // the hidden side takes no room
    EXPECT_EQ(Windows.Covered(F), Bounds(92, 92, 56, 38));
    SDL_Surface* S = SDL_GetWindowSurface(N);
    ASSERT_NE(S, nullptr);
    const auto At = [S](int Px, int Py) { return static_cast<uint32_t*>(S->pixels)[Py * S->pitch / 4 + Px]; };
    EXPECT_EQ(At(0, 0), 0x40000000u);     // the shadow's pixel as it was pushed
    EXPECT_EQ(At(20, 20), 0xFFC80A14u);  // the form, opaque over it
    EXPECT_EQ(At(0, 20), 0u);            // nothing: fully transparent
    // A move reported by the display is the form's, the margin taken off.
    EXPECT_EQ(Windows.Reported(F, TPoint{192, 192}, std::nullopt), Bounds(200, 200, 40, 30));
    // Without a compositor the form's native window is its own size and the shadow is not shown.
    Windows.DisplayChanged(TQvSdlDisplay{});
    N = Windows.Native(F);
    ASSERT_NE(N, nullptr);
    SDL_GetWindowSize(N, &W, &H);
    EXPECT_EQ((TSize{W, H}), (TSize{40, 30}));
    EXPECT_EQ(Windows.Native(Top), nullptr);
}
