#include "skin/uPelluxRes.h"

#include <exception>
#include <string>
#include <vector>

#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvForms.h"
#include "framework/uQvRegistry.h"
#include "framework/uQvStreams.h"
#include "platform/uQvFiles.h"
#include "platform/uQvPaths.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvWindows.h"
#include "skin/uQvSkinRegistry.h"
#include "xml/uQvXmlDocument.h"

int HSB_H = 0;
int HSB_S = 0;
int HSB_B = 0;

namespace {

constexpr char16_t ConfigFile[] = u"Skin/Config.xml";
constexpr char16_t CustomFolder[] = u"Skin/Custom/";
constexpr char16_t DefaultFolder[] = u"Skin/Default/";
constexpr char16_t DefaultPicture[] = u"skin_bk_leaf.jpg";
// The file is a few hundred bytes; anything far larger is not a configuration.
constexpr size_t MaxConfigSize = 16 * 1024 * 1024;
// Sizes read from the file (frame, caption, gradient, resize zone) beyond this are damage.
constexpr int MaxSkinSize = 1000;

TQvFormSkinRes*& SharedSettings() {
    static TQvFormSkinRes* Settings = nullptr;
    return Settings;
}

// A name that stays inside its folder: no separators, no "." or "..", no control
// characters, nothing a drive letter could hide in.
bool IsPlainFileName(const String& Name) {
    if (Name.empty() || Name == u"." || Name == u"..") return false;
    for (char16_t C : Name)
        if (C < 32 || C == u'/' || C == u'\\' || C == u':') return false;
    return true;
}

bool IsSkinSize(int Value) {
    return Value >= 0 && Value <= MaxSkinSize;
}

// Restores the lock state of Settings when reading ends, however it ends.
class TLockDuring {
public:
    explicit TLockDuring(TQvFormSkinRes* Settings) : FSettings(Settings), FWasLocked(Settings->Locked()) {
        FSettings->Lock();
    }
    ~TLockDuring() {
        if (!FWasLocked) FSettings->UnLock();
    }
    TLockDuring(const TLockDuring&) = delete;
    TLockDuring& operator=(const TLockDuring&) = delete;

private:
    TQvFormSkinRes* FSettings;
    bool FWasLocked;
};

}  // namespace

// ---- TQvFormSkinRes -----------------------------------------------------------------------

TQvFormSkinRes::TQvFormSkinRes(TPelluxRes* AOwner) : FOwner(AOwner) {}

TQvFormSkinRes::~TQvFormSkinRes() {
    *FAlive = false;
}

template <typename V>
void TQvFormSkinRes::Store(V& Field, const V& Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
}

void TQvFormSkinRes::SetCustomPicture(const TQvResID& Value) {
    Store(FCustomPicture, Value);
}

void TQvFormSkinRes::SetHitTestWidth(int Value) {
    Store(FHitTestWidth, Value);
}

void TQvFormSkinRes::SetTitleHeight(int Value) {
    Store(FTitleHeight, Value);
}

void TQvFormSkinRes::SetColor(TColor Value) {
    Store(FColor, Value);
}

void TQvFormSkinRes::SetTitlerColor(TColor Value) {
    Store(FTitlerColor, Value);
}

void TQvFormSkinRes::SetStyle(TPelluxStyle Value) {
    Store(FStyle, Value);
}

void TQvFormSkinRes::SetFramWidth(int Value) {
    if (Value >= 0) Store(FFramWidth, Value);
}

void TQvFormSkinRes::SetDefaultSkinOrder(int Value) {
    Store(FDefaultSkinOrder, Value);
}

void TQvFormSkinRes::SetGradientHeight(int Value) {
    Store(FGradientHeight, Value);
}

void TQvFormSkinRes::BeginUpdate() {
    ++FUpdateCount;
}

void TQvFormSkinRes::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) Changed();
}

