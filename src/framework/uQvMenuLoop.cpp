#include "framework/uQvMenuLoop.h"

#include <algorithm>
#include <vector>

#include "framework/uQvControlTypes.h"
#include "framework/uQvMenuPaint.h"
#include "framework/uQvMenus.h"
#include "framework/uQvPopupList.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPaint.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

constexpr UINT_PTR HoverTimer = 1;

void EnsureMenuClass() {
    WNDCLASS Existing;
    if (GetClassInfo(nullptr, MenuWindowClassName, &Existing)) return;
    WNDCLASS C;
    C.style = CS_DROPSHADOW | CS_SAVEBITS;
    C.lpfnWndProc = DefWindowProc;
    C.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    C.lpszClassName = MenuWindowClassName;
    RegisterClass(&C);
}

bool IsMouseMessage(UINT Msg) {
    return (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK);
}
bool IsButtonDown(UINT Msg) {
    switch (Msg) {
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}
bool IsChooseButtonUp(UINT Msg) { return Msg == WM_LBUTTONUP || Msg == WM_RBUTTONUP; }

bool Selectable(const TMenuItem* Item) { return Item != nullptr && !Item->IsLine(); }

// One open level: the children of Parent that are shown, in one window.
struct TLevel {
    TMenuItem* Parent = nullptr;
    std::vector<TMenuItem*> Items;
    std::vector<TRect> Rects;  // client coordinates, inside the frame
    HWND Wnd = nullptr;
    int Selected = -1;
    bool OwnerDrawn = false;
};

class TMenuLoop;
TMenuLoop* Running = nullptr;

// Hears of the death of the menu and of the items on show.
class TLoopWatch : public TComponent {
public:
    explicit TLoopWatch(TMenuLoop* Loop) : TComponent(nullptr), FLoop(Loop) {}
    void Watch(TComponent* C) { C->FreeNotification(this); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuLoop* FLoop;
};

class TMenuLoop {
public:
    explicit TMenuLoop(TPopupMenu* Menu) : FMenu(Menu), FList(PopupList()->Window()), FWatch(this) {
        FWatch.Watch(Menu);
    }
    TMenuLoop(const TMenuLoop&) = delete;
    TMenuLoop& operator=(const TMenuLoop&) = delete;

    void Run(TPoint At);
    void Cancel() { FDone = true; }
    void Gone(TComponent* C);

private:
    TLevel* Deepest() { return FLevels.empty() ? nullptr : &FLevels.back(); }
    int LevelOf(HWND Wnd) const;
    bool Open(TMenuItem* Parent, int ParentIndex, TPoint At, const TRect* Beside);
    void CloseFrom(size_t Level);
    void Place(TPoint At, const TRect* Beside, int Width, int Height);
    void LevelProc(HWND Wnd, TMessage& M);
    void Paint(TLevel& L);
    void Select(size_t Level, int Index, bool ByMouse);
    void OpenSelected(size_t Level, bool SelectFirst);
    void Choose(TMenuItem* Item);
    void Step(int Direction);
    void Mouse(const MSG& M);
    void Key(WORD Vk);
    void Mnemonic(WORD Vk);
    void HoverElapsed(size_t Level);
    void Loop();

    TPopupMenu* FMenu;
    HWND FList;
    TLoopWatch FWatch;
    std::vector<TLevel> FLevels;
    TMenuItem* FChosen = nullptr;
    bool FDone = false;
    bool FPressedInside = false;
    bool FOwnCapture = false;
    POINT FLastMove{-32768, -32768};
};

void TLoopWatch::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) FLoop->Gone(AComponent);
}

namespace {

// C may be past its own class's destructor, where no conversion of a pointer to it is
// allowed: compare addresses (items and menus derive from TComponent alone).
template <typename T>
bool Names(const T* P, const TComponent* C) {
    return static_cast<const void*>(P) == static_cast<const void*>(C);
}

}  // namespace

void TMenuLoop::Gone(TComponent* C) {
    if (Names(FMenu, C)) {
        // The popup list must not keep naming a menu that is gone.
        PopupList()->Remove(FMenu);
        FMenu = nullptr;
    }
    if (Names(FChosen, C)) FChosen = nullptr;
    for (TLevel& L : FLevels) {
        if (Names(L.Parent, C)) L.Parent = nullptr;
        for (TMenuItem*& I : L.Items)
            if (Names(I, C)) I = nullptr;
    }
    // What is on show no longer matches the menu.
    FDone = true;
}

int TMenuLoop::LevelOf(HWND Wnd) const {
    for (size_t I = 0; I < FLevels.size(); ++I)
        if (FLevels[I].Wnd == Wnd) return static_cast<int>(I);
    return -1;
}

