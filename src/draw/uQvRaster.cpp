#include "draw/uQvRaster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/uQvPixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// A piece of an edge inside one row: X in pixels, Y relative to the row's top (0..1).
struct TPiece {
    float X1, Y1, X2, Y2;
};

// floor(V) for the coordinates of clipped figures, which lie near the surface; others are
// first limited to a range the conversion holds. Truncation and a correction are exact
// and spare a library call per edge end.
inline int FloorToInt(float V) {
    V = std::clamp(V, -1073741824.0f, 1073741824.0f);
    const int T = static_cast<int>(V);
    return T - (V < static_cast<float>(T) ? 1 : 0);
}

// --- clipping --------------------------------------------------------------------------

enum TSide { sdLeft, sdRight, sdTop, sdBottom };

bool Inside(const TFloatPoint& P, TSide Side, const TFloatRect& C) {
    switch (Side) {
        case sdLeft:
            return P.X >= C.Left;
        case sdRight:
            return P.X <= C.Right;
        case sdTop:
            return P.Y >= C.Top;
        case sdBottom:
            return P.Y <= C.Bottom;
    }
    return true;
}

// Where the edge from P1 to P2 crosses the side.
TFloatPoint Crossing(const TFloatPoint& P1, const TFloatPoint& P2, TSide Side, const TFloatRect& C) {
    if (Side == sdLeft || Side == sdRight) {
        const float X = Side == sdLeft ? C.Left : C.Right;
        return {X, P1.Y + (P2.Y - P1.Y) * ((X - P1.X) / (P2.X - P1.X))};
    }
    const float Y = Side == sdTop ? C.Top : C.Bottom;
    return {P1.X + (P2.X - P1.X) * ((Y - P1.Y) / (P2.Y - P1.Y)), Y};
}

// Walks the closed contour from its last point and replaces every run of points outside
// the side by the crossings where the contour leaves and re-enters.
TArrayOfFloatPoint ClipSide(const TArrayOfFloatPoint& In, TSide Side, const TFloatRect& C) {
    TArrayOfFloatPoint Out;
    if (In.empty()) return Out;
    Out.reserve(In.size() + 4);
    TFloatPoint Prev = In.back();
    bool PrevIn = Inside(Prev, Side, C);
    for (const TFloatPoint& Cur : In) {
        const bool CurIn = Inside(Cur, Side, C);
        if (CurIn != PrevIn) Out.push_back(Crossing(Prev, Cur, Side, C));
        if (CurIn) Out.push_back(Cur);
        Prev = Cur;
        PrevIn = CurIn;
    }
    return Out;
}

// --- cutting edges into row pieces ------------------------------------------------------

// Cuts every edge of the closed contour at the integer rows and hands each piece that
// does not lie on its row's top line to Emit(Row, Piece).
template <typename TEmit>
void CutContour(const TArrayOfFloatPoint& P, TEmit&& Emit) {
    auto Put = [&Emit](int Row, const TPiece& Piece) {
        if (Piece.Y1 == 0.0f && Piece.Y2 == 0.0f) return;
        Emit(Row, Piece);
    };
    for (size_t I = 0; I + 1 < P.size(); ++I) {
        const TFloatPoint& A = P[I];
        const TFloatPoint& B = P[I + 1];
        const int RowA = FloorToInt(A.Y), RowB = FloorToInt(B.Y);
        const float Ra = static_cast<float>(RowA), Rb = static_cast<float>(RowB);
        if (RowA == RowB) {
            Put(RowA, {A.X, A.Y - Ra, B.X, B.Y - Ra});
            continue;
        }
        const float G = (B.X - A.X) / (B.Y - A.Y);
        if (RowA < RowB) {
            float X = A.X + G * (static_cast<float>(RowA + 1) - A.Y);
            Put(RowA, {A.X, A.Y - Ra, X, 1.0f});
            for (int Row = RowA + 1; Row < RowB; ++Row) {
                const float Next = X + G;
                Put(Row, {X, 0.0f, Next, 1.0f});
                X = Next;
            }
            Put(RowB, {X, 0.0f, B.X, B.Y - Rb});
        } else {
            float X = A.X + G * (Ra - A.Y);
            Put(RowA, {A.X, A.Y - Ra, X, 0.0f});
            for (int Row = RowA - 1; Row > RowB; --Row) {
                const float Next = X - G;
                Put(Row, {X, 1.0f, Next, 0.0f});
                X = Next;
            }
            Put(RowB, {X, 1.0f, B.X, B.Y - Rb});
        }
    }
}

