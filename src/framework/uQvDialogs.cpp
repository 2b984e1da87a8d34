#include "framework/uQvDialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/uQvApplication.h"
#include "framework/uQvStdCtrls.h"
#include "platform/uQvMonitors.h"

namespace {

enum TIconKind { ikNone, ikError, ikQuestion, ikWarning, ikInformation };

constexpr TColor DialogFace = clWhite;
constexpr TColor BandFace = RGB(0xF0, 0xF0, 0xF0);
constexpr int Margin = 14;
constexpr int IconSize = 32;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 26;
constexpr int ButtonGap = 8;
constexpr int BandHeight = ButtonHeight + 2 * 11;
constexpr int MaxTextWidth = 420;

// The round (or, for warnings, triangular) sign left of the text.
class TMessageIcon : public TGraphicControl {
public:
    TMessageIcon(TComponent* AOwner, TIconKind Kind) : TGraphicControl(AOwner), FKind(Kind) {}

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        const TColor Fill = FKind == ikError      ? RGB(0xD9, 0x3B, 0x3B)
                            : FKind == ikWarning  ? RGB(0xF2, 0xB1, 0x1B)
                                                  : RGB(0x00, 0x78, 0xD7);
        C->Pen()->SetColor(Fill);
        C->Brush()->SetColor(Fill);
        const int S = IconSize;
        if (FKind == ikWarning)
            C->Polygon({TPoint{S / 2, 1}, TPoint{S - 1, S - 3}, TPoint{0, S - 3}});
        else
            C->Ellipse(0, 0, S, S);
        C->Font()->SetName(u"Tahoma");
        C->Font()->SetHeight(-20);
        C->Font()->SetStyle(TFontStyles{fsBold});
        C->Font()->SetColor(FKind == ikWarning ? RGB(0x20, 0x20, 0x20) : clWhite);
        C->Brush()->SetStyle(bsClear);
        const String Sign = FKind == ikError ? u"\u00D7" : FKind == ikQuestion ? u"?" : FKind == ikWarning ? u"!" : u"i";
        TRect R = Rect(0, FKind == ikWarning ? 3 : 0, S, S);
        C->TextRect(R, Sign, TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine, tfNoPrefix});
    }

private:
    TIconKind FKind;
};

// The grey strip along the bottom that holds the buttons.
class TButtonBand : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        TCanvas* C = Canvas();
        C->Brush()->SetColor(BandFace);
        C->FillRect(GetClientRect());
        C->Brush()->SetColor(RGB(0xDF, 0xDF, 0xDF));
        C->FillRect(Rect(0, 0, Width(), 1));
    }
};

struct TButtonSpec {
    String Caption;
    TModalResult Result;
};

std::vector<TButtonSpec> ButtonsFor(UINT Flags) {
    switch (Flags & 0x0F) {
        case MB_OKCANCEL:
            return {{u"OK", mrOk}, {u"Cancel", mrCancel}};
        case MB_YESNOCANCEL:
            return {{u"&Yes", mrYes}, {u"&No", mrNo}, {u"Cancel", mrCancel}};
        case MB_YESNO:
            return {{u"&Yes", mrYes}, {u"&No", mrNo}};
        default:
            return {{u"OK", mrOk}};
    }
}

TIconKind IconFor(UINT Flags) {
    switch (Flags & 0xF0) {
        case MB_ICONERROR:
            return ikError;
        case MB_ICONQUESTION:
            return ikQuestion;
        case MB_ICONWARNING:
            return ikWarning;
        case MB_ICONINFORMATION:
            return ikInformation;
        default:
            return ikNone;
    }
}

struct TFormDeleter {
    void operator()(TForm* F) const { F->Free(); }
};

}  // namespace