void TQvFormSkinRes::Changed() {
    if (FUpdateCount > 0 || FLocked) return;
    const std::shared_ptr<bool> Alive = FAlive;
    if (FOwner != nullptr) FOwner->Apply();
    if (*Alive && OnChanged) OnChanged(this);
}

void TQvFormSkinRes::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TQvFormSkinRes*>(Source);
    if (From == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (From == this) return;
    BeginUpdate();
    FCustomPicture = From->FCustomPicture;
    FHitTestWidth = From->FHitTestWidth;
    FTitleHeight = From->FTitleHeight;
    FColor = From->FColor;
    FTitlerColor = From->FTitlerColor;
    FStyle = From->FStyle;
    FFramWidth = From->FFramWidth;
    FCustomPictureName = From->FCustomPictureName;
    FDefaultSkinOrder = From->FDefaultSkinOrder;
    FGradientHeight = From->FGradientHeight;
    FImageBorder = From->FImageBorder;
    FActiveGradient = From->FActiveGradient;
    FDoubleFrame = From->FDoubleFrame;
    FFillStyle = From->FFillStyle;
    FRoundWindow = From->FRoundWindow;
    FFlatFrame = From->FFlatFrame;
    EndUpdate();
}

TPersistent* TQvFormSkinRes::GetOwner() const {
    return FOwner;
}

// ---- TPelluxRes ---------------------------------------------------------------------------

TPelluxRes::TPelluxRes(TComponent* AOwner) : TPelluxRes(AOwner, AppPath()) {}

TPelluxRes::TPelluxRes(TComponent* AOwner, const String& ProgramFolder)
    : TComponent(AOwner),
      FXml(std::make_unique<TQvXmlDocument>(nullptr)),
      FForm(std::make_unique<TQvFormSkinRes>(this)),
      FFolder(IncludeTrailingPathDelimiter(ProgramFolder)),
      FFileName(FFolder + ConfigFile) {
    Load();
}

TPelluxRes::~TPelluxRes() = default;

void TPelluxRes::SetForm(const TQvFormSkinRes* Value) {
    FForm->Assign(Value);
}

bool TPelluxRes::TakeDefaultPicture() {
    const String Path = FFolder + DefaultFolder + DefaultPicture;
    if (!FileExists(Path)) return false;
    FForm->SetCustomPictureName(DefaultPicture);
    FForm->SetCustomPicture(Path);
    return true;
}

void TPelluxRes::TakePicture(const String& Name) {
    const String Path = FFolder + CustomFolder + Name;
    if (IsPlainFileName(Name) && FileExists(Path)) {
        FForm->SetCustomPictureName(Name);
        FForm->SetCustomPicture(Path);
        return;
    }
    TakeDefaultPicture();
}

void TPelluxRes::ReadDocument() {
    TXmlElement* Root = FXml->Root();
    if (Root == nullptr || !SameText(Root->Name(), u"PelluxRes")) return;
    TXmlNode* Config = Root->FindNode(u"Config");
    TXmlNode* Custom = Config != nullptr ? Config->FindNode(u"Custom") : nullptr;
    TXmlNode* Form = Custom != nullptr ? Custom->FindNode(u"Form") : nullptr;
    if (Form == nullptr) return;
    auto Read = [Form](const char16_t* Name, int& Value) {
        const TXmlNode* Node = Form->FindNode(Name);
        return Node != nullptr && TryStrToInt(Node->Value(), Value);
    };
    int V = 0;
    if (Read(u"Style", V) && (V == ssColor || V == ssPicture)) FForm->SetStyle(static_cast<TPelluxStyle>(V));
    if (Read(u"DefaultSkinOrder", V)) FForm->SetDefaultSkinOrder(V);
    if (const TXmlNode* Bg = Form->FindNode(u"FormBg")) TakePicture(Bg->Value());
    if (Read(u"GradientHeight", V) && IsSkinSize(V)) FForm->SetGradientHeight(V);
    if (Read(u"HitTestWidth", V) && IsSkinSize(V)) FForm->SetHitTestWidth(V);
    if (Read(u"TitleHeight", V) && IsSkinSize(V)) FForm->SetTitleHeight(V);
    if (Read(u"TitlerColor", V)) FForm->SetTitlerColor(V);
    if (Read(u"Color", V)) FForm->SetColor(V);
    if (Read(u"FramWidth", V) && IsSkinSize(V)) FForm->SetFramWidth(V);
    if (Read(u"HSB_H", V)) HSB_H = V;
    if (Read(u"HSB_S", V)) HSB_S = V;
    if (Read(u"HSB_B", V)) HSB_B = V;
}

