#include "platform/uQvFontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "platform/uQvBase.h"

namespace {

struct TFaceRegistry {
    FT_Library Library = nullptr;
    bool Failed = false;
    std::map<std::pair<std::string, int>, TQvFace*> Faces;  // nullptr: unreadable
    std::map<std::tuple<TQvFace*, int, bool, bool>, TQvSizedFace*> Sized;
    std::map<TQvFace*, hb_face_t*> HbFaces;
    uint32_t NextSizedId = 1;
};

// Faces, sizes and the library live for the whole process: fonts are few and the glyph
// cache refers to them by id.
TFaceRegistry& Registry() {
    static TFaceRegistry* R = new TFaceRegistry;
    if (!R->Library && !R->Failed && FT_Init_FreeType(&R->Library) != 0) R->Failed = true;
    return *R;
}

}  // namespace

TQvFace* TQvFace::Open(const std::string& File, int Index) {
    TFaceRegistry& R = Registry();
    if (!R.Library) return nullptr;
    const auto Key = std::make_pair(File, Index);
    if (auto It = R.Faces.find(Key); It != R.Faces.end()) return It->second;
    FT_Face Face = nullptr;
    TQvFace* Result = nullptr;
    if (FT_New_Face(R.Library, File.c_str(), Index, &Face) == 0) {
        if (!FT_IS_SCALABLE(Face) || Face->units_per_EM == 0) {
            FT_Done_Face(Face);
        } else {
            Result = new TQvFace;
            Result->FFace = Face;
            FT_Select_Charmap(Face, FT_ENCODING_UNICODE);
            TQvFaceInfo& I = Result->FInfo;
            I.UnitsPerEm = Face->units_per_EM;
            I.Ascent = Face->ascender;
            I.Descent = -Face->descender;
            I.LineGap = std::max(0, Face->height - Face->ascender + Face->descender);
            I.UnderlinePosition = Face->underline_position;
            I.UnderlineThickness = Face->underline_thickness;
            I.MaxAdvance = Face->max_advance_width;
            I.Fixed = FT_IS_FIXED_WIDTH(Face);
            if (const auto* Hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(Face, FT_SFNT_HHEA))) {
                I.Ascent = Hhea->Ascender;
                I.Descent = -Hhea->Descender;
                I.LineGap = std::max<int>(0, Hhea->Line_Gap);
            }
            const auto* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
            if (Os2 && Os2->version != 0xFFFF) {
                if (Os2->usWinAscent + Os2->usWinDescent > 0) {
                    I.Ascent = Os2->usWinAscent;
                    I.Descent = Os2->usWinDescent;
                }
                I.StrikeOutPosition = Os2->yStrikeoutPosition;
                I.StrikeOutSize = Os2->yStrikeoutSize;
                I.AvgCharWidth = Os2->xAvgCharWidth;
            }
            if (I.Ascent + I.Descent <= 0) {
                I.Ascent = I.UnitsPerEm * 4 / 5;
                I.Descent = I.UnitsPerEm / 5;
            }
            if (I.UnderlineThickness <= 0) I.UnderlineThickness = std::max(1, I.UnitsPerEm / 20);
            if (I.UnderlinePosition == 0) I.UnderlinePosition = -I.UnitsPerEm / 10;
            if (I.StrikeOutSize <= 0) I.StrikeOutSize = I.UnderlineThickness;
            if (I.StrikeOutPosition <= 0) I.StrikeOutPosition = I.Ascent / 3;
            if (I.AvgCharWidth <= 0) I.AvgCharWidth = I.UnitsPerEm / 2;
            if (I.MaxAdvance <= 0) I.MaxAdvance = I.UnitsPerEm;
        }
    }
    R.Faces.emplace(Key, Result);
    return Result;
}

uint32_t TQvFace::GlyphIndex(char32_t C) const { return FT_Get_Char_Index(FFace, C); }

TQvSizedFace* TQvSizedFace::Get(TQvFace* Face, int Em26, bool SynthBold, bool SynthItalic) {
    if (!Face) return nullptr;
    Em26 = std::clamp(Em26, 1, 64 * 4096);
    TFaceRegistry& R = Registry();
    const auto Key = std::make_tuple(Face, Em26, SynthBold, SynthItalic);
    if (auto It = R.Sized.find(Key); It != R.Sized.end()) return It->second;

    FT_Size Size = nullptr;
    if (FT_New_Size(Face->Face(), &Size) != 0) return nullptr;
    FT_Activate_Size(Size);
    if (FT_Set_Char_Size(Face->Face(), 0, Em26, 72, 72) != 0) {
        FT_Done_Size(Size);
        return nullptr;
    }
    hb_face_t*& HbFace = R.HbFaces[Face];
    if (!HbFace) HbFace = hb_ft_face_create_referenced(Face->Face());
    hb_font_t* Hb = hb_font_create(HbFace);
    hb_ot_font_set_funcs(Hb);
    // Positions come back in 26.6 pixels.
    hb_font_set_scale(Hb, Em26, Em26);

    auto* S = new TQvSizedFace;
    S->FFace = Face;
    S->FSize = Size;
    S->FHb = Hb;
    S->FEm26 = Em26;
    S->FSynthBold = SynthBold;
    S->FSynthItalic = SynthItalic;
    if (SynthBold) {
        // One pixel wider up to 24 pixels to the em, then an em/24 stroke, rounded to
        // whole pixels so every advance grows by the same whole amount.
        const int Strength = std::max(64, (Em26 / 24 + 32) & ~63);
        S->FBoldStrength26 = Strength;
        S->FBoldExtra = Strength / 64;
    }
    S->FId = R.NextSizedId++;
    R.Sized.emplace(Key, S);
    return S;
}

void TQvSizedFace::Activate() const { FT_Activate_Size(FSize); }

double TQvSizedFace::Scale26() const { return static_cast<double>(FEm26) / FFace->Info().UnitsPerEm; }

bool TQvSizedFace::LoadOutline(uint32_t Glyph, int32_t LoadFlags) const {
    FT_Face Face = FFace->Face();
    FT_Activate_Size(FSize);
    if (FT_Load_Glyph(Face, Glyph, LoadFlags | FT_LOAD_NO_BITMAP) != 0 ||
        Face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Outline& Outline = Face->glyph->outline;
    if (FSynthBold) {
        FT_Outline_EmboldenXY(&Outline, FBoldStrength26, 0);
        // Keep the left side bearing: the stroke grows to the right, as the advance does.
        FT_Outline_Translate(&Outline, FBoldStrength26 / 2, 0);
    }
    if (FSynthItalic) {
        // The usual oblique slant of about 12 degrees, leaning right from the baseline.
        const FT_Matrix Shear = {0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&Outline, &Shear);
    }
    return true;
}

int TQvSizedFace::GlyphAdvance(uint32_t Glyph) const {
    const int Advance = RoundHalfEven(hb_font_get_glyph_h_advance(FHb, Glyph) / 64.0);
    return Advance != 0 ? Advance + FBoldExtra : 0;
}
