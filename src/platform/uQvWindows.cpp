#include "platform/uQvWindows.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/uQvClipboard.h"
#include "platform/uQvImm.h"
#include "platform/uQvInput.h"
#include "platform/uQvMonitors.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWinInternal.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWinState.h"

namespace {

// Handles carry a serial that grows with every window, above the slot index, so a handle
// is never reused and never collides with the special values (0, 1, -1, -2, -3).
constexpr int SlotBits = 20;
constexpr uintptr_t SlotMask = (uintptr_t{1} << SlotBits) - 1;

struct THook {
    HHOOK Handle;
    HOOKPROC Proc;
};

struct TState {
    std::vector<std::unique_ptr<TQvWnd>> Slots;
    std::vector<uint32_t> FreeSlots;
    uintptr_t Serial = 0;
    std::vector<std::shared_ptr<TQvClass>> Classes;
    ATOM NextAtom = 0xC000;
    std::vector<std::pair<String, UINT>> Registered;
    UINT NextRegistered = 0xC000;
    std::vector<THook> Hooks;  // newest first
    uintptr_t HookSerial = 0;
    bool InHook = false;
};

TState& S() { return QvWinState<TState>(); }

std::shared_ptr<TQvClass> FindClass(std::u16string_view Name) {
    for (auto& C : S().Classes)
        if (SameText(C->Name, Name)) return C;
    return nullptr;
}

// The procedure of windows bound to a method (AllocateHWnd, QvCreateWindowWithMethod).
LRESULT MethodWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || !W->Method) return DefWindowProc(Wnd, Msg, WParam, LParam);
    // The method may replace itself or destroy the window while it runs.
    TWndMethod Method = W->Method;
    TMessage M{Msg, WParam, LParam, 0};
    Method(M);
    return M.Result;
}

constexpr Char UtilClassName[] = u"TPUtilWindow";

void FreeRecord(TQvWnd* W) {
    QvCaretWindowGone(W->Handle);
    QvZUnlink(W);
    QvTimersWindowGone(W->Handle);
    QvInputWindowGone(W);
    QvPaintWindowGone(W);
    if (W->Class) --W->Class->Windows;
    const uint32_t Slot = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(W->Handle) & SlotMask);
    S().Slots[Slot].reset();
    S().FreeSlots.push_back(Slot);
}

void SendDestroy(TQvWnd* W) {
    W->Destroying = true;
    const HWND H = W->Handle;
    QvSend(H, WM_DESTROY, 0, 0);
    W = QvWnd(H);
    if (W == nullptr) return;
    const std::vector<TQvWnd*> Kids = W->Children;
    for (TQvWnd* K : Kids) {
        const HWND KH = K->Handle;
        if (QvWnd(KH) != nullptr && !K->Destroying) SendDestroy(K);
    }
}

// Children first, then the window itself; children made during WM_DESTROY go too.
void FinalDestroy(HWND H) {
    for (;;) {
        TQvWnd* W = QvWnd(H);
        if (W == nullptr) return;
        if (W->Children.empty()) break;
        TQvWnd* K = W->Children.front();
        const HWND KH = K->Handle;
        if (!K->Destroying) SendDestroy(K);
        if (QvWnd(KH) != nullptr) FinalDestroy(KH);
        // A child that refused to go would loop forever: unlink it by force.
        if (TQvWnd* Still = QvWnd(KH)) FreeRecord(Still);
    }
    QvSend(H, WM_NCDESTROY, 0, 0);
    if (TQvWnd* W = QvWnd(H)) FreeRecord(W);
}

}  // namespace

// ---- Internal --------------------------------------------------------------------------

TQvWnd* QvWnd(HWND Handle) {
    const auto V = reinterpret_cast<uintptr_t>(Handle);
    const uintptr_t Slot = V & SlotMask;
    if ((V >> SlotBits) == 0 || Slot >= S().Slots.size()) return nullptr;
    TQvWnd* W = S().Slots[Slot].get();
    return (W != nullptr && W->Handle == Handle) ? W : nullptr;
}

LRESULT QvCallProc(TQvWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    WNDPROC Proc = W->Proc;
    return Proc ? Proc(W->Handle, Msg, WParam, LParam) : 0;
}

