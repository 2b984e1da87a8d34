#include "platform/uQvImm.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>

#include "platform/uQvBackend.h"
#include "platform/uQvInput.h"
#include "platform/uQvMessages.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"
#include "platform/uQvWinState.h"

namespace {

// Context handles are never reused, also across resets, so a handle kept from before a
// reset is refused instead of naming the new context.
HIMC NewContextHandle() {
    static uintptr_t Serial = 0;
    return reinterpret_cast<HIMC>(++Serial);
}

struct TContext {
    HIMC Handle = NewContextHandle();
    bool Open = true;
    String Composition;
    size_t Cursor = 0;
    String Result;
    COMPOSITIONFORM Form;
};

// One composition as the backend fed it: its messages go to the window that got its start.
struct TSession {
    HWND Target = nullptr;
};

enum TPhase { phStart, phComposing, phResult, phEnd };

struct TState {
    TContext Context;
    // Windows whose context is not the shared one: 0 when detached. Handles are never
    // reused, so entries of windows that died are harmless; they are pruned now and then.
    std::map<HWND, HIMC> Detached;
    std::shared_ptr<TSession> Feeding;  // the composition in progress as fed so far
};

TState& S() { return QvWinState<TState>(); }

TContext* ContextOf(HIMC Imc) { return Imc != nullptr && Imc == S().Context.Handle ? &S().Context : nullptr; }

HIMC WindowContext(HWND Wnd) {
    if (!IsWindow(Wnd)) return nullptr;
    auto It = S().Detached.find(Wnd);
    return It == S().Detached.end() ? S().Context.Handle : It->second;
}

// The window that receives the input method's text now.
HWND ServedWindow() {
    const HWND Focus = GetFocus();
    return Focus != nullptr ? Focus : GetActiveWindow();
}

bool Composes(HWND Wnd) {
    const TContext* C = ContextOf(WindowContext(Wnd));
    return C != nullptr && C->Open;
}

int ClampCoord(int64_t V) {
    constexpr int64_t Limit = int64_t{1} << 27;
    return static_cast<int>(std::clamp(V, -Limit, Limit));
}

// The rectangle of a composition form in the window's client coordinates, never inverted.
RECT FormRect(HWND Wnd, const COMPOSITIONFORM& F) {
    if (F.dwStyle & CFS_RECT)
        return RECT{F.ptCurrentPos.X, F.ptCurrentPos.Y, std::max(F.ptCurrentPos.X, F.rcArea.Right),
                    std::max(F.ptCurrentPos.Y, F.rcArea.Bottom)};
    if (F.dwStyle & (CFS_POINT | CFS_FORCE_POSITION))
        return RECT{F.ptCurrentPos.X, F.ptCurrentPos.Y, F.ptCurrentPos.X, F.ptCurrentPos.Y};
    RECT Client;
    GetClientRect(Wnd, &Client);
    return Client;
}

bool Make(TSession& Session, TPhase Phase, const String& Text, HWND Target, MSG& M) {
    TContext& C = S().Context;
    if (Phase == phStart) {
        Session.Target = Target != nullptr && Composes(Target) ? Target : nullptr;
        if (Session.Target == nullptr) return false;
        C.Composition.clear();
        C.Cursor = 0;
        C.Result.clear();
        M.message = WM_IME_STARTCOMPOSITION;
        M.lParam = 0;
    } else if (Phase == phEnd) {
        // A window that saw the start sees the end, even if it let go of its context.
        if (!IsWindow(Session.Target)) return false;
        C.Composition.clear();
        C.Cursor = 0;
        M.message = WM_IME_ENDCOMPOSITION;
        M.lParam = 0;
    } else {
        if (!IsWindow(Session.Target) || !Composes(Session.Target)) return false;
        if (Phase == phResult) {
            C.Result = Text;
            C.Composition.clear();
            C.Cursor = 0;
        } else {
            C.Composition = Text;
            C.Cursor = Text.size();
        }
        M.message = WM_IME_COMPOSITION;
        M.lParam = Phase == phResult ? GCS_RESULTSTR : GCS_COMPSTR | GCS_CURSORPOS;
    }
    M.hwnd = Session.Target;
    M.wParam = 0;
    return true;
}

void Feed(const std::shared_ptr<TSession>& Session, TPhase Phase, std::u16string_view Text = {}) {
    QvInputMessage([Session, Phase, Text = String(Text)](HWND Target, MSG& M) {
        return Make(*Session, Phase, Text, Target, M);
    });
}

std::shared_ptr<TSession> FeedStart() {
    auto Session = std::make_shared<TSession>();
    Feed(Session, phStart);
    return Session;
}

}  // namespace

HIMC ImmGetContext(HWND Wnd) { return WindowContext(Wnd); }

