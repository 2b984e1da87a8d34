#pragma once
// Device contexts as the platform's own units see them: the target pixels, the mapping
// from logical coordinates to target pixels and the effective clip. The text engine draws
// glyphs through this, the window system makes window DCs with it.
//
// Three coordinate spaces:
// - logical: what callers pass to drawing calls;
// - device: logical - window origin + viewport origin; SelectClipRgn and the visible
//   region are in device coordinates;
// - target: pixels of the target bitmap; device (0, 0) lies at DeviceOrigin() in it (a
//   child window's position in its top-level window's backing bitmap; (0, 0) for memory
//   DCs).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiObjects.h"
#include "platform/uQvGdiPens.h"
#include "platform/uQvGdiRegions.h"

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};

// The part of a DC that SaveDC keeps and RestoreDC brings back.
struct TGdiDCState {
    TPoint WindowOrg;
    TPoint ViewportOrg;
    // The application clip in device coordinates; none means no clip beyond the visible
    // region.
    std::optional<TQvRegion> ClipRgn;
    std::shared_ptr<TGdiBitmap> Bitmap;  // memory DCs: the selected bitmap
    std::shared_ptr<TGdiPen> Pen;
    std::shared_ptr<TGdiBrush> Brush;
    // The selected font (the text engine's subclass); null means the text engine's
    // default font.
    std::shared_ptr<TGdiObject> Font;
    COLORREF TextColor = 0x000000;
    COLORREF BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    int PolyFillMode = ALTERNATE;
    int Rop2 = R2_COPYPEN;
    TPoint BrushOrg;  // device coordinates
    TPoint CurrentPos;
    UINT TextAlign = 0;
    int TextCharacterExtra = 0;
    COLORREF DCBrushColor = 0xFFFFFF;
    COLORREF DCPenColor = 0x000000;
    int StretchMode = 1;  // BLACKONWHITE; reported only
};

class TGdiDC final : public TGdiObject {
public:
    enum TKind { dkMemory, dkDevice };
    explicit TGdiDC(TKind Kind);

    int ObjectType() const override { return FKind == dkMemory ? OBJ_MEMDC : OBJ_DC; }
    TKind Kind() const { return FKind; }

    // The state; code that changes ClipRgn or Bitmap must call ClipChanged (the clip is
    // kept in target pixels, so the origins do not affect it).
    TGdiDCState State;
    std::vector<TGdiDCState> Saved;

    // The window of a window DC (set by the window system), else 0.
    HWND Window = nullptr;

    // The bitmap drawing goes to; null when there is none (a memory DC before a bitmap is
    // selected draws nowhere).
    TGdiBitmap* Target() const;
    std::shared_ptr<TGdiBitmap> TargetShared() const;
    // Device DCs: the target bitmap and the position of device (0, 0) in it.
    void SetDeviceTarget(std::shared_ptr<TGdiBitmap> Bitmap, TPoint Origin);
    TPoint DeviceOrigin() const { return FDeviceOrigin; }
    // The visible region in device coordinates (null = the whole target); never touched by
    // the clipping calls.
    void SetVisibleRegion(const TQvRegion* Visible);
    const std::optional<TQvRegion>& VisibleRegion() const { return FVisible; }

