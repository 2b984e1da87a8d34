#include "draw/uQvCanvas.h"

#include <cmath>

// --- flattening ------------------------------------------------------------------------------

namespace {

// Halving each coordinate first keeps the sum of two huge coordinates finite; the result
// is the rounded mean either way.
TFloatPoint Mid(const TFloatPoint& A, const TFloatPoint& B) {
    return {A.X * 0.5f + B.X * 0.5f, A.Y * 0.5f + B.Y * 0.5f};
}

void Cubic(const TFloatPoint& P0, const TFloatPoint& P1, const TFloatPoint& P2, const TFloatPoint& P3,
           TArrayOfFloatPoint& Out, int Depth) {
    const float Deviation = std::fabs(P0.X + P2.X - 2 * P1.X) + std::fabs(P0.Y + P2.Y - 2 * P1.Y) +
                            std::fabs(P1.X + P3.X - 2 * P2.X) + std::fabs(P1.Y + P3.Y - 2 * P2.Y);
    if (Deviation < 0.25f || Depth >= MaxFlattenDepth) {
        Out.push_back(P0);
        return;
    }
    const TFloatPoint P01 = Mid(P0, P1), P12 = Mid(P1, P2), P23 = Mid(P2, P3);
    const TFloatPoint P012 = Mid(P01, P12), P123 = Mid(P12, P23);
    const TFloatPoint P0123 = Mid(P012, P123);
    Cubic(P0, P01, P012, P0123, Out, Depth + 1);
    Cubic(P0123, P123, P23, P3, Out, Depth + 1);
}

void Conic(const TFloatPoint& P0, const TFloatPoint& P1, const TFloatPoint& P2, TArrayOfFloatPoint& Out,
           int Depth) {
    const float Deviation = std::fabs(P0.X + P2.X - 2 * P1.X) + std::fabs(P0.Y + P2.Y - 2 * P1.Y);
    if (Deviation < 0.25f || Depth >= MaxFlattenDepth) {
        Out.push_back(P0);
        return;
    }
    const TFloatPoint P01 = Mid(P0, P1), P12 = Mid(P1, P2);
    const TFloatPoint P012 = Mid(P01, P12);
    Conic(P0, P01, P012, Out, Depth + 1);
    Conic(P012, P12, P2, Out, Depth + 1);
}

// The reflection of Control about Centre.
TFloatPoint Reflect(const TFloatPoint& Control, const TFloatPoint& Centre) {
    return {2 * Centre.X - Control.X, 2 * Centre.Y - Control.Y};
}

}  // namespace

void FlattenCubic(const TFloatPoint& P0, const TFloatPoint& P1, const TFloatPoint& P2, const TFloatPoint& P3,
                  TArrayOfFloatPoint& Out) {
    // A curve with a point that is not finite has no shape to follow.
    if (!IsFinitePoint(P0) || !IsFinitePoint(P1) || !IsFinitePoint(P2) || !IsFinitePoint(P3)) return;
    Cubic(P0, P1, P2, P3, Out, 0);
}

void FlattenConic(const TFloatPoint& P0, const TFloatPoint& P1, const TFloatPoint& P2,
                  TArrayOfFloatPoint& Out) {
    if (!IsFinitePoint(P0) || !IsFinitePoint(P1) || !IsFinitePoint(P2)) return;
    Conic(P0, P1, P2, Out, 0);
}

// --- TCustomPath --------------------------------------------------------------------------------

void TCustomPath::MoveTo(const TFloatPoint& P) {
    FCurrentPoint = P;
    FControlPointOrigin = cpNone;
}

void TCustomPath::LineTo(const TFloatPoint& P) {
    AddPoint(P);
    FCurrentPoint = P;
    FControlPointOrigin = cpNone;
}

void TCustomPath::CurveTo(const TFloatPoint& C1, const TFloatPoint& C2, const TFloatPoint& P) {
    TArrayOfFloatPoint Points;
    FlattenCubic(FCurrentPoint, C1, C2, P, Points);
    for (const TFloatPoint& Q : Points) AddPoint(Q);
    AddPoint(P);
    FCurrentPoint = P;
    FLastControlPoint = C2;
    FControlPointOrigin = cpCubic;
}

void TCustomPath::CurveTo(const TFloatPoint& C2, const TFloatPoint& P) {
    const TFloatPoint C1 =
        FControlPointOrigin == cpCubic ? Reflect(FLastControlPoint, FCurrentPoint) : FCurrentPoint;
    CurveTo(C1, C2, P);
}

void TCustomPath::ConicTo(const TFloatPoint& P1, const TFloatPoint& P) {
    TArrayOfFloatPoint Points;
    FlattenConic(FCurrentPoint, P1, P, Points);
    for (const TFloatPoint& Q : Points) AddPoint(Q);
    AddPoint(P);
    FCurrentPoint = P;
    FLastControlPoint = P1;
    FControlPointOrigin = cpConic;
}

