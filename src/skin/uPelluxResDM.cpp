#include "skin/uPelluxResDM.h"

#include "draw/uQvSurfaceRecord.h"
#include "framework/uQvAppInit.h"
#include "platform/uQvResources.h"
#include "skin/uPelluxImageData.h"

// The built-in images, packed at build time (tools/skinpack); referring to the entry keeps
// the resource in the link of programs that take the library as an archive.
extern "C" const TQvResource qvres_entry_QV_SKIN_IMAGES;

namespace {

TPelluxResDM* GResDM = nullptr;

}  // namespace

TPelluxResDM::TPelluxResDM(TComponent* AOwner)
    : TDataModule(AOwner), FPelluxImageListMain(new TPelluxImageList(this)) {
    SetName(u"PelluxResDM");
    FPelluxImageListMain->SetName(u"PelluxImageListMain");
    const TQvResource& Images = qvres_entry_QV_SKIN_IMAGES;
    ReadImageListData(FPelluxImageListMain, Images.Data, Images.Size);
}

void ReadImageListData(TPelluxImageList* List, const uint8_t* Data, size_t Size) {
    TPelluxBitmapCollection* Items = List->Bitmaps();
    Items->BeginUpdate();
    try {
        Items->Clear();
        ReadImageData(Data, Size, [Items](const TImageDataItem& Stored) {
            TPelluxBitmapItem* Item = Items->Add();
            Item->SetResID(Stored.ResID);
            TPelluxImage* Bitmap = Item->Bitmap();
            if (Stored.DrawMode < dmOpaque || Stored.DrawMode > dmTransparent) throw EReadError("Stream read error");
            Bitmap->SetDrawMode(static_cast<TDrawMode>(Stored.DrawMode));
            Bitmap->SetResamplerClassName(Stored.ResamplerClassName);
            Bitmap->ReadDataRecord(Stored.Record, Stored.RecordSize);
            Item->SetDescription(Stored.Description);
        });
    } catch (...) {
        Items->EndUpdate();
        throw;
    }
    Items->EndUpdate();
}

TPelluxResDM* PelluxResDM() {
    return GResDM;
}

TPelluxResDM* CreatePelluxResDM() {
    if (GResDM == nullptr) GResDM = Create<TPelluxResDM>(nullptr);
    return GResDM;
}

void FreePelluxResDM() {
    TPelluxResDM* Old = GResDM;
    GResDM = nullptr;
    if (Old != nullptr) Old->Free();
}

TPelluxResDM* ExchangePelluxResDM() {
    TPelluxResDM* New = Create<TPelluxResDM>(nullptr);
    TPelluxResDM* Old = GResDM;
    GResDM = New;
    return Old;
}

void RegisterPelluxResDM() {
    QvRegisterInitStep(ioSkinImages, u"PelluxResDM", [] { CreatePelluxResDM(); }, [] { FreePelluxResDM(); });
}