    // Target pixel = logical point + LogicalOffset().
    TPoint LogicalOffset() const {
        return {FDeviceOrigin.X - State.WindowOrg.X + State.ViewportOrg.X,
                FDeviceOrigin.Y - State.WindowOrg.Y + State.ViewportOrg.Y};
    }
    // Device point = logical point + DeviceOffset().
    TPoint DeviceOffset() const {
        return {State.ViewportOrg.X - State.WindowOrg.X, State.ViewportOrg.Y - State.WindowOrg.Y};
    }
    // Logical to target coordinates, saturated at +-GdiRegionLimit so that far-off
    // coordinates never overflow.
    TRect LogicalToTarget(const TRect& R) const {
        const TPoint A = LogicalToTarget(TPoint{R.Left, R.Top}),
                     B = LogicalToTarget(TPoint{R.Right, R.Bottom});
        return {A.X, A.Y, B.X, B.Y};
    }
    TPoint LogicalToTarget(const TPoint& P) const {
        const TPoint O = LogicalOffset();
        return {Saturate(int64_t{P.X} + O.X), Saturate(int64_t{P.Y} + O.Y)};
    }
    static int Saturate(int64_t V) {
        return static_cast<int>(V < -GdiRegionLimit  ? -GdiRegionLimit
                                : V > GdiRegionLimit ? GdiRegionLimit
                                                     : V);
    }
    // What the device covers, in device coordinates: the visible region's box, or the
    // target bitmap seen from the device origin.
    TRect DeviceBounds() const;

    // The effective clip in target pixels: the target's bounds, the visible region and the
    // application clip, intersected.
    const TQvRegion& Clip() const;
    // The effective clip in device coordinates.
    TQvRegion DeviceClip() const;
    void ClipChanged() { FClipValid = false; }

    // Calls Fn(const TRect&) for every rectangle of the effective clip within Area (target
    // pixels), clipped to Area.
    template <typename F>
    void ForEachClipRect(const TRect& Area, F&& Fn) const {
        const TQvRegion& C = Clip();
        TRect Part;
        if (!IntersectRect(Part, C.Bounds(), Area)) return;
        for (const TRect& R : C.Rects()) {
            if (R.Top >= Area.Bottom) break;
            if (R.Bottom <= Area.Top) continue;
            if (IntersectRect(Part, R, Area)) Fn(Part);
        }
    }

private:
    TKind FKind;
    std::shared_ptr<TGdiBitmap> FDeviceTarget;
    TPoint FDeviceOrigin;
    std::optional<TQvRegion> FVisible;
    mutable TQvRegion FClip;
    mutable bool FClipValid = false;
};

// The DC of a handle, or null.
TGdiDC* GdiDCOf(HDC Dc);

// A device context over Target (for instance a top-level window's backing bitmap) with
// device (0, 0) at Origin in it and drawing limited to Visible (device coordinates; null
// for no limit). Window is what WindowFromDC should report. Freed with DeleteDC.
HDC GdiCreateDeviceDC(HBITMAP Target, TPoint Origin, const TQvRegion* Visible, HWND Window);
// Moves a device DC to another target or origin (after its window moved or its backing
// bitmap was replaced). FALSE for a memory DC or an unknown handle.
BOOL GdiSetDeviceTarget(HDC Dc, HBITMAP Target, TPoint Origin);
// Replaces the visible region (device coordinates; null for no limit).
BOOL GdiSetVisibleRegion(HDC Dc, const TQvRegion* Visible);

// The 8 x 8 pattern of a brush as the DC paints it (monochrome patterns in the text and
// background colours, alpha 255), and the target pixel that takes pattern cell (0, 0)
// modulo 8: pattern cell of target pixel (x, y) = ((y - Org.Y) mod 8, (x - Org.X) mod 8).
void GdiResolvePattern(const TGdiDC& D, const TGdiBrush& Brush, std::array<uint32_t, 64>& Pattern,
                       TPoint& Org);

// Fills Area (target pixels) within the DC's clip with one pixel value.
void GdiFillTargetSolid(const TGdiDC& D, const TRect& Area, uint32_t Pixel);
// Fills Area (target pixels) within the DC's clip as the brush paints: solid colour,
// nothing for a null brush, or the 8 x 8 pattern aligned to the DC's brush origin in device
// coordinates. Every pixel written gets alpha 255.
void GdiFillTarget(const TGdiDC& D, const TRect& Area, const TGdiBrush& Brush);
// The pixel a solid brush paints (the DC's brush colour for the stock DC_BRUSH).
uint32_t GdiBrushPixel(const TGdiDC& D, const TGdiBrush& Brush);
