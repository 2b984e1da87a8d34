#include "skin/uPelluxResManager.h"

#include "draw/uPelluxDPI.h"
#include "draw/uPelluxGraphics.h"
#include "draw/uPelluxPng.h"
#include "draw/uPelluxScale.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "platform/uQvFiles.h"
#include "platform/uQvStrUtils.h"
#include "skin/uPelluxResDM.h"

namespace {

TPelluxResManager* GManager = nullptr;

// Picture files beyond this are not read (skin pictures are a few hundred kilobytes).
constexpr size_t MaxPictureFileSize = size_t{64} << 20;
// An image-list text form of the whole built-in list is about six megabytes.
constexpr size_t MaxListFileSize = size_t{256} << 20;

constexpr char16_t DPIMark[] = u"@DPI";

std::u16string_view TrimView(std::u16string_view S) {
    size_t B = 0, E = S.size();
    while (B < E && S[B] <= u' ') ++B;
    while (E > B && S[E - 1] <= u' ') --E;
    return S.substr(B, E - B);
}

char16_t UpperAscii(char16_t C) {
    return C >= u'a' && C <= u'z' ? static_cast<char16_t>(C - 32) : C;
}

bool SameResID(std::u16string_view A, std::u16string_view B) {
    A = TrimView(A);
    B = TrimView(B);
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

int IndexIn(const TPelluxImageList* List, std::u16string_view ResID) {
    const TPelluxBitmapCollection* Items = List->Bitmaps();
    for (int I = 0; I < Items->Count(); ++I)
        if (SameResID(Items->Items(I)->ResID(), ResID)) return I;
    return -1;
}

// Loads a picture file into Image with its draw mode: PNG through the PNG helper (dmBlend
// when it has transparency, else dmOpaque), anything else opaque. Raises when the file
// cannot be read or decoded.
void LoadPicture(const String& FileName, TPelluxImage* Image) {
    std::vector<uint8_t> Bytes;
    const TQvFileResult Read = ReadFileBytes(FileName, Bytes, MaxPictureFileSize);
    if (!Read) throw EQvError(u"Cannot read " + FileName + u": " + Read.Reason());
    if (UpperCase(ExtractFileExt(FileName)) == u".PNG") {
        bool HasTransparency = false;
        ReadPngIntoSurface(Image, Bytes.data(), Bytes.size(), HasTransparency);
        Image->SetDrawMode(HasTransparency ? dmBlend : dmOpaque);
    } else {
        Image->LoadFromBytes(Bytes.data(), Bytes.size(), FileName);
        Image->SetDrawMode(dmOpaque);
    }
}

}  // namespace

int DPILevelOf(double Factor) {
    if (Factor <= 1) return 0;
    const int Percent = RoundHalfEven(Factor * 100);
    return Percent >= 300 ? 3 : Percent < 200 ? 1 : 2;
}

String DPISuffix(int Level) {
    switch (Level) {
        case 1: return u"@DPI150";
        case 2: return u"@DPI200";
        case 3: return u"@DPI300";
        default: return String();
    }
}

String DPIBaseName(std::u16string_view Name) {
    return String(Name.substr(0, Name.find(DPIMark)));
}

String BackupResID(const String& ResID) {
    return ResID + u"_$Bak$";
}

TPelluxResManager::TPelluxResManager()
    : FImageList(CreatePelluxResDM()->PelluxImageListMain()), FRunTimeImageList(std::make_unique<TPelluxImageList>(nullptr)) {}

TPelluxResManager::~TPelluxResManager() = default;

int TPelluxResManager::IndexOfRes(std::u16string_view ResID) const {
    return IndexIn(FImageList, ResID);
}

int TPelluxResManager::IndexOfFileName_RunTime(std::u16string_view FileName) const {
    return IndexIn(FRunTimeImageList.get(), FileName);
}

TPelluxImage* TPelluxResManager::Notify(const String& ResID, TPelluxImage* Image) {
    if (OnGetImage) OnGetImage(this, ResID, Image);
    return Image;
}

TPelluxImage* TPelluxResManager::GetImageByName(const TQvResID& ResID, bool UseDPIImage) {
    if (TrimView(ResID).empty()) return nullptr;
    TPelluxImage* Result = nullptr;
    if (FileExists(ResID)) Result = GetImageByFileName(ResID);
    if (Result == nullptr) {
        int Index = -1;
        if (HighDPIEnabled && UseDPIImage) Index = GetResIDByDPIScale(ResID);
        if (Index < 0) Index = IndexOfRes(ResID);
        if (Index >= 0) Result = FImageList->GetBitmap(Index);
    }
    if (Result == nullptr) {
        const String Beside = CombinePath(AppPath(), ResID);
        if (FileExists(Beside)) Result = GetImageByFileName(Beside);
    }
    return Notify(ResID, Result);
}

void TPelluxResManager::MakeVariant(TPelluxImage* Base, double Factor, TPelluxImage* Into) {
    TPelluxImage Scaled;
    Scaled.SetDrawMode(dmBlend);
    ScaleImage(Base, &Scaled, Factor);
    Into->Assign(&Scaled);
}

int TPelluxResManager::GetResIDByDPIScale(const TQvResID& SourceResID) {
    const double Factor = GetDPIScale(nullptr);
    const int Level = DPILevelOf(Factor);
    if (Level == 0) return -1;
    const String Base = DPIBaseName(SourceResID);
    const String Target = Base + DPISuffix(Level);
    const int Found = IndexOfRes(Target);
    if (Found >= 0) return Found;
    // Always from the base image: scaling a variant of another level by the full factor
    // would compound the two (a 200 % variant scaled for 300 % would be six times).
    const int BaseIndex = IndexOfRes(Base);
    if (BaseIndex < 0) return -1;
    TPelluxBitmapItem* Item = FImageList->Bitmaps()->Add();
    Item->SetResID(Target);
    Item->SetDescription(u"AutoAdd");
    MakeVariant(FImageList->GetBitmap(BaseIndex), Factor, Item->Bitmap());
    FVariantFactors[Item->Bitmap()] = Factor;
    ImageListChanged();
    return Item->Index();
}

TPelluxImage* TPelluxResManager::GetImageByFileName(const String& FileName) {
    const double Factor = GetDPIScale(nullptr);
    const int Level = HighDPIEnabled ? DPILevelOf(Factor) : 0;
    const String Key = HighDPIEnabled ? DPIBaseName(FileName) + DPISuffix(Level) : FileName;
    const int Index = IndexOfFileName_RunTime(Key);
    if (Index >= 0) return Notify(Key, FRunTimeImageList->GetBitmap(Index));

    // A picture that failed is tried again only once its file changed.
    const TQvFileStamp Stamp = FileStamp(FileName);
    const auto Failed = FFailedFiles.find(Key);
    if (Failed != FFailedFiles.end() && Failed->second == Stamp) return Notify(Key, nullptr);
    auto Picture = std::make_unique<TPelluxImage>();
    try {
        LoadPicture(FileName, Picture.get());
        if (Level > 0) MakeVariant(Picture.get(), Factor, Picture.get());
    } catch (const std::exception&) {
        FFailedFiles[Key] = Stamp;
        return Notify(Key, nullptr);
    }
    FFailedFiles.erase(Key);
    TPelluxBitmapItem* Item = FRunTimeImageList->Bitmaps()->Add();
    Item->SetResID(Level > 0 ? Key : FileName);
    Item->ExchangeBitmap(std::move(Picture));
    return Notify(Item->ResID(), Item->Bitmap());
}

int TPelluxResManager::AddRes(const TSurface32* AImage, const TQvResID& ResID, const String& Description) {
    TPelluxBitmapItem* Item = FImageList->Bitmaps()->Add();
    Item->SetResID(ResID);
    Item->SetDescription(Description);
    Item->SetBitmap(AImage);
    ImageListChanged();
    return Item->Index();
}

int TPelluxResManager::AddRes(HINSTANCE Instance, const String& ResourceName, const String& Description,
                              const TQvResID& ResID) {
    TPelluxImage Image;
    Image.LoadFromResourceName(Instance, ResourceName);
    return AddRes(&Image, ResID, Description);
}

int TPelluxResManager::AddRes(const String& AImageFileName, const TQvResID& ResID, const String& Description) {
    TPelluxImage Image;
    LoadPicture(AImageFileName, &Image);
    String Name = ResID;
    if (Name.empty()) {
        Name = ExtractFileName(AImageFileName);
        const String Ext = ExtractFileExt(Name);
        const size_t At = Ext.empty() ? String::npos : Name.find(Ext);
        if (At != String::npos) Name.erase(At, Ext.size());
    }
    return AddRes(&Image, Name, Description);
}

int TPelluxResManager::ReplaceRes(const TQvResID& DestResID, const TSurface32* AImage) {
    const int Index = IndexOfRes(DestResID);
    if (Index < 0) return -1;
    FImageList->SetBitmap(Index, AImage);
    ImageListChanged();
    return Index;
}

int TPelluxResManager::ReplaceRes(const TQvResID& DestResID, const String& AImageFileName, const String&,
                                  const TQvResID&) {
    const int Index = IndexOfRes(DestResID);
    if (Index < 0) return -1;
    TPelluxImage Image;
    LoadPicture(AImageFileName, &Image);
    return ReplaceRes(DestResID, &Image);
}

void TPelluxResManager::Retire(TPelluxBitmapItem* Item) {
    FVariantFactors.erase(Item->Bitmap());
    FRetired.push_back(Item->ExchangeBitmap(std::make_unique<TPelluxImage>()));
}

void TPelluxResManager::Delete(const TQvResID& ResID) {
    int Index = IndexOfRes(ResID);
    if (Index >= 0) {
        Retire(FImageList->Bitmaps()->Items(Index));
        FImageList->Bitmaps()->Delete(Index);
        ++FGeneration;
        ImageListChanged();
        return;
    }
    Index = IndexOfFileName_RunTime(ResID);
    if (Index < 0) return;
    Retire(FRunTimeImageList->Bitmaps()->Items(Index));
    FRunTimeImageList->Bitmaps()->Delete(Index);
    ++FGeneration;
}

void TPelluxResManager::BackupImageByID(const TQvResID& ResID) {
    TPelluxImage* Image = GetImageByName(ResID, false);
    if (Image == nullptr) return;
    const String Backup = BackupResID(ResID);
    if (ReplaceRes(Backup, Image) < 0) AddRes(Image, Backup, String());
}

void TPelluxResManager::RestoreFromBackup(const TQvResID& ResID, TPelluxImage* Found) {
    TPelluxImage* Backup = FImageList->GetBitmap(IndexOfRes(BackupResID(ResID)));
    const int BaseIndex = IndexOfRes(ResID);
    TPelluxImage* Base = BaseIndex >= 0 ? FImageList->GetBitmap(BaseIndex) : nullptr;
    if (Base != nullptr) ReplaceRes(ResID, Backup);
    if (Found == Base) return;
    // A DPI variant keeps its own scale; anything else takes the backup as it is.
    const auto Variant = FVariantFactors.find(Found);
    if (Base != nullptr && Variant != FVariantFactors.end())
        MakeVariant(Base, Variant->second, Found);
    else
        Found->Assign(Backup);
}

void TPelluxResManager::RestoreImageByID(const TQvResID& ResID, bool UseDPIImage) {
    // Nothing was ever changed without a backup: no lookup (nor a DPI variant made) for it.
    if (IndexOfRes(BackupResID(ResID)) < 0) return;
    if (TPelluxImage* Found = GetImageByName(ResID, UseDPIImage)) RestoreFromBackup(ResID, Found);
}

TPelluxImage* TPelluxResManager::MakeGrayscaleImageByID(const TQvResID& ResID, bool UseDPIImage) {
    TPelluxImage* Found = GetImageByName(ResID, UseDPIImage);
    if (Found == nullptr) return nullptr;
    if (IndexOfRes(BackupResID(ResID)) < 0)
        BackupImageByID(ResID);
    else
        RestoreFromBackup(ResID, Found);
    MakeGrayscale(Found, Found, true);
    return Found;
}

void TPelluxResManager::BeginUpdate() {
    FImageList->Bitmaps()->BeginUpdate();
}

void TPelluxResManager::EndUpdate() {
    FImageList->Bitmaps()->EndUpdate();
}

String TPelluxResManager::DesignTimeResFileName() {
    return AppTempPath() + u"PelluxDesignTimeRes.tmp";
}

void TPelluxResManager::Refresh(const String& RunTimeResFileName) {
    const String FileName = RunTimeResFileName.empty() ? DesignTimeResFileName() : RunTimeResFileName;
    if (!PathExists(FileName)) {
        RegisterPelluxImageList();
        WriteFileAtomic(FileName, WriteComponentTextUtf8(FImageList));
    }
    std::string Text;
    if (!ReadFileBytes(FileName, Text, MaxListFileSize)) throw EQvError("Not found PelluxDesignTimeRes.tmp file!");
    RefreshFromText(Text);
}

void TPelluxResManager::RefreshFromText(std::string_view Utf8) {
    RegisterPelluxImageList();
    TPelluxImageList Read(nullptr);
    ReadComponentTextUtf8(&Read, Utf8);
    CarrySurfaces(FImageList, &Read);
    TPelluxBitmapCollection* Items = FImageList->Bitmaps();
    Items->BeginUpdate();
    Items->Clear();
    while (Read.Bitmaps()->Count() > 0) Read.Bitmaps()->Items(0)->SetCollection(Items);
    Items->EndUpdate();
    ImageListChanged();
}

void TPelluxResManager::CarrySurfaces(TPelluxImageList* From, TPelluxImageList* To) {
    std::vector<TPelluxBitmapItem*> Old;
    for (int I = 0; I < From->Bitmaps()->Count(); ++I) Old.push_back(From->Bitmaps()->Items(I));
    for (int I = 0; I < To->Bitmaps()->Count(); ++I) {
        TPelluxBitmapItem* Item = To->Bitmaps()->Items(I);
        for (TPelluxBitmapItem*& Was : Old) {
            if (Was == nullptr || !SameResID(Was->ResID(), Item->ResID())) continue;
            FVariantFactors.erase(Was->Bitmap());
            Was->Bitmap()->Assign(Item->Bitmap());
            Item->ExchangeBitmap(Was->ExchangeBitmap(std::make_unique<TPelluxImage>()));
            Was = nullptr;
            break;
        }
    }
    for (TPelluxBitmapItem* Was : Old)
        if (Was != nullptr) Retire(Was);
    ++FGeneration;
}

void TPelluxResManager::Reload() {
    TPelluxResDM* Old = ExchangePelluxResDM();
    TPelluxImageList* New = PelluxResDM()->PelluxImageListMain();
    if (Old != nullptr) {
        CarrySurfaces(Old->PelluxImageListMain(), New);
        Old->Free();
    }
    FImageList = New;
    ImageListChanged();
}

TPelluxResManager& SkinResManager() {
    if (GManager == nullptr) GManager = new TPelluxResManager();
    return *GManager;
}

void FreeSkinResManager() {
    TPelluxResManager* Old = GManager;
    GManager = nullptr;
    delete Old;
}

void RegisterSkinResManager() {
    QvRegisterInitStep(ioResourceManager, u"SkinResManager", nullptr, [] { FreeSkinResManager(); });
}