bool TMenuLoop::Open(TMenuItem* Parent, int ParentIndex, TPoint At, const TRect* Beside) {
    SendMessage(FList, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Parent->Handle()), MAKELPARAM(ParentIndex, FALSE));
    if (FDone) return false;
    TLevel L;
    L.Parent = Parent;
    L.Items = ShownMenuItems(Parent);
    if (L.Items.empty()) return false;

    const int Frame = MenuScale(3);
    int Width = 0;
    int Y = Frame;
    {
        TMenuMeasureCanvas Canvas;
        for (TMenuItem* Item : L.Items) {
            FWatch.Watch(Item);
            TSize Size = MeasurePlainMenuItem(&Canvas, Item);
            if (Item->IsOwnerDraw()) {
                L.OwnerDrawn = true;
                MEASUREITEMSTRUCT Mis;
                Mis.CtlType = ODT_MENU;
                Mis.itemID = Item->Command();
                Mis.itemWidth = static_cast<UINT>(Size.cx);
                Mis.itemHeight = static_cast<UINT>(Size.cy);
                Mis.itemData = reinterpret_cast<ULONG_PTR>(Item);
                SendMessage(FList, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&Mis));
                if (FDone) return false;
                Size = TSize{static_cast<int>(Mis.itemWidth), static_cast<int>(Mis.itemHeight)};
            }
            L.Rects.push_back(TRect{Frame, Y, Frame, Y + Size.cy});
            Width = std::max(Width, Size.cx);
            Y += Size.cy;
        }
    }
    for (TRect& R : L.Rects) R.Right = Frame + Width;
    FLevels.push_back(std::move(L));
    Place(At, Beside, Width + 2 * Frame, Y + Frame);
    return !FDone;
}

void TMenuLoop::Place(TPoint At, const TRect* Beside, int Width, int Height) {
    MONITORINFO Info;
    GetMonitorInfo(MonitorFromPoint(At, MONITOR_DEFAULTTONEAREST), &Info);
    const RECT& Work = Info.rcWork;
    int X = At.X;
    int Y = At.Y;
    if (Beside != nullptr) {
        // A submenu overlaps its parent's frame and flips to the left when it must.
        const int Frame = MenuScale(3);
        X = Beside->Right - Frame;
        if (X + Width > Work.Right) X = Beside->Left - Width + Frame;
        if (Y + Height > Work.Bottom) Y = Work.Bottom - Height;
    } else {
        if (X + Width > Work.Right) X -= Width;
        if (Y + Height > Work.Bottom) Y -= Height;
    }
    X = std::max(static_cast<int>(Work.Left), std::min(X, static_cast<int>(Work.Right) - Width));
    Y = std::max(static_cast<int>(Work.Top), std::min(Y, static_cast<int>(Work.Bottom) - Height));

    EnsureMenuClass();
    const size_t Index = FLevels.size() - 1;
    HWND Wnd = QvCreateWindowWithMethod(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MenuWindowClassName,
                                        nullptr, WS_POPUP, X, Y, Width, Height, nullptr, nullptr,
                                        [this, Index](TMessage& M) {
                                            if (Index < FLevels.size()) LevelProc(FLevels[Index].Wnd, M);
                                        },
                                        &FLevels[Index].Wnd);
    (void)Wnd;
    if (FLevels[Index].Wnd == nullptr) {
        FDone = true;
        return;
    }
    SetWindowPos(FLevels[Index].Wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(FLevels[Index].Wnd);
}

void TMenuLoop::CloseFrom(size_t Level) {
    while (FLevels.size() > Level) {
        HWND Wnd = FLevels.back().Wnd;
        if (Wnd == nullptr) {
            FLevels.pop_back();
            continue;
        }
        KillTimer(Wnd, HoverTimer);
        if (FOwnCapture && GetCapture() == Wnd) {
            FOwnCapture = false;
            ReleaseCapture();
        }
        DestroyWindow(Wnd);
        FLevels.pop_back();
    }
}

void TMenuLoop::LevelProc(HWND Wnd, TMessage& M) {
    const int Level = LevelOf(Wnd);
    switch (M.Msg) {
        case WM_PAINT:
            if (Level >= 0) {
                Paint(FLevels[static_cast<size_t>(Level)]);
                return;
            }
            break;
        case WM_MOUSEACTIVATE:
            M.Result = MA_NOACTIVATE;
            return;
        case WM_TIMER:
            if (M.WParam == HoverTimer && Level >= 0) {
                KillTimer(Wnd, HoverTimer);
                HoverElapsed(static_cast<size_t>(Level));
                return;
            }
            break;
        case WM_CAPTURECHANGED:
            // Someone took the capture from the loop: the menu closes.
            if (FOwnCapture && LevelOf(reinterpret_cast<HWND>(M.LParam)) < 0) {
                FOwnCapture = false;
                FDone = true;
            }
            break;
        case WM_CANCELMODE:
            FDone = true;
            return;
        default:
            break;
    }
    M.Result = DefWindowProc(Wnd, M.Msg, M.WParam, M.LParam);
}

void TMenuLoop::Paint(TLevel& L) {
    PAINTSTRUCT Ps;
    HDC Dc = BeginPaint(L.Wnd, &Ps);
    RECT Client;
    GetClientRect(L.Wnd, &Client);
    TCanvas Canvas;
    Canvas.SetHandle(Dc);
    if (!L.OwnerDrawn) DrawPlainMenuFrame(&Canvas, Client);
    const HMENU MenuHandle = L.Parent != nullptr ? L.Parent->Handle() : nullptr;
    for (size_t I = 0; I < L.Items.size(); ++I) {
        TMenuItem* Item = L.Items[I];
        const TRect& R = L.Rects[I];
        TRect Common;
        if (Item == nullptr || !IntersectRect(Common, Ps.rcPaint, R)) continue;
        const bool Selected = static_cast<int>(I) == L.Selected;
        if (Item->IsOwnerDraw()) {
            DRAWITEMSTRUCT Dis;
            Dis.CtlType = ODT_MENU;
            Dis.itemID = Item->Command();
            Dis.itemAction = ODA_DRAWENTIRE;
            Dis.itemState = (Selected ? ODS_SELECTED : 0) | (Item->Enabled() ? 0 : ODS_GRAYED | ODS_DISABLED) |
                            (Item->Checked() ? ODS_CHECKED : 0) | (Item->Default() ? ODS_DEFAULT : 0);
            Dis.hwndItem = reinterpret_cast<HWND>(MenuHandle);
            Dis.hDC = Dc;
            Dis.rcItem = R;
            Dis.itemData = reinterpret_cast<ULONG_PTR>(Item);
            SendMessage(FList, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&Dis));
        } else {
            TOwnerDrawState State;
            if (Selected) State.Include(odSelected);
            if (!Item->Enabled()) State += TOwnerDrawState{odGrayed, odDisabled};
            if (Item->Checked()) State.Include(odChecked);
            if (Item->Default()) State.Include(odDefault);
            DrawPlainMenuItem(&Canvas, Item, R, State);
        }
    }
    Canvas.SetHandle(nullptr);
    EndPaint(L.Wnd, &Ps);
}

