#include "controls/uPelluxButton.h"

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "draw/uPelluxStrips.h"
#include "draw/uPelluxText.h"
#include "framework/uQvForms.h"
#include "framework/uQvMenus.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvInput.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPos.h"

namespace {

bool NoModifiers(LPARAM KeyData) {
    const TShiftState S = KeyDataToShiftState(KeyData);
    return !S.Contains(ssAlt) && !S.Contains(ssCtrl) && !S.Contains(ssShift);
}

}  // namespace

// ---- TQvBtnItemOffset -----------------------------------------------------------------

void TQvBtnItemOffset::SetX(int Value) {
    if (FX == Value) return;
    FX = Value;
    Changed();
}

void TQvBtnItemOffset::SetY(int Value) {
    if (FY == Value) return;
    FY = Value;
    Changed();
}

void TQvBtnItemOffset::Assign(const TPersistent* Source) {
    if (const auto* O = dynamic_cast<const TQvBtnItemOffset*>(Source)) {
        SetX(O->FX);
        SetY(O->FY);
        return;
    }
    TPersistent::Assign(Source);
}

void TQvBtnItemOffset::Changed() {
    if (FOwner != nullptr) FOwner->Invalidate();
}

// ---- TPelluxCustomButton --------------------------------------------------------------

TPelluxCustomButton::TPelluxCustomButton(TComponent* AOwner)
    : TPelluxCustomControl(AOwner),
      FHotFont(std::make_unique<TFont>()),
      FDropdownMenuOffset(std::make_unique<TQvBtnItemOffset>(this, -4, -4)),
      FPictures(std::make_unique<TPngPictures>()),
      FLayers(std::make_unique<TPngPictures>()),
      FArrow(std::make_unique<TPngPictures>()),
      FLayersOffset(std::make_unique<TQvBtnItemOffset>(this)),
      FImageOffset(std::make_unique<TQvBtnItemOffset>(this)),
      FCaptionOffset(std::make_unique<TQvBtnItemOffset>(this)),
      FRepeatDelay(std::make_unique<TSimpleTimer>(300, nullptr)),
      FRepeat(std::make_unique<TSimpleTimer>(10, nullptr)) {
    SetControlStyle(ControlStyle() + csCaptureMouse + csDoubleClicks + csSetCaption - csClickEvents);
    SetTabStop(true);
    SetBounds(Left(), Top(), 75, 25);
    SetAutoInvalidate(true);
    FArrow->SetImage(u"PelluxDropdownMenu");
    FArrow->SetCount(4);
    FArrow->SetNormal(0);
    FArrow->SetHot(1);
    FArrow->SetPressed(2);
    const auto Repaint = [this](TObject*) { Invalidate(); };
    FPictures->SetPicturesChanged(Repaint);
    FLayers->SetPicturesChanged(Repaint);
    FHotFont->OnChange = Repaint;
    FPress.OnChange = [this] { Invalidate(); };
    FRepeatDelay->SetOnTimer([this](TObject*) {
        FRepeatDelay->SetEnabled(false);
        FRepeat->SetEnabled(true);
    });
    FRepeat->SetOnTimer([this](TObject*) {
        if (FCycleDownClick && OnCycleDownClick) OnCycleDownClick(this);
    });
}

TPelluxCustomButton::~TPelluxCustomButton() = default;

void TPelluxCustomButton::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    if (Value) ReleaseGroupSiblings();
    Invalidate();
}

void TPelluxCustomButton::SetGroupIndex(int Value) {
    Change(FGroupIndex, Value);
}

void TPelluxCustomButton::SetPressedOffset(int Value) {
    Change(FPressedOffset, Value);
}

void TPelluxCustomButton::SetShowFocusFrame(bool Value) {
    Change(FShowFocusFrame, Value);
}

void TPelluxCustomButton::SetLayerMode(bool Value) {
    Change(FLayerMode, Value);
}

void TPelluxCustomButton::SetCaptionVisible(bool Value) {
    Change(FCaptionVisible, Value);
}

void TPelluxCustomButton::SetStreach(bool Value) {
    Change(FStreach, Value);
}

void TPelluxCustomButton::SetDropdownMenu(TPopupMenu* Value) {
    if (FDropdownMenu == Value) return;
    if (FDropdownMenu != nullptr) FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value != nullptr) Value->FreeNotification(this);
    UpdateArrowRect();
    Invalidate();
}

