#include "app/uSkinLib.h"

#include <algorithm>
#include <cmath>

#include "app/uProSettings.h"
#include "app/uProgram.h"
#include "draw/uPelluxGraphics.h"
#include "forms/uPelluxForm.h"
#include "platform/uQvBase.h"
#include "skin/uPelluxResManager.h"
#include "skin/uQvSkinColors.h"

const std::array<const char16_t*, 58> SchemeImageNames = {
    u"an2", u"an1", u"an3", u"lsbj", u"ht", u"house2", u"jt", u"bi", u"0", u"defaultnav", u"customnav",
    u"PelluxBtn_mini2", u"PelluxBtn_max2", u"PelluxBtn_restore2",
    u"icons8-account-17", u"icons8-chart-17", u"icons8-combo-chart-17", u"icons8-communication-17",
    u"icons8-community-grants-17", u"icons8-desktop-download-17 (1)", u"icons8-device-manager-17",
    u"icons8-encashment-car-17", u"icons8-expired-17", u"icons8-group-task-17", u"icons8-hierarchy-17",
    u"icons8-home-17", u"icons8-inspection-17", u"icons8-name-tag-17", u"icons8-network-drive-17",
    u"icons8-people-17", u"icons8-planner-17", u"icons8-processor-17", u"icons8-receipt-17",
    u"icons8-services-17", u"icons8-settings-17", u"icons8-study-17", u"icons8-survey-17",
    u"icons8-wallet-17", u"icons8-webcam-17", u"t5",
    u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11", u"12", u"13", u"14", u"15", u"16",
    u"icons8-picture-16", u"icons8-toolbox-16",
};

namespace {

int ClampIndex(int Value) { return std::clamp(Value, 0, static_cast<int>(SkinSchemeColors.size()) - 1); }
int ClampPercent(int Value) { return std::clamp(Value, 0, 100); }

// One channel of the usual HSL construction; Hue is a fraction of the circle, taken
// modulo one turn.
double HueChannel(double M1, double M2, double Hue) {
    Hue -= std::floor(Hue);
    if (6 * Hue < 1) return M1 + (M2 - M1) * Hue * 6;
    if (2 * Hue < 1) return M2;
    if (3 * Hue < 2) return M1 + (M2 - M1) * (2.0 / 3 - Hue) * 6;
    return M1;
}

// The colour of hue H and saturation S (percent) at half lightness. Channels round half
// to even, so no saturation gives the grey 128.
TColor HalfLightColor(int H, int S) {
    const double Hue = H / 100.0, Sat = S / 100.0, L = 0.5;
    const double M2 = L + Sat - L * Sat, M1 = 2 * L - M2;
    auto Byte = [](double V) { return static_cast<uint8_t>(std::clamp(RoundHalfEven(255 * V), 0, 255)); };
    const uint8_t R = Byte(HueChannel(M1, M2, Hue + 1.0 / 3));
    const uint8_t G = Byte(HueChannel(M1, M2, Hue));
    const uint8_t B = Byte(HueChannel(M1, M2, Hue - 1.0 / 3));
    return FromColor32(Color32(R, G, B));
}

}  // namespace

// Hears of a bound form skin freed before it was unbound.
class TSkinLib::TFormWatch : public TComponent {
public:
    explicit TFormWatch(TSkinLib* Lib) : TComponent(nullptr), FLib(Lib) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove) FLib->Forget(AComponent);
    }

private:
    TSkinLib* FLib;
};

TSkinLib::TSkinLib() : FWatch(std::make_unique<TFormWatch>(this)) {
    // A hand-edited file may hold anything: out-of-range values would index past the
    // table or give no colour at all.
    if (const TProSettings_SkinStyle* Style = Stored()) {
        FColorIndex = ClampIndex(Style->ColorIndex());
        FColorMode = Style->ColorMode();
        FH = ClampPercent(Style->H());
        FS = ClampPercent(Style->S());
    }
    FActive = true;
    Apply();
}

TSkinLib::~TSkinLib() = default;

TProSettings_SkinStyle* TSkinLib::Stored() {
    TProSettings* Settings = ProSettings();
    return Settings != nullptr ? Settings->SkinStyle() : nullptr;
}

// ---- Values ---------------------------------------------------------------------------

void TSkinLib::SetColorIndex(int Value) {
    Value = ClampIndex(Value);
    if (Value == FColorIndex) return;
    FColorIndex = Value;
    if (TProSettings_SkinStyle* Style = Stored()) Style->SetColorIndex(Value);
}

void TSkinLib::SetColorMode(TColorMode Value) {
    if (Value == FColorMode) return;
    FColorMode = Value;
    if (TProSettings_SkinStyle* Style = Stored()) Style->SetColorMode(Value);
}

void TSkinLib::SetH(int Value) {
    Value = ClampPercent(Value);
    if (Value == FH) return;
    FH = Value;
    if (TProSettings_SkinStyle* Style = Stored()) Style->SetH(Value);
}

