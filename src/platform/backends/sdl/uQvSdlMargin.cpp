#include "platform/backends/sdl/uQvSdlMargin.h"

#include <algorithm>

#include "platform/backends/sdl/uQvSdlMapping.h"

namespace {

// What of the layer shows at all: its rectangle, within its shape and its pixels.
TQvRegion AreaOf(const TQvMarginLayer& L) {
    if (L.Pixels == nullptr || L.Alpha == 0) return TQvRegion();
    TQvRegion Area(Bounds(L.Rect.Left, L.Rect.Top, std::min(L.Rect.Width(), L.Pixels->Width()),
                          std::min(L.Rect.Height(), L.Pixels->Height())));
    if (L.Shape) {
        TQvRegion Shape = *L.Shape;
        Shape.Offset(L.Rect.Left, L.Rect.Top);
        Area &= Shape;
    }
    return Area;
}

}  // namespace

void QvComposeMargin(const std::vector<TQvMarginLayer>& BottomFirst, const TRect& Part, uint32_t* Out) {
    const int W = Part.Width();
    if (W <= 0 || Part.Height() <= 0) return;
    std::fill_n(Out, static_cast<size_t>(W) * static_cast<size_t>(Part.Height()), 0u);
    const TPixelKernels& Kernels = PixelKernels();
    std::vector<uint32_t> Opaque;
    for (const TQvMarginLayer& L : BottomFirst) {
        TQvRegion Area = AreaOf(L);
        Area &= Part;
        const TLineBlendOptions Options{L.Key, 0};
        for (const TRect& R : Area.Rects()) {
            const int N = R.Width();
            for (int Y = R.Top; Y < R.Bottom; ++Y) {
                const uint32_t* Src = L.Pixels->Row(Y - L.Rect.Top) + (R.Left - L.Rect.Left);
                uint32_t* Dst = Out + static_cast<ptrdiff_t>(Y - Part.Top) * W + (R.Left - Part.Left);
                if (!L.PerPixel) {
                    // Painted pixels carry no alpha: they are solid.
                    Opaque.resize(static_cast<size_t>(N));
                    for (int X = 0; X < N; ++X) Opaque[static_cast<size_t>(X)] = Src[X] | 0xFF000000u;
                    Src = Opaque.data();
                }
                Kernels.PremultipliedBlendLine(Src, Dst, N, L.Alpha, Options);
            }
        }
    }
}

TQvRegion QvMarginInput(const std::vector<TQvMarginLayer>& Layers) {
    TQvRegion Input;
    for (const TQvMarginLayer& L : Layers) {
        if (L.ClickThrough) continue;
        TQvRegion Area = AreaOf(L);
        if (Area.IsEmpty()) continue;
        // A solid layer without a key shows all of its area; only the others are scanned.
        if (!L.PerPixel && L.Key == NoColorKey) {
            Input |= Area;
            continue;
        }
        const uint32_t Key = L.Key, K = L.Alpha;
        const bool PerPixel = L.PerPixel;
        TQvRegion Shows = QvSdlPixelsWhere(*L.Pixels, [=](uint32_t P) {
            return (P & 0xFFFFFF) != Key && (!PerPixel || MulDiv255(P >> 24, K) != 0);
        });
        Shows.Offset(L.Rect.Left, L.Rect.Top);
        Area &= Shows;
        Input |= Area;
    }
    return Input;
}