void TPelluxCustomButton::Notification(TComponent* AComponent, TOperation Operation) {
    TPelluxCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropdownMenu) {
        FDropdownMenu = nullptr;
        FMouseInArrow = FPressedInArrow = false;
        Invalidate();
    }
}

void TPelluxCustomButton::SetDefault(bool Value) {
    FDefault = Value;
    if (!FCanFocused) return;
    TWinControl* Root = GetRootControl(this);
    FocusChanged(Root != nullptr ? Root->ActiveControl() : nullptr);
}

void TPelluxCustomButton::SetActive(bool Value) {
    Change(FActive, Value);
}

void TPelluxCustomButton::FocusChanged(TWinControl* NowFocused) {
    const bool Family = dynamic_cast<TPelluxCustomButton*>(NowFocused) != nullptr;
    SetActive(Family ? NowFocused == this : FDefault);
    // A default button that loses the Enter key to another button drops its hover look,
    // so only one button shows it.
    if (FDefault && FCanFocused && Family && NowFocused != this && FPress.Inside()) FPress.Cancel();
}

void TPelluxCustomButton::ReleaseGroupSiblings() {
    TWinControl* P = Parent();
    if (P == nullptr) return;
    for (int I = 0; I < P->ControlCount(); ++I)
        if (auto* B = dynamic_cast<TPelluxCustomButton*>(P->Controls(I));
            B != nullptr && B != this && B->FGroupIndex == FGroupIndex)
            B->SetDown(false);
}

void TPelluxCustomButton::Click() {
    FLastClick = GetTickCount64();
    FLastClickValid = true;
    if (FCanFocused)
        if (TCustomForm* Form = GetParentForm(this); Form != nullptr && Form->Modal())
            Form->SetModalResult(FModalResult);
    TPelluxCustomControl::Click();
}

void TPelluxCustomButton::StopRepeat() {
    FRepeatDelay->SetEnabled(false);
    FRepeat->SetEnabled(false);
}

void TPelluxCustomButton::UpdateArrowRect() {
    if (FDropdownMenu == nullptr) return;
    const TRect C = ClientRect();
    FArrowRect = C;
    FArrowRect.Left = C.Right - FArrow->GetSingleWidth() - ScaleByDPI(this, 2);
}

void TPelluxCustomButton::Resize() {
    TPelluxCustomControl::Resize();
    UpdateArrowRect();
}

void TPelluxCustomButton::ScaledForPPI(int NewPPI) {
    UpdateArrowRect();
    TPelluxCustomControl::ScaledForPPI(NewPPI);
}

// ---- mouse ----------------------------------------------------------------------------

void TPelluxCustomButton::MouseEntered() {
    TPelluxCustomControl::MouseEntered();
    if (FIgnoreMouse || Designing()) return;
    FPress.Enter();
}

void TPelluxCustomButton::MouseLeft() {
    TPelluxCustomControl::MouseLeft();
    if (FIgnoreMouse || Designing()) return;
    FMouseInArrow = FPressedInArrow = false;
    FPress.Leave();
    Invalidate();
}

void TPelluxCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
    TPelluxCustomControl::MouseMove(Shift, X, Y);
    if (FIgnoreMouse || FDropdownMenu == nullptr) return;
    const bool In = PtInRect(FArrowRect, TPoint{X, Y});
    if (In == FMouseInArrow) return;
    FMouseInArrow = In;
    Invalidate();
}

void TPelluxCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FIgnoreMouse) {
        TPelluxCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    const TQvAliveCheck Alive = AliveCheck();
    if (Button == mbLeft && FCanFocused && CanFocus() && !Focused() && !Designing()) {
        SetFocus();
        if (!Alive.Alive()) return;
    }
    if (FGroupIndex > 0 && !FDown && !FAllowAllUp) SetDown(true);
    TPelluxCustomControl::MouseDown(Button, Shift, X, Y);
    if (!Alive.Alive() || Button != mbLeft) return;
    if (FMouseInArrow) {
        OpenDropdownMenu();
        return;
    }
    if (FDropdownMenu != nullptr && PtInRect(FArrowRect, TPoint{X, Y})) return;
    // The button latches first and the menu opens last: the menu's loop swallows the
    // release, so what the press set up is undone once the menu is gone.
    const bool OpensMenu = !OnClick && FDropdownMenu != nullptr;
    if (!OpensMenu) FRepeatDelay->SetEnabled(true);
    FPress.Press();
    if (!FDown && !FAllowAllUp) SetDown(true);
    if (OpensMenu) OpenDropdownMenu();
}

