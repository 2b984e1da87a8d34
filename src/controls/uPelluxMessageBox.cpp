#include "controls/uPelluxMessageBox.h"

#include <algorithm>

#include "controls/uPelluxButton.h"
#include "controls/uPelluxCheckBox.h"
#include "controls/uPelluxLabel.h"
#include "controls/uPelluxPanel.h"
#include "draw/uPelluxDPI.h"
#include "draw/uPelluxText.h"
#include "forms/uPelluxForm.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCLabel.h"
#include "forms/uQvFormBorder.h"
#include "framework/uQvApplication.h"
#include "platform/uQvClipboard.h"
#include "skin/uPelluxRes.h"
#include "skin/uPngPictures.h"

namespace {

// The two button sets of the platform's flags the framework names no constant for.
constexpr UINT MbAbortRetryIgnore = 0x2;
constexpr UINT MbRetryCancel = 0x5;

constexpr TModalResult Results[7] = {mrOk, mrYes, mrNo, mrCancel, mrAbort, mrRetry, mrIgnore};
constexpr TQvMsgButton Kinds[7] = {mbOK, mbYes, mbNo, mbCancel, mbAbort, mbRetry, mbIgnore};

// Enter: OK, else Yes, else Retry; Esc: Cancel, else No, else OK (none when absent).
TQvMsgButton DefaultOf(TQvMsgButtons B) {
    return B.Contains(mbOK) ? mbOK : B.Contains(mbYes) ? mbYes : mbRetry;
}
TQvMsgButton CancelOf(TQvMsgButtons B) {
    return B.Contains(mbCancel) ? mbCancel : B.Contains(mbNo) ? mbNo : mbOK;
}

bool HasLineBreak(const String& Text) {
    // Text made in this code base breaks lines with LF alone.
    return Text.find_first_of(u"\r\n") != String::npos;
}

int TextWidthIn(const TFont* Font, const String& Text) {
    TSurface32 Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas()->Font()->Assign(Font);
    return MeasureTextWidth(Measure.Canvas()->Handle(), Text);
}

}  // namespace

TModalResult MessageBoxResult(TQvMsgButton Button) {
    return Results[Button];
}

TQvResID MessageBoxIconImage(int Icon) {
    switch (Icon) {
        case micInfo:
            return u"PelluxMsgIcon_Info";
        case micError:
            return u"PelluxMsgIcon_Error";
        case micOK:
            return u"PelluxMsgIcon_OK";
        case micQuestion:
            return u"PelluxMsgIcon_Question";
        case micWarning:
            return u"PelluxMsgIcon_Warn";
        default:
            return u"";
    }
}

// ---- TPelluxMessageForm ---------------------------------------------------------------

TPelluxMessageForm::TPelluxMessageForm(TComponent* AOwner, int X, int Y) : TForm(AOwner) {
    SetKeyPreview(true);
    SetBorderIcons({});
    SetBorderStyle(bsDialog);
    Font()->SetSize(9);
    if (X < -9999) {
        SetPosition(poScreenCenter);
    } else {
        SetLeft(X);
        SetTop(Y);
    }

    FPelluxForm = new TPelluxForm(this);
    FPelluxForm->SetTag(99999);
    FPelluxForm->SetActiveGradient(false);
    FPelluxForm->SetRoundWindow(false);
    const TQvFormSkinRes* Shared = SharedFormSkinRes();
    FPelluxForm->SetColor(Shared->Color());
    FPelluxForm->SetCustomPicture(Shared->CustomPicture());
    FPelluxForm->SetFramWidth(Shared->FramWidth());
    FPelluxForm->SetHitTestWidth(Shared->HitTestWidth());
    FPelluxForm->SetStyle(Shared->Style());
    FPelluxForm->SetTitlerColor(Shared->TitlerColor());
    FPelluxForm->Options()->SetMinimizeToTaskbar(false);

    FCloseNCButton = NewTipsCloseButton(this);

    FCaption = new TPelluxNCLabel(this);
    FCaption->Font()->SetSize(9);
    FCaption->Font()->SetStyle({fsBold});

    FBottomPanel = new TPelluxPanel(this);
    FBottomPanel->SetAlign(alBottom);
    FBottomPanel->SetHeight(35);
    FBottomPanel->SetDoubleBorder(false);
    if (CurrentMessageBoxStyle() != nullptr && CurrentMessageBoxStyle()->HideLine()) {
        FBottomPanel->SetAlpha(0);
        FBottomPanel->SetBorderSides({});
    } else {
        FBottomPanel->SetBorderSides({sdTop});
    }
    FBottomPanel->SetParent(this);

    FMsg = new TPelluxLabel(this);
    FMsg->SetAutoSize(false);
    FMsg->SetParent(this);
    ApplyStyle();
}

