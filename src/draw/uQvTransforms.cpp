#include "draw/uQvTransforms.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "draw/uQvResamplersEx.h"
#include "draw/uQvSurfaceTransfer.h"
#include "platform/uQvPixel.h"

// --- TTransformation -------------------------------------------------------------------------

void TTransformation::SetSrcRect(const TFloatRect& Value) {
    if (FSrcRect == Value) return;
    FSrcRect = Value;
    Changed();
}

void TTransformation::Changed() {
    FPrepared = false;
    TNotifiablePersistent::Changed();
}

// --- TAffineTransformation ----------------------------------------------------------------------

void TAffineTransformation::SetMatrix(const TFloatMatrix& Value) {
    FMatrix = Value;
    Changed();
}

void TAffineTransformation::Clear() {
    FMatrix = IdentityMatrix;
    Changed();
}

void TAffineTransformation::Translate(float Dx, float Dy) {
    FMatrix.M[2][0] += Dx;
    FMatrix.M[2][1] += Dy;
    Changed();
}

void TAffineTransformation::Scale(float Sx, float Sy) {
    for (int I = 0; I < 3; ++I) {
        FMatrix.M[I][0] *= Sx;
        FMatrix.M[I][1] *= Sy;
    }
    Changed();
}

void TAffineTransformation::Rotate(float Alpha) {
    const double A = static_cast<double>(Alpha) * std::numbers::pi / 180.0;
    const float C = static_cast<float>(std::cos(A)), S = static_cast<float>(std::sin(A));
    for (int I = 0; I < 3; ++I) {
        const float X = FMatrix.M[I][0], Y = FMatrix.M[I][1];
        FMatrix.M[I][0] = C * X + S * Y;
        FMatrix.M[I][1] = -S * X + C * Y;
    }
    Changed();
}

void TAffineTransformation::Skew(float Fx, float Fy) {
    for (int I = 0; I < 3; ++I) {
        const float X = FMatrix.M[I][0], Y = FMatrix.M[I][1];
        FMatrix.M[I][0] = X + Fx * Y;
        FMatrix.M[I][1] = Fy * X + Y;
    }
    Changed();
}

TFloatPoint TAffineTransformation::Transform(const TFloatPoint& P) const {
    const auto& M = FMatrix.M;
    return {M[0][0] * P.X + M[1][0] * P.Y + M[2][0], M[0][1] * P.X + M[1][1] * P.Y + M[2][1]};
}

TFloatRect TAffineTransformation::GetTransformedBounds(const TFloatRect& R) const {
    const TFloatPoint P[4] = {Transform({R.Left, R.Top}), Transform({R.Right, R.Top}),
                              Transform({R.Right, R.Bottom}), Transform({R.Left, R.Bottom})};
    TFloatRect B{P[0].X, P[0].Y, P[0].X, P[0].Y};
    for (const TFloatPoint& Q : P) {
        B.Left = std::min(B.Left, Q.X);
        B.Right = std::max(B.Right, Q.X);
        B.Top = std::min(B.Top, Q.Y);
        B.Bottom = std::max(B.Bottom, Q.Y);
    }
    return B;
}

namespace {

// round(V * 65536), half to even; false when it does not fit 32 bits.
bool ToFixed(float V, TFixed& Out) {
    const double P = std::nearbyint(static_cast<double>(V) * 65536.0);
    if (!(P >= INT32_MIN && P <= INT32_MAX)) return false;
    Out = static_cast<TFixed>(P);
    return true;
}

TFixed Saturated(int64_t V) {
    return static_cast<TFixed>(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX));
}

}  // namespace

bool TAffineTransformation::PrepareTransform() {
    if (FPrepared) return FValid;
    FPrepared = true;
    FValid = false;
    const auto& A = FMatrix.M;
    for (const auto& Column : A)
        for (float V : Column)
            if (!std::isfinite(V)) return false;
    // The inverse is the adjoint scaled by the reciprocal of the determinant.
    const float Det = A[0][0] * (A[1][1] * A[2][2] - A[1][2] * A[2][1]) -
                      A[0][1] * (A[1][0] * A[2][2] - A[1][2] * A[2][0]) +
                      A[0][2] * (A[1][0] * A[2][1] - A[1][1] * A[2][0]);
    if (Det == 0.0f || !std::isfinite(Det)) return false;
    const float R = 1.0f / Det;
    auto& B = FInverse.M;
    B[0][0] = (A[1][1] * A[2][2] - A[1][2] * A[2][1]) * R;
    B[0][1] = (A[0][2] * A[2][1] - A[0][1] * A[2][2]) * R;
    B[0][2] = (A[0][1] * A[1][2] - A[0][2] * A[1][1]) * R;
    B[1][0] = (A[1][2] * A[2][0] - A[1][0] * A[2][2]) * R;
    B[1][1] = (A[0][0] * A[2][2] - A[0][2] * A[2][0]) * R;
    B[1][2] = (A[0][2] * A[1][0] - A[0][0] * A[1][2]) * R;
    B[2][0] = (A[1][0] * A[2][1] - A[1][1] * A[2][0]) * R;
    B[2][1] = (A[0][1] * A[2][0] - A[0][0] * A[2][1]) * R;
    B[2][2] = (A[0][0] * A[1][1] - A[0][1] * A[1][0]) * R;
    for (int I = 0; I < 3; ++I)
        for (int J = 0; J < 3; ++J) {
            if (!ToFixed(B[I][J], FInverseFixed.M[I][J])) return false;
            if (!ToFixed(A[I][J], FFixed.M[I][J])) FFixed.M[I][J] = A[I][J] > 0 ? INT32_MAX : INT32_MIN;
        }
    FValid = true;
    return true;
}