void TPelluxCustomButton::OpenDropdownMenu() {
    if (FDropdownMenu == nullptr) return;
    const TQvAliveCheck Alive = AliveCheck();
    FPressedInArrow = true;
    Invalidate();
    TPoint P{Left() + FDropdownMenuOffset->X(), Top() + Height() + FDropdownMenuOffset->Y()};
    if (Parent() != nullptr) P = Parent()->ClientToScreen(P);
    FDropdownMenu->Popup(P.X, P.Y);
    if (!Alive.Alive()) return;
    StopRepeat();
    FPressedInArrow = false;
    POINT Cursor;
    const bool Inside = HandleAllocated() && GetCursorPos(&Cursor) && WindowFromPoint(Cursor) == Handle();
    FPress.Release(Inside);
    FMouseInArrow = Inside && FMouseInArrow;
    SetDown(false);
    Invalidate();
}

void TPelluxCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomControl::MouseUp(Button, Shift, X, Y);
    if (!Alive.Alive() || FIgnoreMouse || Button != mbLeft) return;
    StopRepeat();
    const bool WasDown = FDown;
    POINT Cursor;
    const bool Inside = HandleAllocated() && GetCursorPos(&Cursor) && WindowFromPoint(Cursor) == Handle();
    FPress.Release(Inside);
    if (FGroupIndex == 0) {
        SetDown(false);
        if (Inside && (WasDown || FDropdownMenu == nullptr)) Click();
    } else if (Inside) {
        SetDown(FAllowAllUp ? !WasDown : true);
        Click();
    }
    if (!Alive.Alive()) return;
    if (FDropdownMenu != nullptr) FPressedInArrow = false;
    Invalidate();
}

// ---- keys -----------------------------------------------------------------------------

void TPelluxCustomButton::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomControl::KeyDown(Key, Shift);
    if (!Alive.Alive() || !FCanFocused) return;
    if (Key == VK_SPACE)
        SetDown(true);
    else if (Key == VK_RETURN)
        Click();
}

void TPelluxCustomButton::KeyUp(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomControl::KeyUp(Key, Shift);
    if (!Alive.Alive() || !FCanFocused || Key != VK_SPACE) return;
    SetDown(false);
    Click();
}

void TPelluxCustomButton::WndProc(TMessage& M) {
    switch (M.Msg) {
        case CM_DIALOGKEY:
            if ((M.WParam == VK_RETURN && FActive && Enabled()) ||
                (M.WParam == VK_ESCAPE && FCancel && FCanFocused && NoModifiers(M.LParam) && CanFocus())) {
                M.Result = 1;
                Click();
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<WORD>(M.WParam), Caption()) && CanFocus() && FCanFocused) {
                M.Result = 1;
                // A mnemonic held down repeats; clicks closer than 100 ms count once.
                if (!FLastClickValid || GetTickCount64() - FLastClick > 100 || FCycleDownClick) Click();
                return;
            }
            break;
        case CM_FOCUSCHANGED:
            FocusChanged(reinterpret_cast<TWinControl*>(M.LParam));
            break;
        case WM_KILLFOCUS:
        case WM_SETFOCUS:
            if (FShowFocusFrame) Invalidate();
            break;
        case WM_CAPTURECHANGED:
            StopRepeat();
            break;
        default:
            break;
    }
    TPelluxCustomControl::WndProc(M);
}

// ---- painting -------------------------------------------------------------------------

bool TPelluxCustomButton::FetchFrame(TPngPictures* Strip, TQvVisualState State, TPelluxImage& Frame) {
    if (!Strip->Active()) return false;
    switch (State) {
        case TQvVisualState::Hot: return Strip->GetHotImage(&Frame);
        case TQvVisualState::Disabled: return Strip->GetDisableImage(&Frame);
        case TQvVisualState::Pressed: return Strip->GetPressedImage(&Frame);
        case TQvVisualState::Normal: break;
    }
    return Strip->GetNormalImage(&Frame);
}

