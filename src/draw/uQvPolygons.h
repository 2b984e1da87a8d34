#pragma once
// Polygon renderers and fillers over the scanline rasteriser, the fill and stroke
// functions the skin library calls, and TPolygonEx, a multi-contour polygon of 16.16
// fixed-point points.

#include <cstdint>
#include <functional>
#include <vector>

#include "draw/uQvRaster.h"
#include "draw/uQvCustomSurface.h"
#include "draw/uQvVectors.h"

// Writes Length pixels from Dst, which is surface pixel (DstX, DstY), using one coverage
// weight 0..255 per pixel.
using TFillLineEvent =
    std::function<void(TColor32* Dst, int DstX, int DstY, int Length, const uint32_t* AlphaValues)>;

// Supplies the pixels of a filled figure.
class TCustomPolygonFiller : public TNotifiablePersistent {
public:
    // Called around each render; the base does nothing.
    virtual void BeginRendering() {}
    virtual void EndRendering() {}
    // The line writer for the current state; empty when this filler cannot fill, and
    // then a render draws nothing.
    virtual TFillLineEvent FillLine() = 0;
};

// Tiles a picture: surface column x reads pattern column (x - OffsetX) mod width, and
// the rows likewise. The pattern's draw mode decides how its pixels combine.
class TBitmapPolygonFiller : public TCustomPolygonFiller {
public:
    TCustomSurface32* Pattern() const { return FPattern; }
    // Not owned.
    void SetPattern(TCustomSurface32* Value);
    int OffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value);
    int OffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value);

    // No line writer without a pattern, for an empty pattern, for dmTransparent and for
    // dmCustom without a combine callback.
    TFillLineEvent FillLine() override;

private:
    TCustomSurface32* FPattern = nullptr;
    int FOffsetX = 0;
    int FOffsetY = 0;
};

class TCustomPolygonRenderer : public TThreadPersistent {
public:
    virtual void PolyPolygonFS(const TArrayOfArrayOfFloatPoint& Points, const TFloatRect& ClipRect) = 0;
    // The single contour as a set of one.
    virtual void PolygonFS(const TArrayOfFloatPoint& Points, const TFloatRect& ClipRect);
};

class TPolygonRenderer : public TCustomPolygonRenderer {
public:
    // The target, not owned.
    TCustomSurface32* Bitmap() const { return FBitmap; }
    void SetBitmap(TCustomSurface32* Value);
    TPolyFillMode FillMode() const { return FFillMode; }
    void SetFillMode(TPolyFillMode Value);
    TColor32 Color() const { return FColor; }
    void SetColor(TColor32 Value);
    // Not owned; nil fills with Color.
    TCustomPolygonFiller* Filler() const { return FFiller; }
    void SetFiller(TCustomPolygonFiller* Value);

private:
    TCustomSurface32* FBitmap = nullptr;
    TPolyFillMode FFillMode = pfAlternate;
    TColor32 FColor = clWhite32;
    TCustomPolygonFiller* FFiller = nullptr;
};

// The renderer every figure goes through. A colour fill blends each pixel with
// OverBlend whatever the surface's modes are; a filler gets the coverage of each run.
// Each contour with a point reports its bounding box, rounded, as the changed area.
class TScanlinePolygonRenderer : public TPolygonRenderer {
public:
    void PolyPolygonFS(const TArrayOfArrayOfFloatPoint& Points, const TFloatRect& ClipRect) override;
    using TCustomPolygonRenderer::PolygonFS;

protected:
    // One row of a colour fill.
    virtual void RenderSpan(const TValueSpan& Span, int DstY);
    // One row of a filler fill.
    virtual void RenderFillerSpan(const TValueSpan& Span, int DstY);

private:
    std::vector<TColor32> FColors;
    std::vector<uint32_t> FWeights;
    TFillLineEvent FFillLine;
};

// The fill and stroke functions: each renders once with the surface's ClipRect.
void FillPolygonFS(TCustomSurface32* Surface, const TArrayOfFloatPoint& Points, TColor32 Color,
                   TPolyFillMode FillMode = pfAlternate);
void FillPolyPolygonFS(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours, TColor32 Color,
                       TPolyFillMode FillMode = pfAlternate);
// Nothing at all when Filler is nil.
void FillPolygonFS(TCustomSurface32* Surface, const TArrayOfFloatPoint& Points, TCustomPolygonFiller* Filler,
                   TPolyFillMode FillMode = pfAlternate);
void FillPolyPolygonFS(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours,
                       TCustomPolygonFiller* Filler, TPolyFillMode FillMode = pfAlternate);
// The stroke outline (BuildPolyStrokeOutline) filled in Color with the winding rule.
void StrokePolyPolylineFS(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours,
                          TColor32 Color, bool Closed = false, float StrokeWidth = 1.0f,
                          TJoinStyle JoinStyle = jsMiter, TEndStyle EndStyle = esButt,
                          float MiterLimit = 4.0f);
void StrokePolylineFS(TCustomSurface32* Surface, const TArrayOfFloatPoint& Points, TColor32 Color,
                      bool Closed = false, float StrokeWidth = 1.0f, TJoinStyle JoinStyle = jsMiter,
                      TEndStyle EndStyle = esButt, float MiterLimit = 4.0f);

// A polygon of one or more contours in 16.16 fixed point, drawn through the renderer.
class TPolygonEx {
public:
    using TFixedContour = std::vector<TFixedPoint>;

    TPolygonEx();

    // Removes every point, leaving one empty contour.
    void Clear();
    // Starts a new contour (unless the current one is still empty).
    void Newline();
    void AddPoint(const TFixedPoint& Point);
    void AddPoints(const TFixedPoint* Points, int Count);
    const std::vector<TFixedContour>& Contours() const { return FContours; }

    // Whether the outline joins the last point to the first; true at creation.
    bool Closed() const { return FClosed; }
    void SetClosed(bool Value) { FClosed = Value; }
    // Kept for callers that set it: the renderer antialiases every figure.
    bool Antialiased() const { return FAntialiased; }
    void SetAntialiased(bool Value) { FAntialiased = Value; }
    TPolyFillMode FillMode() const { return FFillMode; }
    void SetFillMode(TPolyFillMode Value) { FFillMode = Value; }

    // Fills, then strokes the outline (width 1, miter joins, butt ends, limit 4) unless
    // OutlineColor is fully transparent.
    void Draw(TCustomSurface32* Surface, TColor32 OutlineColor, TColor32 FillColor) const;
    void Draw(TCustomSurface32* Surface, TColor32 OutlineColor, TCustomPolygonFiller* Filler) const;
    void DrawFill(TCustomSurface32* Surface, TColor32 FillColor) const;
    // Batched: the surface reports one change at the end.
    void DrawFill(TCustomSurface32* Surface, TCustomPolygonFiller* Filler) const;
    void DrawEdge(TCustomSurface32* Surface, TColor32 OutlineColor) const;

    // The contours in floating point (value / 65536).
    TArrayOfArrayOfFloatPoint FloatContours() const;

private:
    std::vector<TFixedContour> FContours;
    bool FClosed = true;
    bool FAntialiased = true;
    TPolyFillMode FFillMode = pfAlternate;
};
