#pragma once
// Paths that flatten curves into contours, the brushes that fill and stroke them, and
// the canvas that renders a path with its brushes when the path ends.

#include <functional>
#include <memory>
#include <vector>

#include "draw/uQvPolygons.h"
#include "draw/uQvCustomSurface.h"
#include "draw/uQvVectors.h"

// Where the last control point came from, for the smooth curve forms.
enum TControlPointOrigin { cpNone, cpCubic, cpConic };

// Curves are halved at most this many times (65536 pieces); any curve within reach of a
// surface is flat long before.
constexpr int MaxFlattenDepth = 16;

// Adds the flattened cubic Bezier (P0, P1, P2, P3) to Out: a curve whose control polygon
// deviates by less than 0.25 adds its start point; otherwise both halves are flattened,
// first then second. The end point is not added.
void FlattenCubic(const TFloatPoint& P0, const TFloatPoint& P1, const TFloatPoint& P2, const TFloatPoint& P3,
                  TArrayOfFloatPoint& Out);
// The same for the quadratic Bezier (P0, P1, P2).
void FlattenConic(const TFloatPoint& P0, const TFloatPoint& P1, const TFloatPoint& P2,
                  TArrayOfFloatPoint& Out);

// The drawing operations of a path: a current point, curves flattened into points.
class TCustomPath : public TThreadPersistent {
public:
    virtual void BeginPath() {}
    virtual void EndPath() {}
    virtual void ClosePath() {}

    virtual void MoveTo(const TFloatPoint& P);
    void MoveTo(float X, float Y) { MoveTo({X, Y}); }
    void LineTo(const TFloatPoint& P);
    void LineTo(float X, float Y) { LineTo({X, Y}); }
    // Cubic Bezier from the current point.
    void CurveTo(const TFloatPoint& C1, const TFloatPoint& C2, const TFloatPoint& P);
    // Smooth form: the first control point mirrors the last one of a preceding cubic
    // about the current point, else it is the current point.
    void CurveTo(const TFloatPoint& C2, const TFloatPoint& P);
    // Quadratic Bezier from the current point, and its smooth form.
    void ConicTo(const TFloatPoint& P1, const TFloatPoint& P);
    void ConicTo(const TFloatPoint& P);
    // Begins a path, adds the points, closes and ends it.
    void Polygon(const TArrayOfFloatPoint& Points);

    const TFloatPoint& CurrentPoint() const { return FCurrentPoint; }
    const TFloatPoint& LastControlPoint() const { return FLastControlPoint; }
    TControlPointOrigin ControlPointOrigin() const { return FControlPointOrigin; }

protected:
    // Receives every point the operations produce; the base keeps none.
    virtual void AddPoint(const TFloatPoint&) {}

    TFloatPoint FCurrentPoint;
    TFloatPoint FLastControlPoint;
    TControlPointOrigin FControlPointOrigin = cpNone;
};

// A path that collects closed contours and the pending points of the open one.
// Non-finite points are dropped as they arrive.
class TFlattenedPath : public TCustomPath {
public:
    // Empties the closed contours and the pending points.
    void BeginPath() override;
    // Raises OnEndPath.
    void EndPath() override;
    // Moves the pending points, when there are any, into a new closed contour whose first
    // point becomes the current point.
    void ClosePath() override;
    // Closes the pending contour when it has points, then starts a new one at P.
    void MoveTo(const TFloatPoint& P) override;
    using TCustomPath::MoveTo;

    const TArrayOfArrayOfFloatPoint& Contours() const { return FContours; }
    const TArrayOfFloatPoint& Pending() const { return FPending; }

    TNotifyEvent OnEndPath;

protected:
    void AddPoint(const TFloatPoint& P) override;

private:
    TArrayOfArrayOfFloatPoint FContours;
    TArrayOfFloatPoint FPending;
};

// Something that renders contours through a polygon renderer.
class TCustomBrush : public TNotifiablePersistent {
public:
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Renders Contours with Renderer (whose Bitmap is set), clipped to ClipRect.
    virtual void RenderPolyPolygon(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
                                   const TFloatRect& ClipRect, bool Closed) = 0;

private:
    bool FVisible = true;
};

// Fills: FillColor (opaque black at creation), FillMode (alternate), Filler (nil, not
// owned). The Closed flag does not matter to a fill.
class TSolidBrush : public TCustomBrush {
public:
    TColor32 FillColor() const { return FFillColor; }
    void SetFillColor(TColor32 Value);
    TPolyFillMode FillMode() const { return FFillMode; }
    void SetFillMode(TPolyFillMode Value);
    TCustomPolygonFiller* Filler() const { return FFiller; }
    void SetFiller(TCustomPolygonFiller* Value);

    void RenderPolyPolygon(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
                           const TFloatRect& ClipRect, bool Closed) override;

protected:
    void Fill(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
              const TFloatRect& ClipRect);

private:
    TColor32 FFillColor = 0xFF000000u;
    TPolyFillMode FFillMode = pfAlternate;
    TCustomPolygonFiller* FFiller = nullptr;
};

// Strokes: the outline of the contours (StrokeWidth 1, miter joins, butt ends, miter
// limit 4) filled with the brush's colour, fill mode and filler.
class TStrokeBrush : public TSolidBrush {
public:
    float StrokeWidth() const { return FStrokeWidth; }
    void SetStrokeWidth(float Value);
    TJoinStyle JoinStyle() const { return FJoinStyle; }
    void SetJoinStyle(TJoinStyle Value);
    TEndStyle EndStyle() const { return FEndStyle; }
    void SetEndStyle(TEndStyle Value);
    float MiterLimit() const { return FMiterLimit; }
    void SetMiterLimit(float Value);

    void RenderPolyPolygon(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
                           const TFloatRect& ClipRect, bool Closed) override;

private:
    float FStrokeWidth = 1.0f;
    TJoinStyle FJoinStyle = jsMiter;
    TEndStyle FEndStyle = esButt;
    float FMiterLimit = 4.0f;
};

// The brushes of a canvas, owned, in the order they render.
class TBrushCollection {
public:
    template <typename T>
    T* Add() {
        FItems.push_back(std::make_unique<T>());
        return static_cast<T*>(FItems.back().get());
    }
    int Count() const { return static_cast<int>(FItems.size()); }
    TCustomBrush* Items(int Index) const;
    void Delete(int Index);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TCustomBrush>> FItems;
};

// A path over a surface: ending the path renders it with every visible brush.
class TSurfaceCanvas {
public:
    explicit TSurfaceCanvas(TCustomSurface32* Bitmap);
    TSurfaceCanvas(const TSurfaceCanvas&) = delete;
    TSurfaceCanvas& operator=(const TSurfaceCanvas&) = delete;

    TCustomSurface32* Bitmap() const { return FBitmap; }
    TScanlinePolygonRenderer& Renderer() { return FRenderer; }
    TBrushCollection& Brushes() { return FBrushes; }
    TFlattenedPath& Path() { return FPath; }

    // For each visible brush in order: the closed contours with Closed = true, then the
    // pending points, when there are any, as one contour with Closed = false.
    void DrawPath();

private:
    TCustomSurface32* FBitmap;
    TScanlinePolygonRenderer FRenderer;
    TBrushCollection FBrushes;
    TFlattenedPath FPath;
};