void TPelluxCustomButton::PrepareHotFont() {
    const auto Saved = FHotFont->OnChange;
    FHotFont->OnChange = nullptr;
    CopyFontKeepStyle(Font(), FHotFont.get());
    FHotFont->OnChange = Saved;
}

void TPelluxCustomButton::DrawCaptionText(TSurface32* Bitmap, TRect R, TFont* TextFont, TColor DisabledColor) {
    Bitmap->SetFont(TextFont);
    if (!Enabled()) Bitmap->Font()->SetColor(DisabledColor);
    UINT Flags = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE;
    if (FWordWrap) {
        Flags &= ~static_cast<UINT>(DT_SINGLELINE);
        const int LineHeight = Bitmap->TextHeight(Caption());
        R.Top = (R.Bottom - R.Top - LineHeight) / 2;
    }
    Bitmap->Textout(R, Flags, Caption());
}

void TPelluxCustomButton::DrawLayers(TSurface32* Bitmap) {
    TPelluxImage Frame;
    const TQvVisualState S = VisualState();
    if (!FetchFrame(FLayers.get(), S, Frame)) return;
    int X = ScaleByDPI(this, FLayersOffset->X()), Y = ScaleByDPI(this, FLayersOffset->Y());
    if (S == TQvVisualState::Pressed) {
        X += FPressedOffset;
        Y += FPressedOffset;
    }
    Frame.SetDrawMode(dmBlend);
    Frame.DrawTo(Bitmap, X, Y);
}

void TPelluxCustomButton::DrawDropdownArrow(TSurface32* Bitmap) {
    if (FDropdownMenu == nullptr) return;
    TPelluxImage Frame;
    const bool Got = FPressedInArrow  ? FArrow->GetPressedImage(&Frame)
                     : FMouseInArrow ? FArrow->GetHotImage(&Frame)
                                     : FArrow->GetNormalImage(&Frame);
    if (!Got) return;
    TSurface32* Draw = &Frame;
    std::unique_ptr<TPelluxImage> Band;
    const int Room = Height() - ScaleByDPI(this, 4);
    if (Frame.Height() > Room) {
        Band = CropMiddleBand(&Frame, Room, Frame.Width());
        Draw = Band.get();
    }
    Draw->SetDrawMode(dmBlend);
    Draw->DrawTo(Bitmap, FArrowRect.Left, (Height() - Draw->Height()) / 2);
}

void TPelluxCustomButton::DrawSkin(TSurface32* Buffer) {
    const TRect Client = ClientRect();
    TRect C = Client;
    C.Left += ScaleByDPI(this, FCaptionOffset->X());
    C.Top += ScaleByDPI(this, FCaptionOffset->Y());
    TPoint I{Client.Left + ScaleByDPI(this, FImageOffset->X()), Client.Top + ScaleByDPI(this, FImageOffset->Y())};
    const TQvVisualState S = VisualState();
    if (S == TQvVisualState::Pressed) {
        C.Left += FPressedOffset + 1;
        C.Bottom += FPressedOffset;
        I.X += FPressedOffset;
    }
    TPelluxImage Frame;
    if (FetchFrame(FPictures.get(), S, Frame)) {
        Frame.SetDrawMode(dmBlend);
        if (FStreach)
            Frame.DrawTo(Buffer, Client);
        else
            Frame.DrawTo(Buffer, I.X, I.Y);
    }
    if (FLayerMode) DrawLayers(Buffer);
    DrawDropdownArrow(Buffer);
    if (FCaptionVisible) {
        PrepareHotFont();
        DrawCaptionText(Buffer, C, S == TQvVisualState::Hot ? FHotFont.get() : Font(), RGB(178, 178, 178));
    }
    DrawOverlay(Buffer);
    if (OnCustomPaint) OnCustomPaint(this, Buffer);
}

// ---- TPelluxButton --------------------------------------------------------------------

TPelluxButton::TPelluxButton(TComponent* AOwner) : TPelluxCustomButton(AOwner) {
    SetCaptionVisible(true);
    TPngPictures* P = Pictures();
    P->SetImage(u"PelluxButton");
    P->SetCount(5);
    P->SetNormal(0);
    P->SetHot(1);
    P->SetPressed(2);
    P->SetDisable(3);
    P->SetActive(true);
    SetBounds(Left(), Top(), 75, 27);
}

