#include "framework/uQvMenuClasses.h"

#include "framework/uQvImgList.h"
#include "framework/uQvMenus.h"
#include "framework/uQvPictures.h"
#include "framework/uQvRegistry.h"

void RegisterQvMenus() {
    RegisterEnum<TMenuItemAutoFlag>(u"TMenuItemAutoFlag", {u"maAutomatic", u"maManual", u"maParent"});
    RegisterEnum<TMenuAutoFlag>(u"TMenuAutoFlag", {u"maAutomatic", u"maManual"});
    RegisterEnum<TBiDiMode>(u"TBiDiMode",
                            {u"bdLeftToRight", u"bdRightToLeft", u"bdRightToLeftNoAlign", u"bdRightToLeftReadingOnly"});

    RegisterClass<TMenuItem, TComponent>(u"TMenuItem")
        .Prop(u"AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false)
        .Prop(u"AutoHotkeys", &TMenuItem::AutoHotkeys, &TMenuItem::SetAutoHotkeys, maParent)
        .Prop(u"AutoLineReduction", &TMenuItem::AutoLineReduction, &TMenuItem::SetAutoLineReduction, maParent)
        .Object(u"Bitmap", &TMenuItem::Bitmap)
        .Stored([](TMenuItem* I) { return I->HasBitmap(); })
        .Prop(u"Caption", &TMenuItem::Caption, &TMenuItem::SetCaption, u"")
        .Prop(u"Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
        .Prop(u"Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
        .Prop(u"Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
        .Prop(u"GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
        .Prop(u"HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext, 0)
        .Prop(u"Hint", &TMenuItem::Hint, &TMenuItem::SetHint, u"")
        .Prop(u"ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
        .Prop(u"RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
        .Prop(u"ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
        .Component<TCustomImageList>(u"SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages)
        .Prop(u"Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true);
    RegisterClass<TMenu, TComponent>(u"TMenu")
        .Prop(u"AutoHotkeys", &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys, maAutomaticMenu)
        .Prop(u"AutoLineReduction", &TMenu::AutoLineReduction, &TMenu::SetAutoLineReduction, true)
        .Prop(u"BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode, bdLeftToRight)
        .Component<TCustomImageList>(u"Images", &TMenu::Images, &TMenu::SetImages)
        .Prop(u"OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, false);
    RegisterClass<TMainMenu, TMenu>(u"TMainMenu");
    RegisterClass<TPopupMenu, TMenu>(u"TPopupMenu")
        .Prop(u"AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true);
}
