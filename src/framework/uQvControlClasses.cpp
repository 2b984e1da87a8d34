#include "framework/uQvControlClasses.h"

#include "framework/uQvActnList.h"
#include "framework/uQvMenuClasses.h"
#include "framework/uQvMenus.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvWinControl.h"

void RegisterQvControls() {
    RegisterQvGraphics();
    RegisterQvActnList();
    RegisterEnum<TAlign>(u"TAlign",
                         {u"alNone", u"alTop", u"alBottom", u"alLeft", u"alRight", u"alClient", u"alCustom"});
    RegisterEnum<TAnchorKind>(u"TAnchorKind", {u"akLeft", u"akTop", u"akRight", u"akBottom"});

    RegisterClass<TMargins, TPersistent>(u"TMargins")
        .Prop(u"Left", &TMargins::Left, &TMargins::SetLeft, 3)
        .Prop(u"Top", &TMargins::Top, &TMargins::SetTop, 3)
        .Prop(u"Right", &TMargins::Right, &TMargins::SetRight, 3)
        .Prop(u"Bottom", &TMargins::Bottom, &TMargins::SetBottom, 3);
    RegisterClass<TSizeConstraints, TPersistent>(u"TSizeConstraints")
        .Prop(u"MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0)
        .Prop(u"MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
        .Prop(u"MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
        .Prop(u"MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0);
    RegisterQvMenus();

    // Bounds come first so that anchors and alignment read them; the parent's looks are
    // stored only where the control does not follow its parent.
    RegisterClass<TControl, TComponent>(u"TControl")
        .Component<TBasicAction>(u"Action", &TControl::Action, &TControl::SetAction)
        .Prop(u"Left", &TControl::Left, &TControl::SetLeft)
        .Prop(u"Top", &TControl::Top, &TControl::SetTop)
        .Prop(u"Width", &TControl::Width, &TControl::SetWidth)
        .Prop(u"Height", &TControl::Height, &TControl::SetHeight)
        .Prop(u"Align", &TControl::Align, &TControl::SetAlign, alNone)
        .Prop(u"AlignWithMargins", &TControl::AlignWithMargins, &TControl::SetAlignWithMargins, false)
        .Prop(u"Anchors", &TControl::Anchors, &TControl::SetAnchors, TAnchors{akLeft, akTop})
        .Prop(u"Caption", &TControl::Caption, &TControl::SetCaption, u"")
        .Color(u"Color", &TControl::Color, &TControl::SetColor)
        .Stored([](TControl* C) { return !C->ParentColor(); })
        .Object(u"Constraints", &TControl::Constraints)
        .Prop(u"Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
        .Prop(u"Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
        .Object(u"Font", &TControl::Font)
        .Stored([](TControl* C) { return !C->ParentFont(); })
        .Prop(u"Hint", &TControl::Hint, &TControl::SetHint, u"")
        .Object(u"Margins", &TControl::Margins)
        .Prop(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
        .Prop(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
        .Prop(u"ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
        .Component<TPopupMenu>(u"PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
        .Prop(u"ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
        .Stored([](TControl* C) { return !C->ParentShowHint(); })
        .Prop(u"Visible", &TControl::Visible, &TControl::SetVisible, true);
    RegisterClass<TWinControl, TControl>(u"TWinControl")
        .Prop(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
        .Prop(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
    RegisterClass<TGraphicControl, TControl>(u"TGraphicControl");
    RegisterClass<TCustomControl, TWinControl>(u"TCustomControl");
}