void TCustomPath::ConicTo(const TFloatPoint& P) {
    const TFloatPoint P1 =
        FControlPointOrigin == cpConic ? Reflect(FLastControlPoint, FCurrentPoint) : FCurrentPoint;
    ConicTo(P1, P);
}

void TCustomPath::Polygon(const TArrayOfFloatPoint& Points) {
    BeginPath();
    for (const TFloatPoint& P : Points) AddPoint(P);
    if (!Points.empty()) FCurrentPoint = Points.back();
    ClosePath();
    EndPath();
}

// --- TFlattenedPath -------------------------------------------------------------------------------

void TFlattenedPath::BeginPath() {
    FContours.clear();
    FPending.clear();
}

void TFlattenedPath::EndPath() {
    if (OnEndPath) OnEndPath(this);
}

void TFlattenedPath::ClosePath() {
    if (FPending.empty()) return;
    FCurrentPoint = FPending.front();
    FContours.push_back(std::move(FPending));
    FPending.clear();
}

void TFlattenedPath::MoveTo(const TFloatPoint& P) {
    if (!FPending.empty()) ClosePath();
    AddPoint(P);
    TCustomPath::MoveTo(P);
}

void TFlattenedPath::AddPoint(const TFloatPoint& P) {
    if (!IsFinitePoint(P)) return;
    if (FPending.size() == FPending.capacity()) FPending.reserve(FPending.size() + 128);
    FPending.push_back(P);
}

// --- brushes ----------------------------------------------------------------------------------------

void TCustomBrush::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TSolidBrush::SetFillColor(TColor32 Value) {
    if (FFillColor == Value) return;
    FFillColor = Value;
    Changed();
}

void TSolidBrush::SetFillMode(TPolyFillMode Value) {
    if (FFillMode == Value) return;
    FFillMode = Value;
    Changed();
}

void TSolidBrush::SetFiller(TCustomPolygonFiller* Value) {
    if (FFiller == Value) return;
    FFiller = Value;
    Changed();
}

void TSolidBrush::Fill(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
                       const TFloatRect& ClipRect) {
    Renderer.SetColor(FFillColor);
    Renderer.SetFillMode(FFillMode);
    Renderer.SetFiller(FFiller);
    Renderer.PolyPolygonFS(Contours, ClipRect);
}

void TSolidBrush::RenderPolyPolygon(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
                                    const TFloatRect& ClipRect, bool) {
    Fill(Renderer, Contours, ClipRect);
}

void TStrokeBrush::SetStrokeWidth(float Value) {
    if (FStrokeWidth == Value) return;
    FStrokeWidth = Value;
    Changed();
}

void TStrokeBrush::SetJoinStyle(TJoinStyle Value) {
    if (FJoinStyle == Value) return;
    FJoinStyle = Value;
    Changed();
}

void TStrokeBrush::SetEndStyle(TEndStyle Value) {
    if (FEndStyle == Value) return;
    FEndStyle = Value;
    Changed();
}

void TStrokeBrush::SetMiterLimit(float Value) {
    if (FMiterLimit == Value) return;
    FMiterLimit = Value;
    Changed();
}

void TStrokeBrush::RenderPolyPolygon(TPolygonRenderer& Renderer, const TArrayOfArrayOfFloatPoint& Contours,
                                     const TFloatRect& ClipRect, bool Closed) {
    Fill(Renderer, BuildPolyStrokeOutline(Contours, Closed, FStrokeWidth, FJoinStyle, FEndStyle, FMiterLimit),
         ClipRect);
}

TCustomBrush* TBrushCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
    return FItems[static_cast<size_t>(Index)].get();
}

void TBrushCollection::Delete(int Index) {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
    FItems.erase(FItems.begin() + Index);
}

// --- TSurfaceCanvas ------------------------------------------------------------------------------------

TSurfaceCanvas::TSurfaceCanvas(TCustomSurface32* Bitmap) : FBitmap(Bitmap) {
    FRenderer.SetBitmap(Bitmap);
    FPath.OnEndPath = [this](TObject*) { DrawPath(); };
}

void TSurfaceCanvas::DrawPath() {
    if (FBitmap == nullptr) return;
    FRenderer.SetBitmap(FBitmap);
    const TFloatRect Clip = FloatRect(FBitmap->ClipRect());
    const TArrayOfArrayOfFloatPoint& Closed = FPath.Contours();
    for (int I = 0; I < FBrushes.Count(); ++I) {
        TCustomBrush* Brush = FBrushes.Items(I);
        if (!Brush->Visible()) continue;
        if (!Closed.empty()) Brush->RenderPolyPolygon(FRenderer, Closed, Clip, true);
        if (!FPath.Pending().empty())
            Brush->RenderPolyPolygon(FRenderer, TArrayOfArrayOfFloatPoint{FPath.Pending()}, Clip, false);
    }
}