static LRESULT CallHook(size_t Index, int Code, WPARAM WParam, LPARAM LParam) {
    if (Index >= S().Hooks.size()) return 0;
    return S().Hooks[Index].Proc(Code, WParam, LParam);
}

LRESULT QvSend(HWND Handle, UINT Msg, WPARAM W, LPARAM L) {
    if (QvWnd(Handle) == nullptr) return 0;
    if (!S().Hooks.empty() && !S().InHook) {
        CWPSTRUCT Cwp{L, W, Msg, Handle};
        S().InHook = true;
        try {
            CallHook(0, HC_ACTION, 1, reinterpret_cast<LPARAM>(&Cwp));
        } catch (...) {
            S().InHook = false;
            throw;
        }
        S().InHook = false;
    }
    TQvWnd* Wnd = QvWnd(Handle);
    return Wnd ? QvCallProc(Wnd, Msg, W, L) : 0;
}

TQvWnd* QvTopLevel(TQvWnd* W) {
    while (W != nullptr && W->Parent != nullptr) W = W->Parent;
    return W;
}

bool QvIsVisible(const TQvWnd* W) {
    for (; W != nullptr; W = W->Parent)
        if (!W->Visible()) return false;
    return true;
}

POINT QvClientOrigin(const TQvWnd* W) {
    POINT P{W->Client.Left, W->Client.Top};
    for (const TQvWnd* Up = W->Parent; Up != nullptr; Up = Up->Parent) {
        P.X += Up->Client.Left;
        P.Y += Up->Client.Top;
    }
    return P;
}

RECT QvScreenRect(const TQvWnd* W) {
    RECT R = W->Window;
    if (W->Parent != nullptr) {
        const POINT O = QvClientOrigin(W->Parent);
        OffsetRect(R, O.X, O.Y);
    }
    return R;
}

bool QvIsSelfOrDescendant(const TQvWnd* Outer, const TQvWnd* Inner) {
    for (; Inner != nullptr; Inner = Inner->Parent)
        if (Inner == Outer) return true;
    return false;
}

std::vector<TQvWnd*> QvAllWindows() {
    std::vector<TQvWnd*> All;
    for (auto& W : S().Slots)
        if (W) All.push_back(W.get());
    return All;
}

// ---- Classes ---------------------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* Class) {
    if (Class == nullptr || Class->lpszClassName == nullptr || Class->lpszClassName[0] == 0 ||
        Class->lpfnWndProc == nullptr || Class->cbClsExtra < 0 || Class->cbWndExtra < 0)
        return 0;
    if (FindClass(Class->lpszClassName) || S().NextAtom == 0) return 0;
    auto C = std::make_shared<TQvClass>();
    C->Name = Class->lpszClassName;
    C->Atom = S().NextAtom++;
    C->Style = Class->style;
    C->Proc = Class->lpfnWndProc;
    C->Instance = Class->hInstance;
    C->Icon = Class->hIcon;
    C->Cursor = Class->hCursor;
    C->Background = Class->hbrBackground;
    C->Extra.assign(static_cast<size_t>(Class->cbClsExtra), 0);
    C->WndExtra = Class->cbWndExtra;
    S().Classes.push_back(C);
    return C->Atom;
}

BOOL UnregisterClass(LPCWSTR ClassName, HINSTANCE) {
    if (ClassName == nullptr) return FALSE;
    auto& Cs = S().Classes;
    for (auto It = Cs.begin(); It != Cs.end(); ++It) {
        if (!SameText((*It)->Name, ClassName)) continue;
        if ((*It)->Windows > 0) return FALSE;
        Cs.erase(It);
        return TRUE;
    }
    return FALSE;
}

BOOL GetClassInfo(HINSTANCE, LPCWSTR ClassName, WNDCLASS* Class) {
    if (ClassName == nullptr) return FALSE;
    auto C = FindClass(ClassName);
    if (!C) return FALSE;
    if (Class != nullptr) {
        Class->style = C->Style;
        Class->lpfnWndProc = C->Proc;
        Class->cbClsExtra = static_cast<int>(C->Extra.size());
        Class->cbWndExtra = C->WndExtra;
        Class->hInstance = C->Instance;
        Class->hIcon = C->Icon;
        Class->hCursor = C->Cursor;
        Class->hbrBackground = C->Background;
        Class->lpszMenuName = nullptr;
        Class->lpszClassName = C->Name.c_str();
    }
    return TRUE;
}

