#include "platform/uQvGlyphOutline.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>

#include "platform/uQvFontFace.h"
#include "platform/uQvPixel.h"
#include "platform/uQvText.h"

namespace {

constexpr DWORD Failure = 0xFFFFFFFF;

// Collects FreeType's contours in 26.6 units, y upward, as FreeType decomposes them.
struct TRawSegment {
    TQvSegmentKind Kind;
    FT_Vector P[3];
};
struct TRawContour {
    FT_Vector Start;
    std::vector<TRawSegment> Segments;
};

int MoveTo(const FT_Vector* To, void* User) {
    static_cast<std::vector<TRawContour>*>(User)->push_back({*To, {}});
    return 0;
}
int LineTo(const FT_Vector* To, void* User) {
    auto* C = static_cast<std::vector<TRawContour>*>(User);
    if (C->empty()) return 1;
    C->back().Segments.push_back({skLine, {*To, {}, {}}});
    return 0;
}
int ConicTo(const FT_Vector* Control, const FT_Vector* To, void* User) {
    auto* C = static_cast<std::vector<TRawContour>*>(User);
    if (C->empty()) return 1;
    C->back().Segments.push_back({skQuadratic, {*Control, *To, {}}});
    return 0;
}
int CubicTo(const FT_Vector* C1, const FT_Vector* C2, const FT_Vector* To, void* User) {
    auto* C = static_cast<std::vector<TRawContour>*>(User);
    if (C->empty()) return 1;
    C->back().Segments.push_back({skCubic, {*C1, *C2, *To}});
    return 0;
}

bool Decompose(FT_Outline& Outline, std::vector<TRawContour>& Out) {
    static const FT_Outline_Funcs Funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    Out.clear();
    return FT_Outline_Decompose(&Outline, &Funcs, &Out) == 0;
}

TQvPointF ToPixels(const FT_Vector& V) { return {static_cast<float>(V.x / 64.0), static_cast<float>(-V.y / 64.0)}; }

bool Fill(const TQvSizedFace* Face, uint32_t Glyph, TQvGlyphOutline& Out) {
    Out = {};
    if (!Face || !Face->LoadOutline(Glyph, FT_LOAD_NO_HINTING)) return false;
    FT_Outline& Outline = Face->Face()->Face()->glyph->outline;
    std::vector<TRawContour> Raw;
    if (!Decompose(Outline, Raw)) return false;
    for (const TRawContour& R : Raw) {
        TQvOutlineContour C;
        C.Start = ToPixels(R.Start);
        for (const TRawSegment& S : R.Segments) {
            TQvOutlineSegment Seg;
            Seg.Kind = S.Kind;
            for (int I = 0; I < 3; ++I) Seg.P[I] = ToPixels(S.P[I]);
            C.Segments.push_back(Seg);
        }
        Out.Contours.push_back(std::move(C));
    }
    if (Outline.n_points > 0) {
        FT_BBox Box;
        FT_Outline_Get_CBox(&Outline, &Box);
        Out.Bounds = Rect(static_cast<int>(Box.xMin >> 6), static_cast<int>(-((Box.yMax + 63) >> 6)),
                          static_cast<int>((Box.xMax + 63) >> 6), static_cast<int>(-(Box.yMin >> 6)));
    }
    Out.Advance = Face->GlyphAdvance(Glyph);
    return true;
}

int32_t FixedToInt(FIXED F) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(F.value)) << 16 | F.fract); }

FIXED ToFixed(FT_Pos V26) {
    // 26.6 to 16.16.
    const int32_t V = static_cast<int32_t>(V26 * 1024);
    return {static_cast<WORD>(V & 0xFFFF), static_cast<short>(V >> 16)};
}

void PutPoint(std::vector<uint8_t>& B, const FT_Vector& V) {
    const POINTFX P = {ToFixed(V.x), ToFixed(V.y)};
    const size_t At = B.size();
    B.resize(At + sizeof(POINTFX));
    std::memcpy(B.data() + At, &P, sizeof P);
}

