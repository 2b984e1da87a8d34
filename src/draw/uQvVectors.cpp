#include "draw/uQvVectors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/uQvBase.h"

namespace {

constexpr double Pi = std::numbers::pi;

bool IsZero(const TFloatPoint& P) {
    return P.X == 0.0f && P.Y == 0.0f;
}

TFloatPoint Offset(const TFloatPoint& P, float Dx, float Dy) {
    return {P.X + Dx, P.Y + Dy};
}

TFloatPoint Along(const TFloatPoint& P, const TFloatPoint& V, float Scale) {
    return {P.X + Scale * V.X, P.Y + Scale * V.Y};
}

// The arc point count of a round join, limited so that absurd widths cannot ask for
// millions of points. Non-finite or oversized counts fall back to MaxArcPoints.
int LimitedCount(float Count) {
    if (!(Count < static_cast<float>(MaxArcPoints))) return MaxArcPoints;
    return std::max(RoundHalfEven(Count), 0);
}

// The joins of one offset contour.
class TJoiner {
public:
    TJoiner(TArrayOfFloatPoint& Out, float Delta, TJoinStyle Style, float MiterLimit)
        : FOut(Out), FDelta(Delta), FStyle(Style) {
        // A limit that is not positive allows no miter at all.
        FRMin = MiterLimit > 0.0f ? 2.0f / (MiterLimit * MiterLimit) : INFINITY;
        if (Style == jsRound) {
            // The step of the round arcs: about 1.414 pixels of chord, at most 120 degrees.
            const float Q = 1.414f / std::fabs(Delta);
            FCos = 1.0f - std::min(Q * Q, 3.0f) / 2.0f;
            FStepScale = static_cast<float>(1.0 / std::acos(static_cast<double>(FCos)));
            FSin = std::sqrt(1.0f - FCos * FCos);
        }
    }

    void Join(const TFloatPoint& P, const TFloatPoint& A, const TFloatPoint& B) {
        if (FStyle != jsMiter) {
            // On the inner side of the turn every style takes the miter rule.
            const float Cross = A.X * B.Y - A.Y * B.X;
            if (Cross * FDelta > 0.0f) {
                if (FStyle == jsBevel)
                    Bevel(P, A, B);
                else
                    Round(P, A, B, Cross);
                return;
            }
        }
        Miter(P, A, B);
    }

private:
    void Bevel(const TFloatPoint& P, const TFloatPoint& A, const TFloatPoint& B) {
        FOut.push_back(Along(P, A, FDelta));
        FOut.push_back(Along(P, B, FDelta));
    }

    void Miter(const TFloatPoint& P, const TFloatPoint& A, const TFloatPoint& B) {
        const TFloatPoint S{A.X + B.X, A.Y + B.Y};
        // R = 1 + cos(turn); below 2 / limit^2 the miter would reach too far.
        const float R = A.X * S.X + A.Y * S.Y;
        if (R < FRMin) {
            Bevel(P, A, B);
            return;
        }
        FOut.push_back(Along(P, S, FDelta / R));
    }

    void Round(const TFloatPoint& P, const TFloatPoint& A, const TFloatPoint& B, float Cross) {
        const float Dx = B.X - A.X, Dy = B.Y - A.Y;
        // o is the cosine of the turn; the polynomial approximates its arc cosine.
        const float O = 1.0f - (Dx * Dx + Dy * Dy) / 2.0f;
        const float Angle = std::fabs(static_cast<float>(Pi / 2) - O * (1.0f + 0.1667f * (O * O)));
        int K = LimitedCount(Angle * FStepScale);
        float C = FCos, S = Cross >= 0.0f ? FSin : -FSin;
        if (K >= MaxArcPoints) {
            // Too many steps of the usual size: spread the allowed points over the turn.
            K = MaxArcPoints;
            const double Step = static_cast<double>(Angle) / K;
            C = static_cast<float>(std::cos(Step));
            S = static_cast<float>(Cross >= 0.0f ? std::sin(Step) : -std::sin(Step));
        }
        TFloatPoint V{FDelta * A.X, FDelta * A.Y};
        FOut.push_back(Offset(P, V.X, V.Y));
        for (int I = 1; I < K; ++I) {
            V = {V.X * C - V.Y * S, V.X * S + V.Y * C};
            FOut.push_back(Offset(P, V.X, V.Y));
        }
        FOut.push_back(Along(P, B, FDelta));
    }