BOOL ImmReleaseContext(HWND Wnd, HIMC Imc) { return IsWindow(Wnd) && ContextOf(Imc) != nullptr; }

HIMC ImmAssociateContext(HWND Wnd, HIMC Imc) {
    if (!IsWindow(Wnd) || (Imc != nullptr && ContextOf(Imc) == nullptr)) return nullptr;
    const HIMC Old = WindowContext(Wnd);
    auto& D = S().Detached;
    for (auto It = D.begin(); It != D.end();) It = IsWindow(It->first) ? std::next(It) : D.erase(It);
    if (Imc == nullptr)
        D[Wnd] = nullptr;
    else
        D.erase(Wnd);
    return Old;
}

LONG ImmGetCompositionStringW(HIMC Imc, DWORD Index, void* Buf, DWORD BufLen) {
    const TContext* C = ContextOf(Imc);
    if (C == nullptr) return IMM_ERROR_GENERAL;
    const String* Str;
    switch (Index) {
        case GCS_CURSORPOS: return static_cast<LONG>(std::min<size_t>(C->Cursor, INT_MAX));
        case GCS_COMPSTR: Str = &C->Composition; break;
        case GCS_RESULTSTR: Str = &C->Result; break;
        default: return IMM_ERROR_GENERAL;
    }
    constexpr size_t MaxUnits = INT_MAX / sizeof(Char);
    size_t N = std::min(Str->size(), MaxUnits);
    if (BufLen == 0) return static_cast<LONG>(N * sizeof(Char));
    if (Buf == nullptr) return IMM_ERROR_GENERAL;
    if (N > BufLen / sizeof(Char)) {
        N = BufLen / sizeof(Char);
        if (N > 0 && (*Str)[N - 1] >= 0xD800 && (*Str)[N - 1] <= 0xDBFF) --N;
    }
    std::memcpy(Buf, Str->data(), N * sizeof(Char));
    return static_cast<LONG>(N * sizeof(Char));
}

BOOL ImmSetCompositionFontW(HIMC Imc, const LOGFONTW* Font) { return ContextOf(Imc) != nullptr && Font != nullptr; }

BOOL ImmSetCompositionWindow(HIMC Imc, const COMPOSITIONFORM* Form) {
    TContext* C = ContextOf(Imc);
    if (C == nullptr || Form == nullptr) return FALSE;
    C->Form = *Form;
    const HWND Wnd = ServedWindow();
    if (Wnd == nullptr || WindowContext(Wnd) != Imc) return TRUE;
    const RECT R = FormRect(Wnd, *Form);
    POINT Origin{0, 0};
    ClientToScreen(Wnd, &Origin);
    QvBackend().ImeInputRect(RECT{ClampCoord(int64_t{Origin.X} + R.Left), ClampCoord(int64_t{Origin.Y} + R.Top),
                                  ClampCoord(int64_t{Origin.X} + R.Right), ClampCoord(int64_t{Origin.Y} + R.Bottom)});
    return TRUE;
}

BOOL ImmGetCompositionWindow(HIMC Imc, COMPOSITIONFORM* Form) {
    const TContext* C = ContextOf(Imc);
    if (C == nullptr || Form == nullptr) return FALSE;
    *Form = C->Form;
    return TRUE;
}

BOOL ImmGetOpenStatus(HIMC Imc) {
    const TContext* C = ContextOf(Imc);
    return C != nullptr && C->Open;
}

BOOL ImmSetOpenStatus(HIMC Imc, BOOL Open) {
    TContext* C = ContextOf(Imc);
    if (C == nullptr) return FALSE;
    C->Open = Open != FALSE;
    return TRUE;
}

// ---- Raw input -------------------------------------------------------------------------

void QvInputImeComposition(std::u16string_view Text) {
    auto& Feeding = S().Feeding;
    if (Text.empty()) {
        if (Feeding) Feed(Feeding, phEnd);
        Feeding.reset();
        return;
    }
    if (!Feeding) Feeding = FeedStart();
    Feed(Feeding, phComposing, Text);
}

void QvInputImeCommit(std::u16string_view Text) {
    if (Text.empty()) {
        QvInputImeComposition(Text);
        return;
    }
    auto Session = S().Feeding ? S().Feeding : FeedStart();
    S().Feeding.reset();
    Feed(Session, phResult, Text);
    Feed(Session, phEnd);
}

// ---- Window system ---------------------------------------------------------------------

void QvImmDefComposition(HWND Wnd, LPARAM LParam) {
    if (!(LParam & GCS_RESULTSTR)) return;
    const TContext* C = ContextOf(WindowContext(Wnd));
    if (C == nullptr) return;
    const String Text = C->Result;
    for (Char Unit : Text) PostMessage(Wnd, WM_CHAR, Unit, 1);
}