void PutCurveHeader(std::vector<uint8_t>& B, WORD Type, WORD Count) {
    const WORD H[2] = {Type, Count};
    const size_t At = B.size();
    B.resize(At + sizeof H);
    std::memcpy(B.data() + At, H, sizeof H);
}

// The polygons of the original's outline format: per contour a header and its curves, runs
// of lines merged. Bezier mode raises quadratic pieces to cubic ones.
void Serialise(const std::vector<TRawContour>& Raw, bool Bezier, std::vector<uint8_t>& B) {
    for (const TRawContour& C : Raw) {
        const size_t HeaderAt = B.size();
        B.resize(HeaderAt + sizeof(TTPOLYGONHEADER));
        FT_Vector Current = C.Start;
        size_t I = 0;
        while (I < C.Segments.size()) {
            const TRawSegment& S = C.Segments[I];
            if (S.Kind == skLine) {
                size_t J = I;
                while (J < C.Segments.size() && C.Segments[J].Kind == skLine) ++J;
                PutCurveHeader(B, TT_PRIM_LINE, static_cast<WORD>(J - I));
                for (size_t K = I; K < J; ++K) PutPoint(B, C.Segments[K].P[0]);
                Current = C.Segments[J - 1].P[0];
                I = J;
                continue;
            }
            if (S.Kind == skQuadratic && !Bezier) {
                PutCurveHeader(B, TT_PRIM_QSPLINE, 2);
                PutPoint(B, S.P[0]);
                PutPoint(B, S.P[1]);
                Current = S.P[1];
            } else if (S.Kind == skQuadratic) {
                // Degree elevation: controls at 2/3 of the way toward the quadratic control.
                const FT_Vector C1 = {Current.x + (2 * (S.P[0].x - Current.x)) / 3,
                                      Current.y + (2 * (S.P[0].y - Current.y)) / 3};
                const FT_Vector C2 = {S.P[1].x + (2 * (S.P[0].x - S.P[1].x)) / 3,
                                      S.P[1].y + (2 * (S.P[0].y - S.P[1].y)) / 3};
                PutCurveHeader(B, TT_PRIM_CSPLINE, 3);
                PutPoint(B, C1);
                PutPoint(B, C2);
                PutPoint(B, S.P[1]);
                Current = S.P[1];
            } else {
                PutCurveHeader(B, TT_PRIM_CSPLINE, 3);
                for (int K = 0; K < 3; ++K) PutPoint(B, S.P[K]);
                Current = S.P[2];
            }
            ++I;
        }
        TTPOLYGONHEADER H;
        H.cb = static_cast<DWORD>(B.size() - HeaderAt);
        H.dwType = TT_POLYGON_TYPE;
        H.pfxStart = {ToFixed(C.Start.x), ToFixed(C.Start.y)};
        std::memcpy(B.data() + HeaderAt, &H, sizeof H);
    }
}

}  // namespace

bool QvGetGlyphOutline(const TQvTextFont& Font, char32_t C, TQvGlyphOutline& Out) {
    const TQvSizedFace* Face = Font.FaceFor(C);
    if (!Face) return false;
    return Fill(Face, Face->Face()->GlyphIndex(C), Out);
}

bool QvGetGlyphOutlineByIndex(const TQvTextFont& Font, uint32_t Glyph, TQvGlyphOutline& Out) {
    return Fill(Font.PrimaryFace(), Glyph, Out);
}

