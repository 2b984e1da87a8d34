#pragma once
// TPelluxMenu: the skin of popup menus. Items handed to DrawMenuItem are measured and drawn
// by it: each menu window becomes a per-pixel-alpha layered window showing a nine-block
// background with its own soft edge, a highlight image under the selected item, check,
// radio and submenu-arrow marks, icons in a glyph bar on the left and the captions with
// their shortcuts.
//
// Each open menu window has a full surface of its size and a background surface; an item
// is drawn by copying its rectangle of the background onto the full surface and drawing
// over it, and the full surface is pushed to the window once the paint in progress is
// complete (after the last item, the selected one, or the lowest item of the paint).

#include <memory>
#include <vector>

#include "framework/uQvClasses.h"
#include "framework/uQvGraphics.h"
#include "framework/uQvMenus.h"
#include "skin/uPelluxResManager.h"

class TSurface32;

// The surfaces of one open menu window.
struct TMenuWndRec {
    HWND Handle = nullptr;
    std::unique_ptr<TSurface32> hBit;     // the window's full picture
    std::unique_ptr<TSurface32> BgBmp32;  // its background, from the nine-block image
};
using TMenuWnds = std::vector<TMenuWndRec>;

class TPelluxMenu : public TComponent {
public:
    // Outside design time: the menu fade and animation off, and every menu item its owner
    // holds taken over.
    explicit TPelluxMenu(TComponent* AOwner);
    // Items still drawn by it get both handlers back unset.
    ~TPelluxMenu() override;

    // ---- Published ----
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    // The selected item's font; its size is always Font's.
    TFont* HotFont() const { return FHotFont.get(); }
    void SetHotFont(const TFont* Value) { FHotFont->Assign(Value); }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor Value) { FLineColor = Value; }
    const TQvResID& Menu_bk() const { return FMenu_bk; }
    void SetMenu_bk(const TQvResID& Value);
    const TQvResID& Menu_hilight() const { return FMenu_hilight; }
    void SetMenu_hilight(const TQvResID& Value) { FMenu_hilight = Value; }
    const TQvResID& Menu_Check() const { return FMenu_Check; }
    void SetMenu_Check(const TQvResID& Value) { FMenu_Check = Value; }
    const TQvResID& Menu_Radio() const { return FMenu_Radio; }
    void SetMenu_Radio(const TQvResID& Value) { FMenu_Radio = Value; }
    const TQvResID& Menu_SubArrow() const { return FMenu_SubArrow; }
    void SetMenu_SubArrow(const TQvResID& Value) { FMenu_SubArrow = Value; }
    // The padding inside the window's edge, at 96 dpi.
    int BorderOffset() const { return FBorderOffset; }
    void SetBorderOffset(int Value) { FBorderOffset = Value; }
    // The margin between the window's edge and its background, at 96 dpi.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    int GlyphBarWidth() const { return FGlyphBarWidth; }
    void SetGlyphBarWidth(int Value) { FGlyphBarWidth = Value; }

    // ---- Public ----
    // Draws Item from now on, unless it has a draw handler already.
    void DrawMenuItem(TMenuItem* Item);
    // The items it draws.
    const std::vector<TMenuItem*>& MenuItemList() const { return FMenuItemList; }
    // The surfaces of the menu windows open now (windows gone are dropped first).
    const TMenuWnds& MenuWnds();

    // What the handlers do.
    void MeasureItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height);
    void AdvancedDrawItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);

    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void TakeOverOwnerItems();
    TMenuWndRec& WindowRec(HWND Wnd, int Width, int Height);
    void DropClosedWindows();
    void DrawContent(TSurface32* S, TMenuItem* Item, const TRect& Box, const TRect& Content,
                     TOwnerDrawState State);
    void Push(HWND Wnd, TMenuWndRec& Rec, TPoint At);
    // Font (or HotFont) at the dpi of the menus, with the item's style.
    void PrepareFont(TFont* Target, const TMenuItem* Item, bool Hot) const;

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FHotFont;
    TColor FLineColor = 12895428;
    TQvResID FMenu_bk = u"PelluxMenu_bk";
    TQvResID FMenu_hilight = u"PelluxMenu_hilight";
    TQvResID FMenu_Check = u"PelluxMenu_icon_check";
    TQvResID FMenu_Radio = u"PelluxMenu_icon_radio";
    TQvResID FMenu_SubArrow = u"PelluxMenu_sub_arrow";
    int FBorderOffset = 6;
    int FBorderWidth = 0;
    int FGlyphBarWidth = 31;
    std::vector<TMenuItem*> FMenuItemList;
    TMenuWnds FMenuWnds;
};

// Registers TPelluxMenu for stored layouts.
void RegisterPelluxMenu();