// --- coverage of one row ------------------------------------------------------------------

// The cells of a row and the arithmetic that fills them. Cells cover the columns
// Base .. Base + size - 1; every piece's X has been kept within reach.
class TRowCoverage {
public:
    TRowCoverage(int Base, int Count) : FBase(Base), FCells(static_cast<size_t>(Count), 0.0f) {}

    float* Cell(int X) { return &FCells[static_cast<size_t>(X - FBase)]; }

    // Accumulates the pieces of one row; returns the lowest and highest touched columns.
    // Sparse sums only the cells the cover pass touched and spreads each partial sum
    // over the cells up to the next: those hold 0, and adding 0 changes no sum, so the
    // cells get exactly the sequential running sum.
    void Accumulate(const TPiece* Pieces, size_t Count, int& Lo, int& Hi, bool Sparse) {
        int M = INT_MAX, MM = INT_MIN;
        FTouched.clear();
        // Cover pass: an end on the row's bottom line carries the full height to every
        // column on its right, split at the crossing.
        for (size_t K = 0; K < Count; ++K) {
            const TPiece& P = Pieces[K];
            Cover(P.X1, P.Y1, -1.0f, M, MM);
            Cover(P.X2, P.Y2, 1.0f, M, MM);
        }
        if (Sparse) {
            std::sort(FTouched.begin(), FTouched.end());
            float Sum = 0.0f;
            int Prev = INT_MIN;
            for (const int X : FTouched) {
                if (X == Prev) continue;
                if (Prev == INT_MIN) {
                    Sum = *Cell(X);
                } else {
                    Spread(Cell(Prev + 1), Cell(X), Sum);
                    Sum += *Cell(X);
                    *Cell(X) = Sum;
                }
                Prev = X;
            }
            if (Prev != INT_MIN) Spread(Cell(Prev + 1), Cell(MM) + 1, Sum);
        } else {
            float Sum = *Cell(M);
            for (int X = M + 1; X <= MM; ++X) {
                Sum += *Cell(X);
                *Cell(X) = Sum;
            }
        }
        // Area pass: the part of each pixel between the piece and the row's top line.
        for (size_t K = 0; K < Count; ++K) Area(Pieces[K]);
        Lo = M;
        Hi = MM;
    }

    void Clear(int Lo, int Hi) { std::fill(Cell(Lo), Cell(Hi) + 1, 0.0f); }

private:
    static void Spread(float* From, float* To, float Value) {
#ifdef __SSE2__
        const __m128 V = _mm_set1_ps(Value);
        for (; From + 4 <= To; From += 4) _mm_storeu_ps(From, V);
#endif
        for (; From < To; ++From) *From = Value;
    }

    void Cover(float X, float Y, float Sign, int& Lo, int& Hi) {
        const int J = FloorToInt(X);
        Lo = std::min(Lo, J);
        if (Y != 1.0f) {
            Hi = std::max(Hi, J);
            return;
        }
        Hi = std::max(Hi, J + 1);
        FTouched.push_back(J);
        FTouched.push_back(J + 1);
        const float D = X - static_cast<float>(J);
        if (Sign > 0) {
            *Cell(J) += 1.0f - D;
            *Cell(J + 1) += D;
        } else {
            *Cell(J) -= 1.0f - D;
            *Cell(J + 1) -= D;
        }
    }

    void Area(const TPiece& P) {
        const float X0 = P.X1, Y0 = P.Y1, X1 = P.X2, Y1 = P.Y2;
        const int I = FloorToInt(X0), J = FloorToInt(X1);
        if (I == J) {
            *Cell(I) += (X1 - X0) * (Y0 + Y1) / 2.0f;
            return;
        }
        const float F = (Y1 - Y0) / (X1 - X0);
        if (I < J) {
            const float W = static_cast<float>(I + 1) - X0;
            float G = Y0 + F * W;
            *Cell(I) += W * (Y0 + G) / 2.0f;
            for (int K = I + 1; K < J; ++K) {
                *Cell(K) += G + F / 2.0f;
                G += F;
            }
            *Cell(J) += (X1 - static_cast<float>(J)) * (G + Y1) / 2.0f;
        } else {
            const float W = X0 - static_cast<float>(I);
            float G = Y0 - F * W;
            *Cell(I) -= W * (Y0 + G) / 2.0f;
            for (int K = I - 1; K > J; --K) {
                *Cell(K) -= G - F / 2.0f;
                G -= F;
            }
            *Cell(J) -= (G + Y1) / 2.0f * (1.0f - (X1 - static_cast<float>(J)));
        }
    }

