#include "platform/uQvClipboard.h"

#include "platform/uQvBackend.h"
#include "platform/uQvWindows.h"
#include "platform/uQvWinState.h"

namespace {

struct TState {
    bool Open = false;
    HWND Holder = nullptr;
    bool Emptied = false;  // EmptyClipboard was called in the current opening
};

TState& S() { return QvWinState<TState>(); }

// A holder window that died leaves the clipboard closed rather than locked for good.
bool IsOpen() {
    TState& C = S();
    if (C.Open && C.Holder != nullptr && !IsWindow(C.Holder)) C = TState{};
    return C.Open;
}

String UpToTerminator(const String& Text) {
    const size_t End = Text.find(u'\0');
    return End == String::npos ? Text : Text.substr(0, End);
}

}  // namespace

BOOL OpenClipboard(HWND Owner) {
    if (Owner != nullptr && !IsWindow(Owner)) return FALSE;
    if (IsOpen() && S().Holder != Owner) return FALSE;
    // Opening again from the holder keeps the opening it is in.
    if (S().Open) return TRUE;
    S() = TState{true, Owner, false};
    return TRUE;
}

BOOL CloseClipboard() {
    if (!IsOpen()) return FALSE;
    S() = TState{};
    return TRUE;
}

HWND GetOpenClipboardWindow() { return IsOpen() ? S().Holder : nullptr; }

BOOL EmptyClipboard() {
    if (!IsOpen()) return FALSE;
    QvBackend().SetClipboardText(String());
    S().Emptied = true;
    return TRUE;
}

BOOL SetClipboardData(UINT Format, const String& Text) {
    if (Format != CF_UNICODETEXT || !IsOpen() || !S().Emptied) return FALSE;
    QvBackend().SetClipboardText(UpToTerminator(Text));
    return TRUE;
}

BOOL GetClipboardData(UINT Format, String* Text) {
    if (Format != CF_UNICODETEXT || Text == nullptr || !IsOpen()) return FALSE;
    String Held = UpToTerminator(QvBackend().ClipboardText());
    if (Held.empty()) return FALSE;
    *Text = std::move(Held);
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT Format) { return Format == CF_UNICODETEXT && QvClipboardHasText(); }

bool QvClipboardHasText() {
    const String Held = QvBackend().ClipboardText();
    return !Held.empty() && Held[0] != u'\0';
}

