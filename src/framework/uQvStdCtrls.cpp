#include "framework/uQvStdCtrls.h"

#include "framework/uQvForms.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvFont.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvInput.h"

namespace {

// The plain look: white faces, a light grey frame, the accent blue for what takes a key.
constexpr TColor FaceNormal = RGB(0xFD, 0xFD, 0xFD);
constexpr TColor FaceHot = RGB(0xE5, 0xF1, 0xFB);
constexpr TColor FaceDown = RGB(0xCC, 0xE4, 0xF7);
constexpr TColor FaceDisabled = RGB(0xF4, 0xF4, 0xF4);
constexpr TColor FrameNormal = RGB(0xAD, 0xAD, 0xAD);
constexpr TColor FrameDisabled = RGB(0xD6, 0xD6, 0xD6);
constexpr TColor Accent = RGB(0x00, 0x78, 0xD7);
constexpr TColor TextDisabled = RGB(0xA0, 0xA0, 0xA0);

bool NoModifiers(LPARAM KeyData) {
    const TShiftState S = KeyDataToShiftState(KeyData);
    return !S.Contains(ssAlt) && !S.Contains(ssCtrl);
}

}  // namespace

// ---- TButton --------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    // Without a focused button the default one is the active one.
    TWinControl* Root = GetRootControl(this);
    TWinControl* Focus = Root != nullptr ? Root->ActiveControl() : nullptr;
    if (dynamic_cast<TButton*>(Focus) == nullptr) SetActive(Value);
}

void TButton::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    Invalidate();
}

void TButton::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    Invalidate();
}

void TButton::Click() {
    SetDown(false);
    FSpaceDown = false;
    if (FModalResult != mrNone)
        if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
    TCustomControl::Click();
}

void TButton::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE) {
        FSpaceDown = true;
        SetDown(true);
    }
}

void TButton::KeyUp(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TCustomControl::KeyUp(Key, Shift);
    if (!Alive.Alive() || Key != VK_SPACE || !FSpaceDown) return;
    FSpaceDown = false;
    SetDown(false);
    Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        FMouseDown = true;
        SetDown(true);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FMouseDown) SetDown(PtInRect(GetClientRect(), TPoint{X, Y}));
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        FMouseDown = false;
        SetDown(false);
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButton::WndProc(TMessage& M) {
    switch (M.Msg) {
        case CM_DIALOGKEY:
            if (((M.WParam == VK_RETURN && FActive) || (M.WParam == VK_ESCAPE && FCancel)) &&
                NoModifiers(M.LParam) && CanFocus()) {
                M.Result = 1;
                Click();
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<WORD>(M.WParam), Caption()) && CanFocus()) {
                M.Result = 1;
                const TQvAliveCheck Alive = AliveCheck();
                SetFocus();
                if (Alive.Alive()) Click();
                return;
            }
            break;
        case CM_FOCUSCHANGED: {
            auto* Now = reinterpret_cast<TWinControl*>(M.LParam);
            SetActive(dynamic_cast<TButton*>(Now) != nullptr ? Now == this : FDefault);
            break;
        }
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (reinterpret_cast<TControl*>(M.LParam) == this) {
                FHot = M.Msg == CM_MOUSEENTER;
                Invalidate();
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (M.Msg == WM_KILLFOCUS && FSpaceDown) {
                FSpaceDown = false;
                SetDown(false);
            }
            Invalidate();
            break;
        default:
            break;
    }
    TCustomControl::WndProc(M);
}

void TButton::Paint() {
    TCanvas* C = Canvas();
    const TRect R = GetClientRect();
    const bool On = Enabled();
    const bool Focus = On && HandleAllocated() && Focused();
    C->Brush()->SetColor(!On ? FaceDisabled : FDown ? FaceDown : FHot ? FaceHot : FaceNormal);
    C->FillRect(R);
    C->Brush()->SetColor(!On ? FrameDisabled : (FActive || FHot || FDown) ? Accent : FrameNormal);
    C->FrameRect(R);
    if (Focus) C->FrameRect(Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1));
    C->SetFont(Font());
    if (!On) C->Font()->SetColor(TextDisabled);
    C->Brush()->SetStyle(bsClear);
    TRect T = R;
    C->TextRect(T, Caption(), TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
}

// ---- TLabel ---------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(ControlStyle() + csReplicatable);
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl != nullptr) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

UINT TLabel::TextFlags() const {
    UINT F = DT_EXPANDTABS;
    F |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (FWordWrap) F |= DT_WORDBREAK;
    if (!FShowAccelChar) F |= DT_NOPREFIX;
    return F;
}

TRect TLabel::MeasureText(int Width) const {
    const HDC Dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ Old = SelectObject(Dc, Font()->Handle());
    RECT R = Rect(0, 0, Width, 0);
    // An empty caption still takes one line.
    const String Text = Caption().empty() ? String(u" ") : Caption();
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &R, TextFlags() | DT_CALCRECT);
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    return R;
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    const TRect R = MeasureText(FWordWrap ? Width() : 0);
    int X = Left();
    if (!FWordWrap) {
        if (FAlignment == taRightJustify) X += Width() - R.Width();
        if (FAlignment == taCenter) X += (Width() - R.Width()) / 2;
    }
    SetBounds(X, Top(), R.Width(), R.Height());
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::WndProc(TMessage& M) {
    switch (M.Msg) {
        case CM_DIALOGCHAR:
            if (FShowAccelChar && FFocusControl != nullptr && IsAccel(static_cast<WORD>(M.WParam), Caption()) &&
                FFocusControl->CanFocus()) {
                FFocusControl->SetFocus();
                M.Result = 1;
                return;
            }
            break;
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            AdjustBounds();
            break;
        default:
            break;
    }
    TGraphicControl::WndProc(M);
}

void TLabel::Paint() {
    TCanvas* C = Canvas();
    TRect R = GetClientRect();
    if (!FTransparent) {
        C->Brush()->SetColor(Color());
        C->FillRect(R);
    }
    C->SetFont(Font());
    if (!Enabled()) C->Font()->SetColor(TextDisabled);
    C->Brush()->SetStyle(bsClear);
    if (FLayout != tlTop) {
        const int Free = R.Height() - MeasureText(FWordWrap ? R.Width() : 0).Height();
        R.Top += FLayout == tlCenter ? Free / 2 : Free;
    }
    const HDC Dc = C->Handle();
    DrawTextW(Dc, Caption().c_str(), static_cast<int>(Caption().size()), &R, TextFlags());
}

void RegisterQvStdCtrls() {
    RegisterEnum<TAlignment>(u"TAlignment", {u"taLeftJustify", u"taRightJustify", u"taCenter"});
    RegisterEnum<TTextLayout>(u"TTextLayout", {u"tlTop", u"tlCenter", u"tlBottom"});
    RegisterClass<TButton, TCustomControl>(u"TButton")
        .Prop(u"Cancel", &TButton::Cancel, &TButton::SetCancel, false)
        .Prop(u"Default", &TButton::Default, &TButton::SetDefault, false)
        .Prop(u"ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone);
    RegisterClass<TLabel, TGraphicControl>(u"TLabel")
        .Prop(u"Alignment", &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify)
        .Prop(u"AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
        .Component<TWinControl>(u"FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl)
        .Prop(u"Layout", &TLabel::Layout, &TLabel::SetLayout, tlTop)
        .Prop(u"ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true)
        .Prop(u"Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
        .Prop(u"WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);
}