void TSkinLib::SetS(int Value) {
    Value = ClampPercent(Value);
    if (Value == FS) return;
    FS = Value;
    if (TProSettings_SkinStyle* Style = Stored()) Style->SetS(Value);
}

bool TSkinLib::Active() {
    if (!FActive) {
        FColorMode = cmDefault;
        FColorIndex = 0;
        if (TProSettings_SkinStyle* Style = Stored()) {
            Style->SetColorMode(cmDefault);
            Style->SetColorIndex(0);
        }
    }
    return FActive;
}

TColor TSkinLib::Color() const {
    switch (FColorMode) {
        case cmDefault:
            return SkinSchemeColors[static_cast<size_t>(FColorIndex)];
        case cmCustom:
            return HalfLightColor(FH, FS);
    }
    return 0;
}

// ---- Applying -------------------------------------------------------------------------

void TSkinLib::ApplyAll() {
    if (!Active()) return;
    RecolorImages();
    // A skin's refresh runs the form's handlers, which may free other bound forms.
    std::vector<std::pair<TPelluxForm*, TQvAliveCheck>> Snapshot;
    for (const TBound& B : FPelluxFormList) Snapshot.emplace_back(B.Skin, B.Skin->AliveCheck());
    for (auto& [Skin, Alive] : Snapshot)
        if (Alive.Alive() && IndexOf(Skin) >= 0) ApplyToForm(Skin);
}

void TSkinLib::ApplyToForm(TPelluxForm* Skin) {
    if (Skin == nullptr || !Active()) return;
    Skin->SetTitlerColor(FRealColor);
    Skin->RefreshSkin();
}

void TSkinLib::RecolorImages() {
    FRealColor = Color();
    const bool Tinted = FColorIndex != 0 || FColorMode != cmDefault;
    TPelluxResManager& Manager = SkinResManager();
    // Each image takes the hue and saturation of the colour as it stands: after the first
    // image, that is the first image's own average.
    uint8_t Hue = 0, Sat = 0, Light = 0;
    if (Tinted) RGBtoHSL(ToColor32(FRealColor), Hue, Sat, Light);
    for (size_t I = 0; I < SchemeImageNames.size(); ++I) {
        const String Name = SchemeImageNames[I];
        const bool UseDPI = I < static_cast<size_t>(SchemeDPIImageCount);
        if (!Tinted) {
            Manager.RestoreImageByID(Name, UseDPI);
            continue;
        }
        TPelluxImage* Image = Manager.MakeGrayscaleImageByID(Name, UseDPI);
        if (Image == nullptr) continue;
        AdjustHSB(Image, Hue, Sat, 0);
        if (I == 0 && !Image->Empty()) {
            FRealColor = AverageColor(Image);
            RGBtoHSL(ToColor32(FRealColor), Hue, Sat, Light);
        }
    }
}

// ---- Bound form skins -----------------------------------------------------------------

int TSkinLib::IndexOf(const TPelluxForm* Skin) const {
    for (size_t I = 0; I < FPelluxFormList.size(); ++I)
        if (FPelluxFormList[I].Skin == Skin) return static_cast<int>(I);
    return -1;
}

void TSkinLib::BindingPelluxForm(TPelluxForm* Skin) {
    if (Skin == nullptr) return;
    if (IndexOf(Skin) < 0) {
        FPelluxFormList.push_back(TBound{Skin, Skin});
        FWatch->FreeNotification(Skin);
    }
    ApplyToForm(Skin);
}

void TSkinLib::UnbindPelluxForm(TPelluxForm* Skin) {
    const int I = IndexOf(Skin);
    if (I < 0) return;
    FPelluxFormList.erase(FPelluxFormList.begin() + I);
    FWatch->RemoveFreeNotification(Skin);
}

void TSkinLib::Forget(const TComponent* Component) {
    std::erase_if(FPelluxFormList, [Component](const TBound& B) { return B.Component == Component; });
}

std::vector<TPelluxForm*> TSkinLib::PelluxFormList() const {
    std::vector<TPelluxForm*> List;
    for (const TBound& B : FPelluxFormList) List.push_back(B.Skin);
    return List;
}

// ---- The program's scheme -------------------------------------------------------------

namespace {

std::unique_ptr<TSkinLib>& Slot() {
    static std::unique_ptr<TSkinLib> S;
    return S;
}

}  // namespace

TSkinLib& SkinLib() {
    if (!Slot()) Slot() = std::make_unique<TSkinLib>();
    return *Slot();
}

bool SkinLibAssigned() { return static_cast<bool>(Slot()); }

void FreeSkinLib() { Slot().reset(); }

void RegisterSkinLib() {
    QvRegisterInitStep(ioSkinScheme, u"skin scheme", [] { SkinLib(); }, [] { FreeSkinLib(); });
}