void TMenuLoop::Select(size_t Level, int Index, bool ByMouse) {
    TLevel& L = FLevels[Level];
    if (Index == L.Selected) return;
    const int Old = L.Selected;
    L.Selected = Index;
    TMenuItem* Item = Index >= 0 ? L.Items[static_cast<size_t>(Index)] : nullptr;
    if (Item != nullptr && L.Parent != nullptr) {
        const bool Popup = Item->Count() > 0;
        const UINT Flags = MF_HILITE | (Popup ? MF_POPUP : 0) | (Item->Enabled() ? 0 : MF_GRAYED | MF_DISABLED) |
                           (Item->Checked() ? MF_CHECKED : 0) | (Item->IsOwnerDraw() ? MF_OWNERDRAW : 0) |
                           (ByMouse ? MF_MOUSESELECT : 0);
        const int Id = Popup ? Item->MenuIndex() : Item->Command();
        SendMessage(FList, WM_MENUSELECT, MAKEWPARAM(Id, static_cast<int>(Flags)),
                    reinterpret_cast<LPARAM>(L.Parent->Handle()));
        if (FDone || Level >= FLevels.size()) return;
    }
    TLevel& Now = FLevels[Level];
    if (Old >= 0) InvalidateRect(Now.Wnd, &Now.Rects[static_cast<size_t>(Old)], FALSE);
    if (Index >= 0) InvalidateRect(Now.Wnd, &Now.Rects[static_cast<size_t>(Index)], FALSE);
    UpdateWindow(Now.Wnd);
}

