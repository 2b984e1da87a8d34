#include "forms/uPelluxMenu.h"

#include <algorithm>
#include <cstring>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "draw/uPelluxStrips.h"
#include "forms/uPelluxMenuHook.h"
#include "forms/uQvFormLayerWindow.h"
#include "framework/uQvApplication.h"
#include "framework/uQvImgList.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvPixel.h"
#include "platform/uQvWinLayered.h"
#include "platform/uQvWinPos.h"
#include "platform/uQvWindows.h"

namespace {

constexpr TColor DisabledText = 13551034;
// Between a caption and its shortcut, at 96 dpi.
constexpr int ShortCutGap = 16;

// Sizes given at 96 dpi scale for the application's main form, as the menus' own frame does.
int Scaled(int Value) {
    return ScaleByDPI(Application != nullptr ? Application->MainForm() : nullptr, Value);
}

// Copies Box of Dst's coordinates from Src, whose (0, 0) lies at Offset of Dst; alpha too.
void CopyBox(const TSurface32* Src, TSurface32* Dst, const TRect& Box, TPoint Offset) {
    const int L = std::max({Box.Left, 0, Offset.X}),
              R = std::min({Box.Right, Dst->Width(), Offset.X + Src->Width()});
    const int T = std::max({Box.Top, 0, Offset.Y}),
              B = std::min({Box.Bottom, Dst->Height(), Offset.Y + Src->Height()});
    if (L >= R) return;
    for (int Y = T; Y < B; ++Y)
        std::memcpy(Dst->PixelPtr(L, Y), Src->PixelPtr(L - Offset.X, Y - Offset.Y),
                    static_cast<size_t>(R - L) * sizeof(TColor32));
}

// Frame Index of a three-frame strip (enabled, selected, disabled), drawn centred in Box.
void DrawMark(const TQvResID& Name, int Index, const TRect& Box, TSurface32* Dst) {
    TPelluxImageArray Frames;
    SplitStrip(SkinResManager().GetImageByName(Name, true), 3, Frames);
    if (Frames.size() != 3 || Frames[static_cast<size_t>(Index)]->Empty()) return;
    TPelluxImage* F = Frames[static_cast<size_t>(Index)].get();
    F->SetDrawMode(dmBlend);
    F->DrawTo(Dst, (Box.Left + Box.Right - F->Width()) / 2, (Box.Top + Box.Bottom - F->Height()) / 2);
}

}  // namespace

TPelluxMenu::TPelluxMenu(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FHotFont(std::make_unique<TFont>()) {
    FFont->SetSize(9);
    FHotFont->SetSize(9);
    FHotFont->SetColor(static_cast<TColor>(RGB(255, 255, 255)));
    FFont->OnChange = [this](TObject*) { FHotFont->SetSize(FFont->Size()); };
    if (ComponentState().Contains(csDesigning)) return;
    PelluxMenuEffectsOff();
    TakeOverOwnerItems();
}

TPelluxMenu::~TPelluxMenu() {
    // Handlers bound to a freed skin must not stay on living items.
    for (TMenuItem* Item : FMenuItemList) {
        Item->OnMeasureItem = nullptr;
        Item->OnAdvancedDrawItem = nullptr;
        RemoveFreeNotification(Item);
    }
    FMenuItemList.clear();
}

void TPelluxMenu::SetMenu_bk(const TQvResID& Value) {
    if (FMenu_bk == Value) return;
    FMenu_bk = Value;
    FMenuWnds.clear();
}

void TPelluxMenu::SetBorderWidth(int Value) {
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    FMenuWnds.clear();
}

void TPelluxMenu::TakeOverOwnerItems() {
    TComponent* O = Owner();
    if (O == nullptr) return;
    for (int I = 0; I < O->ComponentCount(); ++I)
        if (auto* Item = dynamic_cast<TMenuItem*>(O->Components(I))) DrawMenuItem(Item);
}

void TPelluxMenu::Loaded() {
    TComponent::Loaded();
    if (!ComponentState().Contains(csDesigning)) TakeOverOwnerItems();
}

void TPelluxMenu::DrawMenuItem(TMenuItem* Item) {
    if (Item == nullptr || Item->OnAdvancedDrawItem) return;
    Item->OnMeasureItem = [this](TObject* Sender, TCanvas* C, int& W, int& H) {
        MeasureItem(static_cast<TMenuItem*>(Sender), C, W, H);
    };
    Item->OnAdvancedDrawItem = [this](TObject* Sender, TCanvas* C, const TRect& R, TOwnerDrawState S) {
        AdvancedDrawItem(static_cast<TMenuItem*>(Sender), C, R, S);
    };
    FreeNotification(Item);
    FMenuItemList.push_back(Item);
}

void TPelluxMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    auto It = std::find(FMenuItemList.begin(), FMenuItemList.end(), AComponent);
    if (It == FMenuItemList.end()) return;
    (*It)->OnMeasureItem = nullptr;
    (*It)->OnAdvancedDrawItem = nullptr;
    FMenuItemList.erase(It);
}