String GetClassNameString(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    return W ? W->Class->Name : String();
}

int GetClassName(HWND Wnd, LPWSTR Buffer, int MaxCount) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || Buffer == nullptr || MaxCount <= 0) return 0;
    const int N = std::min<int>(static_cast<int>(W->Class->Name.size()), MaxCount - 1);
    std::copy_n(W->Class->Name.data(), N, Buffer);
    Buffer[N] = 0;
    return N;
}

ULONG_PTR GetClassLongPtr(HWND Wnd, int Index) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return 0;
    TQvClass& C = *W->Class;
    switch (Index) {
        case GCL_STYLE: return C.Style;
        case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(C.Background);
        case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(C.Cursor);
        case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(C.Icon);
        case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(C.Proc);
        case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(C.WndExtra);
        case GCL_CBCLSEXTRA: return C.Extra.size();
        default: break;
    }
    if (Index < 0 || static_cast<size_t>(Index) + sizeof(ULONG_PTR) > C.Extra.size()) return 0;
    ULONG_PTR V = 0;
    std::memcpy(&V, C.Extra.data() + Index, sizeof V);
    return V;
}

ULONG_PTR SetClassLongPtr(HWND Wnd, int Index, LONG_PTR Value) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return 0;
    TQvClass& C = *W->Class;
    const ULONG_PTR Old = GetClassLongPtr(Wnd, Index);
    switch (Index) {
        case GCL_STYLE: C.Style = static_cast<UINT>(Value); return Old;
        case GCLP_HBRBACKGROUND: C.Background = reinterpret_cast<HBRUSH>(Value); return Old;
        case GCLP_HCURSOR: C.Cursor = reinterpret_cast<HCURSOR>(Value); return Old;
        case GCLP_HICON: C.Icon = reinterpret_cast<HICON>(Value); return Old;
        case GCLP_WNDPROC:
            if (Value == 0) return 0;
            C.Proc = reinterpret_cast<WNDPROC>(Value);
            return Old;
        case GCL_CBWNDEXTRA:
        case GCL_CBCLSEXTRA: return 0;  // sizes are fixed at registration
        default: break;
    }
    if (Index < 0 || static_cast<size_t>(Index) + sizeof(LONG_PTR) > C.Extra.size()) return 0;
    std::memcpy(C.Extra.data() + Index, &Value, sizeof Value);
    return Old;
}

// ---- Creation and destruction ----------------------------------------------------------