int PlainMessageBox(const String& Text, const String& Caption, UINT Flags) {
    std::unique_ptr<TForm, TFormDeleter> Form(Create<TForm>(nullptr));
    TForm* F = Form.get();
    F->SetName(u"QvMessageBox");
    F->SetCaption(Caption);
    F->SetBorderStyle(bsDialog);
    F->SetPosition(poMainFormCenter);
    F->SetColor(DialogFace);
    F->Font()->SetName(u"Tahoma");
    F->Font()->SetHeight(-12);

    const TIconKind Kind = IconFor(Flags);
    int TextLeft = Margin;
    if (Kind != ikNone) {
        auto* Icon = new TMessageIcon(F, Kind);
        Icon->SetName(u"imgIcon");
        Icon->SetBounds(Margin + 6, Margin + 4, IconSize, IconSize);
        Icon->SetParent(F);
        TextLeft = Margin + 6 + IconSize + Margin;
    }
    auto* Message = new TLabel(F);
    Message->SetName(u"lblMessage");
    Message->SetShowAccelChar(false);
    Message->SetTransparent(true);
    Message->SetParent(F);
    // Measured on one line first; a long text wraps at the widest line the box allows.
    Message->SetCaption(Text);
    if (Message->Width() > MaxTextWidth) {
        Message->SetWidth(MaxTextWidth);
        Message->SetWordWrap(true);
    }
    const int TextHeight = Message->Height();
    const int TopArea = std::max(Kind != ikNone ? IconSize + 8 : 0, TextHeight);
    // The text sits centred on the icon when it is shorter.
    Message->SetLeft(TextLeft);
    Message->SetTop(Margin + 4 + (TopArea - TextHeight) / 2);

    const std::vector<TButtonSpec> Specs = ButtonsFor(Flags);
    const int Count = static_cast<int>(Specs.size());
    const int ButtonsWidth = Count * ButtonWidth + (Count - 1) * ButtonGap;
    // Wide enough for the caption too, up to the widest text.
    TLabel Measure(nullptr);
    Measure.SetShowAccelChar(false);
    Measure.SetCaption(Caption);
    const int CaptionW = std::min(Measure.Width() + 80, TextLeft + MaxTextWidth + Margin + 6);
    const int ClientW =
        std::max({TextLeft + Message->Width() + Margin + 6, ButtonsWidth + 2 * Margin, CaptionW, 240});
    const int ClientH = Margin + 4 + TopArea + Margin + 6 + BandHeight;
    F->SetClientWidth(ClientW);
    F->SetClientHeight(ClientH);

    auto* Band = new TButtonBand(F);
    Band->SetBounds(0, ClientH - BandHeight, ClientW, BandHeight);
    Band->SetParent(F);
    const bool HasCancel = std::any_of(Specs.begin(), Specs.end(), [](auto& S) { return S.Result == mrCancel; });
    int X = ClientW - Margin - ButtonsWidth;
    TButton* First = nullptr;
    for (const TButtonSpec& S : Specs) {
        auto* B = new TButton(F);
        B->SetName(S.Result == mrOk ? u"btnOK" : S.Result == mrCancel ? u"btnCancel" : S.Result == mrYes ? u"btnYes" : u"btnNo");
        B->SetCaption(S.Caption);
        B->SetModalResult(S.Result);
        B->SetBounds(X, ClientH - BandHeight + (BandHeight - ButtonHeight) / 2, ButtonWidth, ButtonHeight);
        B->SetParent(F);
        // An OK-only box takes Esc as OK.
        B->SetCancel(S.Result == mrCancel || (!HasCancel && Count == 1));
        if (First == nullptr) {
            First = B;
            B->SetDefault(true);
        }
        X += ButtonWidth + ButtonGap;
    }
    // A Yes/No box has no way out but its buttons.
    if (!HasCancel && Count > 1) {
        F->SetBorderIcons(TBorderIcons{});
        F->OnCloseQuery = [F](TObject*, bool& CanClose) { CanClose = F->ModalResult() != mrCancel; };
    }
    F->SetActiveControl(First);
    const TQvAliveCheck Alive = F->AliveCheck();
    const TModalResult R = F->ShowModal();
    if (!Alive.Alive()) (void)Form.release();
    switch (R) {
        case mrOk:
            return IDOK;
        case mrYes:
            return IDYES;
        case mrNo:
            return IDNO;
        default:
            return IDCANCEL;
    }
}