TFixedPoint TAffineTransformation::ReverseTransformFixed(TFixed X, TFixed Y) const {
    const auto& I = FInverseFixed.M;
    auto Mul = [](TFixed A, TFixed B) { return (int64_t{A} * B) >> 16; };
    return {Saturated(Mul(X, I[0][0]) + Mul(Y, I[1][0]) + I[2][0]),
            Saturated(Mul(X, I[0][1]) + Mul(Y, I[1][1]) + I[2][1])};
}

// --- TTransformer ------------------------------------------------------------------------------

TTransformer::TTransformer(TCustomResampler* Sampler, TTransformation* Transformation)
    : FSampler(Sampler), FTransformation(Transformation) {
    if (FSampler == nullptr) throw EQvError("Nested sampler is nil");
}

void TTransformer::PrepareSampling() {
    FSampler->PrepareSampling();
    FValid = FTransformation != nullptr && FTransformation->PrepareTransform();
}

void TTransformer::FinalizeSampling() {
    FSampler->FinalizeSampling();
}

bool TTransformer::HasBounds() const {
    return FSampler->HasBounds();
}

TFloatRect TTransformer::GetSampleBounds() const {
    const TFloatRect& S = FTransformation->SrcRect();
    const TFloatRect B = FSampler->GetSampleBounds();
    const TFloatRect Part{std::max(S.Left, B.Left), std::max(S.Top, B.Top), std::min(S.Right, B.Right),
                          std::min(S.Bottom, B.Bottom)};
    if (!(Part.Right > Part.Left) || !(Part.Bottom > Part.Top)) return {};
    return FTransformation->GetTransformedBounds(Part);
}

TColor32 TTransformer::GetSampleFixed(TFixed X, TFixed Y) {
    // Pixel centres: the reverse mapping is taken at the centre and made relative to the
    // source pixel's centre again.
    const TFixedPoint P = FTransformation->ReverseTransformFixed(Saturated(int64_t{X} + FixedHalf),
                                                                 Saturated(int64_t{Y} + FixedHalf));
    return FSampler->GetSampleFixed(Saturated(int64_t{P.X} - FixedHalf), Saturated(int64_t{P.Y} - FixedHalf));
}

// --- TRegularRasterizer ---------------------------------------------------------------------------

TRegularRasterizer::TRegularRasterizer(TTransformer& Sampler, const TCustomSurface32& Src)
    : FSampler(Sampler), FSrc(Src) {}

namespace {

// Combines the sampled row into the destination row by the source's draw mode.
void CombineSampledRow(const TCustomSurface32& Src, const TColor32* S, TColor32* D, int Count) {
    if (Src.DrawMode() == dmOpaque) {
        std::copy(S, S + Count, D);
        return;
    }
    for (int I = 0; I < Count; ++I) CombineTransformed(Src, S[I], D[I]);
}

}  // namespace

