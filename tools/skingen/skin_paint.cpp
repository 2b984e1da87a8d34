#include "skin_paint.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "platform/uQvPixel.h"
#include "draw/uQvPolygons.h"
#include "platform/uQvPng.h"

namespace {

uint8_t Lerp8(uint32_t A, uint32_t B, float T) {
    return static_cast<uint8_t>(std::lround(static_cast<float>(A) + (static_cast<float>(B) - A) * T));
}

// A scratch surface for one figure. Polygons are filled into a transparent one, where
// the blend leaves exactly their coverage in the alpha byte; text is written white into
// an opaque black one, where its coverage lands in the colour bytes (text leaves alpha
// alone).
struct TCoverage {
    TSurface32 S;
    bool Text;
    TCoverage(int W, int H, bool ForText) : Text(ForText) {
        S.SetSize(W, H);
        S.Clear(ForText ? clBlack32 : clTransparent32);
    }
    TMask Take() const {
        TMask M{S.Width(), S.Height(), std::vector<uint8_t>(static_cast<size_t>(S.Width()) * S.Height())};
        const TColor32* P = S.Bits();
        for (size_t I = 0; I < M.A.size(); ++I) M.A[I] = Text ? RedComponent(P[I]) : AlphaComponent(P[I]);
        return M;
    }
};

void SetupFont(TSurface32& S, const String& Face, int Height, bool Bold) {
    S.Font()->SetName(Face);
    S.Font()->SetHeight(-Height);
    S.Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    S.Font()->SetQuality(fqAntialiased);
    S.Font()->SetColor(clWhite);
}

// One horizontal then one vertical running-sum pass of a box of 2R + 1.
void BoxPass(std::vector<int>& V, int W, int H, int R, bool Horizontal) {
    const int N = Horizontal ? W : H, Lines = Horizontal ? H : W;
    std::vector<int> Line(N);
    for (int L = 0; L < Lines; ++L) {
        auto At = [&](int I) -> int& { return Horizontal ? V[L * W + I] : V[I * W + L]; };
        for (int I = 0; I < N; ++I) Line[I] = At(I);
        int Sum = 0;
        for (int I = -R; I <= R; ++I) Sum += (I >= 0 && I < N) ? Line[I] : 0;
        for (int I = 0; I < N; ++I) {
            At(I) = Sum / (2 * R + 1);
            const int Out = I - R, In = I + R + 1;
            if (Out >= 0) Sum -= Line[Out];
            if (In < N) Sum += Line[In];
        }
    }
}

}  // namespace

TColor32 TInk::At(int X, int Y) const {
    if (!Gradient) return From;
    const float Dx = P1.X - P0.X, Dy = P1.Y - P0.Y, Len2 = Dx * Dx + Dy * Dy;
    float T = Len2 > 0 ? ((X + 0.5f - P0.X) * Dx + (Y + 0.5f - P0.Y) * Dy) / Len2 : 0.0f;
    T = std::clamp(T, 0.0f, 1.0f);
    return Color32(
        Lerp8(RedComponent(From), RedComponent(To), T), Lerp8(GreenComponent(From), GreenComponent(To), T),
        Lerp8(BlueComponent(From), BlueComponent(To), T), Lerp8(AlphaComponent(From), AlphaComponent(To), T));
}

void TMask::Blur(int Radius) {
    if (Radius <= 0 || A.empty()) return;
    std::vector<int> V(A.begin(), A.end());
    for (int I = 0; I < 3; ++I) {
        BoxPass(V, W, H, Radius, true);
        BoxPass(V, W, H, Radius, false);
    }
    for (size_t I = 0; I < A.size(); ++I) A[I] = static_cast<uint8_t>(std::clamp(V[I], 0, 255));
}

TSkinPaint::TSkinPaint(TSurface32& Target, int OriginX, int OriginY, int W, int H)
    : FTarget(Target), FOX(OriginX), FOY(OriginY), FW(W), FH(H) {}

TMask TSkinPaint::FillMask(const TArrayOfArrayOfFloatPoint& Contours, TPolyFillMode Mode) const {
    TCoverage C(FW, FH, false);
    FillPolyPolygonFS(&C.S, Contours, clWhite32, Mode);
    return C.Take();
}

TMask TSkinPaint::StrokeMask(const TArrayOfArrayOfFloatPoint& Contours, const std::vector<bool>& Closed,
                             float Width, TJoinStyle Join, TEndStyle End) const {
    TArrayOfArrayOfFloatPoint Outline;
    for (size_t I = 0; I < Contours.size(); ++I) {
        if (Contours[I].size() < 2) continue;
        const TArrayOfArrayOfFloatPoint One =
            BuildPolyStrokeOutline({Contours[I]}, Closed[I], Width, Join, End, 4.0f);
        Outline.insert(Outline.end(), One.begin(), One.end());
    }
    TCoverage C(FW, FH, false);
    FillPolyPolygonFS(&C.S, Outline, clWhite32, pfWinding);
    return C.Take();
}

