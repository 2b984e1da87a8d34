#include "platform/uQvGdiDevice.h"

#include <algorithm>
#include <array>

namespace {

std::shared_ptr<TGdiObject> CreateDefaultBitmap(int) {
    return TGdiBitmap::Create(1, 1, true);
}

template <typename T>
std::shared_ptr<T> StockAs(int Index) {
    return std::static_pointer_cast<T>(GdiLookupShared(GetStockObject(Index)));
}

std::shared_ptr<TGdiBitmap> BitmapShared(HBITMAP Bitmap) {
    std::shared_ptr<TGdiObject> O = GdiLookupShared(Bitmap);
    if (!O || O->ObjectType() != OBJ_BITMAP) return nullptr;
    return std::static_pointer_cast<TGdiBitmap>(std::move(O));
}

}  // namespace

TGdiDC::TGdiDC(TKind Kind) : FKind(Kind) {
    State.Pen = StockAs<TGdiPen>(BLACK_PEN);
    State.Brush = StockAs<TGdiBrush>(WHITE_BRUSH);
    State.Font = GdiLookupShared(GetStockObject(SYSTEM_FONT));
    if (Kind == dkMemory)
        State.Bitmap = std::static_pointer_cast<TGdiBitmap>(
            GdiLookupShared(GdiStockHandle(GDI_DEFAULT_BITMAP, CreateDefaultBitmap)));
}

TGdiBitmap* TGdiDC::Target() const {
    if (FKind == dkDevice) return FDeviceTarget.get();
    // The placeholder bitmap of a fresh memory DC is shared: nothing draws into it.
    return State.Bitmap && !State.Bitmap->IsStock() ? State.Bitmap.get() : nullptr;
}

std::shared_ptr<TGdiBitmap> TGdiDC::TargetShared() const {
    return Target() != nullptr ? (FKind == dkDevice ? FDeviceTarget : State.Bitmap) : nullptr;
}

void TGdiDC::SetDeviceTarget(std::shared_ptr<TGdiBitmap> Bitmap, TPoint Origin) {
    FDeviceTarget = std::move(Bitmap);
    FDeviceOrigin = Origin;
    ClipChanged();
}

void TGdiDC::SetVisibleRegion(const TQvRegion* Visible) {
    if (Visible != nullptr)
        FVisible = *Visible;
    else
        FVisible.reset();
    ClipChanged();
}

TRect TGdiDC::DeviceBounds() const {
    if (FVisible) return FVisible->Bounds();
    const TGdiBitmap* T = Target();
    if (T == nullptr) return {};
    return {-FDeviceOrigin.X, -FDeviceOrigin.Y, T->Width() - FDeviceOrigin.X, T->Height() - FDeviceOrigin.Y};
}

const TQvRegion& TGdiDC::Clip() const {
    if (FClipValid) return FClip;
    FClipValid = true;
    const TGdiBitmap* T = Target();
    if (T == nullptr) {
        FClip.Clear();
        return FClip;
    }
    const TRect Bounds = {0, 0, T->Width(), T->Height()};
    if (FVisible) {
        FClip = *FVisible;
        FClip.Offset(FDeviceOrigin.X, FDeviceOrigin.Y);
        FClip &= Bounds;
    } else {
        FClip.SetRect(Bounds);
    }
    if (State.ClipRgn) {
        TQvRegion App = *State.ClipRgn;
        App.Offset(FDeviceOrigin.X, FDeviceOrigin.Y);
        FClip &= App;
    }
    return FClip;
}

TQvRegion TGdiDC::DeviceClip() const {
    TQvRegion R = Clip();
    R.Offset(-FDeviceOrigin.X, -FDeviceOrigin.Y);
    return R;
}

TGdiDC* GdiDCOf(HDC Dc) {
    return GdiLookupAs<TGdiDC>(Dc, OBJ_DC);
}

