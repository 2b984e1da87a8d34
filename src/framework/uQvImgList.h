#pragma once
// Image lists: numbered images of one size that controls draw by index (toolbar icons,
// tree node images, action images). Every entry is a platform 32-bit bitmap of the list's
// size holding straight-alpha 0xAARRGGBB pixels, top-down; drawing blends it by its alpha
// through the platform's AlphaBlend. Controls that show a list hear of its changes through
// a TChangeLink and of its end through free notification.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/uQvClasses.h"
#include "framework/uQvPictures.h"
#include "platform/uQvGdiBitmaps.h"

// How Draw puts an image on the canvas: blended 25 % (dsFocus) or 50 % (dsSelected) with
// BlendColor, over BkColor (dsNormal), or over what is there (dsTransparent).
enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
// Draw shows the image, or its mask (black where the image shows, white elsewhere).
enum TImageType { itImage, itMask };
// Kept for stored layouts; entries are 32-bit whatever the value.
enum TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };

class TCustomImageList;

// A control's subscription to an image list's changes. Freeing the link unsubscribes it;
// freeing the list sets its Sender to nullptr.
class TChangeLink : public TObject {
public:
    ~TChangeLink() override;

    TCustomImageList* Sender() const { return FSender; }
    // Calls OnChange(Sender).
    virtual void Change();

    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    // The size of every entry. Changing it deletes the entries; sides outside
    // 1..GdiMaxBitmapSide are ignored.
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight);
    TColorDepth ColorDepth() const { return FColorDepth; }
    void SetColorDepth(TColorDepth Value);
    // Without a mask the entries are drawn opaque, their alpha ignored.
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    // What dsNormal fills an image's rectangle with before blending it; clNone fills nothing.
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    // What dsFocus and dsSelected mix into the image; clNone blends the image itself at
    // 75 % or 50 % over what is there instead; clDefault is the highlight colour.
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds the images of a strip: one per whole Width of the picture (a narrower picture
    // gives one, padded with transparent pixels); rows beyond Height are cut. The picture's
    // alpha is taken as its AlphaFormat says (none for afIgnored). Where Mask is white the
    // image is left out (alpha 0). Returns the index of the first new image, -1 when the
    // picture is empty.
    int Add(const TBitmap* Image, const TBitmap* Mask);
    // The same, leaving out the pixels of MaskColor (clNone and clDefault leave out none).
    int AddMasked(const TBitmap* Image, TColor MaskColor);
    // A strip of straight-alpha pixels, rows Stride bytes apart.
    int AddPixels(const uint32_t* Pixels, int AWidth, int AHeight, ptrdiff_t Stride);
    // Inserts a strip's images before Index (0..Count); raises "List index out of bounds
    // (%d)" for another index.
    void Insert(int Index, const TBitmap* Image, const TBitmap* Mask);
    void InsertMasked(int Index, const TBitmap* Image, TColor MaskColor);
    // Replaces one entry with the first image of a strip; raises EInvalidOperation
    // "Invalid ImageList Index" for an index that does not exist.
    void Replace(int Index, const TBitmap* Image, const TBitmap* Mask);
    void ReplaceMasked(int Index, const TBitmap* Image, TColor MaskColor);
    // Deletes one entry, later ones shift down; -1 deletes them all. Another index raises
    // "Invalid ImageList Index".
    void Delete(int Index);
    void Clear();
    // Takes the entry out and inserts it again at NewIndex; both must exist.
    void Move(int CurIndex, int NewIndex);

    // Copies an entry into Image (the list's size, afDefined); false for a bad index, and
    // Image is left alone.
    bool GetBitmap(int Index, TBitmap* Image) const;
    // The entry's pixels for reading (straight alpha, top-down, rows Width * 4 bytes
    // apart), nullptr for a bad index. Valid until the entry is replaced or deleted, the
    // size changes or the list is freed.
    const TGdiBitmap* Bits(int Index) const;

    // Draws entry Index with its top-left at (X, Y): in the list's DrawingStyle and
    // ImageType, or those given. Disabled, the image is drawn in grey at half its alpha,
    // whatever the style and type. A bad index draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);

    // Changes inside BeginUpdate/EndUpdate are told once, at the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    // From another image list: size, settings and entries.
    void Assign(const TPersistent* Source) override;

    // The stored "Bitmap": the entries in our own container format (see ReadData).
    void DefineProperties(TFiler& Filer) override;
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;

    TNotifyEvent OnChange;

protected:
    // Tells the change links, then OnChange; only once the last EndUpdate came.
    virtual void Change();

private:
    using TEntry = std::shared_ptr<TGdiBitmap>;
    // Reads a source pixel, straight alpha, with the mask already applied.
    struct TSource;
    std::vector<TEntry> Entries(const TSource& Source) const;
    std::vector<TEntry> EntriesOf(const TBitmap* Image, const TBitmap* Mask, TColor MaskColor) const;
    void InsertEntries(int Index, std::vector<TEntry> New);
    void ReplaceEntry(int Index, std::vector<TEntry> New);
    void CheckIndex(int Index) const;
    uint32_t* PrepareScratch();

    int FWidth = 16;
    int FHeight = 16;
    TColorDepth FColorDepth = cd32Bit;
    bool FMasked = true;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    std::vector<TEntry> FImages;
    std::vector<TChangeLink*> FLinks;
    int FUpdateCount = 0;
    bool FChanged = false;
    // The premultiplied picture of the entry being drawn.
    std::unique_ptr<TBitmap> FScratch;
    // Expires with the list: a handler that frees it ends the notifications.
    std::shared_ptr<char> FLife = std::make_shared<char>();
};

class TImageList : public TCustomImageList {
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

// Registers the image list classes and enumerations with their stored properties (Width,
// Height, Masked, BkColor, ... and the binary Bitmap). Calling it again does nothing.
void RegisterQvImgList();
