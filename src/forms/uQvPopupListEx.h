#pragma once
// TPopupListEx: the application's popup list with notices for the skinned forms. When a
// menu closes (WM_MENUSELECT with flags 0xFFFF and no menu) the screen's active form gets
// MM_MENUCLOSED; a menu loop's start and end reach it as MM_ENTERMENULOOP and
// MM_EXITMENULOOP. Everything else, and then these too, the list handles as usual.
//
// Installed by reference count: the first Install puts it in place of the application's
// list (the menus shown through the old one move along), the last Release puts the old
// list back and frees this one.

#include "framework/uQvPopupList.h"

inline constexpr UINT MM_ENTERMENULOOP = 52058;
inline constexpr UINT MM_EXITMENULOOP = 52059;

class TPopupListEx : public TPopupList {
public:
    ~TPopupListEx() override;
    void WndProc(TMessage& Message) override;

    static void Install();
    static void Release();
    // The application's popup list is one.
    static bool Active();
};