void TPelluxRes::Load() {
    if (!FileExists(FFileName)) {
        const String Picture = FForm->CustomPicture(), Name = FForm->CustomPictureName();
        const String Path = FFolder + DefaultFolder + DefaultPicture;
        if (!FileExists(Path) || (Picture == Path && Name == DefaultPicture)) return;
        FForm->BeginUpdate();
        TakeDefaultPicture();
        FForm->EndUpdate();
        return;
    }
    const TLockDuring Lock(FForm.get());
    try {
        std::string Bytes;
        if (!ReadFileBytes(FFileName, Bytes, MaxConfigSize)) return;
        TMemoryStream In(Bytes);
        FXml->LoadFromStream(In);
        ReadDocument();
    } catch (const std::exception&) {
        // A file that cannot be read keeps what was read before it failed.
    }
}

void TPelluxRes::Save() {
    // A new document is written as UTF-8, whatever the last file loaded was.
    FXml->New();
    TXmlElement* Root = FXml->Root();
    Root->SetName(u"PelluxRes");
    TXmlNode* Form = Root->NodeNew(u"Config")->NodeNew(u"Custom")->NodeNew(u"Form");
    auto Write = [Form](const char16_t* Name, int Value) { Form->NodeNew(Name)->SetValueAsInteger(Value); };
    Write(u"Style", FForm->Style());
    Form->NodeNew(u"FormBg")->SetValue(FForm->CustomPictureName());
    Write(u"DefaultSkinOrder", FForm->DefaultSkinOrder());
    Write(u"HitTestWidth", FForm->HitTestWidth());
    Write(u"GradientHeight", FForm->GradientHeight());
    Write(u"TitleHeight", FForm->TitleHeight());
    Write(u"TitlerColor", FForm->TitlerColor());
    Write(u"Color", FForm->Color());
    Write(u"FramWidth", FForm->FramWidth());
    Write(u"HSB_H", HSB_H);
    Write(u"HSB_S", HSB_S);
    Write(u"HSB_B", HSB_B);
    ForceDirectories(ExtractFilePath(FFileName));
    try {
        FXml->SaveToFile(FFileName);
    } catch (const std::exception&) {
        // The old file stays as it was; a program without write access runs on.
    }
}

void TPelluxRes::Apply() {
    if (ComponentState().Contains(csDesigning)) {
        Save();
        return;
    }
    if (!FormSkinHelperAssigned()) return;
    // A snapshot, from the last form to the first: the messages run before each form may
    // close forms, register new ones or free this component.
    struct TEntry {
        TCustomForm* Form;
        TQvAliveCheck Alive;
    };
    std::vector<TEntry> Forms;
    TQvFormSkinHelper* Registry = FormSkinHelper();
    for (int I = Registry->GetCount() - 1; I >= 0; --I)
        Forms.push_back(TEntry{Registry->Forms(I), Registry->Forms(I)->AliveCheck()});
    for (const TEntry& E : Forms) {
        if (Application != nullptr) Application->ProcessMessages();
        if (!E.Alive.Alive() || !FormSkinHelperAssigned() || FormSkinHelper()->IndexOf(E.Form) < 0) continue;
        SendMessage(E.Form->Handle(), MM_SKINRESCHANGED, 0, 0);
    }
}

