#pragma once
// The popup list: the message window that owns every popup menu while it is shown. The
// menu loop sends it the notifications (WM_ENTERMENULOOP, WM_INITMENUPOPUP,
// WM_MEASUREITEM, WM_DRAWITEM, WM_MENUSELECT, WM_EXITMENULOOP) and posts it the chosen
// item's WM_COMMAND; WM_CANCELMODE sent to it ends an open loop. A derived list replaces
// the global one (SetPopupList) to watch those messages and calls WndProc for the rest.

#include <memory>
#include <vector>

#include "platform/uQvWinTypes.h"

class TPopupMenu;

class TPopupList {
public:
    TPopupList();
    virtual ~TPopupList();
    TPopupList(const TPopupList&) = delete;
    TPopupList& operator=(const TPopupList&) = delete;

    HWND Window() const { return FWindow; }
    // The menus shown through this list (the loop adds the one it runs).
    const std::vector<TPopupMenu*>& Menus() const { return FMenus; }
    void Add(TPopupMenu* Menu);
    void Remove(TPopupMenu* Menu);

    virtual void WndProc(TMessage& Message);

private:
    HWND FWindow = nullptr;
    std::vector<TPopupMenu*> FMenus;
};

// The application's popup list, made on first use.
TPopupList* PopupList();
// Installs a replacement (taking it over; the menus of the old list move along) and
// returns the old list to its caller; nullptr brings back a fresh default list.
std::unique_ptr<TPopupList> SetPopupList(std::unique_ptr<TPopupList> List);
