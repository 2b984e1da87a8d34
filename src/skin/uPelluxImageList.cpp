#include "skin/uPelluxImageList.h"

#include "framework/uQvRegistry.h"

TPelluxBitmapItem::TPelluxBitmapItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FBitmap(std::make_unique<TPelluxImage>()) {}

TPelluxBitmapItem::~TPelluxBitmapItem() = default;

void TPelluxBitmapItem::SetBitmap(const TSurface32* Value) {
    FBitmap->Assign(Value);
}

std::unique_ptr<TPelluxImage> TPelluxBitmapItem::ExchangeBitmap(std::unique_ptr<TPelluxImage> Value) {
    if (!Value) throw EQvError("The bitmap is nil");
    std::swap(FBitmap, Value);
    return Value;
}

void TPelluxBitmapItem::Assign(const TPersistent* Source) {
    if (const auto* Item = dynamic_cast<const TPelluxBitmapItem*>(Source)) {
        FResID = Item->FResID;
        FDescription = Item->FDescription;
        FBitmap->Assign(Item->FBitmap.get());
        return;
    }
    TCollectionItem::Assign(Source);
}

TPelluxBitmapCollection::TPelluxBitmapCollection(TPelluxImageList* AOwner)
    : TOwnedCollection(AOwner, CollectionItemClass<TPelluxBitmapItem>()), FImageList(AOwner) {}

TPelluxImageList::TPelluxImageList(TComponent* AOwner)
    : TComponent(AOwner), FBitmaps(std::make_unique<TPelluxBitmapCollection>(this)) {}

TPelluxImageList::~TPelluxImageList() = default;

void RegisterPelluxImageList() {
    RegisterPelluxImage();
    RegisterClass<TPelluxBitmapCollection, TCollection>(u"TPelluxBitmapCollection");
    RegisterClass<TPelluxBitmapItem, TCollectionItem>(u"TPelluxBitmapItem")
        .Prop(u"ResID", &TPelluxBitmapItem::ResID, &TPelluxBitmapItem::SetResID)
        .Object(u"Bitmap", &TPelluxBitmapItem::Bitmap)
        .Prop(u"Description", &TPelluxBitmapItem::Description, &TPelluxBitmapItem::SetDescription);
    RegisterClass<TPelluxImageList, TComponent>(u"TPelluxImageList")
        .Object(u"Bitmaps", &TPelluxImageList::Bitmaps);
}
