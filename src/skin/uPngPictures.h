#pragma once
// A state strip: the name of a skin image holding equal frames side by side (or stacked),
// the frame count and which frame shows which state. The strip resolves its image through
// the resource manager when the name is set and again when the DPI factor changes or the
// manager's list was replaced, and cuts the frame a paint needs into the caller's image.

#include "draw/uPelluxImage.h"
#include "framework/uQvClasses.h"
#include "skin/uPelluxResManager.h"

class TPngPictures : public TPersistent {
public:
    TPngPictures() = default;

    // From another strip: Active, Image, Count, Normal, Hot, Pressed, Disable and
    // MultiLineMode through their setters.
    void Assign(const TPersistent* Source) override;

    // Active, Count, Normal, Hot and Disable notify on every set, even of the same value;
    // Pressed and MultiLineMode only store.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool MultiLineMode() const { return FMultiLineMode; }
    void SetMultiLineMode(bool Value) { FMultiLineMode = Value; }
    // Resolves and notifies only when the name differs (exactly) from the current one.
    const TQvResID& Image() const { return FImage; }
    void SetImage(const TQvResID& Value);
    int Normal() const { return FNormal; }
    void SetNormal(int Value);
    int Hot() const { return FHot; }
    void SetHot(int Value);
    int Disable() const { return FDisable; }
    void SetDisable(int Value);
    int Count() const { return FCount; }
    void SetCount(int Value);
    int Pressed() const { return FPressed; }
    void SetPressed(int Value) { FPressed = Value; }
    // The change event to the owner; setting it notifies once.
    const TNotifyEvent& PicturesChanged() const { return FPicturesChanged; }
    void SetPicturesChanged(TNotifyEvent Value);

    // The image resolved for Image (the manager's; nullptr when unknown or not yet set).
    TPelluxImage* SourceImage() const { return FSourceImage; }
    double DPIScale() const { return FDPIScale; }
    // The whole strip's size, after the DPI re-check.
    TSize SourceSize();

    // Cut the frame of the state into AImage (resized and overwritten); false, AImage
    // untouched, when there is no such frame. Each runs the DPI re-check first.
    bool GetNormalImage(TPelluxImage* AImage) { return GetFrame(FNormal, AImage); }
    bool GetHotImage(TPelluxImage* AImage) { return GetFrame(FHot, AImage); }
    bool GetPressedImage(TPelluxImage* AImage) { return GetFrame(FPressed, AImage); }
    bool GetDisableImage(TPelluxImage* AImage) { return GetFrame(FDisable, AImage); }
    bool GetFrame(int Index, TPelluxImage* AImage);
    // The frame size after the DPI re-check; 0 without an image or with a Count below 1.
    int GetSingleWidth();
    int GetSingleHeight();

    // While locked no change is told; one UnLock ends any number of Locks, telling nothing.
    void Lock() { FLocked = true; }
    void UnLock() { FLocked = false; }
    bool Locked() const { return FLocked; }

    // With HighDPIEnabled, a changed DPI factor resolves the image again (the variant of
    // the new level) and notifies; so does a replaced manager list (Reload, Refresh,
    // Delete), whatever the DPI.
    virtual void CheckDPI();

private:
    void Changed();
    void Resolve();

    bool FActive = false;
    bool FMultiLineMode = false;
    TQvResID FImage;
    int FNormal = 0, FHot = 1, FDisable = 0, FCount = 3, FPressed = 2;
    TNotifyEvent FPicturesChanged;
    TPelluxImage* FSourceImage = nullptr;
    double FDPIScale = 1.0;
    unsigned FGeneration = 0;
    bool FLocked = false;
};

// Registers the strip's stored properties (after the image list). Calling it again does
// nothing.
void RegisterPngPictures();
