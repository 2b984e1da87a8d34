#include "controls/uPelluxPopupMessage.h"

#include <algorithm>

#include "controls/uPelluxButton.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxMessageBoxStyle.h"
#include "controls/uPelluxPanel.h"
#include "draw/uPelluxDPI.h"
#include "forms/uPelluxForm.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCLabel.h"
#include "framework/uQvApplication.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvTimer.h"
#include "platform/uQvFont.h"
#include "platform/uQvTimers.h"
#include "platform/uQvWinPos.h"

// ---- TMsgButton -----------------------------------------------------------------------

TMsgButton::TMsgButton()
    : FFont(std::make_unique<TFont>()),
      FHotFont(std::make_unique<TFont>()),
      FPictures(std::make_unique<TPngPictures>()) {
    FPictures->SetImage(u"PelluxButton");
    FPictures->SetCount(5);
    FPictures->SetNormal(0);
    FPictures->SetHot(1);
    FPictures->SetPressed(2);
    FPictures->SetDisable(3);
    FPictures->SetActive(true);
}

TMsgButton::~TMsgButton() = default;

void TMsgButton::Assign(const TPersistent* Source) {
    const auto* B = dynamic_cast<const TMsgButton*>(Source);
    if (B == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FVisible = B->FVisible;
    FCaption = B->FCaption;
    FFont->Assign(B->FFont.get());
    FHotFont->Assign(B->FHotFont.get());
    FPictures->Assign(B->FPictures.get());
}

// ---- TPelluxPopupForm -----------------------------------------------------------------

namespace {
// Past the form skin's hiding at the first show (30 ms).
constexpr uint64_t SkinSettleMs = 50;
}  // namespace

TPelluxPopupForm::TPelluxPopupForm(TComponent* AOwner, int X, int Y, int AClosePause, bool ActiveAnimate)
    : TForm(AOwner), FClosePause(AClosePause), FActiveAnimate(ActiveAnimate) {
    SetKeyPreview(true);
    SetBorderIcons({});
    SetBorderStyle(bsDialog);
    Font()->SetSize(9);
    SetFormStyle(fsStayOnTop);
    if (X >= -9999) {
        SetLeft(X);
        SetTop(Y);
    } else {
        SetPosition(poScreenCenter);
    }
    // Before any control is inside: each one made later takes this dpi as it is placed.
    if (HighDPIEnabled) ScaleForPPI(MessageWindowPPI());
    if (FActiveAnimate) {
        SetAlphaBlend(true);
        SetAlphaBlendValue(0);
        FAnimate = new TTimer(this);
        FAnimate->SetInterval(10);
        FAnimate->SetOnTimer([this](TObject*) { FadeStep(); });
    }
    FTimer = new TTimer(this);
    FTimer->SetInterval(100);
    FTimer->SetEnabled(AClosePause != 0);
    FTimer->SetOnTimer([this](TObject*) { CloseCheck(); });
    FPopupTime = GetTickCount64();
    FMadeAt = FPopupTime;

    FPelluxForm = new TPelluxForm(this);
    FPelluxForm->SetTag(99999);
    FPelluxForm->SetActiveGradient(false);
    FPelluxForm->SetRoundWindow(false);
    FPelluxForm->SetDoubleFrame(false);
    FPelluxForm->SetEraseBackGround(true);
    FPelluxForm->SetTitleHeight(27);

    FCloseNCButton = NewTipsCloseButton(this);
    FCaption = new TPelluxNCLabel(this);
    FMsg = new TPelluxLabel(this);
    FMsg->SetParent(this);
    HearHover(FMsg);

    OnClose = [this](TObject*, TCloseAction& Action) {
        Action = caFree;
        if (FSource != nullptr) FSource->Closing(this);
    };
    OnClick = [this](TObject* Sender) {
        if (FSource != nullptr) FSource->Clicked(Sender);
    };
}

TPelluxPopupForm::~TPelluxPopupForm() {
    // Freed without closing (its owner went first): the component forgets it.
    if (FSource != nullptr) std::erase(FSource->FList, this);
}

void TPelluxPopupForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // A bare popup of no owner and no taskbar entry; the skin paints title and frame.
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CAPTION | WS_SYSMENU)) | WS_POPUP;
    Params.ExStyle =
        (Params.ExStyle & ~static_cast<DWORD>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_APPWINDOW)) |
        WS_EX_TOOLWINDOW;
    Params.ClassStyle = (Params.ClassStyle | CS_SAVEBITS) & ~static_cast<UINT>(CS_DROPSHADOW);
    Params.WndParent = nullptr;
}

