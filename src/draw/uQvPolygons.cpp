#include "draw/uQvPolygons.h"

#include <algorithm>
#include <cmath>

#include "platform/uQvPixel.h"

// --- TBitmapPolygonFiller ------------------------------------------------------------------

void TBitmapPolygonFiller::SetPattern(TCustomSurface32* Value) {
    if (FPattern == Value) return;
    FPattern = Value;
    Changed();
}

void TBitmapPolygonFiller::SetOffsetX(int Value) {
    if (FOffsetX == Value) return;
    FOffsetX = Value;
    Changed();
}

void TBitmapPolygonFiller::SetOffsetY(int Value) {
    if (FOffsetY == Value) return;
    FOffsetY = Value;
    Changed();
}

namespace {

// The pattern index of a surface coordinate, made non-negative.
int Wrap(int64_t V, int Size) {
    const int64_t R = V % Size;
    return static_cast<int>(R < 0 ? R + Size : R);
}

// How one pattern pixel F goes into the surface pixel D with the weight W.
enum TPatternCombine { pcBlend, pcMerge, pcCustom };

template <TPatternCombine Kind>
TFillLineEvent PatternLine(TCustomSurface32* Pattern, int OffsetX, int OffsetY, bool ForceOpaque) {
    const int W = Pattern->Width(), H = Pattern->Height();
    // An opaque pattern is weighted by coverage alone; the others also by master alpha.
    const uint32_t MasterAlpha = ForceOpaque ? 255 : Pattern->MasterAlpha();
    const TColor32 OpaqueMask = ForceOpaque ? 0xFF000000u : 0u;
    return [=](TColor32* Dst, int DstX, int DstY, int Length, const uint32_t* Alpha) {
        const TColor32* Row = Pattern->ScanLine(Wrap(int64_t{DstY} - OffsetY, H));
        int Column = Wrap(int64_t{DstX} - OffsetX, W);
        for (int I = 0; I < Length; ++I) {
            const TColor32 F = Row[Column] | OpaqueMask;
            const uint32_t Weight = MasterAlpha == 255 ? Alpha[I] : MulDiv255Down(Alpha[I], MasterAlpha);
            if constexpr (Kind == pcBlend)
                BlendIntoMaster(F, Dst[I], Weight);
            else if constexpr (Kind == pcMerge)
                Dst[I] = MergeOverMaster(F, Dst[I], Weight);
            else
                Pattern->OnPixelCombine(F, Dst[I], Weight);
            if (++Column == W) Column = 0;
        }
    };
}

}  // namespace

TFillLineEvent TBitmapPolygonFiller::FillLine() {
    TCustomSurface32* P = FPattern;
    if (P == nullptr || P->Empty()) return {};
    const bool Merge = P->CombineMode() == cmMerge;
    switch (P->DrawMode()) {
        case dmOpaque:
        case dmBlend: {
            const bool Opaque = P->DrawMode() == dmOpaque;
            return Merge ? PatternLine<pcMerge>(P, FOffsetX, FOffsetY, Opaque)
                         : PatternLine<pcBlend>(P, FOffsetX, FOffsetY, Opaque);
        }
        case dmCustom:
            if (!P->OnPixelCombine) return {};
            return PatternLine<pcCustom>(P, FOffsetX, FOffsetY, false);
        case dmTransparent:
            break;
    }
    return {};
}

// --- renderers -------------------------------------------------------------------------------

void TCustomPolygonRenderer::PolygonFS(const TArrayOfFloatPoint& Points, const TFloatRect& ClipRect) {
    PolyPolygonFS(TArrayOfArrayOfFloatPoint{Points}, ClipRect);
}

void TPolygonRenderer::SetBitmap(TCustomSurface32* Value) {
    if (FBitmap == Value) return;
    FBitmap = Value;
    Changed();
}

void TPolygonRenderer::SetFillMode(TPolyFillMode Value) {
    if (FFillMode == Value) return;
    FFillMode = Value;
    Changed();
}

