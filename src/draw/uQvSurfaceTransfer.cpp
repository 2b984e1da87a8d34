#include "draw/uQvSurfaceTransfer.h"

#include <cstring>

#include "draw/uQvResamplers.h"
#include "platform/uQvPixel.h"

// --- transfers ------------------------------------------------------------------------------

void CombineRun(const TCustomSurface32& Src, const TColor32* S, TColor32* D, int Count) {
    if (Count <= 0) return;
    switch (Src.DrawMode()) {
        case dmOpaque:
            std::memmove(D, S, static_cast<size_t>(Count) * sizeof(TColor32));
            break;
        case dmBlend: {
            const uint32_t M = Src.MasterAlpha();
            if (Src.CombineMode() == cmMerge) {
                if (M == 255)
                    MergeLine(S, D, Count);
                else
                    MergeMasterLine(S, D, Count, M);
            } else if (M == 255) {
                PixelKernels().OverBlendLine(S, D, Count);
            } else {
                PixelKernels().MasterBlendLine(S, D, Count, M);
            }
            break;
        }
        case dmTransparent: {
            const TColor32 Key = Src.OuterColor();
            for (int I = 0; I < Count; ++I)
                if (S[I] != Key) D[I] = S[I];
            break;
        }
        case dmCustom:
            if (Src.OnPixelCombine) {
                const TColor32 M = Src.MasterAlpha();
                for (int I = 0; I < Count; ++I) Src.OnPixelCombine(S[I], D[I], M);
            } else {
                std::memmove(D, S, static_cast<size_t>(Count) * sizeof(TColor32));
            }
            break;
    }
}

void CombineTransformed(const TCustomSurface32& Src, TColor32 C, TColor32& D) {
    auto Blend = [&] {
        if (Src.CombineMode() == cmMerge)
            D = MergeOverMaster(C, D, Src.MasterAlpha());
        else
            BlendIntoMaster(C, D, Src.MasterAlpha());
    };
    switch (Src.DrawMode()) {
        case dmOpaque:
            D = C;
            break;
        case dmBlend:
            Blend();
            break;
        case dmTransparent:
            if (C != Src.OuterColor()) D = C;
            break;
        case dmCustom:
            if (Src.OnPixelCombine)
                Src.OnPixelCombine(C, D, Src.MasterAlpha());
            else
                Blend();
            break;
    }
}

namespace {

bool DrawsNothing(const TCustomSurface32* Dst, const TCustomSurface32* Src) {
    return Dst->Empty() || Src->Empty() || (Src->DrawMode() == dmBlend && Src->MasterAlpha() == 0);
}

// A copy of a part of a surface with the same draw properties, for drawing a surface
// onto itself without reading pixels it has already overwritten.
std::unique_ptr<TCustomSurface32> CopyOfPart(TCustomSurface32* Src, const TRect& Part, TRect& NewRect) {
    auto Copy = std::make_unique<TCustomSurface32>();
    Copy->SetSize(Part.Width(), Part.Height());
    for (int Y = 0; Y < Part.Height(); ++Y)
        std::memcpy(Copy->ScanLine(Y), Src->PixelPtr(Part.Left, Part.Top + Y),
                    Part.Width() * sizeof(TColor32));
    Src->CopyPropertiesTo(Copy.get());
    Copy->OnPixelCombine = Src->OnPixelCombine;
    NewRect = Copy->BoundsRect();
    return Copy;
}

}  // namespace

TRect BlockTransfer(TCustomSurface32* Dst, int DstX, int DstY, const TRect& DstClip, TCustomSurface32* Src,
                    const TRect& SrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    if (DrawsNothing(Dst, Src)) return {};
    TRect SR;
    if (!IntersectRect(SR, SrcRect, Src->BoundsRect())) return {};
    const int64_t X = int64_t{DstX} + (int64_t{SR.Left} - SrcRect.Left);
    const int64_t Y = int64_t{DstY} + (int64_t{SR.Top} - SrcRect.Top);
    TRect Clip;
    if (!IntersectRect(Clip, DstClip, Dst->BoundsRect())) return {};
    TRect DR;
    if (!IntersectRect(
            DR, Rect(ClampToInt(X), ClampToInt(Y), ClampToInt(X + SR.Width()), ClampToInt(Y + SR.Height())),
            Clip))
        return {};
    // The source part that lands in DR.
    const int Sx = static_cast<int>(SR.Left + (DR.Left - X)), Sy = static_cast<int>(SR.Top + (DR.Top - Y));
    if (Dst->MeasuringMode()) return DR;
    TCustomSurface32* From = Src;
    std::unique_ptr<TCustomSurface32> Copy;
    int Fx = Sx, Fy = Sy;
    if (Src == Dst) {
        TRect CopyRect;
        Copy = CopyOfPart(Src, Rect(Sx, Sy, Sx + DR.Width(), Sy + DR.Height()), CopyRect);
        From = Copy.get();
        Fx = Fy = 0;
    }
    for (int Row = 0; Row < DR.Height(); ++Row)
        CombineRun(*From, From->PixelPtr(Fx, Fy + Row), Dst->PixelPtr(DR.Left, DR.Top + Row), DR.Width());
    return DR;
}

