#include "framework/uQvControlTypes.h"

#include "platform/uQvInput.h"

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState S;
    if (Keys & MK_SHIFT) S.Include(ssShift);
    if (Keys & MK_CONTROL) S.Include(ssCtrl);
    if (Keys & MK_LBUTTON) S.Include(ssLeft);
    if (Keys & MK_RBUTTON) S.Include(ssRight);
    if (Keys & MK_MBUTTON) S.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
    return S;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState S;
    if (GetKeyState(VK_SHIFT) < 0) S.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) S.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) S.Include(ssAlt);
    return S;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState S = KeyboardStateToShiftState();
    if (KeyData & KF_ALTDOWN_BIT) S.Include(ssAlt);
    return S;
}

HCURSOR CursorHandle(TCursor Cursor) {
    int Id = IDC_ARROW;
    switch (Cursor) {
        case crCross:
            Id = IDC_CROSS;
            break;
        case crIBeam:
            Id = IDC_IBEAM;
            break;
        case crSizeNESW:
            Id = IDC_SIZENESW;
            break;
        case crSizeNS:
        case crVSplit:
            Id = IDC_SIZENS;
            break;
        case crSizeNWSE:
            Id = IDC_SIZENWSE;
            break;
        case crSizeWE:
        case crHSplit:
            Id = IDC_SIZEWE;
            break;
        case crUpArrow:
            Id = IDC_UPARROW;
            break;
        case crHourGlass:
            Id = IDC_WAIT;
            break;
        case crNo:
        case crNoDrop:
            Id = IDC_NO;
            break;
        case crAppStart:
            Id = IDC_APPSTARTING;
            break;
        case crHandPoint:
            Id = IDC_HAND;
            break;
        case crSizeAll:
            Id = IDC_SIZEALL;
            break;
        case crNone:
            return nullptr;
        default:
            break;
    }
    return LoadCursor(nullptr, Id);
}

namespace {

// The character after the last single '&', or 0.
Char Hotkey(const String& Caption) {
    Char Hot = 0;
    for (size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != u'&') continue;
        if (Caption[I + 1] != u'&') Hot = Caption[I + 1];
        ++I;
    }
    return Hot;
}

}  // namespace

bool IsAccel(WORD Key, const String& Caption) {
    const Char Hot = Hotkey(Caption);
    return Hot != 0 && AsciiUpper(Hot) == AsciiUpper(static_cast<Char>(Key));
}

String StripHotkey(const String& Caption) {
    String R;
    R.reserve(Caption.size());
    for (size_t I = 0; I < Caption.size(); ++I) {
        if (Caption[I] == u'&' && I + 1 < Caption.size())
            ++I;
        else if (Caption[I] == u'&')
            continue;
        R.push_back(Caption[I]);
    }
    return R;
}
