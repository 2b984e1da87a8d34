#include "draw/uQvMisc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw/uQvPolygons.h"

namespace {

constexpr double Pi = std::numbers::pi;

TFixed ToFixed(float V) {
    return static_cast<TFixed>(
        std::clamp<int64_t>(RoundHalfEven64(static_cast<double>(V) * 65536.0), INT32_MIN, INT32_MAX));
}

}  // namespace

TArrayOfFixedPoint FloatToFixedPoints(const TArrayOfFloatPoint& Points) {
    TArrayOfFixedPoint Out;
    Out.reserve(Points.size());
    for (const TFloatPoint& P : Points) Out.push_back({ToFixed(P.X), ToFixed(P.Y)});
    return Out;
}

TArrayOfFloatPoint FixedToFloatPoints(const TArrayOfFixedPoint& Points) {
    TArrayOfFloatPoint Out;
    Out.reserve(Points.size());
    for (const TFixedPoint& P : Points)
        Out.push_back({static_cast<float>(P.X / 65536.0), static_cast<float>(P.Y / 65536.0)});
    return Out;
}

void DrawPolygon(TCustomSurface32* Surface, const TFloatPoint* Points, int Count, TPolyFillMode FillMode,
                 TColor32 FillColor, TColor32 OutlineColor) {
    if (Surface == nullptr || Points == nullptr || Count <= 0) return;
    const TArrayOfFixedPoint Fixed = FloatToFixedPoints(TArrayOfFloatPoint(Points, Points + Count));
    TPolygonEx Polygon;
    Polygon.AddPoints(Fixed.data(), Count);
    Polygon.SetClosed(true);
    Polygon.SetAntialiased(true);
    Polygon.SetFillMode(FillMode);
    Polygon.Draw(Surface, OutlineColor, FillColor);
}

void RotatePoints(const TPoint* Points, int Count, const TPoint& Centre, double Angle,
                  std::vector<TPoint>& Result) {
    Result.assign(Points, Points + std::max(Count, 0));
    if (Angle == 0) return;
    const double C = std::cos(Angle), S = std::sin(Angle);
    for (TPoint& P : Result) {
        const double X = P.X - Centre.X, Y = P.Y - Centre.Y;
        P = {RoundHalfEven(X * C + Y * S + Centre.X), RoundHalfEven(Y * C - X * S + Centre.Y)};
    }
}

// --- arcs -----------------------------------------------------------------------------------

namespace {

// Halvings of one Bezier piece at most; any piece within a surface is flat long before.
constexpr int MaxArcDepth = 16;

void FlattenArcPiece(const TFloatPoint (&C)[4], int Depth, TArrayOfFixedPoint& Out) {
    const float Flatness = std::fabs(C[0].X + C[2].X - 2 * C[1].X) + std::fabs(C[1].X + C[3].X - 2 * C[2].X) +
                           std::fabs(C[0].Y + C[2].Y - 2 * C[1].Y) + std::fabs(C[1].Y + C[3].Y - 2 * C[2].Y);
    if (Flatness < 0.5f || Depth >= MaxArcDepth) {
        Out.push_back({ToFixed(C[3].X), ToFixed(C[3].Y)});
        return;
    }
    auto Mid = [](const TFloatPoint& A, const TFloatPoint& B) {
        return FloatPoint((A.X + B.X) * 0.5f, (A.Y + B.Y) * 0.5f);
    };
    const TFloatPoint A = Mid(C[0], C[1]), B = Mid(C[1], C[2]), D = Mid(C[2], C[3]);
    const TFloatPoint E = Mid(A, B), F = Mid(B, D), M = Mid(E, F);
    FlattenArcPiece({C[0], A, E, M}, Depth + 1, Out);
    FlattenArcPiece({M, F, D, C[3]}, Depth + 1, Out);
}

// The ellipse's own parameter of the angle Degrees: atan(|rx tan a / ry|) mirrored into
// the quadrant of a.
double EllipseParameter(double Degrees, double Rx, double Ry) {
    if (Rx == 0 || Ry == 0 || !std::isfinite(Degrees)) return 0;
    double A = std::fmod(Degrees * Pi / 180, 2 * Pi);
    if (A < 0) A += 2 * Pi;
    const double T = std::atan(std::fabs(Rx * std::tan(A) / Ry));
    switch (std::min(static_cast<int>(A / (Pi / 2)), 3)) {
        case 0:
            return T;
        case 1:
            return Pi - T;
        case 2:
            return Pi + T;
        default:
            return 2 * Pi - T;
    }
}

}  // namespace