void TPelluxMessageForm::ApplyStyle() {
    const TPelluxMessageBoxStyle* Style = CurrentMessageBoxStyle();
    if (Style == nullptr) return;
    FMsg->Font()->Assign(Style->MessageFont());
    FMsg->SetLight(Style->MessageLight());
    FCaption->SetFont(Style->CaptionFont());
    FCaption->SetLight(Style->CaptionLight());
    const TQvFormSkinRes* S = Style->Form();
    FPelluxForm->SetActiveGradient(S->ActiveGradient());
    FPelluxForm->SetDoubleFrame(S->DoubleFrame());
    FPelluxForm->SetFillStyle(S->FillStyle());
    FPelluxForm->SetFlatFrame(S->FlatFrame());
    FPelluxForm->SetRoundWindow(S->RoundWindow());
    FPelluxForm->SetImageBorder(dynamic_cast<TQvFormLayerBorder*>(S->ImageBorder()));
    FPelluxForm->SetTitleHeight(S->TitleHeight());
    FPelluxForm->SetTitlerColor(S->TitlerColor());
    FPelluxForm->SetColor(S->Color());
    FPelluxForm->SetFramWidth(S->FramWidth());
    FPelluxForm->SetHitTestWidth(S->HitTestWidth());
    FPelluxForm->SetGradientHeight(S->GradientHeight());
    FPelluxForm->SetStyle(S->Style());
    FPelluxForm->SetCustomPicture(S->CustomPicture());
}

void TPelluxMessageForm::Place(TControl* Cl, TWinControl* Parent, const TRect& R) {
    Cl->ScaleForPPI(CurrentPPI());
    Cl->SetBoundsRect(R);
    Cl->SetParent(Parent);
}

void TPelluxMessageForm::Layout(const String& ACaption, const String& AText, int AIcon,
                                bool ShowDontShowAgain, bool DontShowAgain, TQvMsgButtons AButtons) {
    if (HighDPIEnabled) ScaleForPPI(MessageWindowPPI());
    const auto S = [this](int V) { return ScaleByDPI(this, V); };
    if (AButtons.Empty()) AButtons = {mbOK};
    const int Bw = S(70), Bh = S(27), Gap = S(10);
    int N = 0;
    for (TQvMsgButton K : Kinds) N += AButtons.Contains(K) ? 1 : 0;
    const int Row = N * Bw + (N - 1) * Gap;

    SetCaption(ACaption);
    FCaption->SetCaption(ACaption);
    FText = AText;

    TPoint TextAt{S(10), S(25)};
    if (const TQvResID Image = MessageBoxIconImage(AIcon); !Image.empty()) {
        FIcon = new TPelluxPanel(this);
        FIcon->SetAlpha(0);
        FIcon->SetBorderSides({});
        FIcon->SetBackgroundImage(Image);
        // The label as the window made it, before it holds any text.
        const int Y = std::max(FMsg->Top() + FMsg->Height() / 2 - S(20), S(15));
        Place(FIcon, this, Bounds(S(10), Y, S(40), S(40)));
        TextAt = TPoint{S(65), HasLineBreak(AText) ? Y : S(25)};
    }
    FMsg->SetAutoSize(true);
    FMsg->SetCaption(AText);
    FMsg->SetLeft(TextAt.X);
    FMsg->SetTop(TextAt.Y);
    const int TextRight = FMsg->Left() + FMsg->Width();
    SetClientHeight(S(60) + Bh + FMsg->Height());
    SetClientWidth(S(60) + std::max(TextRight, Row));

    int X = (ClientWidth() - Row) / 2;
    if (ShowDontShowAgain) {
        FCheckBox = new TPelluxCheckBox(this);
        if (const TPelluxMessageBoxStyle* Style = CurrentMessageBoxStyle())
            FCheckBox->Font()->Assign(Style->MessageFont());
        FCheckBox->SetCaption(MessageBoxCaption(QvDontShowAgainIndex));
        FCheckBox->SetChecked(DontShowAgain);
        // Scaled first: its height and font are then the window's.
        FCheckBox->ScaleForPPI(CurrentPPI());
        const int W = TextWidthIn(FCheckBox->Font(), FCheckBox->Caption()) + S(30);
        const int H = FCheckBox->Height();
        Place(FCheckBox, FBottomPanel, Bounds(S(5), (FBottomPanel->Height() - H) / 2, W, H));
        if (ClientWidth() < W + S(30)) SetClientWidth(W + S(30));
        if (ClientWidth() - Row - S(8) < FCheckBox->Left() + W) SetClientWidth(W + Row + S(40));
        X = ClientWidth() - Row - S(8);
    }

    const TPelluxMessageBoxStyle* Style = CurrentMessageBoxStyle();
    const TQvMsgButton Default = DefaultOf(AButtons), Cancel = CancelOf(AButtons);
    const int Y = (FBottomPanel->Height() - Bh) / 2 + S(1);
    for (TQvMsgButton K : Kinds) {
        if (!AButtons.Contains(K)) continue;
        auto* B = new TPelluxButton(this);
        if (Style != nullptr) {
            B->SetPictures(Style->ButtonPictures());
            B->Font()->Assign(Style->ButtonFont());
            B->SetHotFont(Style->ButtonHotFont());
        }
        B->SetCaption(MessageBoxCaption(K));
        B->SetModalResult(MessageBoxResult(K));
        B->SetDefault(K == Default);
        B->SetCancel(K == Cancel);
        Place(B, FBottomPanel, Bounds(X, Y, Bw, Bh));
        FButtons[K] = B;
        X += Bw + Gap;
    }
    FitMessageCaption(FCaption, this);
    if (FButtons[Default] != nullptr) SetActiveControl(FButtons[Default]);
}

