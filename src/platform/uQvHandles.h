#pragma once
// The platform's scalar and handle types. Handles are opaque, pointer-sized and never
// dereferenced: each names an entry of a table in the platform, with a generation count
// so that a handle is never reused within a run.

#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using ATOM = uint16_t;

// Macros, as system headers (FreeType among them) define them the same way.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define QV_DECLARE_HANDLE(Name) \
    struct Name##__;            \
    using Name = Name##__*

QV_DECLARE_HANDLE(HWND);
QV_DECLARE_HANDLE(HDC);
QV_DECLARE_HANDLE(HBITMAP);
QV_DECLARE_HANDLE(HRGN);
QV_DECLARE_HANDLE(HPEN);
QV_DECLARE_HANDLE(HBRUSH);
QV_DECLARE_HANDLE(HFONT);
QV_DECLARE_HANDLE(HMONITOR);
QV_DECLARE_HANDLE(HCURSOR);
QV_DECLARE_HANDLE(HICON);
QV_DECLARE_HANDLE(HINSTANCE);
QV_DECLARE_HANDLE(HHOOK);
QV_DECLARE_HANDLE(HIMC);
QV_DECLARE_HANDLE(HDWP);
QV_DECLARE_HANDLE(HMENU);
#undef QV_DECLARE_HANDLE

// Any drawing object (bitmap, region, pen, brush, font) for SelectObject and DeleteObject.
using HGDIOBJ = void*;

// Packing of two 16-bit values, as the message parameters use them. Points are always
// unpacked sign-extended (monitors left of the primary, captured mice give negatives).
constexpr WORD LOWORD(uintptr_t V) { return static_cast<WORD>(V & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t V) { return static_cast<WORD>((V >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int Low, int High) {
    return static_cast<LPARAM>(static_cast<int32_t>((static_cast<uint32_t>(Low) & 0xFFFF) |
                                                    ((static_cast<uint32_t>(High) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int Low, int High) {
    return static_cast<WPARAM>((static_cast<uint32_t>(Low) & 0xFFFF) | ((static_cast<uint32_t>(High) & 0xFFFF) << 16));
}
constexpr LRESULT MAKELRESULT(int Low, int High) { return MAKELPARAM(Low, High); }
constexpr int GET_X_LPARAM(LPARAM L) { return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(L))); }
constexpr int GET_Y_LPARAM(LPARAM L) { return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(L))); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM W) { return static_cast<int16_t>(HIWORD(W)); }