void TPelluxRes::ApplyDefault() {
    if (ComponentState().Contains(csDesigning)) return;
    FForm->BeginUpdate();
    FForm->SetStyle(ssColor);
    FForm->SetDefaultSkinOrder(0);
    FForm->SetCustomPicture(u"");
    FForm->SetHitTestWidth(5);
    FForm->SetTitleHeight(27);
    FForm->SetGradientHeight(168);
    FForm->SetTitlerColor(16761926);
    FForm->SetColor(15920353);
    FForm->SetFramWidth(2);
    HSB_H = 0;
    HSB_S = 0;
    HSB_B = 0;
    FForm->EndUpdate();
}

void TPelluxRes::Loaded() {
    TComponent::Loaded();
    if (FUseSkinFile)
        Load();
    else
        Save();
}

// ---- The shared settings and registration -------------------------------------------------

TQvFormSkinRes* SharedFormSkinRes() {
    if (SharedSettings() == nullptr) SharedSettings() = new TQvFormSkinRes();
    return SharedSettings();
}

void FreeSharedFormSkinRes() {
    delete SharedSettings();
    SharedSettings() = nullptr;
}

void RegisterPelluxRes() {
    RegisterPelluxIntf();
    RegisterClass<TQvFormSkinRes, TPersistent>(u"TQvFormSkinRes")
        .Prop(u"CustomPicture", &TQvFormSkinRes::CustomPicture, &TQvFormSkinRes::SetCustomPicture, u"")
        .Prop(u"HitTestWidth", &TQvFormSkinRes::HitTestWidth, &TQvFormSkinRes::SetHitTestWidth, 5)
        .Prop(u"TitleHeight", &TQvFormSkinRes::TitleHeight, &TQvFormSkinRes::SetTitleHeight, 27)
        .Color(u"Color", &TQvFormSkinRes::Color, &TQvFormSkinRes::SetColor, TColor{15920353})
        .Color(u"TitlerColor", &TQvFormSkinRes::TitlerColor, &TQvFormSkinRes::SetTitlerColor, TColor{16761926})
        .Prop(u"Style", &TQvFormSkinRes::Style, &TQvFormSkinRes::SetStyle, ssColor)
        .Prop(u"FramWidth", &TQvFormSkinRes::FramWidth, &TQvFormSkinRes::SetFramWidth, 2)
        .Prop(u"DefaultSkinOrder", &TQvFormSkinRes::DefaultSkinOrder, &TQvFormSkinRes::SetDefaultSkinOrder, 0)
        .Prop(u"GradientHeight", &TQvFormSkinRes::GradientHeight, &TQvFormSkinRes::SetGradientHeight, 168)
        .Component<TComponent>(u"ImageBorder", &TQvFormSkinRes::ImageBorder, &TQvFormSkinRes::SetImageBorder)
        .Prop(u"ActiveGradient", &TQvFormSkinRes::ActiveGradient, &TQvFormSkinRes::SetActiveGradient, true)
        .Prop(u"DoubleFrame", &TQvFormSkinRes::DoubleFrame, &TQvFormSkinRes::SetDoubleFrame, true)
        .Prop(u"FillStyle", &TQvFormSkinRes::FillStyle, &TQvFormSkinRes::SetFillStyle, mfsBlur)
        .Prop(u"RoundWindow", &TQvFormSkinRes::RoundWindow, &TQvFormSkinRes::SetRoundWindow, true)
        .Prop(u"FlatFrame", &TQvFormSkinRes::FlatFrame, &TQvFormSkinRes::SetFlatFrame, false);
    RegisterClass<TPelluxRes, TComponent>(u"TPelluxRes")
        .Object(u"Form", &TPelluxRes::Form)
        .Prop(u"UseSkinFile", &TPelluxRes::UseSkinFile, &TPelluxRes::SetUseSkinFile, true);
    QvRegisterInitStep(ioFormSkinRes, u"FormSkinRes", [] { SharedFormSkinRes(); }, FreeSharedFormSkinRes);
}