    int FBase;
    std::vector<float> FCells;
    std::vector<int> FTouched;
};

}  // namespace

TArrayOfFloatPoint ClipContour(const TArrayOfFloatPoint& Points, const TFloatRect& ClipRect) {
    static constexpr TSide Sides[] = {sdLeft, sdRight, sdTop, sdBottom};
    bool Outside[4] = {false, false, false, false};
    for (TSide Side : Sides) {
        bool AnyIn = false;
        for (const TFloatPoint& P : Points) {
            if (Inside(P, Side, ClipRect))
                AnyIn = true;
            else
                Outside[Side] = true;
        }
        if (!AnyIn) return {};
    }
    TArrayOfFloatPoint Result = Points;
    for (TSide Side : Sides) {
        if (!Outside[Side]) continue;
        Result = ClipSide(Result, Side, ClipRect);
        if (Result.empty()) break;
    }
    return Result;
}

namespace {

void Rasterize(const TArrayOfArrayOfFloatPoint& Contours, const TFloatRect& ClipRect,
               const TRenderSpanEvent& RenderSpan, bool Sparse) {
    if (Contours.empty() || !RenderSpan) return;
    const TFloatRect& C = ClipRect;
    if (!(C.Right > C.Left) || !(C.Bottom > C.Top)) return;
    // Columns Lc..Rc are drawn; the cells reach one column further left and two further
    // right, where the crossings of the clip's edges may spill.
    const double LcD = std::floor(static_cast<double>(C.Left)),
                 RcD = std::ceil(static_cast<double>(C.Right)) - 1;
    if (LcD < INT_MIN / 2 || RcD > INT_MAX / 2) return;
    const int Lc = static_cast<int>(LcD), Rc = static_cast<int>(RcD);
    const int TopRow = static_cast<int>(std::floor(static_cast<double>(C.Top)));
    const int BottomRow = static_cast<int>(std::ceil(static_cast<double>(C.Bottom))) - 1;
    const float XLo = static_cast<float>(Lc - 1), XHi = static_cast<float>(Rc) + 1.5f;

    // Clip and close every contour; note the rows they span.
    TArrayOfArrayOfFloatPoint Closed;
    Closed.reserve(Contours.size());
    int RowLo = INT_MAX, RowHi = INT_MIN;
    for (const TArrayOfFloatPoint& Contour : Contours) {
        TArrayOfFloatPoint P = ClipContour(SanitizedPoints(Contour), C);
        if (P.empty()) continue;
        if (!(P.back() == P.front())) P.push_back(P.front());
        if (P.size() < 3) continue;
        for (const TFloatPoint& Q : P) {
            const int Row = FloorToInt(Q.Y);
            RowLo = std::min(RowLo, Row);
            RowHi = std::max(RowHi, Row);
        }
        Closed.push_back(std::move(P));
    }
    if (Closed.empty()) return;

    // Count the pieces of each row, then store them in the order they are cut.
    const size_t Rows = static_cast<size_t>(RowHi - RowLo) + 1;
    std::vector<size_t> Start(Rows + 1, 0);
    for (const TArrayOfFloatPoint& P : Closed)
        CutContour(P, [&](int Row, const TPiece&) { ++Start[Row - RowLo + 1]; });
    for (size_t R = 0; R < Rows; ++R) Start[R + 1] += Start[R];
    std::vector<TPiece> Pieces(Start[Rows]);
    std::vector<size_t> Fill(Start.begin(), Start.end() - 1);
    for (const TArrayOfFloatPoint& P : Closed)
        CutContour(P, [&](int Row, const TPiece& Piece) {
            // Rounding may carry a crossing a hair past the clip; keep it within the cells.
            Pieces[Fill[Row - RowLo]++] = {std::clamp(Piece.X1, XLo, XHi), Piece.Y1,
                                           std::clamp(Piece.X2, XLo, XHi), Piece.Y2};
        });

    TRowCoverage Coverage(Lc - 1, Rc - Lc + 4);
    for (size_t R = 0; R < Rows; ++R) {
        const size_t Count = Start[R + 1] - Start[R];
        const int Y = RowLo + static_cast<int>(R);
        if (Count == 0 || Y < TopRow || Y > BottomRow) continue;
        int M = 0, MM = 0;
        Coverage.Accumulate(&Pieces[Start[R]], Count, M, MM, Sparse);
        const int X1 = std::max(M, Lc), X2 = std::min(MM, Rc);
        if (X1 <= X2) RenderSpan({X1, X2, Coverage.Cell(X1)}, Y);
        Coverage.Clear(M, MM);
    }
}

}  // namespace

