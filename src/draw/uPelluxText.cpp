#include "draw/uPelluxText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "draw/uQvColor32.h"
#include "framework/uQvGraphics.h"
#include "framework/uQvPictures.h"
#include "platform/uQvDrawText.h"
#include "platform/uQvFont.h"
#include "platform/uQvGdiBlit.h"

int DrawTextWide(HDC Dc, const String& Text, TRect& Rect, UINT Format) {
    return DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &Rect, Format);
}

int MeasureTextWidth(HDC Dc, const String& Text) {
    TRect R{};
    DrawTextWide(Dc, Text, R, DT_CALCRECT);
    return RectWidth(R);
}

int MeasureTextHeight(HDC Dc, const String& Text) {
    TRect R{};
    DrawTextWide(Dc, Text, R, DT_CALCRECT);
    return RectHeight(R);
}

namespace {

// One box-blur pass over Count pixels Stride apart, colour bytes only.
void BlurLine(uint32_t* First, int Count, ptrdiff_t Stride, int Radius, std::vector<uint32_t>& Line) {
    Line.resize(static_cast<size_t>(Count));
    for (int I = 0; I < Count; ++I) Line[static_cast<size_t>(I)] = First[I * Stride];
    auto At = [&](int I) { return Line[static_cast<size_t>(std::clamp(I, 0, Count - 1))]; };
    const uint32_t Box = static_cast<uint32_t>(2 * Radius + 1);
    uint32_t Sum[3] = {0, 0, 0};
    auto Add = [&Sum](uint32_t C, int Sign) {
        for (int K = 0; K < 3; ++K) Sum[K] += static_cast<uint32_t>(Sign) * ((C >> (8 * K)) & 0xFFu);
    };
    for (int I = -Radius; I <= Radius; ++I) Add(At(I), 1);
    for (int I = 0; I < Count; ++I) {
        uint32_t& P = First[I * Stride];
        P = (P & 0xFF000000u) | (Sum[2] / Box) << 16 | (Sum[1] / Box) << 8 | (Sum[0] / Box);
        Add(At(I + Radius + 1), 1);
        Add(At(I - Radius), -1);
    }
}

}  // namespace

void BoxBlurGray(TBitmap* Bitmap, int Radius, int Passes) {
    if (Bitmap == nullptr || Bitmap->Empty() || Radius < 1) return;
    const int W = Bitmap->Width(), H = Bitmap->Height();
    uint32_t* Bits = Bitmap->ScanLine(0);
    std::vector<uint32_t> Line;
    for (int Pass = 0; Pass < Passes; ++Pass)
        for (int Y = 0; Y < H; ++Y) BlurLine(Bits + static_cast<ptrdiff_t>(Y) * W, W, 1, Radius, Line);
    for (int Pass = 0; Pass < Passes + 1; ++Pass)
        for (int X = 0; X < W; ++X) BlurLine(Bits + X, H, W, Radius, Line);
    for (size_t I = 0, N = static_cast<size_t>(W) * H; I < N; ++I) {
        const uint32_t C = Bits[I];
        const uint32_t G = (((C >> 16) & 0xFFu) + ((C >> 8) & 0xFFu) + (C & 0xFFu)) / 3;
        Bits[I] = (C & 0xFF000000u) | G * 0x010101u;
    }
}

void DrawGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, int GlowSize, TColor GlowColor,
                  UINT Format) {
    const bool Blank = std::all_of(Text.begin(), Text.end(), [](char16_t C) { return C <= u' '; });
    const int W = RectWidth(Rect), H = RectHeight(Rect);
    if (Canvas == nullptr || Blank || W <= 0 || H <= 0) return;
    TBitmap Back(W, H);
    BitBlt(Back.Canvas()->Handle(), 0, 0, W, H, Canvas->Handle(), Rect.Left, Rect.Top, SRCCOPY);
    // The mask: the text in pure red on white, blurred and greyed, so 85 on the text.
    TBitmap Mask(W, H);
    std::fill(Mask.ScanLine(0), Mask.ScanLine(0) + static_cast<size_t>(W) * H, 0xFFFFFFFFu);
    TCanvas* M = Mask.Canvas();
    M->SetFont(Canvas->Font());
    M->Font()->SetColor(0x0000FF);
    M->Brush()->SetStyle(bsClear);
    TRect Box = Bounds(0, 0, W, H);
    DrawTextWide(M->Handle(), Text, Box, Format);
    BoxBlurGray(&Mask, 1, 2);
    const TColor32 G = ToColor32(GlowColor);
    const int Glow[3] = {BlueComponent(G), GreenComponent(G), RedComponent(G)};
    uint32_t* B = Back.ScanLine(0);
    const uint32_t* Weights = Mask.ScanLine(0);
    for (int Round = 0; Round < 2 * GlowSize; ++Round)
        for (size_t I = 0, N = static_cast<size_t>(W) * H; I < N; ++I) {
            const int Mv = static_cast<int>((Weights[I] >> 16) & 0xFFu);
            uint32_t C = B[I] & 0xFF000000u;
            for (int K = 0; K < 3; ++K) {
                const int V = static_cast<int>((B[I] >> (8 * K)) & 0xFFu);
                // An arithmetic shift: the product may be negative and rounds down.
                C |= static_cast<uint32_t>((((V - Glow[K]) * Mv) >> 8) + Glow[K]) << (8 * K);
            }
            B[I] = C;
        }
    BitBlt(Canvas->Handle(), Rect.Left, Rect.Top, W, H, Back.Canvas()->Handle(), 0, 0, SRCCOPY);
}
