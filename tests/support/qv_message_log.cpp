#include "support/qv_message_log.h"

#include <algorithm>
#include <cstdio>

#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWindows.h"

namespace {

TQvMessageLog* Current = nullptr;

struct TName {
    UINT Msg;
    const char* Name;
};

constexpr TName Names[] = {
    {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_ENABLE, "WM_ENABLE"}, {WM_SETREDRAW, "WM_SETREDRAW"}, {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"}, {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"}, {WM_QUIT, "WM_QUIT"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_CANCELMODE, "WM_CANCELMODE"},
    {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_CONTEXTMENU, "WM_CONTEXTMENU"}, {WM_STYLECHANGING, "WM_STYLECHANGING"}, {WM_STYLECHANGED, "WM_STYLECHANGED"},
    {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"}, {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"}, {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
    {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"}, {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
    {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"}, {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"},
    {WM_COMMAND, "WM_COMMAND"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_TIMER, "WM_TIMER"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"}, {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"}, {WM_MBUTTONUP, "WM_MBUTTONUP"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"}, {WM_SIZING, "WM_SIZING"}, {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
    {WM_MOVING, "WM_MOVING"}, {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"}, {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
    {WM_MOUSELEAVE, "WM_MOUSELEAVE"}, {WM_DPICHANGED, "WM_DPICHANGED"}, {WM_MOUSEHWHEEL, "WM_MOUSEHWHEEL"},
    {WM_MOUSEHOVER, "WM_MOUSEHOVER"}, {WM_NCMOUSEHOVER, "WM_NCMOUSEHOVER"},
    {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"}, {WM_SETFONT, "WM_SETFONT"}, {WM_GETFONT, "WM_GETFONT"},
    {WM_PRINT, "WM_PRINT"}, {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
    {WM_IME_STARTCOMPOSITION, "WM_IME_STARTCOMPOSITION"}, {WM_IME_COMPOSITION, "WM_IME_COMPOSITION"},
    {WM_IME_ENDCOMPOSITION, "WM_IME_ENDCOMPOSITION"},
};

struct TClassDef {
    const Char* Name;
    UINT Style;
};
constexpr TClassDef Classes[] = {{u"QvLog", 0},
                                 {u"QvLogDbl", CS_DBLCLKS},
                                 {u"QvLogRedraw", CS_HREDRAW | CS_VREDRAW},
                                 {u"QvLogDblRedraw", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}};

std::string Hex(uintptr_t V) {
    char B[32];
    std::snprintf(B, sizeof B, "0x%llX", static_cast<unsigned long long>(V));
    return B;
}

std::string Num(long long V) { return std::to_string(V); }

std::string Pt(LPARAM L) { return Num(GET_X_LPARAM(L)) + "," + Num(GET_Y_LPARAM(L)); }

}  // namespace

std::string QvMessageName(UINT Msg) {
    for (const TName& N : Names)
        if (N.Msg == Msg) return N.Name;
    return Hex(Msg);
}

std::string QvJoin(const std::vector<std::string>& Lines) {
    std::string S;
    for (const std::string& L : Lines) S += L + "\n";
    return S;
}

TQvMessageLog::TQvMessageLog() {
    Current = this;
    for (const TClassDef& C : Classes) {
        if (GetClassInfo(nullptr, C.Name, nullptr)) continue;
        WNDCLASS W;
        W.style = C.Style;
        W.lpfnWndProc = &TQvMessageLog::Proc;
        W.lpszClassName = C.Name;
        RegisterClass(&W);
    }
}

TQvMessageLog::~TQvMessageLog() {
    if (Current == this) Current = nullptr;
}

HWND TQvMessageLog::Create(const std::string& Name, DWORD Style, const RECT& B, HWND Parent, DWORD ExStyle,
                           UINT ClassStyle) {
    const Char* Class = Classes[0].Name;
    for (const TClassDef& C : Classes)
        if (C.Style == ClassStyle) Class = C.Name;
    // Creation messages come before CreateWindowEx returns: the first unknown window to
    // receive a message is the one being made.
    FPendingName = Name;
    const String Text = Utf8ToString(Name);
    HWND H = CreateWindowEx(ExStyle, Class, Text.c_str(), Style, B.Left, B.Top, B.Width(), B.Height(), Parent, nullptr,
                            nullptr, nullptr);
    FPendingName.clear();
    if (H != nullptr) FNames[H] = Name;
    return H;
}

void TQvMessageLog::Name(HWND Wnd, const std::string& Name) { FNames[Wnd] = Name; }

std::string TQvMessageLog::NameOf(HWND Wnd) const {
    if (Wnd == nullptr) return "0";
    auto It = FNames.find(Wnd);
    if (It != FNames.end()) return It->second;
    const String T = GetWindowTextString(Wnd);
    return T.empty() ? std::string("?") : StringToUtf8(T);
}

void TQvMessageLog::On(HWND Wnd, UINT Msg, THandler Handler) { FRules.push_back(TRule{Wnd, Msg, std::move(Handler)}); }

void TQvMessageLog::Answer(HWND Wnd, UINT Msg, LRESULT Result) {
    On(Wnd, Msg, [Result](HWND, UINT, WPARAM, LPARAM, LRESULT& R) {
        R = Result;
        return true;
    });
}

std::vector<std::string> TQvMessageLog::Lines(std::initializer_list<UINT> Only) const {
    std::vector<std::string> Out;
    for (size_t I = 0; I < FLines.size(); ++I)
        if (Only.size() == 0 || std::find(Only.begin(), Only.end(), FMessages[I].Msg) != Only.end())
            Out.push_back(FLines[I]);
    return Out;
}

std::vector<std::string> TQvMessageLog::LinesWithout(std::initializer_list<UINT> Skip) const {
    std::vector<std::string> Out;
    for (size_t I = 0; I < FLines.size(); ++I)
        if (std::find(Skip.begin(), Skip.end(), FMessages[I].Msg) == Skip.end()) Out.push_back(FLines[I]);
    return Out;
}

size_t TQvMessageLog::Count(HWND Wnd, UINT Msg) const {
    return static_cast<size_t>(std::count_if(FMessages.begin(), FMessages.end(),
                                             [&](const TEntry& E) { return E.Wnd == Wnd && E.Msg == Msg; }));
}

std::string TQvMessageLog::Describe(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) const {
    std::string S = (FNames.count(Wnd) ? FNames.at(Wnd) : std::string("?")) + " " + QvMessageName(Msg);
    auto Other = [&](uintptr_t H) { return NameOf(reinterpret_cast<HWND>(H)); };
    switch (Msg) {
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED: {
            const auto* P = reinterpret_cast<const WINDOWPOS*>(L);
            return S + " flags=" + Hex(P->flags) + " pos=" + Num(P->x) + "," + Num(P->y) + " size=" + Num(P->cx) + "x" +
                   Num(P->cy);
        }
        case WM_SIZE: return S + " type=" + Num(static_cast<long long>(W)) + " size=" + Num(LOWORD(static_cast<uintptr_t>(L))) + "x" + Num(HIWORD(static_cast<uintptr_t>(L)));
        case WM_MOVE: return S + " pos=" + Pt(L);
        case WM_ACTIVATE: return S + " state=" + Num(LOWORD(W)) + " other=" + Other(static_cast<uintptr_t>(L));
        case WM_NCACTIVATE:
        case WM_ACTIVATEAPP:
        case WM_ENABLE: return S + " " + Num(static_cast<long long>(W));
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return S + " other=" + Other(W);
        case WM_CAPTURECHANGED: return S + " new=" + Other(static_cast<uintptr_t>(L));
        case WM_SHOWWINDOW: return S + " show=" + Num(static_cast<long long>(W)) + " status=" + Num(L);
        case WM_NCCALCSIZE: return S + " " + Num(static_cast<long long>(W));
        case WM_NCHITTEST: return S + " " + Pt(L);
        case WM_SETCURSOR:
        case WM_MOUSEACTIVATE:
            return S + " hit=" + Num(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(L)))) + " " +
                   QvMessageName(HIWORD(static_cast<uintptr_t>(L)));
        case WM_SYSCOMMAND: return S + " " + Hex(W);
        case WM_TIMER: return S + " id=" + Num(static_cast<long long>(W));
        case WM_SIZING: {
            const auto* R = reinterpret_cast<const RECT*>(L);
            return S + " edge=" + Num(static_cast<long long>(W)) + " " + Num(R->Left) + "," + Num(R->Top) + "," +
                   Num(R->Right) + "," + Num(R->Bottom);
        }
        case WM_MOVING: {
            const auto* R = reinterpret_cast<const RECT*>(L);
            return S + " " + Num(R->Left) + "," + Num(R->Top) + "," + Num(R->Right) + "," + Num(R->Bottom);
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: return S + " vk=" + Hex(W);
        case WM_CHAR:
        case WM_SYSCHAR: return S + " ch=" + Num(static_cast<long long>(W));
        case WM_MOUSEHOVER: return S + " " + Pt(L) + " keys=" + Hex(W);
        case WM_NCMOUSEHOVER: return S + " hit=" + Num(static_cast<long long>(W)) + " at=" + Pt(L);
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: return S + " delta=" + Num(GET_WHEEL_DELTA_WPARAM(W)) + " at=" + Pt(L);
        case WM_CONTEXTMENU: return S + " at=" + Pt(L);
        case WM_IME_COMPOSITION: return S + " flags=" + Hex(static_cast<uintptr_t>(L));
        case WM_DPICHANGED: {
            const auto* R = reinterpret_cast<const RECT*>(L);
            return S + " dpi=" + Num(LOWORD(W)) + " " + Num(R->Left) + "," + Num(R->Top) + "," + Num(R->Right) + "," +
                   Num(R->Bottom);
        }
        default: break;
    }
    if (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK) return S + " hit=" + Num(static_cast<long long>(W)) + " " + Pt(L);
    if (Msg >= WM_MOUSEFIRST && Msg < WM_MOUSEWHEEL) return S + " " + Pt(L) + " keys=" + Hex(W);
    return S;
}

LRESULT TQvMessageLog::Handle(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
    if (!FPendingName.empty() && !FNames.count(Wnd)) {
        FNames[Wnd] = FPendingName;
        FPendingName.clear();
    }
    FLines.push_back(Describe(Wnd, Msg, W, L));
    FMessages.push_back(TEntry{Wnd, Msg});
    for (size_t I = FRules.size(); I-- > 0;) {
        if ((FRules[I].Wnd != nullptr && FRules[I].Wnd != Wnd) || FRules[I].Msg != Msg) continue;
        LRESULT R = 0;
        // Copied: a handler may add rules.
        THandler H = FRules[I].Handler;
        if (H(Wnd, Msg, W, L, R)) return R;
    }
    return DefWindowProc(Wnd, Msg, W, L);
}

LRESULT TQvMessageLog::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Current == nullptr) return DefWindowProc(Wnd, Msg, WParam, LParam);
    return Current->Handle(Wnd, Msg, WParam, LParam);
}

void PrintTo(const TRect& R, std::ostream* Os) { *Os << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")"; }

void PrintTo(const TPoint& P, std::ostream* Os) { *Os << "(" << P.X << ", " << P.Y << ")"; }
