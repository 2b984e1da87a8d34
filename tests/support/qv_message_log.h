#pragma once
// Message recording for window-system tests: windows made through a TQvMessageLog write
// every message they receive as a readable line ("main WM_SIZE type=0 size=300x200"), then
// run the test's handler for that message or DefWindowProc.

#include <functional>
#include <ostream>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/uQvWinTypes.h"

// Readable name of a message number ("WM_SIZE"; "0x1234" for others).
std::string QvMessageName(UINT Msg);

class TQvMessageLog {
public:
    // Handles a message; returns true when it did and set Result.
    using THandler = std::function<bool(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)>;

    TQvMessageLog();
    ~TQvMessageLog();
    TQvMessageLog(const TQvMessageLog&) = delete;
    TQvMessageLog& operator=(const TQvMessageLog&) = delete;

    // Creates a logging window named Name (the name is also its text). ClassStyle picks one
    // of the logging classes (0 or CS_DBLCLKS, optionally with CS_HREDRAW | CS_VREDRAW).
    HWND Create(const std::string& Name, DWORD Style, const RECT& Bounds, HWND Parent = nullptr, DWORD ExStyle = 0,
                UINT ClassStyle = 0);
    // Names another window for the log (windows of other classes, subclassed ones).
    void Name(HWND Wnd, const std::string& Name);
    std::string NameOf(HWND Wnd) const;

    // Handler for one message of one window (Wnd 0: every window), tried newest first.
    void On(HWND Wnd, UINT Msg, THandler Handler);
    // Shorthand: answer Msg of Wnd with a fixed result.
    void Answer(HWND Wnd, UINT Msg, LRESULT Result);

    void Clear() { FLines.clear(); FMessages.clear(); }
    // Every line, or only those of the given messages.
    std::vector<std::string> Lines(std::initializer_list<UINT> Only = {}) const;
    // Every line except those of the given messages (hit tests and cursor queries are noise
    // in most tests).
    std::vector<std::string> LinesWithout(std::initializer_list<UINT> Skip) const;
    size_t Count(HWND Wnd, UINT Msg) const;

    // The window procedure of the logging classes; usable to subclass foreign windows.
    static LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

private:
    struct TEntry {
        HWND Wnd;
        UINT Msg;
    };
    struct TRule {
        HWND Wnd;
        UINT Msg;
        THandler Handler;
    };
    std::string Describe(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) const;
    LRESULT Handle(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    std::map<HWND, std::string> FNames;
    std::string FPendingName;  // of the window being created, until its handle is seen
    std::vector<std::string> FLines;
    std::vector<TEntry> FMessages;
    std::vector<TRule> FRules;
};

// Gtest-friendly joined form of lines, one per row.
std::string QvJoin(const std::vector<std::string>& Lines);

// Readable rectangles and points in test failures.
void PrintTo(const TRect& R, std::ostream* Os);
void PrintTo(const TPoint& P, std::ostream* Os);