void TPelluxPopupForm::WndProc(TMessage& Message) {
    // Shown without taking the activation from the window the user works in.
    if (Message.Msg == CM_SHOWINGCHANGED && Showing() && Parent() == nullptr && Position() == poDesigned) {
        const TQvAliveCheck Alive = AliveCheck();
        DoShow();
        if (Alive.Alive() && HandleAllocated()) ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        return;
    }
    const bool Mouse = Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE;
    const TQvAliveCheck Alive = AliveCheck();
    TForm::WndProc(Message);
    if (Mouse && Alive.Alive()) CheckHover();
}

void TPelluxPopupForm::Place(TControl* C, const TRect& R) {
    C->ScaleForPPI(CurrentPPI());
    C->SetBoundsRect(R);
    C->SetParent(this);
    HearHover(C);
}

void TPelluxPopupForm::HearHover(TControl* C) {
    C->OnMouseEnter = [this](TObject*) { CheckHover(); };
    C->OnMouseLeave = [this](TObject*) { CheckHover(); };
}

void TPelluxPopupForm::FadeStep() {
    if (FBlendHide) {
        if (FAlpha > 10) {
            FAlpha = static_cast<BYTE>(FAlpha - 10);
        } else {
            FAlpha = 0;
            FAnimate->SetEnabled(false);
            SetAlphaBlendValue(0);
            Close();
            return;
        }
    } else if (FAlpha + 10 >= 255) {
        FAlpha = 255;
        // The form skin puts back the alpha it saved when the window first showed (0) a
        // little after that: until then the fade keeps its own in place.
        if (GetTickCount64() - FMadeAt >= SkinSettleMs) FAnimate->SetEnabled(false);
    } else {
        FAlpha = static_cast<BYTE>(FAlpha + 10);
    }
    SetAlphaBlendValue(FAlpha);
}

void TPelluxPopupForm::CloseCheck() {
    if (GetTickCount64() - FPopupTime < static_cast<uint64_t>(std::max(FClosePause, 0))) return;
    FTimer->SetEnabled(false);
    StartFadeOut();
}

void TPelluxPopupForm::StartFadeOut() {
    FBlendHide = true;
    if (FActiveAnimate)
        FAnimate->SetEnabled(true);
    else
        Close();
}

void TPelluxPopupForm::CheckHover() {
    const TControl* C = QvMouseControl();
    const bool Inside = C != nullptr && GetParentForm(C) == this;
    if (Inside == FHeld) return;
    FHeld = Inside;
    if (Inside) {
        FTimer->SetEnabled(false);
        FBlendHide = false;
        if (FActiveAnimate) {
            FAlpha = 255;
            SetAlphaBlendValue(255);
            FAnimate->SetEnabled(GetTickCount64() - FMadeAt < SkinSettleMs);
        }
    } else {
        // Also a window made to stay: once left, it goes like any other.
        FPopupTime = GetTickCount64();
        FTimer->SetEnabled(true);
    }
}

// ---- TPelluxPopupMessage --------------------------------------------------------------

TPelluxPopupMessage::TPelluxPopupMessage(TComponent* AOwner)
    : TComponent(AOwner),
      FTitleFont(std::make_unique<TFont>()),
      FTextFont(std::make_unique<TFont>()),
      FButton(std::make_unique<TMsgButton>()) {}

TPelluxPopupMessage::~TPelluxPopupMessage() {
    *FAlive = false;
    for (TPelluxPopupForm* F : FList) F->FSource = nullptr;
}

TPelluxPopupForm* TPelluxPopupMessage::Popup(const String& ACaption, const String& AText) {
    return Popup(ACaption, AText, miNone, u"", 0, 0);
}