void RasterizePolyPolygon(const TArrayOfArrayOfFloatPoint& Contours, const TFloatRect& ClipRect,
                          const TRenderSpanEvent& RenderSpan) {
    Rasterize(Contours, ClipRect, RenderSpan, true);
}

void RasterizePolyPolygonReference(const TArrayOfArrayOfFloatPoint& Contours, const TFloatRect& ClipRect,
                                   const TRenderSpanEvent& RenderSpan) {
    Rasterize(Contours, ClipRect, RenderSpan, false);
}

// --- coverage to alpha ----------------------------------------------------------------------

namespace {

// Coverage products are limited to 2^40 (exact in float and double), far above any
// figure's overlap count, so every form folds absurd sums alike.
constexpr float MaxUnits = 1099511627776.0f;

// |floor(v * 65536)| folded by the fill rule into 0..65536, in plain form. The product
// is exact (a power of two).
uint32_t ColorCoverage(float Value, TPolyFillMode Mode) {
    const double Floor = std::floor(static_cast<double>(Value * 65536.0f));
    const int64_t E = static_cast<int64_t>(std::min(std::fabs(Floor), double{MaxUnits}));
    if (Mode == pfWinding) return static_cast<uint32_t>(std::min<int64_t>(E, 65536));
    int64_t F = E % 131072;
    if (F >= 65536) F = 131071 - F;
    return static_cast<uint32_t>(F);
}

// The same for the runs: the floor by truncation and a correction, the fold by masking.
template <TPolyFillMode Mode>
inline uint32_t FastColorCoverage(float Value) {
    const float X = std::clamp(Value * 65536.0f, -MaxUnits, MaxUnits);
    int64_t T = static_cast<int64_t>(X);
    T -= X < static_cast<float>(T) ? 1 : 0;
    const uint64_t E = static_cast<uint64_t>(T < 0 ? -T : T);
    if constexpr (Mode == pfWinding) {
        return static_cast<uint32_t>(E < 65536 ? E : 65536);
    } else {
        const uint32_t F = static_cast<uint32_t>(E & 131071);
        return F >= 65536 ? 131071 - F : F;
    }
}

// The plain run: the previous pixel is reused while the bits repeat, as they do for long
// stretches inside a figure.
template <TPolyFillMode Mode, bool Sse2>
void ColorRun(const float* Values, int Count, TColor32 Color, TColor32* Out) {
    const uint8_t* G = CoverageGamma();
    const uint32_t A257 = (Color >> 24) * 257u;
    const TColor32 Rgb = Color & 0x00FFFFFFu;
    uint32_t PrevBits;
    std::memcpy(&PrevBits, &Values[0], sizeof(float));
    TColor32 Pixel = Rgb | (TColor32{G[(A257 * FastColorCoverage<Mode>(Values[0])) >> 24]} << 24);
    Out[0] = Pixel;
    int I = 1;
    while (I < Count) {
#ifdef __SSE2__
        if constexpr (Sse2) {
            // Four values with the previous bits at once: four copies of the pixel.
            const __m128i Same = _mm_set1_epi32(static_cast<int>(PrevBits));
            const __m128i PixelV = _mm_set1_epi32(static_cast<int>(Pixel));
            while (I + 4 <= Count) {
                const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Values + I));
                if (_mm_movemask_epi8(_mm_cmpeq_epi32(V, Same)) != 0xFFFF) break;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + I), PixelV);
                I += 4;
            }
            if (I >= Count) break;
        }
#endif
        uint32_t Bits;
        std::memcpy(&Bits, &Values[I], sizeof(float));
        if (Bits != PrevBits) {
            Pixel = Rgb | (TColor32{G[(A257 * FastColorCoverage<Mode>(Values[I])) >> 24]} << 24);
            PrevBits = Bits;
        }
        Out[I++] = Pixel;
    }
}

