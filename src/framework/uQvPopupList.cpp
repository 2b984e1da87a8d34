#include "framework/uQvPopupList.h"

#include <algorithm>

#include "framework/uQvGraphics.h"
#include "framework/uQvMenuLoop.h"
#include "framework/uQvMenuPaint.h"
#include "framework/uQvMenus.h"
#include "platform/uQvDefWindowProc.h"
#include "platform/uQvWindows.h"

namespace {

std::unique_ptr<TPopupList>& Current() {
    static std::unique_ptr<TPopupList> List;
    return List;
}

TMenuItem* ItemOf(ULONG_PTR Data, UINT Id) {
    TMenuItem* Item = TMenuItem::FindByCommand(static_cast<WORD>(Id));
    return Item != nullptr && reinterpret_cast<ULONG_PTR>(Item) == Data ? Item : nullptr;
}

TOwnerDrawState DrawStateOf(UINT State) {
    TOwnerDrawState Result;
    if (State & ODS_SELECTED) Result.Include(odSelected);
    if (State & ODS_GRAYED) Result.Include(odGrayed);
    if (State & ODS_DISABLED) Result.Include(odDisabled);
    if (State & ODS_CHECKED) Result.Include(odChecked);
    if (State & ODS_FOCUS) Result.Include(odFocused);
    if (State & ODS_DEFAULT) Result.Include(odDefault);
    if (State & ODS_HOTLIGHT) Result.Include(odHotLight);
    return Result;
}

}  // namespace

TPopupList::TPopupList() : FWindow(AllocateHWnd([this](TMessage& M) { WndProc(M); })) {}

TPopupList::~TPopupList() { DeallocateHWnd(FWindow); }

void TPopupList::Add(TPopupMenu* Menu) {
    if (std::find(FMenus.begin(), FMenus.end(), Menu) == FMenus.end()) FMenus.push_back(Menu);
}

void TPopupList::Remove(TPopupMenu* Menu) { std::erase(FMenus, Menu); }

void TPopupList::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_COMMAND:
            // The item may have died since the loop posted this; then nothing happens.
            if (TMenuItem* Item = TMenuItem::FindByCommand(LOWORD(M.WParam))) Item->Click();
            return;
        case WM_MEASUREITEM: {
            auto* Mis = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
            TMenuItem* Item = Mis != nullptr && Mis->CtlType == ODT_MENU ? ItemOf(Mis->itemData, Mis->itemID) : nullptr;
            if (Item == nullptr) break;
            TCanvas Canvas;
            Canvas.SetHandle(MenuMeasureDC());
            int W = static_cast<int>(Mis->itemWidth);
            int H = static_cast<int>(Mis->itemHeight);
            Item->MeasureItem(&Canvas, W, H);
            Canvas.SetHandle(nullptr);
            Mis->itemWidth = static_cast<UINT>(std::max(W, 0));
            Mis->itemHeight = static_cast<UINT>(std::max(H, 0));
            M.Result = 1;
            return;
        }
        case WM_DRAWITEM: {
            auto* Dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
            TMenuItem* Item = Dis != nullptr && Dis->CtlType == ODT_MENU ? ItemOf(Dis->itemData, Dis->itemID) : nullptr;
            if (Item == nullptr) break;
            TCanvas Canvas;
            Canvas.SetHandle(Dis->hDC);
            Item->AdvancedDrawItem(&Canvas, Dis->rcItem, DrawStateOf(Dis->itemState));
            Canvas.SetHandle(nullptr);
            M.Result = 1;
            return;
        }
        case WM_CANCELMODE:
            CancelMenuLoop();
            return;
        default:
            break;
    }
    M.Result = DefWindowProc(FWindow, M.Msg, M.WParam, M.LParam);
}

TPopupList* PopupList() {
    // A window system started over (tests do) took the old window with it.
    if (!Current() || !IsWindow(Current()->Window())) Current() = std::make_unique<TPopupList>();
    return Current().get();
}

std::unique_ptr<TPopupList> SetPopupList(std::unique_ptr<TPopupList> List) {
    if (!List) List = std::make_unique<TPopupList>();
    if (Current())
        for (TPopupMenu* Menu : Current()->Menus()) List->Add(Menu);
    std::swap(Current(), List);
    return List;
}