    TArrayOfFloatPoint& FOut;
    float FDelta;
    TJoinStyle FStyle;
    float FRMin = 0;
    float FCos = 0, FSin = 0, FStepScale = 0;
};

// The last index whose normal is not zero, counting down from Start; -1 when none.
int LastNonZero(const TArrayOfFloatPoint& Normals, int Start) {
    int H = Start;
    while (H >= 0 && IsZero(Normals[H])) --H;
    return H;
}

int FirstNonZero(const TArrayOfFloatPoint& Normals, int Last) {
    int Lo = 0;
    while (Lo < Last && IsZero(Normals[Lo])) ++Lo;
    return Lo;
}

void AddCap(TArrayOfFloatPoint& Out, const TFloatPoint& P, const TFloatPoint& N, float S, TEndStyle Style) {
    switch (Style) {
        case esButt:
            break;
        case esSquare: {
            const TFloatPoint T{-N.Y, N.X};
            Out.push_back({P.X + S * N.X + S * T.X, P.Y + S * N.Y + S * T.Y});
            Out.push_back({P.X - S * N.X + S * T.X, P.Y - S * N.Y + S * T.Y});
            break;
        }
        case esRound: {
            // From the side of S * N around the end to the other side, bulging away from
            // the line: the signed radius starts the arc on the side of S * N.
            const float A0 =
                static_cast<float>(std::atan2(static_cast<double>(N.Y), static_cast<double>(N.X)));
            float A1 = static_cast<float>(std::atan2(-static_cast<double>(N.Y), -static_cast<double>(N.X)));
            if (A1 < A0) A1 = static_cast<float>(static_cast<double>(A1) + 2 * Pi);
            const TArrayOfFloatPoint Arc = CircularArcPoints(P, S, A0, A1);
            Out.insert(Out.end(), Arc.begin(), Arc.end());
            break;
        }
    }
}

// N points from (X, Y) turning by Step about Centre, offsets scaled by (Kx, Ky). The turn
// is carried from point to point in single precision, so the shapes keep their exact points.
TArrayOfFloatPoint TurnedPoints(const TFloatPoint& Centre, float X, float Y, double Step, int N, float Kx,
                                float Ky) {
    const float C = static_cast<float>(std::cos(Step)), S = static_cast<float>(std::sin(Step));
    TArrayOfFloatPoint Result;
    Result.reserve(static_cast<size_t>(N));
    Result.push_back({Centre.X + Kx * X, Centre.Y + Ky * Y});
    for (int I = 1; I < N; ++I) {
        const float Nx = X * C - Y * S;
        Y = X * S + Y * C;
        X = Nx;
        Result.push_back({Centre.X + Kx * X, Centre.Y + Ky * Y});
    }
    return Result;
}

}  // namespace

bool IsFinitePoint(const TFloatPoint& P) {
    return std::isfinite(P.X) && std::isfinite(P.Y);
}

TArrayOfFloatPoint SanitizedPoints(const TArrayOfFloatPoint& Points) {
    TArrayOfFloatPoint Result;
    Result.reserve(Points.size());
    for (const TFloatPoint& P : Points) {
        if (!IsFinitePoint(P)) continue;
        Result.push_back(
            {std::clamp(P.X, -MaxCoordinate, MaxCoordinate), std::clamp(P.Y, -MaxCoordinate, MaxCoordinate)});
    }
    return Result;
}

TArrayOfFloatPoint ContourNormals(const TArrayOfFloatPoint& Points) {
    const size_t N = Points.size();
    TArrayOfFloatPoint Result(N);
    for (size_t I = 0; I < N; ++I) {
        const TFloatPoint& Next = Points[I + 1 < N ? I + 1 : 0];
        double Dx = static_cast<double>(Next.X) - Points[I].X;
        double Dy = static_cast<double>(Next.Y) - Points[I].Y;
        const double Length = std::sqrt(Dx * Dx + Dy * Dy);
        if (Length > 0.0001) {
            Dx /= Length;
            Dy /= Length;
        }
        if (Dx == 0.0 && Dy == 0.0)
            Result[I] = {0.0f, 0.0f};
        else
            Result[I] = {static_cast<float>(Dy), static_cast<float>(-Dx)};
    }
    return Result;
}

