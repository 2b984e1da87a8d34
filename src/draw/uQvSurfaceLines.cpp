#include "draw/uQvSurfaceLines.h"

#include <algorithm>
#include <cmath>

#include "platform/uQvPixel.h"

TRect PixelSpan(int X1, int Y1, int X2, int Y2) {
    return Rect(std::min(X1, X2), std::min(Y1, Y2), ClampToInt(int64_t{std::max(X1, X2)} + 1),
                ClampToInt(int64_t{std::max(Y1, Y2)} + 1));
}

// --- horizontal and vertical runs ---------------------------------------------------------

template <bool Transparent>
void TCustomSurface32::HorzRun(int X1, int Y, int X2, TColor32 Value, const TRect& Clip) {
    if (X1 > X2) std::swap(X1, X2);
    if (Y < Clip.Top || Y >= Clip.Bottom) return;
    X1 = std::max(X1, Clip.Left);
    X2 = std::min(X2, Clip.Right - 1);
    if (X1 > X2 || FMeasuringMode) return;
    TColor32* P = PixelPtr(X1, Y);
    const int N = X2 - X1 + 1;
    if (!Transparent) {
        std::fill_n(P, N, Value);
    } else if (FCombineMode == cmMerge) {
        for (int I = 0; I < N; ++I) MergeInto(Value, P[I]);
    } else {
        PixelKernels().CombineLine(Value, P, N, AlphaComponent(Value));
    }
}

template <bool Transparent>
void TCustomSurface32::VertRun(int X, int Y1, int Y2, TColor32 Value, const TRect& Clip) {
    if (Y1 > Y2) std::swap(Y1, Y2);
    if (X < Clip.Left || X >= Clip.Right) return;
    Y1 = std::max(Y1, Clip.Top);
    Y2 = std::min(Y2, Clip.Bottom - 1);
    if (Y1 > Y2 || FMeasuringMode) return;
    for (int Y = Y1; Y <= Y2; ++Y) {
        TColor32& P = *PixelPtr(X, Y);
        if (Transparent)
            BlendPixelT(P, Value);
        else
            P = Value;
    }
}