void TPelluxMenu::PrepareFont(TFont* Target, const TMenuItem* Item, bool Hot) const {
    Target->Assign(Hot ? FHotFont.get() : FFont.get());
    Target->SetSize(FFont->Size());
    ScaleFontByDPI(Application != nullptr ? Application->MainForm() : nullptr, Target);
    TFontStyles Style = Target->Style();
    if (Item->Default()) Style.Include(fsBold);
    Target->SetStyle(Style);
    if (!Item->Enabled()) Target->SetColor(DisabledText);
}

void TPelluxMenu::MeasureItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height) {
    if (Item == nullptr || dynamic_cast<TMainMenu*>(Item->GetParentMenu()) != nullptr) return;
    const int B = Scaled(FBorderOffset), G = Scaled(FGlyphBarWidth);
    if (Item->IsLine()) {
        Height = Scaled(3);
        return;
    }
    String Text = Item->Caption();
    if (Item->ShortCut() != 0) Text += ShortCutToText(Item->ShortCut());
    TFont Font;
    PrepareFont(&Font, Item, false);
    int TextWidth = 0;
    if (ACanvas != nullptr) {
        ACanvas->Font()->Assign(&Font);
        TRect R{0, 0, 0, 0};
        ACanvas->TextRect(R, Text.empty() ? String(u" ") : Text, {tfCalcRect, tfSingleLine});
        TextWidth = R.Width();
    }
    // A caption and its shortcut would touch in the widest row without the gap.
    Width = TextWidth + G + 2 * B + (Item->ShortCut() != 0 ? Scaled(ShortCutGap) : 0);
    TPelluxImage* Hilight = SkinResManager().GetImageByName(FMenu_hilight, true);
    Height = (Hilight != nullptr ? Hilight->Height() : Scaled(22)) + B / 2;
    const std::vector<TMenuItem*> Shown = ShownMenuItems(Item->Parent());
    if (Shown.size() == 1)
        Height += B;
    else if (!Shown.empty() && (Shown.front() == Item || Shown.back() == Item))
        Height += B / 2;
}

void TPelluxMenu::DropClosedWindows() {
    std::erase_if(FMenuWnds,
                  [](const TMenuWndRec& R) { return !IsWindow(R.Handle) || !IsWindowVisible(R.Handle); });
}

const TMenuWnds& TPelluxMenu::MenuWnds() {
    DropClosedWindows();
    return FMenuWnds;
}

