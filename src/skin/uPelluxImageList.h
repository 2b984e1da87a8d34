#pragma once
// The skin image store: an image list component whose items are named skin images
// (ResID, surface, description), kept in an owned collection in stored order.

#include <memory>

#include "draw/uPelluxImage.h"
#include "framework/uQvCollections.h"

class TPelluxImageList;

// One named skin image. The surface is created with the item and owned by it.
class TPelluxBitmapItem : public TCollectionItem {
public:
    explicit TPelluxBitmapItem(TCollection* ACollection);
    ~TPelluxBitmapItem() override;

    const String& ResID() const { return FResID; }
    void SetResID(const String& Value) { FResID = Value; }
    TPelluxImage* Bitmap() const { return FBitmap.get(); }
    // Copies the given surface (size, pixels, draw properties).
    void SetBitmap(const TSurface32* Value);
    const String& Description() const { return FDescription; }
    void SetDescription(const String& Value) { FDescription = Value; }

    // Puts Value in place of the item's surface and hands the old one back, so a holder of
    // the old surface can be given the new pixels in it (the resource manager keeps the
    // surfaces it handed out alive this way). Value must not be null.
    std::unique_ptr<TPelluxImage> ExchangeBitmap(std::unique_ptr<TPelluxImage> Value);

    // ResID, Description and the surface of another item.
    void Assign(const TPersistent* Source) override;
    String DisplayName() const override { return FResID.empty() ? TCollectionItem::DisplayName() : FResID; }

private:
    String FResID;
    std::unique_ptr<TPelluxImage> FBitmap;
    String FDescription;
};

// The ordered items of one image list.
class TPelluxBitmapCollection : public TOwnedCollection {
public:
    explicit TPelluxBitmapCollection(TPelluxImageList* AOwner);

    TPelluxBitmapItem* Add() { return static_cast<TPelluxBitmapItem*>(TCollection::Add()); }
    // Raises EListError "List index out of bounds (%d)".
    TPelluxBitmapItem* Items(int Index) const { return static_cast<TPelluxBitmapItem*>(TCollection::Items(Index)); }
    TPelluxImageList* ImageList() const { return FImageList; }

private:
    TPelluxImageList* FImageList;
};

class TPelluxImageList : public TComponent {
public:
    explicit TPelluxImageList(TComponent* AOwner);
    ~TPelluxImageList() override;

    TPelluxBitmapCollection* Bitmaps() const { return FBitmaps.get(); }
    void SetBitmaps(const TPelluxBitmapCollection* Value) { FBitmaps->Assign(Value); }
    // The surface of item Index; a bad index raises the list-index error.
    TPelluxImage* GetBitmap(int Index) const { return FBitmaps->Items(Index)->Bitmap(); }
    void SetBitmap(int Index, const TSurface32* Value) { FBitmaps->Items(Index)->SetBitmap(Value); }

private:
    std::unique_ptr<TPelluxBitmapCollection> FBitmaps;
};

// Registers the image list and its items for stored layouts (after the skin image).
// Calling it again does nothing.
void RegisterPelluxImageList();
