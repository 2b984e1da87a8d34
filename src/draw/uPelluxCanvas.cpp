#include "draw/uPelluxCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw/uQvPolygons.h"
#include "draw/uQvResamplersEx.h"
#include "framework/uQvGraphics.h"
#include "framework/uQvPictures.h"
#include "platform/uQvGdiBlit.h"
#include "platform/uQvMonitors.h"

void GradientFillCanvas(TCanvas* Canvas, TColor ColorFrom, TColor ColorTo, bool Horizontal,
                        const TRect& Rect) {
    if (Canvas == nullptr || Rect.Width() < 0 || Rect.Height() < 0) return;
    const int W = std::max(Rect.Width(), 1), H = std::max(Rect.Height(), 1);
    const TColor32 From = ToColor32(ColorFrom), To = ToColor32(ColorTo);
    const int Steps = Horizontal ? W : H;
    const int64_t K = RoundHalfEven64(16777216.0 / Steps);
    TBitmap Bitmap(W, H);
    uint32_t* Bits = Bitmap.ScanLine(0);
    for (int I = 0; I < Steps; ++I) {
        TColor32 C = 0xFF000000u;
        for (int Shift = 0; Shift < 24; Shift += 8) {
            const int64_t F = (From >> Shift) & 0xFF, T = (To >> Shift) & 0xFF;
            // The product reaches 255 * 2^24 * n / n: beyond 32 bits, and a step may round
            // past the end colour, so the channel is kept in range.
            const int64_t V = F + (((T - F) * K * I) >> 24);
            C |= static_cast<TColor32>(std::clamp<int64_t>(V, 0, 255)) << Shift;
        }
        if (Horizontal)
            for (int Y = 0; Y < H; ++Y) Bits[static_cast<size_t>(Y) * W + I] = C;
        else
            std::fill_n(Bits + static_cast<size_t>(I) * W, W, C);
    }
    BitBlt(Canvas->Handle(), Rect.Left, Rect.Top, W, H, Bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void AlphaFillRect(HDC Dc, const TRect& Rect, TColor Color, uint8_t Alpha) {
    if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
    TBitmap Dot(1, 1);
    *Dot.ScanLine(0) = ToColor32(Color);
    BLENDFUNCTION Blend;
    Blend.SourceConstantAlpha = Alpha;
    AlphaBlend(Dc, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Dot.Canvas()->Handle(), 0, 0, 1, 1,
               Blend);
}

void MakeAlphaBitmap(TBitmap* Bitmap, uint8_t Alpha) {
    if (Bitmap == nullptr || Bitmap->Empty()) return;
    uint32_t* Bits = Bitmap->ScanLine(0);
    std::fill_n(Bits, static_cast<size_t>(Bitmap->Width()) * Bitmap->Height(), uint32_t{Alpha} << 24);
}

TArrayOfFloatPoint RoundRectPath(int X, int Y, int W, int H, int Size) {
    const int D = Size / 2;
    if (D == 0)
        return RectanglePoints(FloatRect(static_cast<float>(X), static_cast<float>(Y),
                                         static_cast<float>(X + W), static_cast<float>(Y + H)));
    const float R = D / 2.0f;
    constexpr float Quarter = std::numbers::pi_v<float> / 2;
    // Corner squares and their start angles (180, 270, 0 and 90 degrees), each swept 90
    // degrees clockwise on the screen.
    const struct {
        int Left, Top;
        float Start;
    } Corners[4] = {
        {X, Y, 2 * Quarter}, {X + W - D, Y, 3 * Quarter}, {X + W - D, Y + H - D, 0}, {X, Y + H - D, Quarter}};
    TArrayOfFloatPoint Path;
    for (const auto& C : Corners) {
        const TArrayOfFloatPoint Arc =
            CircularArcPoints(FloatPoint(C.Left + R, C.Top + R), R, C.Start, C.Start + Quarter);
        Path.insert(Path.end(), Arc.begin(), Arc.end());
    }
    return Path;
}

namespace {

// Where the image goes in a target of TW x TH.
TRect FittedRect(int TW, int TH, int IW, int IH) {
    if (TW >= IW && TH >= IH) return Bounds(std::abs(TW - IW) / 2, TH - IH, IW, IH);
    auto ByWidth = [&] {
        const int H = RoundHalfEven(static_cast<double>(IH) * TW / IW);
        return Bounds(0, TH - H, TW, H);
    };
    auto ByHeight = [&] {
        const int W = RoundHalfEven(static_cast<double>(IW) * TH / IH);
        return Bounds((TW - W) / 2, 0, W, TH);
    };
    if (IW >= TW && IH >= TH) return IW >= IH ? ByWidth() : ByHeight();
    return IW > TW ? ByWidth() : ByHeight();
}

}  // namespace

void DrawImageInEllipse(HDC Dc, const TRect& Rect, TCustomSurface32* Image, TColor BackColor) {
    const int W = Rect.Width(), H = Rect.Height();
    if (W <= 0 || H <= 0) return;
    TSurface32 Shown;
    Shown.SetSize(W, H);
    Shown.Draw(Shown.BoundsRect(), Rect, Dc);
    TSurface32 Texture;
    Texture.SetSize(W, H);
    Texture.Clear(ToColor32(BackColor));
    if (Image != nullptr && !Image->Empty()) {
        // A copy carries the smoothing resampler, so the caller's image keeps its own.
        TSurface32 Smooth;
        Smooth.Assign(Image);
        Smooth.SetDrawMode(dmBlend);
        auto Linear = std::make_unique<TLinearResampler>();
        Linear->SetPixelAccessMode(pamTransparentEdge);
        Smooth.SetResampler(std::move(Linear));
        Texture.Draw(FittedRect(W, H, Image->Width(), Image->Height()), Smooth.BoundsRect(), &Smooth);
    }
    TBitmapPolygonFiller Filler;
    Filler.SetPattern(&Texture);
    const float Rx = (W - 1) / 2.0f, Ry = (H - 1) / 2.0f;
    FillPolygonFS(&Shown, EllipsePoints(FloatPoint(Rx, Ry), Rx, Ry), &Filler);
    Shown.DrawTo(Dc, Rect.Left, Rect.Top);
}

void GetWorkArea(bool UseWorkArea, TRect& Rect) {
    MONITORINFO Info;
    Rect = TRect{};
    if (!GetMonitorInfo(QvMonitorAt(0), &Info)) return;
    Rect = UseWorkArea ? Info.rcWork : Info.rcMonitor;
}

void GetMonitorWorkArea(HWND Window, bool UseWorkArea, TRect& Rect) {
    MONITORINFO Info;
    Rect = TRect{};
    if (!GetMonitorInfo(MonitorFromWindow(Window, MONITOR_DEFAULTTONEAREST), &Info)) return;
    Rect = UseWorkArea ? Info.rcWork : Info.rcMonitor;
}