namespace {

// What QvCreateWindowWithMethod binds to the window before its first message.
struct TBinding {
    TWndMethod Method;
    HWND* Handle = nullptr;
};

HWND CreateBound(DWORD ExStyle, LPCWSTR ClassName, LPCWSTR WindowName, DWORD Style, int X, int Y, int Width,
                 int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param, TBinding* Bind) {
    if (ClassName == nullptr) return nullptr;
    auto Class = FindClass(ClassName);
    if (!Class) return nullptr;
    const bool MessageOnly = Parent == HWND_MESSAGE;
    TQvWnd* ParentWnd = MessageOnly ? nullptr : QvWnd(Parent);
    if (!MessageOnly && Parent != nullptr && ParentWnd == nullptr) return nullptr;
    const bool Child = (Style & WS_CHILD) != 0 && !MessageOnly;
    if (Child && ParentWnd == nullptr) return nullptr;
    if (S().Serial >= (~uintptr_t{0} >> SlotBits)) return nullptr;

    uint32_t Slot;
    if (!S().FreeSlots.empty()) {
        Slot = S().FreeSlots.back();
        S().FreeSlots.pop_back();
    } else {
        if (S().Slots.size() >= SlotMask) return nullptr;
        Slot = static_cast<uint32_t>(S().Slots.size());
        S().Slots.emplace_back();
    }
    auto Record = std::make_unique<TQvWnd>();
    TQvWnd* W = Record.get();
    W->Handle = reinterpret_cast<HWND>((++S().Serial << SlotBits) | Slot);
    W->Class = Class;
    W->Proc = Class->Proc;
    if (Bind != nullptr) {
        W->Method = std::move(Bind->Method);
        W->Proc = MethodWindowProc;
    }
    const DWORD ShowState = Style & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    W->Style = Style & ~ShowState;
    W->ExStyle = ExStyle;
    W->MessageOnly = MessageOnly;
    W->Instance = Instance;
    W->Id = Child ? reinterpret_cast<LONG_PTR>(Menu) : 0;
    W->Extra.assign(static_cast<size_t>(Class->WndExtra), 0);
    if (Child) {
        W->Parent = ParentWnd;
    } else if (ParentWnd != nullptr) {
        W->Owner = QvTopLevel(ParentWnd);
        if (W->Owner->ExStyle & WS_EX_TOPMOST) W->ExStyle |= WS_EX_TOPMOST;
    }
    if (!Child && !MessageOnly) {
        MONITORINFO Mi;
        GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &Mi);
        if (X == CW_USEDEFAULT) {
            X = Mi.rcWork.Left + 100;
            Y = Mi.rcWork.Top + 100;
        }
        if (Width == CW_USEDEFAULT) {
            Width = Mi.rcWork.Width() / 2;
            Height = Mi.rcWork.Height() / 2;
        }
    } else {
        if (X == CW_USEDEFAULT) X = Y = 0;
        if (Width == CW_USEDEFAULT) Width = Height = 0;
    }
    W->Window = QvSaneBounds(X, Y, Width, Height);
    W->Client = W->Window;
    W->NormalRect = W->Window;
    S().Slots[Slot] = std::move(Record);
    ++Class->Windows;
    QvZLink(W);
    TQvWnd* Top = QvTopLevel(W);
    W->Dpi = (Top == W) ? QvDpiAt(W->Window) : Top->Dpi;

    const HWND H = W->Handle;
    if (Bind != nullptr && Bind->Handle != nullptr) *Bind->Handle = H;
    CREATESTRUCT Cs;
    Cs.lpCreateParams = Param;
    Cs.hInstance = Instance;
    Cs.hMenu = Menu;
    Cs.hwndParent = Parent;
    Cs.style = static_cast<LONG>(Style);
    Cs.lpszName = WindowName;
    Cs.lpszClass = ClassName;
    Cs.dwExStyle = ExStyle;

    if (!Child && !MessageOnly && (Style & WS_THICKFRAME)) {
        const MINMAXINFO Mm = QvGetMinMaxInfo(H);
        if ((W = QvWnd(H)) == nullptr) return nullptr;
        const int Cx = std::clamp(W->Window.Width(), Mm.ptMinTrackSize.X, std::max(Mm.ptMinTrackSize.X, Mm.ptMaxTrackSize.X));
        const int Cy = std::clamp(W->Window.Height(), Mm.ptMinTrackSize.Y, std::max(Mm.ptMinTrackSize.Y, Mm.ptMaxTrackSize.Y));
        W->Window = QvSaneBounds(W->Window.Left, W->Window.Top, Cx, Cy);
        W->Client = W->NormalRect = W->Window;
    }
    Cs.x = W->Window.Left;
    Cs.y = W->Window.Top;
    Cs.cx = W->Window.Width();
    Cs.cy = W->Window.Height();

    if (QvSend(H, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&Cs)) == 0) {
        if (QvWnd(H) != nullptr) FinalDestroy(H);
        return nullptr;
    }
    if ((W = QvWnd(H)) == nullptr) return nullptr;
    RECT Calc = W->Window;
    QvSend(H, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&Calc));
    if ((W = QvWnd(H)) == nullptr) return nullptr;
    W->Client = QvSaneRect(Calc);
    if (QvSend(H, WM_CREATE, 0, reinterpret_cast<LPARAM>(&Cs)) == -1) {
        DestroyWindow(H);
        return nullptr;
    }
    if ((W = QvWnd(H)) == nullptr) return nullptr;
    QvSend(H, WM_SIZE, SIZE_RESTORED, MAKELPARAM(W->Client.Width(), W->Client.Height()));
    if ((W = QvWnd(H)) == nullptr) return nullptr;
    QvSend(H, WM_MOVE, 0, MAKELPARAM(W->Client.Left, W->Client.Top));
    if ((W = QvWnd(H)) == nullptr) return nullptr;
    if ((ShowState & WS_VISIBLE) && !MessageOnly) {
        int Cmd = SW_SHOW;
        if (ShowState & WS_MAXIMIZE)
            Cmd = SW_SHOWMAXIMIZED;
        else if (ShowState & WS_MINIMIZE)
            Cmd = SW_SHOWMINIMIZED;
        ShowWindow(H, Cmd);
    }
    return QvWnd(H) ? H : nullptr;
}

}  // namespace