DWORD QvGlyphOutlineData(const TQvTextFont& Font, UINT Char, UINT Format, GLYPHMETRICS* Metrics,
                         DWORD BufferSize, void* Buffer, const MAT2* Matrix) {
    const bool ByIndex = (Format & GGO_GLYPH_INDEX) != 0;
    const UINT Kind = Format & ~static_cast<UINT>(GGO_GLYPH_INDEX | GGO_UNHINTED);
    if (Kind != GGO_METRICS && Kind != GGO_NATIVE && Kind != GGO_BEZIER && Kind != GGO_GRAY8_BITMAP)
        return Failure;
    const TQvSizedFace* Face = ByIndex ? Font.PrimaryFace() : Font.FaceFor(Char);
    if (!Face) return Failure;
    const uint32_t Glyph = ByIndex ? Char : Face->Face()->GlyphIndex(Char);
    if (!Face->LoadOutline(Glyph, FT_LOAD_NO_HINTING)) return Failure;
    FT_GlyphSlot Slot = Face->Face()->Face()->glyph;
    FT_Outline& Outline = Slot->outline;

    FT_Vector Advance = {static_cast<FT_Pos>(Face->GlyphAdvance(Glyph)) * 64, 0};
    if (Matrix) {
        const FT_Matrix M = {FixedToInt(Matrix->eM11), FixedToInt(Matrix->eM21), FixedToInt(Matrix->eM12),
                             FixedToInt(Matrix->eM22)};
        FT_Outline_Transform(&Outline, &M);
        FT_Vector_Transform(&Advance, &M);
    }

    FT_BBox Box = {0, 0, 0, 0};
    if (Outline.n_points > 0) FT_Outline_Get_CBox(&Outline, &Box);
    const FT_Pos Left = Box.xMin & ~63, Bottom = Box.yMin & ~63;
    const FT_Pos Right = (Box.xMax + 63) & ~63, Top = (Box.yMax + 63) & ~63;
    // A blank glyph reports a one-pixel box, as the original does.
    const UINT W = std::max<UINT>(1, static_cast<UINT>((Right - Left) >> 6));
    const UINT H = std::max<UINT>(1, static_cast<UINT>((Top - Bottom) >> 6));
    if (Metrics) {
        Metrics->gmBlackBoxX = W;
        Metrics->gmBlackBoxY = H;
        Metrics->gmptGlyphOrigin = {static_cast<int>(Left >> 6), static_cast<int>(Top >> 6)};
        Metrics->gmCellIncX = static_cast<short>((Advance.x + 32) >> 6);
        Metrics->gmCellIncY = static_cast<short>((Advance.y + 32) >> 6);
    }

    std::vector<uint8_t> Data;
    if (Kind == GGO_METRICS) return 0;
    if (Kind == GGO_GRAY8_BITMAP) {
        if (Outline.n_points == 0) return 0;
        const UINT Pitch = (W + 3) & ~3u;
        Data.assign(static_cast<size_t>(Pitch) * H, 0);
        std::vector<uint8_t> Cov(static_cast<size_t>(W) * H, 0);
        FT_Bitmap Target;
        FT_Bitmap_Init(&Target);
        Target.rows = H;
        Target.width = W;
        Target.pitch = static_cast<int>(W);
        Target.buffer = Cov.data();
        Target.num_grays = 256;
        Target.pixel_mode = FT_PIXEL_MODE_GRAY;
        FT_Outline_Translate(&Outline, -Left, -Bottom);
        if (FT_Outline_Get_Bitmap(Face->Face()->Face()->glyph->library, &Outline, &Target) != 0) return Failure;
        // Rows top to bottom; 65 levels (0..64).
        for (UINT Y = 0; Y < H; ++Y)
            for (UINT X = 0; X < W; ++X)
                Data[static_cast<size_t>(Y) * Pitch + X] =
                    static_cast<uint8_t>(MulDiv255(Cov[static_cast<size_t>(Y) * W + X], 64));
    } else {
        std::vector<TRawContour> Raw;
        if (!Decompose(Outline, Raw)) return Failure;
        Serialise(Raw, Kind == GGO_BEZIER, Data);
    }
    if (!Buffer || BufferSize == 0) return static_cast<DWORD>(Data.size());
    if (BufferSize < Data.size()) return Failure;
    if (!Data.empty()) std::memcpy(Buffer, Data.data(), Data.size());
    return static_cast<DWORD>(Data.size());
}