String TPelluxMessageForm::ClipboardText() const {
    return Caption() + u"\r\n" + FText + u"\r\n";
}

void TPelluxMessageForm::KeyDown(WORD& Key, TShiftState Shift) {
    if (Key == 'C' && Shift.Contains(ssCtrl)) {
        if (OpenClipboard(Handle())) {
            EmptyClipboard();
            SetClipboardData(CF_UNICODETEXT, ClipboardText());
            CloseClipboard();
        }
        Key = 0;
        return;
    }
    TForm::KeyDown(Key, Shift);
}

// ---- The functions --------------------------------------------------------------------

TModalResult SkinMessageBoxEx(const String& ACaption, const String& AText, int AIcon, int X, int Y,
                              bool& DontShowAgain, bool ShowDontShowAgain, TQvMsgButtons AButtons) {
    auto* F = new TPelluxMessageForm(Application, X, Y);
    const TQvAliveCheck Alive = F->AliveCheck();
    TModalResult Result = mrCancel;
    try {
        F->Layout(ACaption, AText, AIcon, ShowDontShowAgain, DontShowAgain, AButtons);
        F->SetFormStyle(fsStayOnTop);
        Result = F->ShowModal();
        if (ShowDontShowAgain && Alive.Alive()) DontShowAgain = F->CheckBox()->Checked();
    } catch (...) {
        if (Alive.Alive()) F->Free();
        throw;
    }
    if (Alive.Alive()) F->Free();
    return Result;
}

TModalResult SkinMessageBox(const String& ACaption, const String& AText, int AIcon, TQvMsgButtons AButtons) {
    bool DontShowAgain = false;
    return SkinMessageBoxEx(ACaption, AText, AIcon, -100000, -100000, DontShowAgain, false, AButtons);
}

int SkinMessageBoxFlags(const String& Text, const String& Caption, UINT Flags) {
    TQvMsgButtons Buttons;
    switch (Flags & 0xF) {
        case MB_OKCANCEL:
            Buttons = {mbOK, mbCancel};
            break;
        case MbAbortRetryIgnore:
            Buttons = {mbAbort, mbRetry, mbIgnore};
            break;
        case MB_YESNOCANCEL:
            Buttons = {mbYes, mbNo, mbCancel};
            break;
        case MB_YESNO:
            Buttons = {mbYes, mbNo};
            break;
        case MbRetryCancel:
            Buttons = {mbRetry, mbCancel};
            break;
        default:
            Buttons = {mbOK};
    }
    int Icon = micNone;
    switch (Flags & 0xF0) {
        case MB_ICONERROR:
            Icon = micError;
            break;
        case MB_ICONQUESTION:
            Icon = micQuestion;
            break;
        case MB_ICONWARNING:
            Icon = micWarning;
            break;
        case MB_ICONINFORMATION:
            Icon = micInfo;
            break;
        default:
            break;
    }
    return SkinMessageBox(Caption, Text, Icon, Buttons);
}