TPelluxPopupForm* TPelluxPopupMessage::Popup(const String& ACaption, const String& AText,
                                             TQvMessageIcon AIcon) {
    return Popup(ACaption, AText, AIcon, u"", 0, 0);
}

TPelluxPopupForm* TPelluxPopupMessage::PopupXY(const String& ACaption, const String& AText,
                                               TQvMessageIcon AIcon, int OrgX, int OrgY) {
    return Popup(ACaption, AText, AIcon, u"", OrgX, OrgY);
}

TPelluxPopupForm* TPelluxPopupMessage::Popup(const String& ACaption, const String& AText,
                                             TQvMessageIcon AIcon, const String& AID, int OrgX, int OrgY) {
    const int Ppi = MessageWindowPPI();
    const auto S = [Ppi](int V) { return ScaleValueByPPI(V, Ppi); };

    // Measured in screen pixels: the text in the font the label will have.
    const int W = S(FWidth);
    const TQvResID IconID = AIcon == miSuccess       ? FIconSuccess
                            : AIcon == miFailue      ? FIconFailue
                            : AIcon == miInformation ? FIconInformation
                                                     : TQvResID();
    TPelluxImage* Image = IconID.empty() ? nullptr : SkinResManager().GetImageByName(IconID, true);
    const int Iw = Image != nullptr ? Image->Width() : 0;
    const int Ih = Image != nullptr ? Image->Height() : 0;
    const int IconLeft = Image != nullptr ? S(10) : 0;
    const int IconTop = Image != nullptr ? S(20) : 0;
    const int Tw = W - (Iw + IconLeft + 2 * S(FTextOffsetX));
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas()->Font()->Assign(FTextFont.get());
    if (Ppi != 96) Measure.Canvas()->Font()->SetHeight(MulDiv(FTextFont->Height(), Ppi, 96));
    RECT R{0, 0, Tw, 0};
    DrawTextW(Measure.Canvas()->Handle(), AText.c_str(), -1, &R, DT_CALCRECT | DT_WORDBREAK);
    const int Th = R.Bottom - R.Top;
    const int Content = std::max(Th, Ih);
    int H = S(FMinHeight) > Content ? S(FMinHeight + FTextOffsetY + 27) : Content + S(FTextOffsetY + 47);
    if (FButton->Visible()) H += S(35);

    const TRect Work = Screen->WorkAreaRect();
    int X, Y;
    if (OrgX <= 0) {
        X = Work.Right - W - 1;
        Y = Work.Bottom - H - 1;
        if (!FList.empty()) {
            const TPelluxPopupForm* P = FList.back();
            X = P->Left();
            Y = P->Top() - H - 1;
            if (Y < Work.Top) {
                X = FAutoAlign ? P->Left() - W - 1 : Work.Right - W - 1;
                Y = Work.Bottom - H - 1;
                // No room for another column: the stack starts again at the right.
                if (X < Work.Left) X = Work.Right - W - 1;
            }
        }
    } else {
        const std::vector<TPelluxPopupForm*> Open = FList;
        for (TPelluxPopupForm* F : Open)
            if (std::find(FList.begin(), FList.end(), F) != FList.end()) F->Close();
        X = std::min(OrgX, Work.Right - W) - 1;
        Y = OrgY - H - 1;
    }

    auto* F = new TPelluxPopupForm(Application, X, Y, FClosePause, FActiveAnimate);
    F->FSource = this;
    F->SetID(AID);
    F->SetBounds(X, Y, W, H);
    const auto Click = [F](TObject* Sender) {
        if (F->FSource != nullptr) F->FSource->Clicked(Sender);
    };
    if (Image != nullptr) {
        F->FIcon = new TPelluxPanel(F);
        F->FIcon->SetAlpha(0);
        F->FIcon->SetBorderSides({});
        F->FIcon->SetBackgroundImage(IconID);
        F->Place(F->FIcon, Bounds(IconLeft, IconTop, Iw, Ih));
        F->FIcon->OnClick = Click;
    }
    F->FPelluxForm->SetTitlerColor(FTitileColor);
    F->FPelluxForm->SetColor(FClientColor);
    F->FCaption->SetFont(FTitleFont.get());
    F->FCaption->SetCaption(ACaption);
    F->FCaption->Light()->SetActive(false);
    FitMessageCaption(F->FCaption, F);
    F->SetCaption(ACaption);

    // The label is inside the window already: its font is scaled here, as it was measured.
    TPelluxLabel* Msg = F->FMsg;
    Msg->SetAutoSize(false);
    Msg->SetWordWap(true);
    Msg->Light()->SetActive(false);
    Msg->Font()->Assign(Measure.Canvas()->Font());
    Msg->SetBounds(IconLeft + Iw + S(FTextOffsetX), S(FTextOffsetY), Tw, Th);
    Msg->SetCaption(AText);
    Msg->OnClick = Click;

    if (FButton->Visible()) {
        auto* B = new TPelluxButton(F);
        B->Font()->Assign(FButton->Font());
        B->SetHotFont(FButton->HotFont());
        B->SetPictures(FButton->Pictures());
        B->SetCaption(FButton->Caption());
        const int Bw = S(B->Width()), Bh = S(B->Height());
        F->Place(B, Bounds((W - Bw) / 2, H - Bh - S(31), Bw, Bh));
        B->SetAnchors({akLeft, akBottom});
        B->OnClick = [F](TObject* Sender) {
            const TQvAliveCheck Alive = F->AliveCheck();
            if (F->FSource != nullptr && F->FSource->OnButtonClick) F->FSource->OnButtonClick(Sender);
            if (Alive.Alive()) F->Close();
        };
        F->FButton = B;
    }

    F->SetVisible(true);
    F->FPelluxForm->InvalidateNC();
    FList.push_back(F);
    return F;
}