TMenuWndRec& TPelluxMenu::WindowRec(HWND Wnd, int Width, int Height) {
    DropClosedWindows();
    auto It = std::find_if(FMenuWnds.begin(), FMenuWnds.end(),
                           [Wnd](const TMenuWndRec& R) { return R.Handle == Wnd; });
    if (It != FMenuWnds.end() && It->hBit->Width() == Width && It->hBit->Height() == Height) return *It;
    if (It != FMenuWnds.end()) FMenuWnds.erase(It);
    TMenuWndRec Rec;
    Rec.Handle = Wnd;
    Rec.hBit = std::make_unique<TSurface32>();
    Rec.hBit->SetSize(Width, Height);
    Rec.hBit->Clear(0);
    const int Bw = Scaled(FBorderWidth);
    Rec.BgBmp32 = std::make_unique<TSurface32>();
    if (auto Bg = NineGridResize(SkinResManager().GetImageByName(FMenu_bk, true), Width - 2 * Bw,
                                 Height - 2 * Bw)) {
        Rec.BgBmp32->SetSize(Bg->Width(), Bg->Height());
        CopyBox(Bg.get(), Rec.BgBmp32.get(), Rect(0, 0, Bg->Width(), Bg->Height()), TPoint{0, 0});
    }
    // The edge and shadow outside the items' boxes show from the first push on.
    CopyBox(Rec.BgBmp32.get(), Rec.hBit.get(), Rect(0, 0, Width, Height), TPoint{Bw, Bw});
    FMenuWnds.push_back(std::move(Rec));
    return FMenuWnds.back();
}

