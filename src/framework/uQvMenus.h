#pragma once
// Menus: the item tree (TMenuItem), the menus that hold one (TMenu, TMainMenu, TPopupMenu)
// and the shortcut texts. A form's main menu is only kept (the skinned title bar shows
// it); popup menus run the framework's own menu loop (uQvMenuLoop) and the chosen item's
// command reaches it later through the popup list (uQvPopupList).
//
// Items are components like any other: a stored layout owns them through its root and
// lists them inside their menu. A parent frees its children with it and on Clear, so a
// menu rebuilt in OnPopup needs no bookkeeping.

#include <memory>
#include <vector>

#include "framework/uQvActnList.h"
#include "framework/uQvClasses.h"
#include "framework/uQvControlTypes.h"
#include "platform/uQvGeometry.h"
#include "platform/uQvWinTypes.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TMenu;

enum TMenuItemAutoFlag { maAutomatic, maManual, maParent };
enum TMenuAutoFlag { maAutomaticMenu = maAutomatic, maManualMenu = maManual };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)>;

// "Ctrl+Shift+F5" and back; an unknown text gives 0.
String ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(const String& Text);
TShortCut ShortCut(WORD Key, TShiftState Shift);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // ---- Children ----
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }
    // Add and Insert take an item from its old parent; Delete and Remove only unlink it,
    // Clear frees the children.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    // The menu at the root of this item's tree; nullptr for a loose item.
    TMenu* GetParentMenu() const;

    // ---- Properties ----
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    // A caption of "-" makes a separator line.
    bool IsLine() const { return FCaption == u"-"; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group among its siblings.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    uint8_t GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(uint8_t Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    // Drawn bold; Enter on the menu key does not change which item is default.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    // The picture shown when the item has no image-list icon; empty by default.
    TBitmap* Bitmap();
    void SetBitmap(const TBitmap* Value);
    bool HasBitmap() const;
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TMenuItemAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
    void SetAutoHotkeys(TMenuItemAutoFlag Value) { FAutoHotkeys = Value; }
    TMenuItemAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
    void SetAutoLineReduction(TMenuItemAutoFlag Value) { FAutoLineReduction = Value; }
    // The image list of the children (else the parent's, up to the menu's Images).
    TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(TCustomImageList* Value);
    // The image list this item's ImageIndex refers to.
    TCustomImageList* GetImageList() const;
    // The menu's right-to-left setting.
    TBiDiMode BiDiMode() const;

    // The number the loop's WM_COMMAND carries; unique in the run, never reused.
    WORD Command() const { return FCommand; }
    // The handle the loop's messages name this item's submenu by.
    HMENU Handle() const;
    // The item of that command or handle, nullptr when it is gone.
    static TMenuItem* FindByCommand(WORD Command);
    static TMenuItem* FindByHandle(HMENU Handle);

    // Drawn by the menu's owner: its menu is OwnerDraw or it has a draw handler.
    bool IsOwnerDraw() const;
    // AutoCheck toggles, then OnClick.
    virtual void Click();
    // OnMeasureItem may change the size the loop measured.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    // OnAdvancedDrawItem, or the plain look when there is none.
    virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    // ---- Streaming ----
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TMenu;
    void UncheckSiblings();

    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item only
    String FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    bool FDefault = false;
    uint8_t FGroupIndex = 0;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    std::unique_ptr<TBitmap> FBitmap;
    String FHint;
    int FHelpContext = 0;
    TMenuItemAutoFlag FAutoHotkeys = maParent;
    TMenuItemAutoFlag FAutoLineReduction = maParent;
    TCustomImageList* FSubMenuImages = nullptr;
    WORD FCommand = 0;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item; its children are the menu's entries.
    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
    bool AutoLineReduction() const { return FAutoLineReduction; }
    void SetAutoLineReduction(bool Value) { FAutoLineReduction = Value; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
    bool FOwnerDraw = false;
    TMenuAutoFlag FAutoHotkeys = maAutomaticMenu;
    bool FAutoLineReduction = true;
    TBiDiMode FBiDiMode = bdLeftToRight;
};

// Kept for the form; never shown by the framework itself.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Shown by the default context-menu handling of its controls.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The control the menu was last shown for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    // The screen point it was last shown at.
    TPoint PopupPoint() const { return FPopupPoint; }

    // Raises OnPopup, then shows the menu with its top-left at the screen point (X, Y)
    // and returns when it has closed; the chosen item's OnClick runs after that, from the
    // queue. A menu without visible items shows nothing.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint;
};

// The items of Parent a menu window shows, in order: the visible ones, without leading,
// doubled and trailing separators when the menu reduces lines.
std::vector<TMenuItem*> ShownMenuItems(const TMenuItem* Parent);
