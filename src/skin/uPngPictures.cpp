#include "skin/uPngPictures.h"

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxStrips.h"
#include "framework/uQvRegistry.h"

namespace {

// Frames of larger strips are not cut.
constexpr int MaxStripSide = 10000;

}  // namespace

void TPngPictures::Assign(const TPersistent* Source) {
    if (const auto* P = dynamic_cast<const TPngPictures*>(Source)) {
        SetActive(P->FActive);
        SetImage(P->FImage);
        SetCount(P->FCount);
        SetNormal(P->FNormal);
        SetHot(P->FHot);
        SetPressed(P->FPressed);
        SetDisable(P->FDisable);
        SetMultiLineMode(P->FMultiLineMode);
        return;
    }
    TPersistent::Assign(Source);
}

void TPngPictures::Changed() {
    if (!FLocked && FPicturesChanged) FPicturesChanged(this);
}

void TPngPictures::SetActive(bool Value) {
    FActive = Value;
    Changed();
}

void TPngPictures::SetNormal(int Value) {
    FNormal = Value;
    Changed();
}

void TPngPictures::SetHot(int Value) {
    FHot = Value;
    Changed();
}

void TPngPictures::SetDisable(int Value) {
    FDisable = Value;
    Changed();
}

void TPngPictures::SetCount(int Value) {
    FCount = Value;
    Changed();
}

void TPngPictures::SetPicturesChanged(TNotifyEvent Value) {
    FPicturesChanged = std::move(Value);
    Changed();
}

void TPngPictures::Resolve() {
    FDPIScale = GetDPIScale(nullptr);
    TPelluxResManager& Manager = SkinResManager();
    FGeneration = Manager.Generation();
    FSourceImage = Manager.GetImageByName(FImage, true);
}

void TPngPictures::SetImage(const TQvResID& Value) {
    if (Value == FImage) return;
    FImage = Value;
    Resolve();
    Changed();
}

void TPngPictures::CheckDPI() {
    if (FImage.empty() && FSourceImage == nullptr) return;
    const bool NewDPI = HighDPIEnabled && GetDPIScale(nullptr) != FDPIScale;
    // A surface taken before the manager's list was replaced may no longer be the one the
    // name gives.
    if (NewDPI || SkinResManager().Generation() != FGeneration) {
        Resolve();
        Changed();
    }
}

TSize TPngPictures::SourceSize() {
    CheckDPI();
    return FSourceImage == nullptr ? TSize{} : TSize{FSourceImage->Width(), FSourceImage->Height()};
}

int TPngPictures::GetSingleWidth() {
    CheckDPI();
    if (FSourceImage == nullptr || FSourceImage->Empty() || FCount < 1) return 0;
    return FMultiLineMode ? FSourceImage->Width() : FSourceImage->Width() / FCount;
}

int TPngPictures::GetSingleHeight() {
    CheckDPI();
    if (FSourceImage == nullptr || FSourceImage->Empty() || FCount < 1) return 0;
    return FMultiLineMode ? FSourceImage->Height() / FCount : FSourceImage->Height();
}

bool TPngPictures::GetFrame(int Index, TPelluxImage* AImage) {
    CheckDPI();
    TPelluxImage* Src = FSourceImage;
    if (Src == nullptr || AImage == nullptr || Index < 0 || Index >= FCount) return false;
    const int W = Src->Width(), H = Src->Height();
    if (W <= 0 || H <= 0 || W > MaxStripSide || H > MaxStripSide) return false;
    const int Step = FMultiLineMode ? H / FCount : W / FCount;
    if (Step <= 0) return false;
    AImage->BeginUpdate();
    Src->CopyPropertiesTo(AImage);
    if (FMultiLineMode) {
        AImage->SetSize(W, Step);
        // Transparent, with the colour bytes of a pale white.
        AImage->Clear(0x00F4FFFF);
        CutFrame(Src, Rect(0, Index * Step, W, Index * Step + Step), AImage);
    } else {
        AImage->SetSize(Step, H);
        AImage->Clear(0);
        CutFrame(Src, Rect(Index * Step, 0, Index * Step + Step, H), AImage);
    }
    AImage->EndUpdate();
    return true;
}

void RegisterPngPictures() {
    RegisterPelluxImageList();
    RegisterClass<TPngPictures, TPersistent>(u"TPngPictures")
        .Prop(u"Active", &TPngPictures::Active, &TPngPictures::SetActive, false)
        .Prop(u"MultiLineMode", &TPngPictures::MultiLineMode, &TPngPictures::SetMultiLineMode, false)
        .Prop(u"Image", &TPngPictures::Image, &TPngPictures::SetImage)
        .Prop(u"Normal", &TPngPictures::Normal, &TPngPictures::SetNormal, 0)
        .Prop(u"Hot", &TPngPictures::Hot, &TPngPictures::SetHot, 1)
        .Prop(u"Disable", &TPngPictures::Disable, &TPngPictures::SetDisable, 0)
        .Prop(u"Count", &TPngPictures::Count, &TPngPictures::SetCount, 3)
        .Prop(u"Pressed", &TPngPictures::Pressed, &TPngPictures::SetPressed, 2);
}