void TPelluxMenu::AdvancedDrawItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect,
                                   TOwnerDrawState State) {
    if (Item == nullptr || ACanvas == nullptr || dynamic_cast<TMainMenu*>(Item->GetParentMenu()) != nullptr)
        return;
    const HWND Wnd = WindowFromDC(ACanvas->Handle());
    if (Wnd == nullptr) return;
    const LONG_PTR Ex = GetWindowLongPtr(Wnd, GWL_EXSTYLE);
    if (!(Ex & WS_EX_LAYERED)) SetWindowLongPtr(Wnd, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
    RECT W;
    GetWindowRect(Wnd, &W);
    // The platform's item rectangles already lie inside the window's own frame, in window
    // coordinates: no offset is added.
    const int B = Scaled(FBorderOffset);
    const std::vector<TMenuItem*> Shown = ShownMenuItems(Item->Parent());
    const bool First = !Shown.empty() && Shown.front() == Item;
    const bool Last = !Shown.empty() && Shown.back() == Item;
    TRect Content = ARect;
    if (First) Content.Top += B / 2;
    if (Last) Content.Bottom -= B / 2;
    TMenuWndRec& Rec = WindowRec(Wnd, W.Width(), W.Height());
    const int Bw = Scaled(FBorderWidth);
    CopyBox(Rec.BgBmp32.get(), Rec.hBit.get(), ARect, TPoint{Bw, Bw});
    DrawContent(Rec.hBit.get(), Item, ARect, Content, State);
    PelluxMenuWindowDrawn(Wnd);
    // A paint redraws the items its rectangle meets, top to bottom; the lowest of them ends
    // it, whichever of them is selected (a highlight moving up repaints the old one last).
    RECT Clip;
    const bool LowestOfPaint =
        GetClipBox(ACanvas->Handle(), &Clip) != NULLREGION && ARect.Bottom >= Clip.Bottom;
    if (Last || State.Contains(odSelected) || LowestOfPaint) Push(Wnd, Rec, TPoint{W.Left, W.Top});
}

void TPelluxMenu::DrawContent(TSurface32* S, TMenuItem* Item, const TRect& Box, const TRect& Content,
                              TOwnerDrawState State) {
    const int B = Scaled(FBorderOffset), G = Scaled(FGlyphBarWidth), One = Scaled(1);
    const bool Enabled = Item->Enabled();
    const bool Selected = State.Contains(odSelected);
    const TRect Shrunk{Content.Left + B / 2 + One, Content.Top + One, Content.Right - B / 2 - One,
                       Content.Bottom - One};
    if (Item->IsLine()) {
        S->HorzLineS(Shrunk.Left, Shrunk.Top + One, Shrunk.Right - 1, ToColor32(FLineColor));
        return;
    }
    if (Selected && Enabled && Shrunk.Width() > 0 && Shrunk.Height() > 0)
        if (auto Hi = NineGridResize(SkinResManager().GetImageByName(FMenu_hilight, true), Shrunk.Width(),
                                     Shrunk.Height())) {
            Hi->SetDrawMode(dmBlend);
            Hi->DrawTo(S, Shrunk.Left, Shrunk.Top);
        }
    const int Mark = !Enabled ? 2 : Selected ? 1 : 0;
    if (Item->Count() > 0) {
        TPelluxImageArray Frames;
        SplitStrip(SkinResManager().GetImageByName(FMenu_SubArrow, true), 3, Frames);
        if (Frames.size() == 3) {
            const int Fw = Frames[0]->Width();
            DrawMark(
                FMenu_SubArrow, Mark,
                Rect(Box.Right - Fw - Scaled(4) - B, Content.Top, Box.Right - Scaled(4) - B, Content.Bottom),
                S);
        }
    }
    const TRect Glyph{Box.Left, Content.Top, Box.Left + G, Content.Bottom};
    TCustomImageList* Images = Item->GetImageList();
    const bool HasIcon = Images != nullptr && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count();
    if (HasIcon) {
        Images->Draw(S->Canvas(), (Glyph.Left + Glyph.Right - Images->Width()) / 2,
                     (Glyph.Top + Glyph.Bottom - Images->Height()) / 2, Item->ImageIndex(), Enabled);
    } else if (Item->Count() == 0 && Item->Checked()) {
        DrawMark(Item->RadioItem() ? FMenu_Radio : FMenu_Check, Mark, Glyph, S);
    }
    TFont Font;
    PrepareFont(&Font, Item, Selected || State.Contains(odHotLight));
    S->SetFont(&Font);
    const TColor32 Color = ToColor32(Font.Color());
    const TRect Text{Box.Left + G, Content.Top, Box.Right - B, Content.Bottom};
    UINT Flags = DT_SINGLELINE | DT_VCENTER;
    if (Item->BiDiMode() != bdLeftToRight) Flags |= DT_RIGHT;
    S->RenderText(Text, Flags, Item->Caption(), 0, Color);
    if (Item->ShortCut() != 0) {
        // Right-aligned inside the highlight's rounded end.
        const TRect Keys{Text.Left, Text.Top, Box.Right - B / 2 - Scaled(4), Text.Bottom};
        S->RenderText(Keys, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX,
                      ShortCutToText(Item->ShortCut()), 0, Color);
    }
}

void TPelluxMenu::Push(HWND Wnd, TMenuWndRec& Rec, TPoint At) {
    TSurface32 Pre;
    QvPremultiply(*Rec.hBit, Pre);
    const int W = Pre.Width(), H = Pre.Height();
    if (W != Rec.hBit->Width() || H != Rec.hBit->Height()) return;
    const POINT Pos{At.X, At.Y};
    const SIZE Size{W, H};
    const POINT Zero{0, 0};
    BLENDFUNCTION Blend;
    Blend.AlphaFormat = AC_SRC_ALPHA;
    UpdateLayeredWindow(Wnd, nullptr, &Pos, &Size, Pre.Handle(), &Zero, 0, &Blend, ULW_ALPHA);
}

void RegisterPelluxMenu() {
    using M = TPelluxMenu;
    RegisterClass<M, TComponent>(u"TPelluxMenu")
        .Object(u"Font", &M::Font)
        .Object(u"HotFont", &M::HotFont)
        .Color(u"LineColor", &M::LineColor, &M::SetLineColor, TColor{12895428})
        .Prop(u"Menu_bk", &M::Menu_bk, &M::SetMenu_bk, u"PelluxMenu_bk")
        .Prop(u"Menu_hilight", &M::Menu_hilight, &M::SetMenu_hilight, u"PelluxMenu_hilight")
        .Prop(u"Menu_Check", &M::Menu_Check, &M::SetMenu_Check, u"PelluxMenu_icon_check")
        .Prop(u"Menu_Radio", &M::Menu_Radio, &M::SetMenu_Radio, u"PelluxMenu_icon_radio")
        .Prop(u"Menu_SubArrow", &M::Menu_SubArrow, &M::SetMenu_SubArrow, u"PelluxMenu_sub_arrow")
        .Prop(u"BorderOffset", &M::BorderOffset, &M::SetBorderOffset, 6)
        .Prop(u"BorderWidth", &M::BorderWidth, &M::SetBorderWidth, 0)
        .Prop(u"GlyphBarWidth", &M::GlyphBarWidth, &M::SetGlyphBarWidth, 31);
}
