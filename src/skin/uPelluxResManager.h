#pragma once
// The skin resource manager: the one place where a skin image is looked up by name. A name
// is the ResID of an item of the built-in image list or the path of a picture file. The
// manager prefers a variant made for the screen's DPI (creating and caching one when
// none exists), loads and caches picture files, lets the application substitute images,
// and offers the editing operations recolouring uses (add, replace, delete, back up,
// restore, make grey). Images it hands out stay alive as long as the manager: deleting or
// reloading items never frees a surface a control may still hold.

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/uQvHandles.h"
#include "platform/uQvPaths.h"
#include "skin/uPelluxImageList.h"

// A ResID or the path of a picture file.
using TQvResID = String;

// Last word on every lookup: may replace the image returned.
using TOnGetImageEvent = std::function<void(TObject* Sender, const String& ResID, TPelluxImage*& Image)>;

// The DPI level of a scale factor: 0 (none) up to 1.0; otherwise the factor in percent,
// rounded half to even, gives 3 from 300 up, 1 below 200, else 2.
int DPILevelOf(double Factor);
// "", "@DPI150", "@DPI200", "@DPI300" for levels 0 to 3.
String DPISuffix(int Level);
// The text before the first "@DPI" (case-sensitive), else the whole name.
String DPIBaseName(std::u16string_view Name);
// The name of the backup copy of an image.
String BackupResID(const String& ResID);

class TPelluxResManager : public TPersistent {
public:
    // Takes the data module's built-in list (making the data module when there is none).
    TPelluxResManager();
    ~TPelluxResManager() override;

    TPelluxImageList* ImageList() const { return FImageList; }
    // Pictures loaded from files, keyed by file name (with the DPI suffix when scaled).
    TPelluxImageList* RunTimeImageList() const { return FRunTimeImageList.get(); }
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool Value) { FDesigning = Value; }
    TOnGetImageEvent OnGetImage;

    // --- lookups; names compare trimmed and without regard to ASCII case ---
    int IndexOfRes(std::u16string_view ResID) const;
    int IndexOfFileName_RunTime(std::u16string_view FileName) const;
    // A picture file named ResID (as given, then beside the program), else the item ResID
    // (its DPI variant when HighDPIEnabled and UseDPIImage), then OnGetImage. The surface
    // belongs to the manager; nullptr when nothing is found.
    TPelluxImage* GetImageByName(const TQvResID& ResID, bool UseDPIImage);
    // Loads a picture file once and keeps it (scaled for the DPI level when HighDPIEnabled).
    // A file that is missing, cannot be read or decoded, or is too large gives nullptr, and
    // is not tried again until the file changes.
    TPelluxImage* GetImageByFileName(const String& FileName);
    // Index of the DPI variant of SourceResID for the current DPI level, made from the
    // base image by the current factor when missing; -1 without a level or a base image.
    virtual int GetResIDByDPIScale(const TQvResID& SourceResID);

    // --- editing the built-in list (each change calls ImageListChanged) ---
    int AddRes(const TSurface32* AImage, const TQvResID& ResID, const String& Description);
    // A picture compiled into the program.
    int AddRes(HINSTANCE Instance, const String& ResourceName, const String& Description, const TQvResID& ResID);
    // A picture file: PNG keeps its transparency (dmBlend when it has any, else dmOpaque),
    // others are opaque. An empty ResID becomes the file name without folder, with the
    // first occurrence of its extension removed. A file that cannot be loaded raises.
    int AddRes(const String& AImageFileName, const TQvResID& ResID, const String& Description);
    // Copies AImage into the item DestResID; its index, or -1 when there is none.
    int ReplaceRes(const TQvResID& DestResID, const TSurface32* AImage);
    // Loads the file into the item DestResID as AddRes does; NewDescription and NewResID
    // are accepted and not applied.
    int ReplaceRes(const TQvResID& DestResID, const String& AImageFileName, const String& NewDescription,
                   const TQvResID& NewResID);
    // The built-in item ResID, else the run-time picture of that file name.
    void Delete(const TQvResID& ResID);
    void BackupImageByID(const TQvResID& ResID);
    // Puts the backed-up colours back: the base item takes the backup, a DPI variant is
    // made again from it by the variant's own factor.
    void RestoreImageByID(const TQvResID& ResID, bool UseDPIImage);
    // Restores (or first backs up) the image, then greys the image a lookup gives in
    // place; repeated calls therefore always start from the backed-up colours.
    TPelluxImage* MakeGrayscaleImageByID(const TQvResID& ResID, bool UseDPIImage);
    void BeginUpdate();
    void EndUpdate();

    // Replaces the items of ImageList with those of an image-list text form file, first
    // writing the file from ImageList when it does not exist. An empty name means
    // DesignTimeResFileName(). Raises "Not found PelluxDesignTimeRes.tmp file!" when the
    // file still cannot be read; a damaged file raises the reading error and changes
    // nothing.
    void Refresh(const String& RunTimeResFileName);
    // The reading step of Refresh, from the text itself.
    void RefreshFromText(std::string_view Utf8);
    static String DesignTimeResFileName();
    // Makes a new data module, so the built-in list is read again and run-time additions
    // to it are gone. Surfaces of items that exist again are refilled in place.
    void Reload();

    // Counts the changes after which a surface handed out earlier may no longer be the one
    // a lookup gives (Delete, Refresh, Reload): holders that cache surfaces compare it and
    // look up again.
    unsigned Generation() const { return FGeneration; }

protected:
    // Called after every modification of ImageList; descendants may react.
    virtual void ImageListChanged() {}

private:
    struct TFailure;
    // Makes Into the variant of Base scaled by Factor (dmBlend).
    static void MakeVariant(TPelluxImage* Base, double Factor, TPelluxImage* Into);
    // Base item from the backup, and the image a lookup gave (a variant or another
    // picture) from it too.
    void RestoreFromBackup(const TQvResID& ResID, TPelluxImage* Found);
    // Every item of To takes the surface object of the first unclaimed item of From with
    // its ResID, refilled with its own contents, so holders of that surface see the new
    // pixels; the surfaces of the other items of From are kept alive unlisted.
    void CarrySurfaces(TPelluxImageList* From, TPelluxImageList* To);
    void Retire(TPelluxBitmapItem* Item);
    TPelluxImage* Notify(const String& ResID, TPelluxImage* Image);

    TPelluxImageList* FImageList = nullptr;
    std::unique_ptr<TPelluxImageList> FRunTimeImageList;
    bool FDesigning = false;
    unsigned FGeneration = 0;
    // The factor each variant the manager made was scaled by.
    std::map<const TPelluxImage*, double> FVariantFactors;
    // Picture files that could not be loaded, by key, with the state of the file then.
    std::map<String, TQvFileStamp> FFailedFiles;
    // Surfaces of deleted or replaced items, kept for those that still hold them.
    std::vector<std::unique_ptr<TPelluxImage>> FRetired;
};

// The program's manager, made on first call (after the data module).
TPelluxResManager& SkinResManager();
// Frees the manager (the library's shut-down does this).
void FreeSkinResManager();
// Frees the manager in the library's ordered shut-down.
void RegisterSkinResManager();