void TMenuLoop::OpenSelected(size_t Level, bool SelectFirst) {
    CloseFrom(Level + 1);
    TLevel& L = FLevels[Level];
    if (L.Selected < 0) return;
    TMenuItem* Item = L.Items[static_cast<size_t>(L.Selected)];
    if (Item == nullptr || Item->Count() == 0 || !Item->Enabled()) return;
    RECT Parent;
    GetWindowRect(L.Wnd, &Parent);
    const int Frame = MenuScale(3);
    const TPoint At{Parent.Right - Frame, Parent.Top + L.Rects[static_cast<size_t>(L.Selected)].Top - Frame};
    if (Open(Item, L.Selected, At, &Parent) && SelectFirst) Step(1);
}

void TMenuLoop::Choose(TMenuItem* Item) {
    FChosen = Item;
    FDone = true;
}

void TMenuLoop::Step(int Direction) {
    TLevel& L = *Deepest();
    const int N = static_cast<int>(L.Items.size());
    int I = L.Selected < 0 ? (Direction > 0 ? -1 : N) : L.Selected;
    for (int Tries = 0; Tries < N; ++Tries) {
        I = (I + Direction + N) % N;
        if (Selectable(L.Items[static_cast<size_t>(I)])) {
            Select(FLevels.size() - 1, I, false);
            return;
        }
    }
}

void TMenuLoop::HoverElapsed(size_t Level) {
    if (Level >= FLevels.size()) return;
    const TLevel& L = FLevels[Level];
    const TMenuItem* Item = L.Selected >= 0 ? L.Items[static_cast<size_t>(L.Selected)] : nullptr;
    // An open submenu of the hovered item stays; any other deeper level closes.
    if (FLevels.size() > Level + 1 && FLevels[Level + 1].Parent == Item) return;
    CloseFrom(Level + 1);
    if (Item != nullptr && Item->Count() > 0) OpenSelected(Level, false);
}

void TMenuLoop::Mouse(const MSG& M) {
    int Level = -1;
    int Index = -1;
    for (int I = static_cast<int>(FLevels.size()) - 1; I >= 0 && Level < 0; --I) {
        TLevel& L = FLevels[static_cast<size_t>(I)];
        RECT W;
        GetWindowRect(L.Wnd, &W);
        if (!PtInRect(W, M.pt)) continue;
        Level = I;
        const TPoint P{M.pt.X - W.Left, M.pt.Y - W.Top};
        for (size_t J = 0; J < L.Rects.size(); ++J)
            if (PtInRect(L.Rects[J], P) && Selectable(L.Items[J])) Index = static_cast<int>(J);
    }
    if (M.message == WM_MOUSEMOVE || M.message == WM_NCMOUSEMOVE) {
        if (M.pt.X == FLastMove.X && M.pt.Y == FLastMove.Y) return;
        FLastMove = M.pt;
        if (Level < 0 || Index < 0) return;
        const size_t Lv = static_cast<size_t>(Level);
        for (TLevel& L : FLevels) KillTimer(L.Wnd, HoverTimer);
        Select(Lv, Index, true);
        const TMenuItem* Item = FLevels[Lv].Items[static_cast<size_t>(Index)];
        const bool SubOpen = FLevels.size() > Lv + 1 && FLevels[Lv + 1].Parent == Item;
        if (!SubOpen && (Item->Count() > 0 || FLevels.size() > Lv + 1))
            SetTimer(FLevels[Lv].Wnd, HoverTimer, MenuHoverDelay, nullptr);
        return;
    }
    if (IsButtonDown(M.message)) {
        FPressedInside = true;
        if (Level < 0 || Index < 0) return;
        const size_t Lv = static_cast<size_t>(Level);
        Select(Lv, Index, true);
        if (FLevels[Lv].Items[static_cast<size_t>(Index)]->Count() > 0) {
            KillTimer(FLevels[Lv].Wnd, HoverTimer);
            OpenSelected(Lv, false);
        }
        return;
    }
    if (IsChooseButtonUp(M.message) && FPressedInside && Level >= 0 && Index >= 0) {
        TMenuItem* Item = FLevels[static_cast<size_t>(Level)].Items[static_cast<size_t>(Index)];
        if (Item->Count() == 0 && Item->Enabled()) Choose(Item);
    }
}

