#include "platform/uQvText.h"

#include <hb.h>

#include <algorithm>
#include <map>

#include "platform/uQvFontConfig.h"
#include "platform/uQvFontFace.h"
#include "platform/uQvGlyphCache.h"
#include "platform/uQvPixel.h"

namespace {

// Shaping without kerning and ligatures: every character keeps its own glyph and width.
const hb_feature_t ShapeFeatures[] = {
    {HB_TAG('k', 'e', 'r', 'n'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    {HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    {HB_TAG('d', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    {HB_TAG('c', 'a', 'l', 't'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
};

constexpr int DefaultEm = 12;
constexpr int MaxEm = 2048;

hb_buffer_t* SharedBuffer() {
    static hb_buffer_t* B = hb_buffer_create();
    return B;
}

struct TFontCache {
    uint32_t Generation = 0;
    std::vector<std::shared_ptr<TQvTextFont>> Fonts;
};

TFontCache& FontCache() {
    static auto* C = new TFontCache;
    return *C;
}

// Directional class of a character for laying out a line: strong right-to-left letters,
// neutrals (blanks, punctuation, symbols) and everything else as left-to-right.
enum TDirClass : uint8_t { dcL, dcR, dcN };

TDirClass DirClass(char32_t C) {
    if ((C >= 0x0590 && C <= 0x08FF) || (C >= 0xFB1D && C <= 0xFDFF) || (C >= 0xFE70 && C <= 0xFEFF) ||
        C == 0x200F || (C >= 0x10800 && C <= 0x10FFF) || (C >= 0x1E800 && C <= 0x1EFFF))
        return dcR;
    if (C < 0x80) {
        const bool Alnum = (C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
        return Alnum ? dcL : dcN;
    }
    if ((C >= 0x00A0 && C <= 0x00BF) || C == 0x00D7 || C == 0x00F7 || (C >= 0x2000 && C <= 0x2BFF) ||
        (C >= 0x3000 && C <= 0x303F) || (C >= 0xFE30 && C <= 0xFE4F) || (C >= 0xFF01 && C <= 0xFF0F) ||
        (C >= 0xFF1A && C <= 0xFF20) || (C >= 0xFF3B && C <= 0xFF40) || (C >= 0xFF5B && C <= 0xFF65) ||
        (C >= 0xFFE0 && C <= 0xFFEE))
        return C == 0x200E ? dcL : dcN;
    return dcL;
}

bool IsControl(char32_t C) { return C < 0x20 || C == 0x7F; }

struct TCodePoint {
    char32_t C;
    uint32_t Index;
    uint8_t Length;
    uint8_t Level;
    uint16_t Face;
};

struct TRun {
    size_t First;  // code points [First, Last)
    size_t Last;
    uint16_t Face;
    uint8_t Level;
    std::vector<TQvPlacedGlyph> Glyphs;  // visual order within the run, X from the run start
    int Width = 0;
};

}  // namespace

char32_t QvCodePointAt(std::u16string_view Text, size_t Index, size_t* Length) {
    const char16_t U = Text[Index];
    if (U >= 0xD800 && U <= 0xDBFF && Index + 1 < Text.size()) {
        const char16_t L = Text[Index + 1];
        if (L >= 0xDC00 && L <= 0xDFFF) {
            if (Length) *Length = 2;
            return 0x10000 + ((char32_t(U) - 0xD800) << 10) + (char32_t(L) - 0xDC00);
        }
    }
    if (Length) *Length = 1;
    // A lone surrogate shows as the replacement character.
    return (U >= 0xD800 && U <= 0xDFFF) ? 0xFFFD : U;
}

int TQvShapedText::MissingGlyphs() const {
    int N = 0;
    for (const TQvPlacedGlyph& G : Glyphs) N += G.Glyph == 0 ? 1 : 0;
    return N;
}

std::shared_ptr<TQvTextFont> TQvTextFont::Get(const TQvFontRequest& Request) {
    InitQvFonts();
    TFontCache& C = FontCache();
    if (C.Generation != QvFontSetGeneration()) {
        C.Fonts.clear();
        C.Generation = QvFontSetGeneration();
    }
    for (size_t I = 0; I < C.Fonts.size(); ++I) {
        if (C.Fonts[I]->Request() == Request) {
            // Most recently used first, so the cache trims the oldest.
            std::rotate(C.Fonts.begin(), C.Fonts.begin() + static_cast<ptrdiff_t>(I),
                        C.Fonts.begin() + static_cast<ptrdiff_t>(I) + 1);
            return C.Fonts.front();
        }
    }
    std::shared_ptr<TQvTextFont> Font(new TQvTextFont(Request));
    C.Fonts.insert(C.Fonts.begin(), Font);
    if (C.Fonts.size() > 128) C.Fonts.pop_back();
    return Font;
}

TQvTextFont::TQvTextFont(const TQvFontRequest& Request) : FRequest(Request) {
    const bool Bold = FRequest.Weight >= 600;
    FSet = TQvFontSet::Resolve(FRequest.FaceName, FRequest.Weight <= 0 ? 400 : FRequest.Weight, FRequest.Italic,
                               FRequest.Charset);
    FSized.assign(FSet->Count(), nullptr);
    FTried.assign(FSet->Count(), false);

    TQvFace* Primary = nullptr;
    for (size_t I = 0; I < FSet->Count() && !Primary; ++I) {
        Primary = TQvFace::Open(FSet->Source(I).File, FSet->Source(I).Index);
        if (Primary) FPrimary = I;
    }
    TQvFaceInfo Info;
    if (Primary) Info = Primary->Info();
    const int DesignHeight = Info.Ascent + Info.Descent;

    // Negative: em in pixels; positive: the cell height (ascent + descent).
    int Height = FRequest.Height == 0 ? -DefaultEm : FRequest.Height;
    Height = std::clamp(Height, -MaxEm, MaxEm);
    double Scale;  // pixels per design unit
    if (Height < 0) {
        FEm26 = -Height * 64;
        Scale = static_cast<double>(-Height) / Info.UnitsPerEm;
        FMetrics.Ascent = RoundHalfEven(Info.Ascent * Scale);
        FMetrics.Descent = RoundHalfEven(Info.Descent * Scale);
    } else {
        Scale = static_cast<double>(Height) / DesignHeight;
        FEm26 = std::max(1, RoundHalfEven(Info.UnitsPerEm * Scale * 64));
        FMetrics.Ascent = RoundHalfEven(Info.Ascent * Scale);
        FMetrics.Descent = Height - FMetrics.Ascent;
    }
    FMetrics.Height = FMetrics.Ascent + FMetrics.Descent;
    FMetrics.Em = RoundHalfEven(FEm26 / 64.0);
    FMetrics.InternalLeading = FMetrics.Height - FMetrics.Em;
    FMetrics.ExternalLeading = RoundHalfEven(Info.LineGap * Scale);
    FMetrics.AveCharWidth = std::max(1, RoundHalfEven(Info.AvgCharWidth * Scale));
    FMetrics.MaxCharWidth = std::max(1, RoundHalfEven(Info.MaxAdvance * Scale));
    FMetrics.Weight = FRequest.Weight <= 0 ? 400 : FRequest.Weight;
    FMetrics.FixedPitch = Info.Fixed;

    const int UnderlineThickness = std::max(1, RoundHalfEven(Info.UnderlineThickness * Scale));
    int UnderlineTop = RoundHalfEven(-Info.UnderlinePosition * Scale - UnderlineThickness / 2.0);
    UnderlineTop = std::min(UnderlineTop, FMetrics.Descent - UnderlineThickness);
    FMetrics.UnderlineOffset = std::max(0, UnderlineTop);
    FMetrics.UnderlineThickness = UnderlineThickness;
    FMetrics.StrikeOutThickness = std::max(1, RoundHalfEven(Info.StrikeOutSize * Scale));
    FMetrics.StrikeOutOffset = -std::max(1, RoundHalfEven(Info.StrikeOutPosition * Scale));

    if (Bold && Primary && FSet->Source(FPrimary).FcWeight < 180) {
        if (const TQvSizedFace* S = SizedFace(FPrimary)) FMetrics.Overhang = S->BoldExtraPixels();
    }
}

const std::string& TQvTextFont::PrimaryFamily() const {
    static const std::string None;
    return FSet->Count() ? FSet->Source(FPrimary).Family : None;
}

const TQvSizedFace* TQvTextFont::SizedFace(size_t Index) const {
    if (Index >= FSized.size()) return nullptr;
    if (!FTried[Index]) {
        FTried[Index] = true;
        const TQvFaceSource& Src = FSet->Source(Index);
        // fontconfig weight 180 is semibold; a lighter face is emboldened for a bold request.
        const bool SynthBold = FRequest.Weight >= 600 && Src.FcWeight < 180;
        const bool SynthItalic = FRequest.Italic && !Src.Italic;
        FSized[Index] = TQvSizedFace::Get(TQvFace::Open(Src.File, Src.Index), FEm26, SynthBold, SynthItalic);
    }
    return FSized[Index];
}

const TQvSizedFace* TQvTextFont::FaceFor(char32_t C) const {
    if (FSet->Count() == 0) return nullptr;
    const TQvSizedFace* S = SizedFace(FSet->FaceFor(C));
    return S ? S : SizedFace(FPrimary);
}

void TQvTextFont::Shape(std::u16string_view Text, bool RightToLeft, TQvShapedText& Out) const {
    constexpr size_t CachedLength = 128, CacheLimit = 256;
    if (RightToLeft || Text.size() > CachedLength) {
        ShapeUncached(Text, RightToLeft, Out);
        return;
    }
    const String Key(Text);
    if (auto It = FShapeCache.find(Key); It != FShapeCache.end()) {
        Out = It->second;
        return;
    }
    ShapeUncached(Text, false, Out);
    if (FShapeCache.size() >= CacheLimit) FShapeCache.clear();
    FShapeCache.emplace(Key, Out);
}

void TQvTextFont::ShapeUncached(std::u16string_view Text, bool RightToLeft, TQvShapedText& Out) const {
    Out.Glyphs.clear();
    Out.Width = 0;
    if (Text.empty() || FSet->Count() == 0) return;

    // Code points with their face and direction level; controls take no room.
    std::vector<TCodePoint> Cps;
    Cps.reserve(Text.size());
    bool AnyRtl = RightToLeft;
    for (size_t I = 0; I < Text.size();) {
        size_t Len = 1;
        const char32_t C = QvCodePointAt(Text, I, &Len);
        if (!IsControl(C)) {
            size_t Face = FSet->FaceFor(C);
            if (!SizedFace(Face)) Face = FPrimary;
            Cps.push_back({C, static_cast<uint32_t>(I), static_cast<uint8_t>(Len), 0, static_cast<uint16_t>(Face)});
            AnyRtl = AnyRtl || DirClass(C) == dcR;
        }
        I += Len;
    }
    if (Cps.empty() || !SizedFace(FPrimary)) return;

    if (AnyRtl) {
        // Levels: the paragraph's own direction, right-to-left letters odd, left-to-right
        // letters even; neutrals take the direction of the strong letters on both sides
        // when they agree, else the paragraph's.
        const uint8_t LLevel = RightToLeft ? 2 : 0;
        std::vector<TDirClass> Cls(Cps.size());
        for (size_t I = 0; I < Cps.size(); ++I) Cls[I] = DirClass(Cps[I].C);
        const TDirClass BaseDir = RightToLeft ? dcR : dcL;
        std::vector<TDirClass> Before(Cps.size()), After(Cps.size());
        TDirClass Last = BaseDir;
        for (size_t I = 0; I < Cps.size(); ++I) {
            Before[I] = Last;
            if (Cls[I] != dcN) Last = Cls[I];
        }
        Last = BaseDir;
        for (size_t I = Cps.size(); I-- > 0;) {
            After[I] = Last;
            if (Cls[I] != dcN) Last = Cls[I];
        }
        for (size_t I = 0; I < Cps.size(); ++I) {
            TDirClass D = Cls[I];
            if (D == dcN) D = Before[I] == After[I] ? Before[I] : BaseDir;
            Cps[I].Level = D == dcR ? 1 : LLevel;
        }
    }

    // Runs of one face and one level, each shaped on its own with the whole text as context.
    std::vector<TRun> Runs;
    for (size_t I = 0; I < Cps.size(); ++I) {
        if (Runs.empty() || Runs.back().Face != Cps[I].Face || Runs.back().Level != Cps[I].Level ||
            Runs.back().Last != I)
            Runs.push_back({I, I + 1, Cps[I].Face, Cps[I].Level, {}, 0});
        else
            Runs.back().Last = I + 1;
    }
    hb_buffer_t* Buf = SharedBuffer();
    for (TRun& R : Runs) {
        const TQvSizedFace* Face = SizedFace(R.Face);
        hb_buffer_clear_contents(Buf);
        hb_buffer_set_cluster_level(Buf, HB_BUFFER_CLUSTER_LEVEL_MONOTONE_CHARACTERS);
        // Code point by code point, so skipped controls do not reach the shaper.
        for (size_t I = R.First; I < R.Last; ++I) hb_buffer_add(Buf, Cps[I].C, Cps[I].Index);
        hb_buffer_set_content_type(Buf, HB_BUFFER_CONTENT_TYPE_UNICODE);
        hb_buffer_set_direction(Buf, (R.Level & 1) ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(Buf);
        hb_shape(Face->HbFont(), Buf, ShapeFeatures, sizeof(ShapeFeatures) / sizeof(ShapeFeatures[0]));
        unsigned Count = 0;
        const hb_glyph_info_t* Infos = hb_buffer_get_glyph_infos(Buf, &Count);
        const hb_glyph_position_t* Pos = hb_buffer_get_glyph_positions(Buf, &Count);
        R.Glyphs.reserve(Count);
        for (unsigned G = 0; G < Count; ++G) {
            TQvPlacedGlyph P;
            P.Face = Face;
            P.Glyph = Infos[G].codepoint;
            P.Cluster = Infos[G].cluster;
            P.Advance = RoundHalfEven(Pos[G].x_advance / 64.0);
            if (P.Advance != 0) P.Advance += Face->BoldExtraPixels();
            P.X = R.Width + RoundHalfEven(Pos[G].x_offset / 64.0);
            P.Y = -RoundHalfEven(Pos[G].y_offset / 64.0);
            R.Width += P.Advance;
            R.Glyphs.push_back(P);
        }
    }

    // Visual order: runs at odd levels and, inside a right-to-left line, nested
    // left-to-right runs are reversed from the highest level down.
    std::vector<size_t> Order(Runs.size());
    for (size_t I = 0; I < Order.size(); ++I) Order[I] = I;
    uint8_t MaxLevel = 0;
    for (const TRun& R : Runs) MaxLevel = std::max(MaxLevel, R.Level);
    for (int Level = MaxLevel; Level >= 1; --Level) {
        for (size_t I = 0; I < Order.size();) {
            if (Runs[Order[I]].Level < Level) {
                ++I;
                continue;
            }
            size_t J = I;
            while (J < Order.size() && Runs[Order[J]].Level >= Level) ++J;
            std::reverse(Order.begin() + static_cast<ptrdiff_t>(I), Order.begin() + static_cast<ptrdiff_t>(J));
            I = J;
        }
    }
    for (size_t Index : Order) {
        for (TQvPlacedGlyph G : Runs[Index].Glyphs) {
            G.X += Out.Width;
            Out.Glyphs.push_back(G);
        }
        Out.Width += Runs[Index].Width;
    }
}

void TQvTextFont::Advances(std::u16string_view Text, std::vector<int>& Out) const {
    Out.assign(Text.size(), 0);
    TQvShapedText Shaped;
    Shape(Text, false, Shaped);
    for (const TQvPlacedGlyph& G : Shaped.Glyphs)
        if (G.Cluster < Out.size()) Out[G.Cluster] += G.Advance;
}

int TQvTextFont::TextWidth(std::u16string_view Text) const {
    TQvShapedText Shaped;
    Shape(Text, false, Shaped);
    return Shaped.Width;
}

void TQvTextFont::Draw(const TQvPixelTarget& Target, int X, int Y, const TQvShapedText& Text, COLORREF Color,
                       const TRect& Clip) const {
    TRect Box;
    if (!Target.Bits || !IntersectRect(Box, Clip, Rect(0, 0, Target.Width, Target.Height))) return;
    const uint8_t TR = GetRValue(Color), TG = GetGValue(Color), TB = GetBValue(Color);
    const int Baseline = Y + FMetrics.Ascent;
    const bool Mono = Monochrome();
    for (const TQvPlacedGlyph& G : Text.Glyphs) {
        const TQvGlyphBitmap& B = QvRenderGlyph(*G.Face, G.Glyph, Mono);
        if (B.Width == 0 || B.Height == 0) continue;
        const int Left = X + G.X + B.Left;
        const int Top = Baseline + G.Y - B.Top;
        const int X0 = std::max(Left, Box.Left), X1 = std::min(Left + B.Width, Box.Right);
        const int Y0 = std::max(Top, Box.Top), Y1 = std::min(Top + B.Height, Box.Bottom);
        for (int PY = Y0; PY < Y1; ++PY) {
            const uint8_t* Cov = B.Coverage.data() + static_cast<size_t>(PY - Top) * B.Width - Left;
            auto* Row = reinterpret_cast<uint8_t*>(Target.Bits + static_cast<ptrdiff_t>(PY) * Target.Stride);
            for (int PX = X0; PX < X1; ++PX) {
                const uint8_t A = Cov[PX];
                if (A == 0) continue;
                // The colour mixed by coverage, MixDiv255 (full coverage gives exactly
                // the text colour); B, G, R, A in memory, the alpha stays as it was.
                uint8_t* P = Row + PX * 4;
                P[0] = static_cast<uint8_t>(MixDiv255(TB, P[0], A));
                P[1] = static_cast<uint8_t>(MixDiv255(TG, P[1], A));
                P[2] = static_cast<uint8_t>(MixDiv255(TR, P[2], A));
            }
        }
    }
    if (FRequest.Underline)
        DrawStroke(Target, X, Baseline + FMetrics.UnderlineOffset, Text.Width, FMetrics.UnderlineThickness, Color,
                   Clip);
    if (FRequest.StrikeOut)
        DrawStroke(Target, X, Baseline + FMetrics.StrikeOutOffset, Text.Width, FMetrics.StrikeOutThickness, Color,
                   Clip);
}

void TQvTextFont::DrawStroke(const TQvPixelTarget& Target, int X, int Top, int Width, int Thickness,
                             COLORREF Color, const TRect& Clip) {
    TRect Box;
    if (!Target.Bits || Width <= 0 || Thickness <= 0 ||
        !IntersectRect(Box, Clip, Rect(0, 0, Target.Width, Target.Height)) ||
        !IntersectRect(Box, Box, Rect(X, Top, X + Width, Top + Thickness)))
        return;
    for (int PY = Box.Top; PY < Box.Bottom; ++PY) {
        auto* Row = reinterpret_cast<uint8_t*>(Target.Bits + static_cast<ptrdiff_t>(PY) * Target.Stride);
        for (int PX = Box.Left; PX < Box.Right; ++PX) {
            Row[PX * 4 + 0] = GetBValue(Color);
            Row[PX * 4 + 1] = GetGValue(Color);
            Row[PX * 4 + 2] = GetRValue(Color);
        }
    }
}