void TPolygonRenderer::SetColor(TColor32 Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TPolygonRenderer::SetFiller(TCustomPolygonFiller* Value) {
    if (FFiller == Value) return;
    FFiller = Value;
    Changed();
}

namespace {

// The bounding box of a contour's finite points, each side rounded half to even; false
// when the contour has no such point.
bool ContourArea(const TArrayOfFloatPoint& Points, TRect& Area) {
    bool Any = false;
    float L = 0, T = 0, R = 0, B = 0;
    for (const TFloatPoint& P : Points) {
        if (!IsFinitePoint(P)) continue;
        if (!Any) {
            L = R = P.X;
            T = B = P.Y;
            Any = true;
            continue;
        }
        L = std::min(L, P.X);
        R = std::max(R, P.X);
        T = std::min(T, P.Y);
        B = std::max(B, P.Y);
    }
    if (Any) Area = Rect(RoundHalfEven(L), RoundHalfEven(T), RoundHalfEven(R), RoundHalfEven(B));
    return Any;
}

}  // namespace

void TScanlinePolygonRenderer::PolyPolygonFS(const TArrayOfArrayOfFloatPoint& Points,
                                             const TFloatRect& ClipRect) {
    TCustomSurface32* Target = Bitmap();
    if (Target == nullptr || Target->Empty() || Points.empty()) return;
    if (!Target->MeasuringMode()) {
        // Never beyond the surface, whatever clip the caller gives.
        const TFloatRect Bounds = FloatRect(Target->BoundsRect());
        const TFloatRect Clip{std::max(ClipRect.Left, Bounds.Left), std::max(ClipRect.Top, Bounds.Top),
                              std::min(ClipRect.Right, Bounds.Right),
                              std::min(ClipRect.Bottom, Bounds.Bottom)};
        if (TCustomPolygonFiller* F = Filler()) {
            F->BeginRendering();
            try {
                FFillLine = F->FillLine();
                if (FFillLine)
                    RasterizePolyPolygon(Points, Clip,
                                         [this](const TValueSpan& S, int Y) { RenderFillerSpan(S, Y); });
            } catch (...) {
                FFillLine = nullptr;
                F->EndRendering();
                throw;
            }
            FFillLine = nullptr;
            F->EndRendering();
        } else {
            RasterizePolyPolygon(Points, Clip, [this](const TValueSpan& S, int Y) { RenderSpan(S, Y); });
        }
    }
    for (const TArrayOfFloatPoint& Contour : Points) {
        TRect Area;
        if (ContourArea(Contour, Area)) Target->Changed(Area, AREAINFO_RECT);
    }
}

void TScanlinePolygonRenderer::RenderSpan(const TValueSpan& Span, int DstY) {
    const int N = Span.X2 - Span.X1 + 1;
    if (FColors.size() < static_cast<size_t>(N)) FColors.resize(static_cast<size_t>(N));
    CoverageToColors(Span.Values, N, Color(), FillMode(), FColors.data());
    PixelKernels().OverBlendLine(FColors.data(), Bitmap()->PixelPtr(Span.X1, DstY), N);
}

void TScanlinePolygonRenderer::RenderFillerSpan(const TValueSpan& Span, int DstY) {
    const int N = Span.X2 - Span.X1 + 1;
    if (FWeights.size() < static_cast<size_t>(N)) FWeights.resize(static_cast<size_t>(N));
    CoverageToWeights(Span.Values, N, FillMode(), FWeights.data());
    FFillLine(Bitmap()->PixelPtr(Span.X1, DstY), Span.X1, DstY, N, FWeights.data());
}

// --- fill and stroke functions ---------------------------------------------------------------

void FillPolygonFS(TCustomSurface32* Surface, const TArrayOfFloatPoint& Points, TColor32 Color,
                   TPolyFillMode FillMode) {
    FillPolyPolygonFS(Surface, TArrayOfArrayOfFloatPoint{Points}, Color, FillMode);
}

void FillPolyPolygonFS(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours, TColor32 Color,
                       TPolyFillMode FillMode) {
    if (Surface == nullptr) return;
    TScanlinePolygonRenderer Renderer;
    Renderer.SetBitmap(Surface);
    Renderer.SetFillMode(FillMode);
    Renderer.SetColor(Color);
    Renderer.PolyPolygonFS(Contours, FloatRect(Surface->ClipRect()));
}

void FillPolygonFS(TCustomSurface32* Surface, const TArrayOfFloatPoint& Points, TCustomPolygonFiller* Filler,
                   TPolyFillMode FillMode) {
    FillPolyPolygonFS(Surface, TArrayOfArrayOfFloatPoint{Points}, Filler, FillMode);
}

void FillPolyPolygonFS(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours,
                       TCustomPolygonFiller* Filler, TPolyFillMode FillMode) {
    if (Surface == nullptr || Filler == nullptr) return;
    TScanlinePolygonRenderer Renderer;
    Renderer.SetBitmap(Surface);
    Renderer.SetFillMode(FillMode);
    Renderer.SetFiller(Filler);
    Renderer.PolyPolygonFS(Contours, FloatRect(Surface->ClipRect()));
}

void StrokePolyPolylineFS(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours,
                          TColor32 Color, bool Closed, float StrokeWidth, TJoinStyle JoinStyle,
                          TEndStyle EndStyle, float MiterLimit) {
    if (Surface == nullptr) return;
    const TArrayOfArrayOfFloatPoint Outline =
        BuildPolyStrokeOutline(Contours, Closed, StrokeWidth, JoinStyle, EndStyle, MiterLimit);
    FillPolyPolygonFS(Surface, Outline, Color, pfWinding);
}

void StrokePolylineFS(TCustomSurface32* Surface, const TArrayOfFloatPoint& Points, TColor32 Color,
                      bool Closed, float StrokeWidth, TJoinStyle JoinStyle, TEndStyle EndStyle,
                      float MiterLimit) {
    StrokePolyPolylineFS(Surface, TArrayOfArrayOfFloatPoint{Points}, Color, Closed, StrokeWidth, JoinStyle,
                         EndStyle, MiterLimit);
}

// --- TPolygonEx --------------------------------------------------------------------------------

TPolygonEx::TPolygonEx() : FContours(1) {}

void TPolygonEx::Clear() {
    FContours.assign(1, TFixedContour());
}

void TPolygonEx::Newline() {
    if (!FContours.back().empty()) FContours.emplace_back();
}

void TPolygonEx::AddPoint(const TFixedPoint& Point) {
    FContours.back().push_back(Point);
}

void TPolygonEx::AddPoints(const TFixedPoint* Points, int Count) {
    if (Points == nullptr || Count <= 0) return;
    FContours.back().insert(FContours.back().end(), Points, Points + Count);
}

TArrayOfArrayOfFloatPoint TPolygonEx::FloatContours() const {
    TArrayOfArrayOfFloatPoint Result;
    for (const TFixedContour& Contour : FContours) {
        if (Contour.empty()) continue;
        TArrayOfFloatPoint Points;
        Points.reserve(Contour.size());
        for (const TFixedPoint& P : Contour)
            Points.push_back(
                {static_cast<float>(P.X) * (1.0f / 65536), static_cast<float>(P.Y) * (1.0f / 65536)});
        Result.push_back(std::move(Points));
    }
    return Result;
}

void TPolygonEx::Draw(TCustomSurface32* Surface, TColor32 OutlineColor, TColor32 FillColor) const {
    DrawFill(Surface, FillColor);
    if (AlphaComponent(OutlineColor) != 0) DrawEdge(Surface, OutlineColor);
}

void TPolygonEx::Draw(TCustomSurface32* Surface, TColor32 OutlineColor, TCustomPolygonFiller* Filler) const {
    DrawFill(Surface, Filler);
    if (AlphaComponent(OutlineColor) != 0) DrawEdge(Surface, OutlineColor);
}

void TPolygonEx::DrawFill(TCustomSurface32* Surface, TColor32 FillColor) const {
    FillPolyPolygonFS(Surface, FloatContours(), FillColor, FFillMode);
}

namespace {

// Runs Work with the surface's notifications held back, then reports one change.
template <typename TWork>
void Batched(TCustomSurface32* Surface, TWork&& Work) {
    Surface->BeginUpdate();
    try {
        Work();
    } catch (...) {
        Surface->EndUpdate();
        throw;
    }
    Surface->EndUpdate();
    Surface->Changed();
}

}  // namespace

void TPolygonEx::DrawFill(TCustomSurface32* Surface, TCustomPolygonFiller* Filler) const {
    if (Surface == nullptr) return;
    Batched(Surface, [&] { FillPolyPolygonFS(Surface, FloatContours(), Filler, FFillMode); });
}

void TPolygonEx::DrawEdge(TCustomSurface32* Surface, TColor32 OutlineColor) const {
    if (Surface == nullptr) return;
    Batched(Surface, [&] {
        StrokePolyPolylineFS(Surface, FloatContours(), OutlineColor, FClosed, 1.0f, jsMiter, esButt, 4.0f);
    });
}