HWND CreateWindowEx(DWORD ExStyle, LPCWSTR ClassName, LPCWSTR WindowName, DWORD Style, int X, int Y,
                    int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param) {
    return CreateBound(ExStyle, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu, Instance,
                       Param, nullptr);
}

HWND QvCreateWindowWithMethod(DWORD ExStyle, LPCWSTR ClassName, LPCWSTR WindowName, DWORD Style, int X, int Y,
                              int Width, int Height, HWND Parent, HMENU Menu, TWndMethod Method,
                              HWND* Handle) {
    TBinding Bind{std::move(Method), Handle};
    const HWND H = CreateBound(ExStyle, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu,
                               nullptr, nullptr, &Bind);
    if (Handle != nullptr) *Handle = H;
    return H;
}

BOOL DestroyWindow(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->Destroying) return FALSE;
    W->Destroying = true;
    const std::vector<TQvWnd*> Owned = W->Owned;
    for (TQvWnd* O : Owned)
        if (QvWnd(O->Handle) == O) DestroyWindow(O->Handle);
    if ((W = QvWnd(Wnd)) == nullptr) return TRUE;
    if (W->Visible() && !W->MessageOnly)
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    if (QvWnd(Wnd) == nullptr) return TRUE;
    if (GetActiveWindow() == Wnd) QvActivateOther(Wnd);
    if (HWND C = GetCapture(); C != nullptr && QvIsSelfOrDescendant(QvWnd(Wnd), QvWnd(C))) ReleaseCapture();
    if ((W = QvWnd(Wnd)) == nullptr) return TRUE;
    SendDestroy(W);
    FinalDestroy(Wnd);
    return TRUE;
}

BOOL IsWindow(HWND Wnd) { return QvWnd(Wnd) != nullptr; }

HWND AllocateHWnd(TWndMethod Method) {
    if (!GetClassInfo(nullptr, UtilClassName, nullptr)) {
        WNDCLASS C;
        C.lpfnWndProc = MethodWindowProc;
        C.lpszClassName = UtilClassName;
        if (!RegisterClass(&C)) return nullptr;
    }
    HWND H = CreateWindowEx(WS_EX_TOOLWINDOW, UtilClassName, u"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            nullptr, nullptr);
    if (TQvWnd* W = QvWnd(H)) W->Method = std::move(Method);
    return H;
}

void DeallocateHWnd(HWND Wnd) { DestroyWindow(Wnd); }

// ---- Messages and procedures -----------------------------------------------------------

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) { return QvSend(Wnd, Msg, WParam, LParam); }

LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Proc ? Proc(Wnd, Msg, WParam, LParam) : 0;
}

UINT RegisterWindowMessage(LPCWSTR Name) {
    if (Name == nullptr || Name[0] == 0) return 0;
    for (auto& [N, Id] : S().Registered)
        if (SameText(N, Name)) return Id;
    UINT& Next = S().NextRegistered;
    // The menus use 52057..52059 as fixed numbers.
    if (Next >= 0xCB59 && Next <= 0xCB5B) Next = 0xCB5C;
    if (Next > 0xFFFF) return 0;
    S().Registered.emplace_back(Name, Next);
    return Next++;
}

HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, HINSTANCE, DWORD) {
    if (IdHook != WH_CALLWNDPROC || Proc == nullptr) return nullptr;
    const HHOOK H = reinterpret_cast<HHOOK>(++S().HookSerial << 4);
    S().Hooks.insert(S().Hooks.begin(), THook{H, Proc});
    return H;
}

