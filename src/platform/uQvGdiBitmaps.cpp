#include "platform/uQvGdiBitmaps.h"

#include <cstdlib>
#include <cstring>

std::shared_ptr<TGdiBitmap> TGdiBitmap::Create(int Width, int Height, bool TopDown) {
    if (Width < 1 || Height < 1 || Width > GdiMaxBitmapSide || Height > GdiMaxBitmapSide) return nullptr;
    if (int64_t{Width} * Height > GdiMaxBitmapPixels) return nullptr;
    // calloc: large buffers come as zero pages from the system without a clearing pass.
    // Large buffers all start at the same offset within a page; copies between two of them
    // then suffer 4 KiB aliasing in the processor's store buffer, which slows plain
    // row copies several times over. Each bitmap therefore starts at its own cache-line
    // offset within the page.
    static unsigned Serial = 0;
    const size_t Skew = ((Serial++ * 23) % 63 + 1) * 64;
    auto* Block = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(Width) * Height * 4 + 4096, 1));
    if (Block == nullptr) return nullptr;
    uint8_t* Bits = Block + Skew;
    std::shared_ptr<TGdiBitmap> B(new TGdiBitmap());
    B->FWidth = Width;
    B->FHeight = Height;
    B->FTopDown = TopDown;
    B->FBits = Bits;
    B->FBlock = Block;
    return B;
}

TGdiBitmap::~TGdiBitmap() {
    std::free(FBlock);
}

int TGdiBitmap::Describe(int Size, void* Buffer) const {
    BITMAP Bm;
    Bm.bmType = 0;
    Bm.bmWidth = FWidth;
    Bm.bmHeight = FHeight;
    Bm.bmWidthBytes = FWidth * 4;
    Bm.bmPlanes = 1;
    Bm.bmBitsPixel = 32;
    Bm.bmBits = FBits;
    if (Buffer == nullptr) return sizeof(DIBSECTION);
    if (Size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION Ds;
        Ds.dsBm = Bm;
        Ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        Ds.dsBmih.biWidth = FWidth;
        Ds.dsBmih.biHeight = FTopDown ? -FHeight : FHeight;
        Ds.dsBmih.biPlanes = 1;
        Ds.dsBmih.biBitCount = 32;
        Ds.dsBmih.biCompression = BI_RGB;
        Ds.dsBmih.biSizeImage = static_cast<DWORD>(FWidth) * FHeight * 4;
        std::memcpy(Buffer, &Ds, sizeof(Ds));
        return sizeof(DIBSECTION);
    }
    if (Size >= static_cast<int>(sizeof(BITMAP))) {
        std::memcpy(Buffer, &Bm, sizeof(Bm));
        return sizeof(BITMAP);
    }
    return 0;
}

TGdiBitmap* GdiBitmapOf(HBITMAP Bitmap) {
    return GdiLookupAs<TGdiBitmap>(Bitmap, OBJ_BITMAP);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* Info, UINT Usage, void** Bits, void*, DWORD) {
    if (Bits != nullptr) *Bits = nullptr;
    if (Info == nullptr || Usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& H = Info->bmiHeader;
    if (H.biSize < sizeof(BITMAPINFOHEADER) || H.biBitCount != 32 || H.biCompression != BI_RGB ||
        H.biPlanes != 1)
        return nullptr;
    // Guard the negation: INT_MIN has no positive counterpart.
    if (H.biHeight < -GdiMaxBitmapSide) return nullptr;
    const bool TopDown = H.biHeight < 0;
    std::shared_ptr<TGdiBitmap> B =
        TGdiBitmap::Create(H.biWidth, TopDown ? -H.biHeight : H.biHeight, TopDown);
    if (!B) return nullptr;
    uint8_t* Pixels = B->Bits();
    HGDIOBJ Handle = GdiAddObject(std::move(B));
    if (Handle != nullptr && Bits != nullptr) *Bits = Pixels;
    return static_cast<HBITMAP>(Handle);
}

HBITMAP CreateCompatibleBitmap(HDC, int Width, int Height) {
    if (Width < 0 || Height < 0) return nullptr;
    if (Width == 0 || Height == 0) Width = Height = 1;
    return static_cast<HBITMAP>(GdiAddObject(TGdiBitmap::Create(Width, Height, true)));
}

HBITMAP GdiCreateBitmap32(int Width, int Height, void** Bits) {
    if (Bits != nullptr) *Bits = nullptr;
    std::shared_ptr<TGdiBitmap> B = TGdiBitmap::Create(Width, Height, true);
    if (!B) return nullptr;
    uint8_t* Pixels = B->Bits();
    HGDIOBJ Handle = GdiAddObject(std::move(B));
    if (Handle != nullptr && Bits != nullptr) *Bits = Pixels;
    return static_cast<HBITMAP>(Handle);
}