TArrayOfFloatPoint GrowContour(const TArrayOfFloatPoint& Points, const TArrayOfFloatPoint& Normals,
                               float Delta, TJoinStyle JoinStyle, bool Closed, float MiterLimit) {
    const int N = static_cast<int>(Points.size());
    if (N < 2 || static_cast<int>(Normals.size()) < N || !std::isfinite(Delta)) return {};
    const int H = LastNonZero(Normals, Closed ? N - 1 : N - 2);
    if (H < 0) return {};
    const int Lo = FirstNonZero(Normals, H);
    TArrayOfFloatPoint Result;
    Result.reserve(static_cast<size_t>(N) + 2);
    TJoiner Joiner(Result, Delta, JoinStyle, MiterLimit);
    TFloatPoint A = Closed ? Normals[H] : Normals[Lo];
    for (int I = Lo; I <= H; ++I) {
        const TFloatPoint& B = Normals[I];
        if (IsZero(B)) continue;
        Joiner.Join(Points[I], A, B);
        A = B;
    }
    if (!Closed) Result.push_back(Along(Points[N - 1], A, Delta));
    return Result;
}

TArrayOfFloatPoint BuildStrokeOutline(const TArrayOfFloatPoint& Points, float StrokeWidth,
                                      TJoinStyle JoinStyle, TEndStyle EndStyle, float MiterLimit) {
    const int N = static_cast<int>(Points.size());
    if (N < 2 || !std::isfinite(StrokeWidth)) return {};
    const float W = StrokeWidth / 2.0f;
    const TArrayOfFloatPoint Normals = ContourNormals(Points);
    const int H = LastNonZero(Normals, N - 2);
    if (H < 0) return {};
    const int Lo = FirstNonZero(Normals, H);
    TArrayOfFloatPoint Result;
    AddCap(Result, Points[0], Normals[Lo], -W, EndStyle);
    const TArrayOfFloatPoint Outer = GrowContour(Points, Normals, W, JoinStyle, false, MiterLimit);
    Result.insert(Result.end(), Outer.begin(), Outer.end());
    AddCap(Result, Points[N - 1], Normals[H], W, EndStyle);
    const TArrayOfFloatPoint Inner = GrowContour(Points, Normals, -W, JoinStyle, false, MiterLimit);
    Result.insert(Result.end(), Inner.rbegin(), Inner.rend());
    return Result;
}

TArrayOfArrayOfFloatPoint BuildPolyStrokeOutline(const TArrayOfArrayOfFloatPoint& Contours, bool Closed,
                                                 float StrokeWidth, TJoinStyle JoinStyle, TEndStyle EndStyle,
                                                 float MiterLimit) {
    TArrayOfArrayOfFloatPoint Result;
    if (!std::isfinite(StrokeWidth)) return Result;
    const float W = StrokeWidth / 2.0f;
    for (const TArrayOfFloatPoint& Contour : Contours) {
        if (Closed) {
            const TArrayOfFloatPoint Normals = ContourNormals(Contour);
            TArrayOfFloatPoint Outer = GrowContour(Contour, Normals, W, JoinStyle, true, MiterLimit);
            TArrayOfFloatPoint Inner = GrowContour(Contour, Normals, -W, JoinStyle, true, MiterLimit);
            if (!Outer.empty()) Result.push_back(std::move(Outer));
            if (!Inner.empty()) Result.push_back(ReversePoints(Inner));
        } else {
            TArrayOfFloatPoint Outline = BuildStrokeOutline(Contour, StrokeWidth, JoinStyle, EndStyle, 4.0f);
            if (!Outline.empty()) Result.push_back(std::move(Outline));
        }
    }
    return Result;
}

TArrayOfFloatPoint RectanglePoints(const TFloatRect& R) {
    return {{R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left, R.Bottom}};
}

TArrayOfFloatPoint RoundRectPoints(const TFloatRect& R, float Radius) {
    const float W = R.Right - R.Left, H = R.Bottom - R.Top;
    if (W > 0 && H > 0 && 2 * Radius >= std::min(W, H)) {
        // Rounding the short sides away leaves no rectangle to grow: the figure is the
        // stadium (a circle for a square) with the largest radius that fits.
        const float Rr = std::min(W, H) / 2;
        const float Y0 = R.Top + Rr, Y1 = R.Bottom - Rr, X0 = R.Left + Rr, X1 = R.Right - Rr;
        // An even number of steps per half circle, so each end's extreme point is on it.
        const int Steps = std::max(2, (CircleStepCount(Rr) / 2 + 1) & ~1);
        TArrayOfFloatPoint P;
        const auto Arc = [&](TFloatPoint C, double From) {
            for (int I = 0; I <= Steps; ++I) {
                const double A = From + Pi * I / Steps;
                P.push_back({static_cast<float>(C.X + Rr * std::cos(A)), static_cast<float>(C.Y + Rr * std::sin(A))});
            }
        };
        if (W >= H) {
            Arc({X1, Y0}, -Pi / 2);
            Arc({X0, Y0}, Pi / 2);
        } else {
            Arc({X0, Y1}, 0);
            Arc({X0, Y0}, Pi);
        }
        return P;
    }
    const TArrayOfFloatPoint Corners =
        RectanglePoints({R.Left + Radius, R.Top + Radius, R.Right - Radius, R.Bottom - Radius});
    return GrowContour(Corners, ContourNormals(Corners), Radius, jsRound, true, 4.0f);
}

