#pragma once
// The resource data module: holds the built-in image list PelluxImageListMain, filled from
// the images compiled into the program. One exists from the library's set-up (before any
// form) to its shut-down (after every window).

#include <cstddef>
#include <cstdint>

#include "framework/uQvClasses.h"
#include "skin/uPelluxImageList.h"

class TPelluxResDM : public TDataModule {
public:
    // Named "PelluxResDM"; the list is filled from the built-in images.
    explicit TPelluxResDM(TComponent* AOwner);

    TPelluxImageList* PelluxImageListMain() const { return FPelluxImageListMain; }

private:
    TPelluxImageList* FPelluxImageListMain;
};

// Replaces the items of List with those of an image-data container (uPelluxImageData.h)
// in stored order. A damaged container raises "Stream read error".
void ReadImageListData(TPelluxImageList* List, const uint8_t* Data, size_t Size);

// The program's data module; nullptr outside set-up and shut-down.
TPelluxResDM* PelluxResDM();
// Makes the data module when there is none (the set-up step does this), and frees it.
TPelluxResDM* CreatePelluxResDM();
void FreePelluxResDM();
// Makes the data module a step of the library's ordered set-up and shut-down.
void RegisterPelluxResDM();
// Makes a new data module in place of the current one and hands the old one back, still
// whole (nullptr when there was none); the caller frees it.
TPelluxResDM* ExchangePelluxResDM();
