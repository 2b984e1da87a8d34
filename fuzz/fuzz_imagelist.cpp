// Refreshing the skin resource manager's list from an image-list text form of arbitrary
// bytes. Reading either succeeds or raises EReadError; a failure leaves the list and its
// surfaces as they were, and a list that was read writes out as a form that reads back to
// the same items.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "platform/uQvFontConfig.h"
#include "skin/uPelluxResDM.h"
#include "skin/uPelluxResManager.h"

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

bool SameItems(const TPelluxImageList* A, const TPelluxImageList* B) {
    if (A->Bitmaps()->Count() != B->Bitmaps()->Count()) return false;
    for (int I = 0; I < A->Bitmaps()->Count(); ++I) {
        const TPelluxBitmapItem* X = A->Bitmaps()->Items(I);
        const TPelluxBitmapItem* Y = B->Bitmaps()->Items(I);
        const TPelluxImage* P = X->Bitmap();
        const TPelluxImage* Q = Y->Bitmap();
        if (X->ResID() != Y->ResID() || X->Description() != Y->Description() || P->Width() != Q->Width() ||
            P->Height() != Q->Height() || P->DrawMode() != Q->DrawMode() ||
            (!P->Empty() && std::memcmp(P->Bits(), Q->Bits(), sizeof(TColor32) * P->Width() * P->Height()) != 0))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The packaged fonts, as the tests measure with: runs repeat on any machine, and the
    // machine's font configuration (whose reader loses memory) is never read.
    UseQvPinnedFonts();
    RegisterPelluxImageList();
    CreatePelluxResDM();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TPelluxResManager Manager;
    TPelluxImageList* List = Manager.ImageList();
    List->Bitmaps()->Clear();
    TPelluxImage Small;
    Small.SetSize(2, 2);
    Small.Clear(0x80FF8040);
    Manager.AddRes(&Small, u"PelluxButton", u"");
    Manager.AddRes(&Small, u"0", u"t1");
    TPelluxImage* Held = Manager.GetImageByName(u"pelluxbutton", false);
    try {
        Manager.RefreshFromText(std::string_view(reinterpret_cast<const char*>(Data), Size));
    } catch (const EReadError&) {
        Check(List->Bitmaps()->Count() == 2 && List->GetBitmap(0) == Held && Held->Width() == 2);
        return 0;
    }
    // A surface handed out before stays readable whether or not its name is still listed.
    Check(Held->Width() >= 0 && (Held->Empty() || Held->Bits() != nullptr));
    TPelluxImageList Back(nullptr);
    ReadComponentTextUtf8(&Back, WriteComponentTextUtf8(List));
    Check(SameItems(List, &Back));
    return 0;
}