TMask TSkinPaint::TextMask(const String& Text, const String& Face, int Height, bool Bold, int X,
                           int Y) const {
    TCoverage C(FW, FH, true);
    SetupFont(C.S, Face, Height, Bold);
    C.S.Textout(X, Y, Text);
    return C.Take();
}

TSize TSkinPaint::TextSize(const String& Text, const String& Face, int Height, bool Bold) {
    TSurface32 S;
    S.SetSize(1, 1);
    SetupFont(S, Face, Height, Bold);
    return S.TextExtent(Text);
}

void TSkinPaint::Paint(const TMask& M, const TInk& Ink, int Dx, int Dy) {
    if (!Ink.Visible()) return;
    for (int Y = 0; Y < FH; ++Y)
        for (int X = 0; X < FW; ++X) {
            const uint32_t Cover = M.At(X - Dx, Y - Dy);
            if (Cover == 0) continue;
            const TColor32 C = Ink.At(X, Y);
            const uint32_t A = MulDiv255(AlphaComponent(C), Cover);
            if (A == 0) continue;
            TColor32& D = Pixel(X, Y);
            // A fully covering opaque colour replaces the pixel exactly.
            D = A == 255 ? C : MergeOver(SetAlpha(C, static_cast<uint8_t>(A)), D);
        }
}

void TSkinPaint::Erase(const TMask& M) {
    for (int Y = 0; Y < FH; ++Y)
        for (int X = 0; X < FW; ++X) {
            const uint32_t Cover = M.At(X, Y);
            if (Cover == 0) continue;
            TColor32& D = Pixel(X, Y);
            D = SetAlpha(D, static_cast<uint8_t>(MulDiv255(AlphaComponent(D), 255 - Cover)));
        }
}

void TSkinPaint::Layer(const TSurface32& Src, int X, int Y) {
    for (int J = 0; J < Src.Height(); ++J)
        for (int I = 0; I < Src.Width(); ++I) {
            if (X + I < 0 || Y + J < 0 || X + I >= FW || Y + J >= FH) continue;
            TColor32& D = Pixel(X + I, Y + J);
            D = MergeOver(*Src.PixelPtr(I, J), D);
        }
}

void BleedTransparentColours(TSurface32& Surface) {
    const int W = Surface.Width(), H = Surface.Height();
    std::vector<int> Done(static_cast<size_t>(W) * H, 0);
    std::deque<int> Front;
    TColor32* P = Surface.Bits();
    for (int I = 0; I < W * H; ++I)
        if (AlphaComponent(P[I]) != 0) {
            Done[I] = 1;
            Front.push_back(I);
        }
    // Breadth first, one ring at a time: a pixel takes the mean colour of its neighbours
    // of the ring before, which are its nearest visible pixels.
    int Ring = 1;
    while (!Front.empty()) {
        std::vector<int> Next;
        for (int I : Front) {
            const int X = I % W, Y = I / W;
            for (int Dy = -1; Dy <= 1; ++Dy)
                for (int Dx = -1; Dx <= 1; ++Dx) {
                    const int Nx = X + Dx, Ny = Y + Dy;
                    if (Nx < 0 || Ny < 0 || Nx >= W || Ny >= H || Done[Ny * W + Nx] != 0) continue;
                    Done[Ny * W + Nx] = Ring + 1;
                    Next.push_back(Ny * W + Nx);
                }
        }
        for (int I : Next) {
            const int X = I % W, Y = I / W;
            uint32_t R = 0, G = 0, B = 0, N = 0;
            for (int Dy = -1; Dy <= 1; ++Dy)
                for (int Dx = -1; Dx <= 1; ++Dx) {
                    const int Nx = X + Dx, Ny = Y + Dy;
                    if (Nx < 0 || Ny < 0 || Nx >= W || Ny >= H || Done[Ny * W + Nx] != Ring) continue;
                    const TColor32 C = P[Ny * W + Nx];
                    R += RedComponent(C), G += GreenComponent(C), B += BlueComponent(C), ++N;
                }
            P[I] = Color32(static_cast<uint8_t>((R + N / 2) / N), static_cast<uint8_t>((G + N / 2) / N),
                           static_cast<uint8_t>((B + N / 2) / N), 0);
        }
        Front.assign(Next.begin(), Next.end());
        ++Ring;
    }
}

void SaveSurfacePng(const TSurface32& Surface, const std::string& FileName, bool Opaque) {
    TQvPngWriteOptions Options;
    Options.ColorMode = Opaque ? pcmRGB : pcmRGBA;
    SavePngToFile(Utf8ToString(FileName), Surface.Bits(), Surface.Width(), Surface.Height(), Options);
}