void TCustomSurface32::HorzLine(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<false>(X1, Y, X2, Value, BoundsRect());
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::HorzLineS(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<false>(X1, Y, X2, Value, FClipRect);
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::HorzLineT(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<true>(X1, Y, X2, Value, BoundsRect());
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::HorzLineTS(int X1, int Y, int X2, TColor32 Value) {
    HorzRun<true>(X1, Y, X2, Value, FClipRect);
    Changed(PixelSpan(X1, Y, X2, Y));
}

void TCustomSurface32::VertLine(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<false>(X, Y1, Y2, Value, BoundsRect());
    Changed(PixelSpan(X, Y1, X, Y2));
}

void TCustomSurface32::VertLineS(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<false>(X, Y1, Y2, Value, FClipRect);
    Changed(PixelSpan(X, Y1, X, Y2));
}

void TCustomSurface32::VertLineT(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<true>(X, Y1, Y2, Value, BoundsRect());
    Changed(PixelSpan(X, Y1, X, Y2));
}

void TCustomSurface32::VertLineTS(int X, int Y1, int Y2, TColor32 Value) {
    VertRun<true>(X, Y1, Y2, Value, FClipRect);
    Changed(PixelSpan(X, Y1, X, Y2));
}

// --- frames -----------------------------------------------------------------------------

void TCustomSurface32::FrameArea(int X1, int Y1, int X2, int Y2, TColor32 Value, bool Transparent) {
    if (X1 >= X2 || Y1 >= Y2) return;
    TRect Visible;
    if (!IntersectRect(Visible, Rect(X1, Y1, X2, Y2), FClipRect)) return;
    // Each side is drawn once even when the rectangle is one pixel wide or high, so a
    // translucent frame never blends a pixel twice.
    auto Row = [&](int Y) {
        if (Transparent)
            HorzRun<true>(X1, Y, X2 - 1, Value, FClipRect);
        else
            HorzRun<false>(X1, Y, X2 - 1, Value, FClipRect);
    };
    auto Column = [&](int X) {
        if (Y1 + 1 > Y2 - 2) return;
        if (Transparent)
            VertRun<true>(X, Y1 + 1, Y2 - 2, Value, FClipRect);
        else
            VertRun<false>(X, Y1 + 1, Y2 - 2, Value, FClipRect);
    };
    Row(Y1);
    if (Y2 - 1 > Y1) Row(Y2 - 1);
    Column(X1);
    if (X2 - 1 > X1) Column(X2 - 1);
    Changed(Rect(X1, Y1, X2, Y2));
}

void TCustomSurface32::FrameRectS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    FrameArea(X1, Y1, X2, Y2, Value, false);
}

void TCustomSurface32::FrameRectTS(int X1, int Y1, int X2, int Y2, TColor32 Value) {
    FrameArea(X1, Y1, X2, Y2, Value, true);
}

// --- straight lines -----------------------------------------------------------------------

// Bresenham: step i along the major axis puts the minor coordinate at the start plus
// round(i * minor / major), an exact half going towards the end point. Only the steps
// whose major coordinate lies in Clip are walked, so long lines cost what is visible.
template <bool Transparent>
void TCustomSurface32::BresenhamLine(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L,
                                     const TRect& Clip) {
    if (FMeasuringMode || IsRectEmpty(Clip)) return;
    const int64_t Dx = int64_t{X2} - X1, Dy = int64_t{Y2} - Y1;
    const bool XMajor = std::llabs(Dx) >= std::llabs(Dy);
    const int64_t Major = XMajor ? std::llabs(Dx) : std::llabs(Dy);
    const int64_t Minor = XMajor ? std::llabs(Dy) : std::llabs(Dx);
    const int64_t SMajor = (XMajor ? Dx : Dy) < 0 ? -1 : 1;
    const int64_t SMinor = (XMajor ? Dy : Dx) < 0 ? -1 : 1;
    const int64_t Start = XMajor ? X1 : Y1, MinorStart = XMajor ? Y1 : X1;
    const int64_t Last = L ? Major : Major - 1;
    if (Last < 0) return;
    // Steps whose major coordinate lies inside the clip.
    const int64_t Lo = XMajor ? Clip.Left : Clip.Top, Hi = (XMajor ? Clip.Right : Clip.Bottom) - 1;
    int64_t First, Final;
    if (SMajor > 0) {
        First = std::max<int64_t>(0, Lo - Start);
        Final = std::min<int64_t>(Last, Hi - Start);
    } else {
        First = std::max<int64_t>(0, Start - Hi);
        Final = std::min<int64_t>(Last, Start - Lo);
    }
    if (First > Final) return;
    const int64_t MinLo = XMajor ? Clip.Top : Clip.Left, MinHi = (XMajor ? Clip.Bottom : Clip.Right) - 1;
    if (Major == 0) {
        // A single point (only reached with L).
        if (MinorStart >= MinLo && MinorStart <= MinHi) {
            TColor32& P = *PixelPtr(X1, Y1);
            if (Transparent)
                BlendPixelT(P, Value);
            else
                P = Value;
        }
        return;
    }
    // Minor offset of step i: (2*i*Minor + Major) div (2*Major), kept as quotient and
    // remainder while stepping.
    const __int128 Num = static_cast<__int128>(2) * First * Minor + Major;
    int64_t Q = static_cast<int64_t>(Num / (2 * Major));
    int64_t R = static_cast<int64_t>(Num % (2 * Major));
    for (int64_t I = First; I <= Final; ++I) {
        const int64_t M = Start + SMajor * I, N = MinorStart + SMinor * Q;
        if (N >= MinLo && N <= MinHi) {
            const int X = static_cast<int>(XMajor ? M : N), Y = static_cast<int>(XMajor ? N : M);
            TColor32& P = *PixelPtr(X, Y);
            if (Transparent)
                BlendPixelT(P, Value);
            else
                P = Value;
        }
        R += 2 * Minor;
        if (R >= 2 * Major) {
            R -= 2 * Major;
            ++Q;
        }
    }
}

void TCustomSurface32::Line(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<false>(X1, Y1, X2, Y2, Value, L, BoundsRect());
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<false>(X1, Y1, X2, Y2, Value, L, FClipRect);
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineT(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<true>(X1, Y1, X2, Y2, Value, L, BoundsRect());
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineTS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    BresenhamLine<true>(X1, Y1, X2, Y2, Value, L, FClipRect);
    Changed(PixelSpan(X1, Y1, X2, Y2));
}

void TCustomSurface32::LineAS(int X1, int Y1, int X2, int Y2, TColor32 Value, bool L) {
    const int64_t Dx = int64_t{X2} - X1, Dy = int64_t{Y2} - Y1;
    if (Dx == 0 && Dy == 0) {
        if (L) SetPixelTS(X2, Y2, Value);
        return;
    }
    if (Dy == 0) {
        HorzLineTS(X1, Y1, ClampToInt(X2 - (Dx > 0 ? 1 : -1)), Value);
        if (L) SetPixelTS(X2, Y2, Value);
        return;
    }
    if (Dx == 0) {
        VertLineTS(X1, Y1, ClampToInt(Y2 - (Dy > 0 ? 1 : -1)), Value);
        if (L) SetPixelTS(X2, Y2, Value);
        return;
    }
    if (std::llabs(Dx) == std::llabs(Dy)) {
        LineTS(X1, Y1, X2, Y2, Value, L);
        return;
    }
    if (!FMeasuringMode && !IsRectEmpty(FClipRect)) {
        // Two pixels per step along the major axis: the one on the line's minor position
        // weighted G[255 - f], its neighbour one minor step further G[f], f being the top
        // 8 bits of the 16-bit fraction. The slope divides with truncation toward zero.
        const uint8_t* G = CoverageGamma();
        const bool XMajor = std::llabs(Dx) > std::llabs(Dy);
        const int64_t Major = XMajor ? Dx : Dy, Minor = XMajor ? Dy : Dx;
        const int64_t Slope = Minor * 65536 / std::llabs(Major);
        const int64_t SMajor = Major < 0 ? -1 : 1, N = std::llabs(Major);
        const int64_t Start = XMajor ? X1 : Y1, MinorStart = XMajor ? Y1 : X1;
        const int64_t Lo = XMajor ? FClipRect.Left : FClipRect.Top;
        const int64_t Hi = (XMajor ? FClipRect.Right : FClipRect.Bottom) - 1;
        const int64_t Last = L ? N : N - 1;
        int64_t First = SMajor > 0 ? std::max<int64_t>(0, Lo - Start) : std::max<int64_t>(0, Start - Hi);
        const int64_t Final = SMajor > 0 ? std::min(Last, Hi - Start) : std::min(Last, Start - Lo);
        for (int64_t I = First; I <= Final; ++I) {
            const int64_t M = Start + SMajor * I;
            const int64_t Pos = (MinorStart << 16) + I * Slope;
            const int64_t Nm = Pos >> 16;
            const uint32_t F = static_cast<uint32_t>((Pos >> 8) & 0xFF);
            auto Put = [&](int64_t MinorC, uint32_t Weight) {
                const int64_t X = XMajor ? M : MinorC, Y = XMajor ? MinorC : M;
                if (X < FClipRect.Left || X >= FClipRect.Right || Y < FClipRect.Top || Y >= FClipRect.Bottom)
                    return;
                BlendIntoMaster(Value, *PixelPtr(static_cast<int>(X), static_cast<int>(Y)), Weight);
            };
            Put(Nm, G[255 - F]);
            Put(Nm + 1, G[F]);
        }
    }
    const TRect Span = PixelSpan(X1, Y1, X2, Y2);
    Changed(
        Rect(Span.Left, Span.Top, ClampToInt(int64_t{Span.Right} + 1), ClampToInt(int64_t{Span.Bottom} + 1)));
}

// --- antialiased fixed-point lines ----------------------------------------------------------

// One splat of Value at (X, Y) in 24.8 fixed point over the four pixels it touches.
void TCustomSurface32::SplatT(int64_t X, int64_t Y, TColor32 Value) {
    const TRect& C = FClipRect;
    if (X < int64_t{256} * C.Left - 256 || X >= int64_t{256} * C.Right || Y < int64_t{256} * C.Top - 256 ||
        Y >= int64_t{256} * C.Bottom)
        return;
    const uint8_t* G = CoverageGamma();
    const uint32_t Fx = static_cast<uint32_t>(X & 255), Fy = static_cast<uint32_t>(Y & 255);
    const int Px = static_cast<int>(X >> 8), Py = static_cast<int>(Y >> 8);
    const uint32_t A = AlphaComponent(Value);
    auto Put = [&](int Xp, int Yp, uint32_t P, uint32_t Q) {
        if (!PtInRect(C, Point(Xp, Yp))) return;
        TColor32& D = *PixelPtr(Xp, Yp);
        if (FCombineMode == cmMerge)
            CombineInto(MergeOver(Value, D), D, (P * Q) >> 8);
        else
            CombineInto(Value, D, ((A * P) * Q) >> 16);
    };
    Put(Px, Py, G[255 - Fx], G[255 - Fy]);
    Put(Px + 1, Py, G[Fx], G[255 - Fy]);
    Put(Px + 1, Py + 1, G[Fx], G[Fy]);
    Put(Px, Py + 1, G[255 - Fx], G[Fy]);
}

bool ClipSegment(int64_t& X1, int64_t& Y1, int64_t& X2, int64_t& Y2, int64_t L, int64_t T, int64_t R,
                 int64_t B) {
    auto Code = [&](int64_t X, int64_t Y) {
        return (X < L ? 1 : 0) | (X > R ? 2 : 0) | (Y < T ? 4 : 0) | (Y > B ? 8 : 0);
    };
    int C1 = Code(X1, Y1), C2 = Code(X2, Y2);
    for (int Guard = 0; Guard < 8; ++Guard) {
        if ((C1 | C2) == 0) return true;
        if ((C1 & C2) != 0) return false;
        const int C = C1 != 0 ? C1 : C2;
        int64_t X, Y;
        const __int128 Dx = X2 - X1, Dy = Y2 - Y1;
        if (C & 1) {
            X = L;
            Y = Y1 + static_cast<int64_t>(Dy * (L - X1) / Dx);
        } else if (C & 2) {
            X = R;
            Y = Y1 + static_cast<int64_t>(Dy * (R - X1) / Dx);
        } else if (C & 4) {
            Y = T;
            X = X1 + static_cast<int64_t>(Dx * (T - Y1) / Dy);
        } else {
            Y = B;
            X = X1 + static_cast<int64_t>(Dx * (B - Y1) / Dy);
        }
        if (C == C1) {
            X1 = X;
            Y1 = Y;
            C1 = Code(X1, Y1);
        } else {
            X2 = X;
            Y2 = Y;
            C2 = Code(X2, Y2);
        }
    }
    return (C1 | C2) == 0;
}

void TCustomSurface32::LineXS(TFixed AX1, TFixed AY1, TFixed AX2, TFixed AY2, TColor32 Value, bool L) {
    const TRect Area = Rect(std::min(AX1, AX2) >> 16, std::min(AY1, AY2) >> 16,
                            ClampToInt(int64_t{std::max(AX1, AX2) >> 16} + 2),
                            ClampToInt(int64_t{std::max(AY1, AY2) >> 16} + 2));
    int64_t X1 = AX1, Y1 = AY1, X2 = AX2, Y2 = AY2;
    const TRect& C = FClipRect;
    if (IsRectEmpty(C)) return;
    if (!ClipSegment(X1, Y1, X2, Y2, (int64_t{C.Left} - 1) * 65536, (int64_t{C.Top} - 1) * 65536,
                     int64_t{C.Right} * 65536, int64_t{C.Bottom} * 65536))
        return;
    if (X2 != AX2 || Y2 != AY2) L = true;
    const int64_t Ex = X2 - X1, Ey = Y2 - Y1;
    X1 += 127;
    Y1 += 127;
    X2 += 127;
    Y2 += 127;
    // The length in single precision, rounded half to even.
    const float FEx = static_cast<float>(Ex), FEy = static_cast<float>(Ey);
    int64_t Hyp = RoundHalfEven64(static_cast<double>(std::sqrt(FEx * FEx + FEy * FEy)));
    if (Hyp == 0) return;
    if (L) Hyp += 65536;
    if (Hyp < 256) return;
    if (!FMeasuringMode) {
        const int64_t N = Hyp >> 16;
        int64_t Nx = Ex, Ny = Ey;
        if (N > 0) {
            const float H = 65536.0f / static_cast<float>(Hyp);
            Nx = RoundHalfEven64(static_cast<double>(FEx * H));
            Ny = RoundHalfEven64(static_cast<double>(FEy * H));
            for (int64_t I = 0; I < N; ++I) {
                SplatT(X1 >> 8, Y1 >> 8, Value);
                X1 += Nx;
                Y1 += Ny;
            }
        }
        // The remainder, with its share of the alpha, halfway between the last step and
        // the end point.
        const int64_t Rest = Hyp - (N << 16);
        const uint32_t A = static_cast<uint32_t>((int64_t{AlphaComponent(Value)} * Rest) >> 16);
        SplatT((X1 + X2 - Nx) >> 9, (Y1 + Y2 - Ny) >> 9,
               SetAlpha(Value, static_cast<uint8_t>(std::min(A, 255u))));
    }
    Changed(Area);
}

void TCustomSurface32::LineFS(float X1, float Y1, float X2, float Y2, TColor32 Value, bool L) {
    // A line with a non-finite end has no place on the surface.
    if (!std::isfinite(X1) || !std::isfinite(Y1) || !std::isfinite(X2) || !std::isfinite(Y2)) return;
    auto ToFixed = [](float V) {
        return static_cast<TFixed>(RoundHalfEven(static_cast<double>(V) * 65536.0));
    };
    LineXS(ToFixed(X1), ToFixed(Y1), ToFixed(X2), ToFixed(Y2), Value, L);
}

void TCustomSurface32::MoveTo(int X, int Y) {
    FPenPos = Point(X, Y);
}

void TCustomSurface32::LineToS(int X, int Y) {
    LineS(FPenPos.X, FPenPos.Y, X, Y, FPenColor);
    FPenPos = Point(X, Y);
}