HDC GdiCreateDeviceDC(HBITMAP Target, TPoint Origin, const TQvRegion* Visible, HWND Window) {
    std::shared_ptr<TGdiBitmap> Bm;
    if (Target != nullptr && !(Bm = BitmapShared(Target))) return nullptr;
    auto Dc = std::make_shared<TGdiDC>(TGdiDC::dkDevice);
    Dc->SetDeviceTarget(std::move(Bm), Origin);
    Dc->SetVisibleRegion(Visible);
    Dc->Window = Window;
    return static_cast<HDC>(GdiAddObject(std::move(Dc)));
}

BOOL GdiSetDeviceTarget(HDC Dc, HBITMAP Target, TPoint Origin) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr || D->Kind() != TGdiDC::dkDevice) return FALSE;
    std::shared_ptr<TGdiBitmap> Bm;
    if (Target != nullptr && !(Bm = BitmapShared(Target))) return FALSE;
    D->SetDeviceTarget(std::move(Bm), Origin);
    return TRUE;
}

BOOL GdiSetVisibleRegion(HDC Dc, const TQvRegion* Visible) {
    TGdiDC* D = GdiDCOf(Dc);
    if (D == nullptr) return FALSE;
    D->SetVisibleRegion(Visible);
    return TRUE;
}

void GdiFillTargetSolid(const TGdiDC& D, const TRect& Area, uint32_t Pixel) {
    const TGdiBitmap* T = D.Target();
    if (T == nullptr) return;
    D.ForEachClipRect(Area, [&](const TRect& R) {
        for (int Y = R.Top; Y < R.Bottom; ++Y) std::fill(T->Row(Y) + R.Left, T->Row(Y) + R.Right, Pixel);
    });
}

uint32_t GdiBrushPixel(const TGdiDC& D, const TGdiBrush& Brush) {
    return GdiPixelOf(Brush.DCColor ? D.State.DCBrushColor : Brush.Color);
}

void GdiResolvePattern(const TGdiDC& D, const TGdiBrush& Brush, std::array<uint32_t, 64>& Pattern,
                       TPoint& Org) {
    if (Brush.Style != BS_PATTERN) {
        Pattern.fill(GdiBrushPixel(D, Brush));
    } else if (Brush.Mono) {
        const uint32_t Fore = GdiPixelOf(D.State.TextColor), Back = GdiPixelOf(D.State.BkColor);
        for (size_t K = 0; K < 64; ++K) Pattern[K] = Brush.Pattern[K] != 0 ? Back : Fore;
    } else {
        for (size_t K = 0; K < 64; ++K) Pattern[K] = Brush.Pattern[K] | 0xFF000000u;
    }
    // Device point d = target - DeviceOrigin takes cell (d - BrushOrg) mod 8.
    Org = {D.DeviceOrigin().X + D.State.BrushOrg.X, D.DeviceOrigin().Y + D.State.BrushOrg.Y};
}

void GdiFillTarget(const TGdiDC& D, const TRect& Area, const TGdiBrush& Brush) {
    if (Brush.Style == BS_NULL) return;
    if (Brush.Style != BS_PATTERN) {
        GdiFillTargetSolid(D, Area, GdiBrushPixel(D, Brush));
        return;
    }
    const TGdiBitmap* T = D.Target();
    if (T == nullptr) return;
    std::array<uint32_t, 64> Pattern;
    TPoint Org;
    GdiResolvePattern(D, Brush, Pattern, Org);
    const int OX = Org.X, OY = Org.Y;
    D.ForEachClipRect(Area, [&](const TRect& R) {
        for (int Y = R.Top; Y < R.Bottom; ++Y) {
            const uint32_t* Line = &Pattern[static_cast<size_t>(((Y - OY) % 8 + 8) % 8) * 8];
            uint32_t* Row = T->Row(Y);
            for (int X = R.Left; X < R.Right; ++X) Row[X] = Line[((X - OX) % 8 + 8) % 8];
        }
    });
}