TArrayOfFloatPoint CirclePoints(const TFloatPoint& Centre, float Radius, int Steps) {
    if (!std::isfinite(Radius)) return {};
    const int N = std::min(Steps < 1 ? CircleStepCount(Radius) : Steps, MaxArcPoints);
    if (N < 1) return {};
    return TurnedPoints(Centre, Radius, 0.0f, 2 * Pi / N, N, 1.0f, 1.0f);
}

TArrayOfFloatPoint EllipsePoints(const TFloatPoint& Centre, float RadiusX, float RadiusY) {
    if (!std::isfinite(RadiusX) || !std::isfinite(RadiusY)) return {};
    const int N = CircleStepCount(std::min(RadiusX, RadiusY));
    if (N < 1) return {};
    return TurnedPoints(Centre, 1.0f, 0.0f, 2 * Pi / N, N, RadiusX, RadiusY);
}

TArrayOfFloatPoint CircularArcPoints(const TFloatPoint& Centre, float Radius, float StartAngle,
                                     float EndAngle) {
    const float Sweep = EndAngle - StartAngle;
    const double D = std::fabs(static_cast<double>(Radius)) * static_cast<double>(Sweep) * Sweep;
    if (!std::isfinite(D) || !std::isfinite(Radius) || !std::isfinite(StartAngle)) return {};
    const int N = D < 36 ? 6 : std::min(RoundHalfEven(std::sqrt(D)), MaxArcPoints);
    const double Step = static_cast<double>(Sweep) / (N - 1);
    const float X = static_cast<float>(Radius * std::cos(static_cast<double>(StartAngle)));
    const float Y = static_cast<float>(Radius * std::sin(static_cast<double>(StartAngle)));
    return TurnedPoints(Centre, X, Y, Step, N, 1.0f, 1.0f);
}

int CircleStepCount(float Radius) {
    if (!std::isfinite(Radius)) return 0;
    const double R = std::fabs(static_cast<double>(Radius));
    const double Steps = Pi / std::acos(R / (R + 0.125));
    if (!(Steps < MaxArcPoints)) return MaxArcPoints;
    return static_cast<int>(Steps);
}

TArrayOfArrayOfFloatPoint DashPolyline(const TArrayOfFloatPoint& Points, const std::vector<float>& Pattern,
                                       bool Closed) {
    TArrayOfArrayOfFloatPoint Dashes;
    if (Pattern.empty() || Points.size() < 2) return Dashes;
    for (float L : Pattern)
        if (!(L > 0) || !std::isfinite(L)) return Dashes;
    size_t Index = 0;
    float Left = Pattern[0];  // of the current run
    bool Drawn = true;
    TArrayOfFloatPoint Dash{Points[0]};
    const size_t Edges = Closed ? Points.size() : Points.size() - 1;
    for (size_t E = 0; E < Edges; ++E) {
        const TFloatPoint A = Points[E], B = Points[(E + 1) % Points.size()];
        const float Dx = B.X - A.X, Dy = B.Y - A.Y;
        const float Length = std::hypot(Dx, Dy);
        float At = 0;
        while (Length - At > Left) {
            At += Left;
            const TFloatPoint P{A.X + Dx * At / Length, A.Y + Dy * At / Length};
            if (Drawn) {
                Dash.push_back(P);
                Dashes.push_back(std::move(Dash));
                Dash.clear();
            } else {
                Dash = {P};
            }
            Drawn = !Drawn;
            Index = (Index + 1) % Pattern.size();
            Left = Pattern[Index];
        }
        Left -= Length - At;
        if (Drawn) Dash.push_back(B);
    }
    if (Drawn && Dash.size() > 1) Dashes.push_back(std::move(Dash));
    return Dashes;
}

TArrayOfFloatPoint ReversePoints(const TArrayOfFloatPoint& Points) {
    return TArrayOfFloatPoint(Points.rbegin(), Points.rend());
}