template <TPolyFillMode Mode>
void WeightRun(const float* Values, int Count, uint32_t* Out) {
    const uint8_t* G = CoverageGamma();
    for (int I = 0; I < Count; ++I) {
        const float X = std::min(std::fabs(Values[I]) * 256.0f, MaxUnits);
        // Non-negative: truncation is the floor.
        const uint64_t A = static_cast<uint64_t>(X);
        if constexpr (Mode == pfWinding) {
            Out[I] = G[A < 255 ? A : 255];
        } else {
            const uint32_t F = static_cast<uint32_t>(A & 511);
            Out[I] = G[F >= 256 ? 511 - F : F];
        }
    }
}

template <bool Sse2>
void ColorRunBy(const float* Values, int Count, TColor32 Color, TPolyFillMode Mode, TColor32* Out) {
    if (Mode == pfWinding)
        ColorRun<pfWinding, Sse2>(Values, Count, Color, Out);
    else
        ColorRun<pfAlternate, Sse2>(Values, Count, Color, Out);
}

void PlainWeightRunBy(const float* Values, int Count, TPolyFillMode Mode, uint32_t* Out) {
    if (Mode == pfWinding)
        WeightRun<pfWinding>(Values, Count, Out);
    else
        WeightRun<pfAlternate>(Values, Count, Out);
}

// The gamma table as 32-bit words, for gathers.
const uint32_t* Gamma32() {
    static const struct TTable {
        uint32_t V[256];
        TTable() {
            for (int I = 0; I < 256; ++I) V[I] = CoverageGamma()[I];
        }
    } Table;
    return Table.V;
}

#if defined(__x86_64__) || defined(__i386__)

// Eight values per step: floor(v * 65536) as an exact integer (the products below 2^31
// in magnitude; runs with larger overlaps take the plain form), folded by the fill rule
// with unsigned minima, the gamma entry gathered.
template <TPolyFillMode Mode>
__attribute__((target("avx2"))) void Avx2ColorRun(const float* Values, int Count, TColor32 Color,
                                                  TColor32* Out) {
    const uint32_t* G = Gamma32();
    const __m256 Scale = _mm256_set1_ps(65536.0f), Limit = _mm256_set1_ps(2147483520.0f);
    const __m256 SignMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    const __m256i A257 = _mm256_set1_epi32(static_cast<int>((Color >> 24) * 257u));
    const __m256i Rgb = _mm256_set1_epi32(static_cast<int>(Color & 0x00FFFFFFu));
    // Inside a figure the values repeat: eight equal to the last one converted are eight
    // copies of its pixel.
    __m256i Last = _mm256_set1_epi32(static_cast<int>(0xFFFFFFFFu));
    __m256i LastPixel = _mm256_setzero_si256();
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256 V = _mm256_loadu_ps(Values + I);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_castps_si256(V), Last)) == -1) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + I), LastPixel);
            continue;
        }
        const __m256 X = _mm256_mul_ps(V, Scale);
        if (_mm256_movemask_ps(_mm256_cmp_ps(_mm256_and_ps(X, SignMask), Limit, _CMP_LT_OQ)) != 0xFF) break;
        const __m256i E = _mm256_abs_epi32(_mm256_cvttps_epi32(_mm256_floor_ps(X)));
        __m256i F;
        if constexpr (Mode == pfWinding) {
            F = _mm256_min_epu32(E, _mm256_set1_epi32(65536));
        } else {
            F = _mm256_and_si256(E, _mm256_set1_epi32(131071));
            F = _mm256_min_epu32(F, _mm256_sub_epi32(_mm256_set1_epi32(131071), F));
        }
        const __m256i Index = _mm256_srli_epi32(_mm256_mullo_epi32(F, A257), 24);
        const __m256i Alpha =
            _mm256_slli_epi32(_mm256_i32gather_epi32(reinterpret_cast<const int*>(G), Index, 4), 24);
        const __m256i Pixels = _mm256_or_si256(Alpha, Rgb);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + I), Pixels);
        // The last value and its pixel, in every lane.
        const __m256i Top = _mm256_set1_epi32(7);
        Last = _mm256_permutevar8x32_epi32(_mm256_castps_si256(V), Top);
        LastPixel = _mm256_permutevar8x32_epi32(Pixels, Top);
    }
    if (I < Count) ColorRun<Mode, false>(Values + I, Count - I, Color, Out + I);
}