void TMenuLoop::Key(WORD Vk) {
    TLevel& L = *Deepest();
    TMenuItem* Item = L.Selected >= 0 ? L.Items[static_cast<size_t>(L.Selected)] : nullptr;
    switch (Vk) {
        case VK_DOWN: Step(1); break;
        case VK_UP: Step(-1); break;
        case VK_HOME:
            L.Selected = -1;
            Step(1);
            break;
        case VK_END:
            L.Selected = static_cast<int>(L.Items.size());
            Step(-1);
            break;
        case VK_RIGHT:
            if (Item != nullptr && Item->Count() > 0) OpenSelected(FLevels.size() - 1, true);
            break;
        case VK_LEFT:
            if (FLevels.size() > 1) CloseFrom(FLevels.size() - 1);
            break;
        case VK_ESCAPE:
            if (FLevels.size() > 1)
                CloseFrom(FLevels.size() - 1);
            else
                FDone = true;
            break;
        case VK_RETURN:
        case VK_SPACE:
            if (Item == nullptr) break;
            if (Item->Count() > 0)
                OpenSelected(FLevels.size() - 1, true);
            else if (Item->Enabled())
                Choose(Item);
            break;
        case VK_MENU:
        case VK_F10:
            FDone = true;
            break;
        default:
            Mnemonic(Vk);
            break;
    }
}

void TMenuLoop::Mnemonic(WORD Vk) {
    if (!((Vk >= 'A' && Vk <= 'Z') || (Vk >= '0' && Vk <= '9'))) return;
    TLevel& L = *Deepest();
    std::vector<int> Matches;
    for (size_t I = 0; I < L.Items.size(); ++I)
        if (Selectable(L.Items[I]) && IsAccel(Vk, L.Items[I]->Caption())) Matches.push_back(static_cast<int>(I));
    if (Matches.empty()) return;
    // Several items sharing a mnemonic: each press moves to the next of them.
    auto Next = std::upper_bound(Matches.begin(), Matches.end(), L.Selected);
    const int Index = Matches.size() > 1 && Next != Matches.end() ? *Next : Matches.front();
    Select(FLevels.size() - 1, Index, false);
    if (Matches.size() > 1) return;
    TMenuItem* Item = L.Items[static_cast<size_t>(Index)];
    if (Item->Count() > 0)
        OpenSelected(FLevels.size() - 1, true);
    else if (Item->Enabled())
        Choose(Item);
}

void TMenuLoop::Loop() {
    while (!FDone) {
        MSG M;
        if (!PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        // Quitting ends the loop and leaves WM_QUIT to the application's loop.
        if (M.message == WM_QUIT) break;
        if (IsMouseMessage(M.message)) {
            bool Inside = false;
            for (const TLevel& L : FLevels) {
                RECT W;
                GetWindowRect(L.Wnd, &W);
                Inside = Inside || PtInRect(W, M.pt);
            }
            // The press stays queued for the window under it, once the menu is gone.
            if (!Inside && IsButtonDown(M.message)) {
                QvInputRetarget();
                break;
            }
            PeekMessage(&M, nullptr, 0, 0, PM_REMOVE);
            Mouse(M);
        } else if (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST) {
            PeekMessage(&M, nullptr, 0, 0, PM_REMOVE);
            if (M.message == WM_KEYDOWN || M.message == WM_SYSKEYDOWN) Key(static_cast<WORD>(M.wParam));
        } else {
            PeekMessage(&M, nullptr, 0, 0, PM_REMOVE);
            DispatchMessage(&M);
        }
    }
}

void TMenuLoop::Run(TPoint At) {
    PopupList()->Add(FMenu);
    SendMessage(FList, WM_ENTERMENULOOP, TRUE, 0);
    if (!FDone && FMenu != nullptr && Open(FMenu->Items(), 0, At, nullptr)) {
        SetCapture(FLevels.front().Wnd);
        FOwnCapture = GetCapture() == FLevels.front().Wnd;
        try {
            if (FOwnCapture) Loop();
        } catch (...) {
            CloseFrom(0);
            throw;
        }
    }
    CloseFrom(0);
    SendMessage(FList, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    SendMessage(FList, WM_EXITMENULOOP, TRUE, 0);
    if (FMenu != nullptr) PopupList()->Remove(FMenu);
    // OnClick runs from the queue, after Popup has returned.
    if (FChosen != nullptr) PostMessage(FList, WM_COMMAND, FChosen->Command(), 0);
}

}  // namespace

void RunMenuLoop(TPopupMenu* Menu, TPoint At) {
    // One menu at a time: a nested request closes nothing and shows nothing.
    if (Running != nullptr || Menu == nullptr) return;
    bool HasVisible = false;
    for (int I = 0; I < Menu->Items()->Count(); ++I) HasVisible = HasVisible || Menu->Items()->Items(I)->Visible();
    if (!HasVisible) return;
    TMenuLoop Loop(Menu);
    Running = &Loop;
    try {
        Loop.Run(At);
    } catch (...) {
        Running = nullptr;
        throw;
    }
    Running = nullptr;
}

void CancelMenuLoop() {
    if (Running != nullptr) Running->Cancel();
}

bool MenuLoopActive() { return Running != nullptr; }