BOOL UnhookWindowsHookEx(HHOOK Hook) {
    auto& Hs = S().Hooks;
    auto It = std::find_if(Hs.begin(), Hs.end(), [&](const THook& H) { return H.Handle == Hook; });
    if (It == Hs.end()) return FALSE;
    Hs.erase(It);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam) {
    auto& Hs = S().Hooks;
    auto It = std::find_if(Hs.begin(), Hs.end(), [&](const THook& H) { return H.Handle == Hook; });
    if (It == Hs.end()) return 0;
    return CallHook(static_cast<size_t>(It - Hs.begin()) + 1, Code, WParam, LParam);
}

// ---- Window data -----------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND Wnd, int Index) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return 0;
    switch (Index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(W->Proc);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(W->Instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(W->Parent ? W->Parent->Handle : W->Owner ? W->Owner->Handle : nullptr);
        case GWLP_ID: return W->Id;
        case GWL_STYLE: return static_cast<LONG_PTR>(W->Style);
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(W->ExStyle);
        case GWLP_USERDATA: return W->UserData;
        default: break;
    }
    if (Index < 0 || static_cast<size_t>(Index) + sizeof(LONG_PTR) > W->Extra.size()) return 0;
    LONG_PTR V = 0;
    std::memcpy(&V, W->Extra.data() + Index, sizeof V);
    return V;
}

static LONG_PTR ChangeStyle(HWND Wnd, int Index, DWORD New) {
    TQvWnd* W = QvWnd(Wnd);
    STYLESTRUCT Ss;
    Ss.styleOld = Index == GWL_STYLE ? W->Style : W->ExStyle;
    Ss.styleNew = New;
    QvSend(Wnd, WM_STYLECHANGING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Ss));
    if ((W = QvWnd(Wnd)) == nullptr) return 0;
    if (Index == GWL_STYLE) {
        W->Style = Ss.styleNew;
    } else {
        W->ExStyle = (Ss.styleNew & ~DWORD{WS_EX_TOPMOST}) | (W->ExStyle & WS_EX_TOPMOST);
        Ss.styleNew = W->ExStyle;
        // A window that stops being layered forgets its layered settings.
        if (!(W->ExStyle & WS_EX_LAYERED)) W->Layer.reset();
    }
    QvSend(Wnd, WM_STYLECHANGED, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Ss));
    return static_cast<LONG_PTR>(Ss.styleOld);
}

LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR Value) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return 0;
    const LONG_PTR Old = GetWindowLongPtr(Wnd, Index);
    switch (Index) {
        case GWLP_WNDPROC:
            if (Value == 0) return 0;
            W->Proc = reinterpret_cast<WNDPROC>(Value);
            return Old;
        case GWLP_HINSTANCE: W->Instance = reinterpret_cast<HINSTANCE>(Value); return Old;
        case GWLP_HWNDPARENT: {
            if (W->Parent != nullptr || W->MessageOnly) return 0;
            TQvWnd* NewOwner = Value ? QvTopLevel(QvWnd(reinterpret_cast<HWND>(Value))) : nullptr;
            if (Value != 0 && NewOwner == nullptr) return 0;
            for (TQvWnd* O = NewOwner; O != nullptr; O = O->Owner)
                if (O == W) return 0;  // no ownership cycles
            QvZDetach(W);
            W->Owner = NewOwner;
            QvZLink(W);
            return Old;
        }
        case GWLP_ID: W->Id = Value; return Old;
        case GWL_STYLE:
        case GWL_EXSTYLE: return ChangeStyle(Wnd, Index, static_cast<DWORD>(Value));
        case GWLP_USERDATA: W->UserData = Value; return Old;
        default: break;
    }
    if (Index < 0 || static_cast<size_t>(Index) + sizeof(LONG_PTR) > W->Extra.size()) return 0;
    std::memcpy(W->Extra.data() + Index, &Value, sizeof Value);
    return Old;
}

BOOL SetProp(HWND Wnd, LPCWSTR Name, HANDLE Data) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || Name == nullptr) return FALSE;
    for (auto& [N, D] : W->Props)
        if (SameText(N, Name)) {
            D = Data;
            return TRUE;
        }
    W->Props.emplace_back(Name, Data);
    return TRUE;
}