void TPelluxButton::DrawSkin(TSurface32* Buffer) {
    TRect C = ClientRect();
    const TQvVisualState S = VisualState();
    if (S == TQvVisualState::Pressed) OffsetRect(C, PressedOffset(), PressedOffset());
    TPelluxImage Frame;
    if (FetchFrame(Pictures(), S, Frame)) {
        Frame.SetDrawMode(dmBlend);
        DrawNineGridThirds(&Frame, Buffer, false);
    }
    if (LayerMode()) DrawLayers(Buffer);
    DrawDropdownArrow(Buffer);
    C.Right -= ArrowWidth();
    if (CaptionVisible()) {
        PrepareHotFont();
        DrawCaptionText(Buffer, C, S == TQvVisualState::Hot ? HotFont() : Font(), RGB(178, 178, 178));
    }
    DrawOverlay(Buffer);
    if (OnCustomPaint) OnCustomPaint(this, Buffer);
}

// ---- registration ---------------------------------------------------------------------

namespace {

template <typename T>
void PublishCommon(TClassBuilder<T>&& B) {
    B.Prop(u"AllowAllUp", &T::AllowAllUp, &T::SetAllowAllUp, false)
        .Prop(u"IgnoreMouse", &T::IgnoreMouse, &T::SetIgnoreMouse, false)
        .Prop(u"CycleDownClick", &T::CycleDownClick, &T::SetCycleDownClick, false)
        .Prop(u"WordWrap", &T::WordWrap, &T::SetWordWrap, false)
        .Prop(u"Down", &T::Down, &T::SetDown, false)
        .Object(u"HotFont", &T::HotFont)
        .Prop(u"GroupIndex", &T::GroupIndex, &T::SetGroupIndex, 0)
        .Object(u"DropdownMenuOffset", &T::DropdownMenuOffset)
        .Prop(u"PressedOffset", &T::PressedOffset, &T::SetPressedOffset, 1)
        .Prop(u"CanFocused", &T::CanFocused, &T::SetCanFocused, true)
        .Prop(u"Default", &T::Default, &T::SetDefault, false)
        .Prop(u"Cancel", &T::Cancel, &T::SetCancel, false)
        .Prop(u"ModalResult", &T::ModalResult, &T::SetModalResult, mrNone)
        .Prop(u"ShowFocusFrame", &T::ShowFocusFrame, &T::SetShowFocusFrame, false)
        .Object(u"Pictures", &T::Pictures)
        .template Component<TPopupMenu>(u"DropdownMenu", &T::DropdownMenu, &T::SetDropdownMenu)
        .Prop(u"LayerMode", &T::LayerMode, &T::SetLayerMode, false)
        .Object(u"Layers", &T::Layers)
        .Object(u"LayersOffset", &T::LayersOffset);
}

}  // namespace

void RegisterPelluxButtons() {
    RegisterPngPictures();
    RegisterClass<TQvBtnItemOffset, TPersistent>(u"TQvBtnItemOffset")
        .Prop(u"X", &TQvBtnItemOffset::X, &TQvBtnItemOffset::SetX, 0)
        .Prop(u"Y", &TQvBtnItemOffset::Y, &TQvBtnItemOffset::SetY, 0);
    RegisterClass<TPelluxCustomButton, TCustomControl>(u"TPelluxCustomButton");
    auto Image = RegisterClass<TPelluxImageButton, TPelluxCustomButton>(u"TPelluxImageButton");
    Image.Prop(u"Streach", &TPelluxImageButton::Streach, &TPelluxImageButton::SetStreach, false)
        .Prop(u"CaptionVisible", &TPelluxImageButton::CaptionVisible, &TPelluxImageButton::SetCaptionVisible, false)
        .Object(u"CaptionOffset", &TPelluxImageButton::CaptionOffset)
        .Object(u"ImageOffset", &TPelluxImageButton::ImageOffset);
    PublishCommon(std::move(Image));
    auto Button = RegisterClass<TPelluxButton, TPelluxCustomButton>(u"TPelluxButton");
    Button.Prop(u"CaptionVisible", &TPelluxButton::CaptionVisible, &TPelluxButton::SetCaptionVisible, true);
    PublishCommon(std::move(Button));
}