void TPelluxPopupMessage::Closing(TPelluxPopupForm* Form) {
    const TQvAliveCheck Alive(FAlive);
    if (OnClose) OnClose(Form);
    if (Alive.Alive()) std::erase(FList, Form);
}

void TPelluxPopupMessage::Clicked(TObject* Sender) {
    if (OnClick) OnClick(Sender);
}

void RegisterPelluxPopupMessage() {
    RegisterClass<TMsgButton, TPersistent>(u"TMsgButton")
        .Prop(u"Visible", &TMsgButton::Visible, &TMsgButton::SetVisible, false)
        .Prop(u"Caption", &TMsgButton::Caption, &TMsgButton::SetCaption, u"OK")
        .Object(u"Font", &TMsgButton::Font)
        .Object(u"HotFont", &TMsgButton::HotFont)
        .Object(u"Pictures", &TMsgButton::Pictures);
    using T = TPelluxPopupMessage;
    RegisterClass<T, TComponent>(u"TPelluxPopupMessage")
        .Prop(u"ActiveAnimate", &T::ActiveAnimate, &T::SetActiveAnimate, true)
        .Prop(u"ClosePause", &T::ClosePause, &T::SetClosePause, 5000)
        .Prop(u"HeapUp", &T::HeapUp, &T::SetHeapUp, true)
        .Prop(u"AutoAlign", &T::AutoAlign, &T::SetAutoAlign, true)
        .Prop(u"MinHeight", &T::MinHeight, &T::SetMinHeight, 100)
        .Prop(u"Width", &T::Width, &T::SetWidth, 228)
        .Color(u"TitileColor", &T::TitileColor, &T::SetTitileColor, TColor{16761926})
        .Object(u"TitleFont", &T::TitleFont)
        .Object(u"TextFont", &T::TextFont)
        .Prop(u"TextOffsetX", &T::TextOffsetX, &T::SetTextOffsetX, 10)
        .Prop(u"TextOffsetY", &T::TextOffsetY, &T::SetTextOffsetY, 20)
        .Color(u"ClientColor", &T::ClientColor, &T::SetClientColor, TColor{15920353})
        .Prop(u"Icon_Success", &T::Icon_Success, &T::SetIcon_Success, u"PelluxMsgIcon_OK")
        .Prop(u"Icon_Failue", &T::Icon_Failue, &T::SetIcon_Failue, u"PelluxMsgIcon_Error")
        .Prop(u"Icon_Information", &T::Icon_Information, &T::SetIcon_Information, u"PelluxMsgIcon_Info")
        .Object(u"Button", &T::Button);
}