HANDLE GetProp(HWND Wnd, LPCWSTR Name) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || Name == nullptr) return nullptr;
    for (auto& [N, D] : W->Props)
        if (SameText(N, Name)) return D;
    return nullptr;
}

HANDLE RemoveProp(HWND Wnd, LPCWSTR Name) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || Name == nullptr) return nullptr;
    for (auto It = W->Props.begin(); It != W->Props.end(); ++It)
        if (SameText(It->first, Name)) {
            HANDLE D = It->second;
            W->Props.erase(It);
            return D;
        }
    return nullptr;
}

BOOL SetWindowText(HWND Wnd, LPCWSTR Text) {
    if (QvWnd(Wnd) == nullptr) return FALSE;
    const Char Empty[1] = {0};
    return QvSend(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text ? Text : Empty)) != 0;
}

int GetWindowText(HWND Wnd, LPWSTR Buffer, int MaxCount) {
    if (Buffer == nullptr || MaxCount <= 0) return 0;
    Buffer[0] = 0;
    return static_cast<int>(QvSend(Wnd, WM_GETTEXT, static_cast<WPARAM>(MaxCount), reinterpret_cast<LPARAM>(Buffer)));
}

int GetWindowTextLength(HWND Wnd) { return static_cast<int>(QvSend(Wnd, WM_GETTEXTLENGTH, 0, 0)); }

String GetWindowTextString(HWND Wnd) {
    const int N = GetWindowTextLength(Wnd);
    if (N <= 0) return String();
    String Text(static_cast<size_t>(N) + 1, u'\0');
    const int Got = GetWindowText(Wnd, Text.data(), N + 1);
    Text.resize(static_cast<size_t>(std::clamp(Got, 0, N)));
    return Text;
}

// ---- Relations -------------------------------------------------------------------------

HWND GetParent(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return nullptr;
    if (W->Parent) return W->Parent->Handle;
    if ((W->Style & WS_POPUP) && W->Owner) return W->Owner->Handle;
    return nullptr;
}

HWND SetParent(HWND Wnd, HWND NewParent) {
    TQvWnd* W = QvWnd(Wnd);
    TQvWnd* P = QvWnd(NewParent);
    if (W == nullptr || W->MessageOnly || (NewParent != nullptr && P == nullptr)) return nullptr;
    if (P != nullptr && (QvIsSelfOrDescendant(W, P) || P->MessageOnly)) return nullptr;
    const HWND Old = W->Parent ? W->Parent->Handle : nullptr;
    const bool WasVisible = W->Visible();
    if (WasVisible) ShowWindow(Wnd, SW_HIDE);
    if ((W = QvWnd(Wnd)) == nullptr || (NewParent != nullptr && (P = QvWnd(NewParent)) == nullptr)) return nullptr;
    QvZUnlink(W);
    W->Parent = P;
    W->Owner = nullptr;
    QvZLink(W);
    TQvWnd* Top = QvTopLevel(W);
    W->Dpi = Top == W ? QvDpiAt(W->Window) : Top->Dpi;
    SetWindowPos(Wnd, HWND_TOP, W->Window.Left, W->Window.Top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | (WasVisible ? SWP_SHOWWINDOW : 0));
    return Old;
}

HWND GetAncestor(HWND Wnd, UINT Flags) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return nullptr;
    switch (Flags) {
        case GA_PARENT: return W->Parent ? W->Parent->Handle : nullptr;
        case GA_ROOT: return QvTopLevel(W)->Handle;
        case GA_ROOTOWNER: {
            TQvWnd* R = QvTopLevel(W);
            while (R->Owner) R = R->Owner;
            return R->Handle;
        }
        default: return nullptr;
    }
}