namespace {

// ceil(Cut * Num / Den) and the same rounded half to even, exactly; all non-negative.
int64_t CeilScaled(int64_t Cut, int64_t Num, int64_t Den) {
    const __int128 P = static_cast<__int128>(Cut) * Num;
    return static_cast<int64_t>((P + Den - 1) / Den);
}

int64_t RoundScaled(int64_t Cut, int64_t Num, int64_t Den) {
    const __int128 P = static_cast<__int128>(Cut) * Num;
    int64_t Q = static_cast<int64_t>(P / Den);
    const __int128 R2 = (P % Den) * 2;
    if (R2 > Den || (R2 == Den && (Q & 1) != 0)) ++Q;
    return Q;
}

}  // namespace

TRect StretchTransfer(TCustomSurface32* Dst, const TRect& ADstRect, const TRect& DstClip,
                      TCustomSurface32* Src, const TRect& ASrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    TRect DstRect = ADstRect, SrcRect = ASrcRect;
    // Empty or mirrored rectangles give no scale to draw with.
    const int64_t SrcW = int64_t{SrcRect.Right} - SrcRect.Left, SrcH = int64_t{SrcRect.Bottom} - SrcRect.Top;
    const int64_t DstW = int64_t{DstRect.Right} - DstRect.Left, DstH = int64_t{DstRect.Bottom} - DstRect.Top;
    if (SrcW <= 0 || SrcH <= 0 || DstW <= 0 || DstH <= 0) return {};
    // A source rectangle reaching outside the source is trimmed, and the destination in
    // proportion: up on the left and top, rounded on the right and bottom.
    int64_t DL = DstRect.Left, DT = DstRect.Top, DR = DstRect.Right, DB = DstRect.Bottom;
    if (SrcRect.Left < 0) {
        DL += CeilScaled(-int64_t{SrcRect.Left}, DstW, SrcW);
        SrcRect.Left = 0;
    }
    if (SrcRect.Top < 0) {
        DT += CeilScaled(-int64_t{SrcRect.Top}, DstH, SrcH);
        SrcRect.Top = 0;
    }
    if (SrcRect.Right > Src->Width()) {
        DR -= RoundScaled(int64_t{SrcRect.Right} - Src->Width(), DstW, SrcW);
        SrcRect.Right = Src->Width();
    }
    if (SrcRect.Bottom > Src->Height()) {
        DB -= RoundScaled(int64_t{SrcRect.Bottom} - Src->Height(), DstH, SrcH);
        SrcRect.Bottom = Src->Height();
    }
    DstRect = Rect(ClampToInt(DL), ClampToInt(DT), ClampToInt(DR), ClampToInt(DB));
    if (IsRectEmpty(SrcRect) || IsRectEmpty(DstRect) || DrawsNothing(Dst, Src)) return {};
    TRect Part;
    if (!IntersectRect(Part, DstRect, Dst->BoundsRect()) || !IntersectRect(Part, Part, DstClip)) return {};
    if (SrcRect.Width() == DstRect.Width() && SrcRect.Height() == DstRect.Height()) {
        BlockTransfer(Dst, DstRect.Left, DstRect.Top, Part, Src, SrcRect);
        return DstRect;
    }
    if (Dst->MeasuringMode()) return DstRect;
    if (Src == Dst) {
        TRect CopyRect;
        std::unique_ptr<TCustomSurface32> Copy = CopyOfPart(Src, SrcRect, CopyRect);
        Copy->Resampler()->Resample(Dst, DstRect, Part, Copy.get(), CopyRect);
    } else {
        Src->Resampler()->Resample(Dst, DstRect, Part, Src, SrcRect);
    }
    return DstRect;
}

void TCustomSurface32::Draw(int DstX, int DstY, TCustomSurface32* Src) {
    if (Src == nullptr) throw EQvError("Source bitmap is nil");
    Draw(DstX, DstY, Src->BoundsRect(), Src);
}

void TCustomSurface32::Draw(int DstX, int DstY, const TRect& SrcRect, TCustomSurface32* Src) {
    const TRect Done = BlockTransfer(this, DstX, DstY, FClipRect, Src, SrcRect);
    if (!IsRectEmpty(Done)) Changed(Done, AREAINFO_RECT);
}

void TCustomSurface32::Draw(const TRect& DstRect, const TRect& SrcRect, TCustomSurface32* Src) {
    const TRect Done = StretchTransfer(this, DstRect, FClipRect, Src, SrcRect);
    if (!IsRectEmpty(Done)) Changed(Done, AREAINFO_RECT);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(0, 0, this);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst, int DstX, int DstY) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(DstX, DstY, this);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst, const TRect& DstRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(DstRect, BoundsRect(), this);
}

void TCustomSurface32::DrawTo(TCustomSurface32* Dst, const TRect& DstRect, const TRect& SrcRect) {
    if (Dst == nullptr) throw EQvError("Destination bitmap is nil");
    Dst->Draw(DstRect, SrcRect, this);
}