void GetArcPoints(const TFloatRect& Rect, double StartDegrees, double EndDegrees,
                  TArrayOfFixedPoint& Points) {
    Points.clear();
    const double W = Rect.Width(), H = Rect.Height();
    const double Rx = W / 2, Ry = H / 2, Cx = Rect.Left + Rx, Cy = Rect.Top + Ry;
    if (!std::isfinite(Cx) || !std::isfinite(Cy)) return;
    const double Start = EllipseParameter(StartDegrees, Rx, Ry), End = EllipseParameter(EndDegrees, Rx, Ry);
    double Sweep = std::fmod(Start - End, 2 * Pi);
    if (Sweep < 0) Sweep += 2 * Pi;
    if (StartDegrees == EndDegrees || Sweep == 0) Sweep = 2 * Pi;
    auto At = [&](double T) {
        return FloatPoint(static_cast<float>(Cx + Rx * std::cos(T)),
                          static_cast<float>(Cy - Ry * std::sin(T)));
    };
    double T0 = End;
    Points.push_back({ToFixed(At(T0).X), ToFixed(At(T0).Y)});
    for (double Left = Sweep; Left > 1e-12;) {
        const double Piece = std::min(Left, Pi / 2);
        // Control points along the tangents; a last piece under 90 degrees gets the factor
        // of its own angle.
        const double K = Piece < Pi / 2 ? 2.0 / 3.0 * std::tan(Piece / 4) : 0.276142375;
        const double T1 = T0 + Piece;
        const TFloatPoint P0 = At(T0), P3 = At(T1);
        const TFloatPoint C[4] = {P0,
                                  FloatPoint(static_cast<float>(P0.X - K * W * std::sin(T0)),
                                             static_cast<float>(P0.Y - K * H * std::cos(T0))),
                                  FloatPoint(static_cast<float>(P3.X + K * W * std::sin(T1)),
                                             static_cast<float>(P3.Y + K * H * std::cos(T1))),
                                  P3};
        FlattenArcPiece(C, 0, Points);
        T0 = T1;
        Left -= Piece;
    }
}

// --- gradient fill --------------------------------------------------------------------------

namespace {

// The colour at T in [0, 1] of Colors spread evenly, each channel interpolated linearly
// and rounded.
TColor32 ColorAlong(const std::vector<TColor32>& Colors, double T) {
    if (Colors.size() == 1) return Colors[0];
    const double Pos = std::clamp(T, 0.0, 1.0) * static_cast<double>(Colors.size() - 1);
    const size_t I = std::min(static_cast<size_t>(Pos), Colors.size() - 2);
    const double F = Pos - static_cast<double>(I);
    TColor32 Out = 0;
    for (int Shift = 0; Shift < 32; Shift += 8) {
        const double A = (Colors[I] >> Shift) & 0xFF, B = (Colors[I + 1] >> Shift) & 0xFF;
        Out |= static_cast<TColor32>(RoundHalfEven(A + (B - A) * F)) << Shift;
    }
    return Out;
}

}  // namespace

void GradientFillPolygons(TCustomSurface32* Surface, const TArrayOfArrayOfFloatPoint& Contours,
                          TPolyFillMode FillMode, double AngleDegrees, const std::vector<TColor32>& Colors) {
    if (Surface == nullptr || Surface->Empty() || Colors.empty() || !std::isfinite(AngleDegrees)) return;
    double A = std::fmod(AngleDegrees * Pi / 180, 2 * Pi);
    if (A < 0) A += 2 * Pi;
    constexpr double Snap = 0.08726646;
    double Dx = std::cos(A), Dy = -std::sin(A);
    for (int Axis = 0; Axis <= 4; ++Axis)
        if (std::fabs(A - Axis * Pi / 2) < Snap) {
            const int Q = Axis % 4;
            Dx = Q == 0 ? 1 : (Q == 2 ? -1 : 0);
            Dy = Q == 3 ? 1 : (Q == 1 ? -1 : 0);
        }
    // The extent of the contours along the direction.
    // The extent of the contours along the direction, and the pixels they may cover.
    double Lo = INFINITY, Hi = -INFINITY;
    float Left = INFINITY, Top = INFINITY, Right = -INFINITY, Bottom = -INFINITY;
    for (const TArrayOfFloatPoint& C : Contours)
        for (const TFloatPoint& P : SanitizedPoints(C)) {
            const double T = P.X * Dx + P.Y * Dy;
            Lo = std::min(Lo, T);
            Hi = std::max(Hi, T);
            Left = std::min(Left, P.X);
            Top = std::min(Top, P.Y);
            Right = std::max(Right, P.X);
            Bottom = std::max(Bottom, P.Y);
        }
    if (!(Hi >= Lo)) return;
    auto Column = [](float V, int Size) {
        return static_cast<int>(std::clamp(V, 0.0f, static_cast<float>(Size)));
    };
    const double Span = Hi > Lo ? Hi - Lo : 1;
    TSurface32 Scratch;
    Scratch.SetSize(Surface->Width(), Surface->Height());
    Scratch.SetDrawMode(dmBlend);
    Scratch.SetCombineMode(cmMerge);
    const int X1 = Column(std::floor(Left), Scratch.Width()),
              X2 = Column(std::ceil(Right) + 1, Scratch.Width());
    const int Y1 = Column(std::floor(Top), Scratch.Height()),
              Y2 = Column(std::ceil(Bottom) + 1, Scratch.Height());
    for (int Y = Y1; Y < Y2; ++Y) {
        TColor32* Row = Scratch.ScanLine(Y);
        for (int X = X1; X < X2; ++X)
            Row[X] = ColorAlong(Colors, ((X + 0.5) * Dx + (Y + 0.5) * Dy - Lo) / Span);
    }
    TBitmapPolygonFiller Filler;
    Filler.SetPattern(&Scratch);
    FillPolyPolygonFS(Surface, Contours, &Filler, FillMode);
}