HWND GetWindow(HWND Wnd, UINT Cmd) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return nullptr;
    if (Cmd == GW_CHILD) return W->Children.empty() ? nullptr : W->Children.front()->Handle;
    if (Cmd == GW_OWNER) return W->Owner ? W->Owner->Handle : nullptr;
    if (Cmd == GW_ENABLEDPOPUP) {
        for (TQvWnd* O : W->Owned)
            if (O->Visible() && O->Enabled()) return O->Handle;
        return nullptr;
    }
    if (W->MessageOnly) return nullptr;
    const std::vector<TQvWnd*>& List = W->Parent ? W->Parent->Children : QvZOrder();
    if (List.empty()) return nullptr;
    switch (Cmd) {
        case GW_HWNDFIRST: return List.front()->Handle;
        case GW_HWNDLAST: return List.back()->Handle;
        case GW_HWNDNEXT:
        case GW_HWNDPREV: {
            auto It = std::find(List.begin(), List.end(), W);
            if (It == List.end()) return nullptr;
            if (Cmd == GW_HWNDNEXT) return (It + 1 == List.end()) ? nullptr : (*(It + 1))->Handle;
            return It == List.begin() ? nullptr : (*(It - 1))->Handle;
        }
        default: return nullptr;
    }
}

HWND GetTopWindow(HWND Wnd) {
    if (Wnd == nullptr) {
        const auto& Z = QvZOrder();
        return Z.empty() ? nullptr : Z.front()->Handle;
    }
    return GetWindow(Wnd, GW_CHILD);
}

BOOL IsChild(HWND Parent, HWND Wnd) {
    TQvWnd* P = QvWnd(Parent);
    TQvWnd* W = QvWnd(Wnd);
    return P != nullptr && W != nullptr && W != P && QvIsSelfOrDescendant(P, W);
}

BOOL EnumWindows(WNDENUMPROC Proc, LPARAM Param) {
    std::vector<HWND> List;
    for (TQvWnd* W : QvZOrder()) List.push_back(W->Handle);
    for (HWND H : List)
        if (QvWnd(H) && !Proc(H, Param)) return FALSE;
    return TRUE;
}

static void CollectChildren(const TQvWnd* W, std::vector<HWND>& Out) {
    for (const TQvWnd* K : W->Children) {
        Out.push_back(K->Handle);
        CollectChildren(K, Out);
    }
}

BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Proc, LPARAM Param) {
    TQvWnd* P = QvWnd(Parent);
    if (P == nullptr) return FALSE;
    std::vector<HWND> List;
    CollectChildren(P, List);
    for (HWND H : List)
        if (QvWnd(H) && !Proc(H, Param)) return FALSE;
    return TRUE;
}

// ---- State -----------------------------------------------------------------------------

BOOL EnableWindow(HWND Wnd, BOOL Enable) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr) return FALSE;
    const BOOL WasDisabled = !W->Enabled();
    if (Enable && WasDisabled) {
        W->Style &= ~DWORD{WS_DISABLED};
        QvSend(Wnd, WM_ENABLE, TRUE, 0);
    } else if (!Enable && !WasDisabled) {
        QvSend(Wnd, WM_CANCELMODE, 0, 0);
        if ((W = QvWnd(Wnd)) == nullptr) return FALSE;
        W->Style |= WS_DISABLED;
        if (GetFocus() == Wnd) SetFocus(nullptr);
        if (HWND C = GetCapture(); C != nullptr && QvIsSelfOrDescendant(QvWnd(Wnd), QvWnd(C))) ReleaseCapture();
        if (GetActiveWindow() == Wnd) QvActivateOther(Wnd);
        QvSend(Wnd, WM_ENABLE, FALSE, 0);
    }
    return WasDisabled;
}

BOOL IsWindowEnabled(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    return W != nullptr && W->Enabled();
}

BOOL QvSetModalFor(HWND Wnd, HWND For) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->IsChild() || W->MessageOnly) return FALSE;
    W->ModalFor = For == Wnd ? nullptr : For;
    return TRUE;
}

BOOL QvSetMarginOf(HWND Wnd, HWND Host) {
    TQvWnd* W = QvWnd(Wnd);
    if (W == nullptr || W->IsChild() || W->MessageOnly) return FALSE;
    W->MarginOf = Host == Wnd ? nullptr : Host;
    return TRUE;
}

BOOL IsWindowVisible(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    return W != nullptr && QvIsVisible(W);
}

bool QvRedrawEnabled(HWND Wnd) {
    TQvWnd* W = QvWnd(Wnd);
    return W != nullptr && W->Redraw;
}

// ---- Tests -----------------------------------------------------------------------------

void QvResetWindowSystem() {
    for (TQvWnd* W : QvAllWindows()) QvPaintWindowGone(W);
    TQvWinStateOwner::Reset();
}
