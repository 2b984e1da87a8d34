#include "controls/uPelluxCheckBox.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxStrips.h"
#include "draw/uPelluxText.h"
#include "framework/uQvRegistry.h"
#include "platform/uQvDrawText.h"

namespace {

bool IsArrow(WPARAM Key) {
    return Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
}

}  // namespace

// ---- TPelluxToggleBase ----------------------------------------------------------------

TPelluxToggleBase::TPelluxToggleBase(TComponent* AOwner, const TQvResID& DefaultPictures)
    : TPelluxCustomControl(AOwner), FPictures(DefaultPictures), FLight(std::make_unique<TQvLightClass>()) {
    SetTabStop(true);
    SetBounds(Left(), Top(), 113, 17);
    FLight->OnChanged = [this](TObject*) { Invalidate(); };
    FPress.OnChange = [this] { Invalidate(); };
}

TPelluxToggleBase::~TPelluxToggleBase() = default;

void TPelluxToggleBase::SetPictures(const TQvResID& Value) {
    Change(FPictures, Value);
}

void TPelluxToggleBase::SetLight(const TQvLightClass* Value) {
    if (Value != nullptr) FLight->Assign(Value);
}

void TPelluxToggleBase::SetBiDiMode(TBiDiMode Value) {
    Change(FBiDiMode, Value);
}

void TPelluxToggleBase::DoChanged() {
    if (OnChanged) OnChanged(this);
}

void TPelluxToggleBase::MouseEntered() {
    TPelluxCustomControl::MouseEntered();
    FPress.Enter();
}

void TPelluxToggleBase::MouseLeft() {
    TPelluxCustomControl::MouseLeft();
    FPress.Leave();
}

bool TPelluxToggleBase::FocusOnPress() {
    const TQvAliveCheck Alive = AliveCheck();
    if (!Designing() && CanFocus() && !Focused()) SetFocus();
    return Alive.Alive();
}

void TPelluxToggleBase::WndProc(TMessage& M) {
    switch (M.Msg) {
        case CM_DIALOGCHAR:
            // The mnemonic only focuses; it never changes the state.
            if (IsAccel(static_cast<WORD>(M.WParam), Caption()) && CanFocus()) {
                SetFocus();
                M.Result = 1;
                return;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            break;
        default:
            break;
    }
    TPelluxCustomControl::WndProc(M);
}

void TPelluxToggleBase::DrawSkin(TSurface32* Buffer) {
    TPelluxImageArray Frames;
    SplitStrip(SkinResManager().GetImageByName(FPictures, true), 4, Frames);
    const int Index = FrameIndex();
    // A missing image leaves only the background: no box and no caption.
    if (Index < 0 || Index >= static_cast<int>(Frames.size())) return;
    TPelluxImage* Frame = Frames[static_cast<size_t>(Index)].get();
    const bool RightToLeft = FBiDiMode == bdRightToLeft;
    const int W = Width(), H = Height(), FW = Frame->Width();
    Frame->DrawTo(Buffer, RightToLeft ? W - FW : 0, H / 2 - Frame->Height() / 2);

    const int Gap = CaptionGap();
    const TRect R = RightToLeft ? Rect(0, 0, W - FW - Gap, H) : Rect(FW + Gap, 0, W, H);
    UINT Flags = DT_VCENTER | DT_SINGLELINE;
    if (RightToLeft) Flags |= DT_RIGHT;
    Buffer->SetFont(Font());
    Buffer->Canvas()->Font()->Assign(Font());
    if (FLight->Active())
        DrawGlowText(Buffer->Canvas(), R, Caption(), FLight->BlurRadius(), FLight->Color(), Flags);
    if (!Enabled()) Buffer->Font()->SetColor(RGB(209, 209, 209));
    Buffer->Textout(R, Flags, Caption());
}

// ---- TPelluxCheckBox ------------------------------------------------------------------

TPelluxCheckBox::TPelluxCheckBox(TComponent* AOwner) : TPelluxToggleBase(AOwner, u"PelluxCheckBox") {}

void TPelluxCheckBox::SetChecked(bool Value) {
    if (Checked() == Value) return;
    StoreChecked(Value);
    Invalidate();
    DoChanged();
}

int TPelluxCheckBox::FrameIndex() const {
    return (Checked() ? 2 : 0) + (Hovered() ? 1 : 0);
}

int TPelluxCheckBox::CaptionGap() const {
    return ScaleByDPI(this, 3);
}

void TPelluxCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    if (Button == mbLeft) {
        if (!FocusOnPress()) return;
        Press().Press();
        SetChecked(!Checked());
        if (!Alive.Alive()) return;
    }
    TPelluxToggleBase::MouseDown(Button, Shift, X, Y);
}

void TPelluxCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) Press().Release(PtInRect(ClientRect(), TPoint{X, Y}));
    TPelluxToggleBase::MouseUp(Button, Shift, X, Y);
}

void TPelluxCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxToggleBase::KeyDown(Key, Shift);
    if (Alive.Alive() && Key == VK_SPACE) SetChecked(!Checked());
}

// ---- TPelluxRadioBox ------------------------------------------------------------------

TPelluxRadioBox::TPelluxRadioBox(TComponent* AOwner) : TPelluxToggleBase(AOwner, u"PelluxRadiobtn") {}

void TPelluxRadioBox::SetChecked(bool Value) {
    if (Checked() != Value) {
        const TQvAliveCheck Alive = AliveCheck();
        StoreChecked(Value);
        FOldChecked = Value;
        if (Value) {
            if (!UncheckGroup()) return;
            // Reports nothing: the state was just recorded as reported.
            Click();
            if (!Alive.Alive()) return;
        }
        DoChanged();
        if (!Alive.Alive()) return;
    }
    Invalidate();
}

bool TPelluxRadioBox::UncheckGroup() {
    const TQvAliveCheck Alive = AliveCheck();
    TWinControl* P = Parent();
    if (P == nullptr) return true;
    std::vector<std::pair<TPelluxRadioBox*, TQvAliveCheck>> Others;
    for (int I = 0; I < P->ControlCount(); ++I)
        if (auto* R = dynamic_cast<TPelluxRadioBox*>(P->Controls(I));
            R != nullptr && R != this && R->FGroupIndex == FGroupIndex)
            Others.emplace_back(R, R->AliveCheck());
    for (auto& [R, RAlive] : Others) {
        // Handlers of the others may free boxes or move them away.
        if (RAlive.Alive() && R->Parent() == P) R->SetChecked(false);
        if (!Alive.Alive()) return false;
    }
    return true;
}

int TPelluxRadioBox::FrameIndex() const {
    static constexpr int Frames[2][2] = {{0, 3}, {1, 2}};
    return Frames[Checked() ? 1 : 0][Hovered() ? 1 : 0];
}

void TPelluxRadioBox::Click() {
    if (Checked() == FOldChecked) return;
    FOldChecked = Checked();
    TPelluxToggleBase::Click();
}

TPelluxRadioBox* TPelluxRadioBox::NextInGroup(bool GoForward) const {
    TWinControl* P = Parent();
    if (P == nullptr) return nullptr;
    std::vector<TWinControl*> Order;
    P->GetTabOrderList(Order);
    std::vector<TPelluxRadioBox*> Group;
    for (TWinControl* C : Order)
        if (auto* R = dynamic_cast<TPelluxRadioBox*>(C);
            R != nullptr && R->Parent() == P && R->FGroupIndex == FGroupIndex && (R == this || R->CanFocus()))
            Group.push_back(R);
    const int N = static_cast<int>(Group.size());
    if (N < 2) return nullptr;
    const int Self = static_cast<int>(std::find(Group.begin(), Group.end(), this) - Group.begin());
    return Group[static_cast<size_t>((Self + (GoForward ? 1 : N - 1)) % N)];
}

void TPelluxRadioBox::WndProc(TMessage& M) {
    // The arrows stay with a radio box that has a group to move in; otherwise they move
    // the focus as for any control.
    if (M.Msg == CM_WANTSPECIALKEY && IsArrow(M.WParam) && NextInGroup(true) != nullptr) {
        M.Result = 1;
        return;
    }
    TPelluxToggleBase::WndProc(M);
}

void TPelluxRadioBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    if (Button == mbLeft) {
        if (!FocusOnPress()) return;
        Press().Press();
        if (!Checked()) {
            // Checked directly: FOldChecked stays, so the release's click reports this.
            StoreChecked(true);
            Invalidate();
            if (!UncheckGroup()) return;
            DoChanged();
            if (!Alive.Alive()) return;
        }
    }
    TPelluxToggleBase::MouseDown(Button, Shift, X, Y);
}

void TPelluxRadioBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        Press().Release(PtInRect(ClientRect(), TPoint{X, Y}));
        // The release's click (if it came) has reported the new state; a release outside
        // reports nothing, and a later click on the checked box must not report it either.
        FOldChecked = Checked();
        Invalidate();
    }
    TPelluxToggleBase::MouseUp(Button, Shift, X, Y);
}

void TPelluxRadioBox::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxToggleBase::KeyDown(Key, Shift);
    if (!Alive.Alive()) return;
    if (Key == VK_SPACE) {
        SetChecked(true);
    } else if (IsArrow(Key)) {
        // Moving within the group checks the box moved to, as the focus follows.
        if (TPelluxRadioBox* Next = NextInGroup(Key == VK_RIGHT || Key == VK_DOWN)) {
            const TQvAliveCheck NextAlive = Next->AliveCheck();
            Next->SetFocus();
            if (NextAlive.Alive()) Next->SetChecked(true);
        }
    }
}

void TPelluxRadioBox::KeyUp(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxToggleBase::KeyUp(Key, Shift);
    if (Alive.Alive() && Key == VK_SPACE) Invalidate();
}

// ---- TPelluxSwitchButton --------------------------------------------------------------

TPelluxSwitchButton::TPelluxSwitchButton(TComponent* AOwner)
    : TPelluxCustomControl(AOwner),
      FImageON(std::make_unique<TPngPictures>()),
      FImageOFF(std::make_unique<TPngPictures>()),
      FCaptionON(u"开启"),
      FCaptionOFF(u"关闭") {
    const auto Setup = [this](TPngPictures* P, const TQvResID& Image) {
        P->SetImage(Image);
        P->SetActive(true);
        P->SetCount(3);
        P->SetNormal(0);
        P->SetHot(1);
        P->SetPressed(2);
        P->SetPicturesChanged([this](TObject*) { Invalidate(); });
    };
    Setup(FImageON.get(), u"PelluxSwitch_on");
    Setup(FImageOFF.get(), u"PelluxSwitch_off");
    SetBounds(Left(), Top(), 34, 18);
    SetTabStop(true);
    FPress.OnChange = [this] { Invalidate(); };
}

TPelluxSwitchButton::~TPelluxSwitchButton() = default;

void TPelluxSwitchButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    Invalidate();
    if (OnChanged) OnChanged(this);
}

void TPelluxSwitchButton::SetCaptionVisible(bool Value) {
    Change(FCaptionVisible, Value);
}

void TPelluxSwitchButton::SetCaptionON(const String& Value) {
    Change(FCaptionON, Value);
}

void TPelluxSwitchButton::SetCaptionOFF(const String& Value) {
    Change(FCaptionOFF, Value);
}

void TPelluxSwitchButton::SetCaptionAlign(TQvSwitchButtonCaptionAlign Value) {
    Change(FCaptionAlign, Value);
}

void TPelluxSwitchButton::MouseEntered() {
    TPelluxCustomControl::MouseEntered();
    FPress.Enter();
}

void TPelluxSwitchButton::MouseLeft() {
    TPelluxCustomControl::MouseLeft();
    FPress.Leave();
}

void TPelluxSwitchButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TQvAliveCheck Alive = AliveCheck();
    if (Button == mbLeft) {
        if (FCanFocused && !Designing() && CanFocus() && !Focused()) {
            SetFocus();
            if (!Alive.Alive()) return;
        }
        // The state flips on the press, not on the release.
        FPress.Press();
        SetChecked(!FChecked);
        if (!Alive.Alive()) return;
    }
    TPelluxCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPelluxSwitchButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FPress.Release(PtInRect(ClientRect(), TPoint{X, Y}));
    TPelluxCustomControl::MouseUp(Button, Shift, X, Y);
}

void TPelluxSwitchButton::KeyDown(WORD& Key, TShiftState Shift) {
    const TQvAliveCheck Alive = AliveCheck();
    TPelluxCustomControl::KeyDown(Key, Shift);
    if (Alive.Alive() && FCanFocused && Key == VK_SPACE) SetChecked(!FChecked);
}