void TRegularRasterizer::Rasterize(TCustomSurface32* Dst, const TRect& DstRect) {
    const int N = DstRect.Width();
    if (N <= 0 || DstRect.Height() <= 0) return;
    std::vector<TColor32> Line(static_cast<size_t>(N));
    auto* Affine = dynamic_cast<TAffineTransformation*>(FSampler.Transformation());
    auto* Linear = dynamic_cast<TLinearResampler*>(FSampler.Sampler());
    if (Affine != nullptr && Linear != nullptr && Affine->InverseFixedMatrix().M[1][0] == 0 &&
        Affine->InverseFixedMatrix().M[0][1] == 0) {
        // Scaling and translation only: every row samples the same columns.
        const TFixedMatrix& I = Affine->InverseFixedMatrix();
        const TFixedPoint P = Affine->ReverseTransformFixed(Fixed(DstRect.Left) + FixedHalf, FixedHalf);
        TLinearGridSampler Grid(*Linear, Saturated(int64_t{P.X} - FixedHalf), I.M[0][0], N);
        for (int Y = DstRect.Top; Y < DstRect.Bottom; ++Y) {
            const TFixedPoint Q =
                Affine->ReverseTransformFixed(Fixed(DstRect.Left) + FixedHalf, Fixed(Y) + FixedHalf);
            TColor32* Row = Dst->PixelPtr(DstRect.Left, Y);
            // An opaque source is sampled straight into the destination.
            if (FSrc.DrawMode() == dmOpaque) {
                Grid.SampleRow(Saturated(int64_t{Q.Y} - FixedHalf), Row);
                continue;
            }
            Grid.SampleRow(Saturated(int64_t{Q.Y} - FixedHalf), Line.data());
            CombineSampledRow(FSrc, Line.data(), Row, N);
        }
        return;
    }
    for (int Y = DstRect.Top; Y < DstRect.Bottom; ++Y) {
        if (Affine != nullptr && Linear != nullptr) {
            // Along a row the reverse position advances by the inverse's first column,
            // exactly: the 16.16 products differ by whole multiples.
            const TFixedPoint P =
                Affine->ReverseTransformFixed(Fixed(DstRect.Left) + FixedHalf, Fixed(Y) + FixedHalf);
            const TFixedMatrix& I = Affine->InverseFixedMatrix();
            Linear->SampleRun(Saturated(int64_t{P.X} - FixedHalf), Saturated(int64_t{P.Y} - FixedHalf),
                              I.M[0][0], I.M[0][1], N, Line.data());
        } else {
            for (int X = 0; X < N; ++X)
                Line[static_cast<size_t>(X)] = FSampler.GetSampleInt(DstRect.Left + X, Y);
        }
        CombineSampledRow(FSrc, Line.data(), Dst->PixelPtr(DstRect.Left, Y), N);
    }
}

// --- Transform -------------------------------------------------------------------------------------

namespace {

// The rectangle of whole pixels covering R; false when R is empty or not finite.
bool OuterRect(const TFloatRect& R, TRect& Out) {
    const double L = std::floor(static_cast<double>(R.Left)), T = std::floor(static_cast<double>(R.Top));
    const double Rt = std::ceil(static_cast<double>(R.Right)), B = std::ceil(static_cast<double>(R.Bottom));
    if (!(Rt > L) || !(B > T)) return false;
    auto Limit = [](double V) { return static_cast<int>(std::clamp(V, -1073741824.0, 1073741824.0)); };
    Out = Rect(Limit(L), Limit(T), Limit(Rt), Limit(B));
    return true;
}

// A copy of a surface with its draw properties and its resampler's access mode, so a
// surface can be transformed onto itself without reading what it already wrote.
std::unique_ptr<TCustomSurface32> CopyForReading(TCustomSurface32* Src) {
    auto Copy = std::make_unique<TCustomSurface32>();
    Copy->Assign(Src);
    Copy->SetClipRect(Src->ClipRect());
    Copy->OnPixelCombine = Src->OnPixelCombine;
    Copy->Resampler()->SetPixelAccessMode(Src->Resampler()->PixelAccessMode());
    return Copy;
}

}  // namespace

void Transform(TCustomSurface32* Dst, TCustomSurface32* Src, TTransformation* Transformation) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    TRect DstClip;
    if (Transformation == nullptr || !IntersectRect(DstClip, Dst->ClipRect(), Dst->BoundsRect()) ||
        Src->Empty())
        return;
    std::unique_ptr<TCustomSurface32> Copy;
    TCustomSurface32* From = Src;
    if (Src == Dst && !Dst->MeasuringMode()) {
        Copy = CopyForReading(Src);
        From = Copy.get();
    }
    TTransformer Sampler(From->Resampler(), Transformation);
    Sampler.PrepareSampling();
    TRect Area = DstClip;
    bool Draws = Sampler.Valid();
    if (Draws && Sampler.HasBounds()) {
        TRect Bounds;
        Draws = OuterRect(Sampler.GetSampleBounds(), Bounds) && IntersectRect(Area, Area, Bounds);
    }
    if (Draws && !Dst->MeasuringMode()) TRegularRasterizer(Sampler, *From).Rasterize(Dst, Area);
    Sampler.FinalizeSampling();
    if (!Draws) return;
    Dst->Changed(Area, AREAINFO_RECT);
    Dst->Changed(DstClip, AREAINFO_RECT);
}