// floor(|v| * 256) by truncation (non-negative), folded, gathered.
template <TPolyFillMode Mode>
__attribute__((target("avx2"))) void Avx2WeightRun(const float* Values, int Count, uint32_t* Out) {
    const uint32_t* G = Gamma32();
    const __m256 Scale = _mm256_set1_ps(256.0f), Limit = _mm256_set1_ps(2147483520.0f);
    const __m256 SignMask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
    int I = 0;
    for (; I + 8 <= Count; I += 8) {
        const __m256 X = _mm256_mul_ps(_mm256_and_ps(_mm256_loadu_ps(Values + I), SignMask), Scale);
        if (_mm256_movemask_ps(_mm256_cmp_ps(X, Limit, _CMP_LT_OQ)) != 0xFF) break;
        __m256i A = _mm256_cvttps_epi32(X);
        if constexpr (Mode == pfWinding) {
            A = _mm256_min_epu32(A, _mm256_set1_epi32(255));
        } else {
            A = _mm256_and_si256(A, _mm256_set1_epi32(511));
            A = _mm256_min_epu32(A, _mm256_sub_epi32(_mm256_set1_epi32(511), A));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + I),
                            _mm256_i32gather_epi32(reinterpret_cast<const int*>(G), A, 4));
    }
    if (I < Count) WeightRun<Mode>(Values + I, Count - I, Out + I);
}

__attribute__((target("avx2"))) void Avx2ColorRunBy(const float* Values, int Count, TColor32 Color,
                                                    TPolyFillMode Mode, TColor32* Out) {
    if (Mode == pfWinding)
        Avx2ColorRun<pfWinding>(Values, Count, Color, Out);
    else
        Avx2ColorRun<pfAlternate>(Values, Count, Color, Out);
}

__attribute__((target("avx2"))) void Avx2WeightRunBy(const float* Values, int Count, TPolyFillMode Mode,
                                                     uint32_t* Out) {
    if (Mode == pfWinding)
        Avx2WeightRun<pfWinding>(Values, Count, Out);
    else
        Avx2WeightRun<pfAlternate>(Values, Count, Out);
}

#endif

std::vector<const TCoverageKernels*> AvailableCoverageKernels() {
    static const TCoverageKernels Plain{"plain", ColorRunBy<false>, PlainWeightRunBy};
    std::vector<const TCoverageKernels*> Forms{&Plain};
#if defined(__SSE2__)
    static const TCoverageKernels Sse2{"sse2", ColorRunBy<true>, PlainWeightRunBy};
    Forms.push_back(&Sse2);
#endif
#if defined(__x86_64__) || defined(__i386__)
    static const TCoverageKernels Avx2{"avx2", Avx2ColorRunBy, Avx2WeightRunBy};
    if (__builtin_cpu_supports("avx2")) Forms.push_back(&Avx2);
#endif
    return Forms;
}

const std::vector<const TCoverageKernels*>& CoverageForms() {
    static const std::vector<const TCoverageKernels*> Forms = AvailableCoverageKernels();
    return Forms;
}

}  // namespace

TColor32 CoverageColorRef(float Value, TColor32 Color, TPolyFillMode Mode) {
    const uint32_t A = Color >> 24;
    const uint32_t F = ColorCoverage(Value, Mode);
    return SetAlpha(Color, CoverageGamma()[(A * 257u * F) >> 24]);
}

uint32_t CoverageWeightRef(float Value, TPolyFillMode Mode) {
    const double Floor = std::floor(static_cast<double>(std::fabs(Value) * 256.0f));
    int64_t A = static_cast<int64_t>(std::min(Floor, double{MaxUnits}));
    if (Mode == pfWinding) {
        A = std::clamp<int64_t>(A, 0, 255);
    } else {
        A %= 512;
        if (A >= 256) A = 511 - A;
    }
    return CoverageGamma()[A];
}

const TCoverageKernels& CoverageKernels() {
    const auto& Forms = CoverageForms();
    return *Forms[static_cast<size_t>(SimdFormIndex(static_cast<int>(Forms.size())))];
}
int CoverageKernelCount() {
    return static_cast<int>(CoverageForms().size());
}
const TCoverageKernels& CoverageKernelAt(int Index) {
    return *CoverageForms().at(static_cast<size_t>(Index));
}

void CoverageToColors(const float* Values, int Count, TColor32 Color, TPolyFillMode Mode, TColor32* Out) {
    if (Count > 0) CoverageKernels().ColorRun(Values, Count, Color, Mode, Out);
}

void CoverageToWeights(const float* Values, int Count, TPolyFillMode Mode, uint32_t* Out) {
    if (Count > 0) CoverageKernels().WeightRun(Values, Count, Mode, Out);
}