void TPelluxSwitchButton::DrawSkin(TSurface32* Buffer) {
    TPngPictures* Strip = FChecked ? FImageON.get() : FImageOFF.get();
    TPelluxImageArray Frames;
    SplitStrip(SkinResManager().GetImageByName(Strip->Image(), true), Strip->Count(), Frames);
    if (Frames.empty()) return;
    const TQvVisualState S = VisualState();
    const int Index = S == TQvVisualState::Pressed ? Strip->Pressed() : S == TQvVisualState::Hot ? Strip->Hot() : Strip->Normal();
    TPelluxImage* Frame = Index >= 0 && Index < static_cast<int>(Frames.size())
                              ? Frames[static_cast<size_t>(Index)].get()
                              : nullptr;
    int PictureX = 0;
    if (FCaptionVisible) {
        const String& Text = FChecked ? FCaptionON : FCaptionOFF;
        Buffer->SetFont(Font());
        Buffer->Canvas()->Font()->Assign(Font());
        const int Y = (Height() - Buffer->TextHeight(Text)) / 2;
        if (FCaptionAlign == sbcaRigth) {
            if (Frame != nullptr) Buffer->Textout(ScaleByDPI(this, 6) + Frame->Width(), Y, Text);
        } else {
            Buffer->Textout(ScaleByDPI(this, 4), Y, Text);
            PictureX = ScaleByDPI(this, 4) + Buffer->TextWidth(Text) + ScaleByDPI(this, 6);
        }
    }
    if (Frame != nullptr) Frame->DrawTo(Buffer, PictureX, (Height() - Frame->Height()) / 2);
    if (CustomDraw) CustomDraw(this, Buffer);
}

// ---- registration ---------------------------------------------------------------------

namespace {

template <typename T>
TClassBuilder<T>& PublishToggle(TClassBuilder<T>& B, const String& Pictures) {
    return B.Prop(u"Checked", &T::Checked, &T::SetChecked, false)
        .Prop(u"Pictures", &T::Pictures, &T::SetPictures, Pictures)
        .Object(u"Light", &T::Light)
        .Prop(u"BiDiMode", &T::BiDiMode, &T::SetBiDiMode, bdLeftToRight);
}

}  // namespace

void RegisterPelluxToggles() {
    RegisterClass<TPelluxToggleBase, TCustomControl>(u"TPelluxToggleBase");
    auto Check = RegisterClass<TPelluxCheckBox, TPelluxToggleBase>(u"TPelluxCheckBox");
    PublishToggle(Check, u"PelluxCheckBox");
    auto Radio = RegisterClass<TPelluxRadioBox, TPelluxToggleBase>(u"TPelluxRadioBox");
    PublishToggle(Radio, u"PelluxRadiobtn")
        .Prop(u"GroupIndex", &TPelluxRadioBox::GroupIndex, &TPelluxRadioBox::SetGroupIndex, 0);
    RegisterClass<TPelluxSwitchButton, TCustomControl>(u"TPelluxSwitchButton")
        .Prop(u"Checked", &TPelluxSwitchButton::Checked, &TPelluxSwitchButton::SetChecked, false)
        .Prop(u"CanFocused", &TPelluxSwitchButton::CanFocused, &TPelluxSwitchButton::SetCanFocused, true)
        .Object(u"ImageON", &TPelluxSwitchButton::ImageON)
        .Object(u"ImageOFF", &TPelluxSwitchButton::ImageOFF)
        .Prop(u"CaptionVisible", &TPelluxSwitchButton::CaptionVisible,
              &TPelluxSwitchButton::SetCaptionVisible, false)
        .Prop(u"CaptionON", &TPelluxSwitchButton::CaptionON, &TPelluxSwitchButton::SetCaptionON,
              String(u"开启"))
        .Prop(u"CaptionOFF", &TPelluxSwitchButton::CaptionOFF, &TPelluxSwitchButton::SetCaptionOFF,
              String(u"关闭"))
        .Prop(u"CaptionAlign", &TPelluxSwitchButton::CaptionAlign, &TPelluxSwitchButton::SetCaptionAlign,
              sbcaLeft);
}
