#pragma once
// Font faces and their sized instances: FreeType loads and renders, HarfBuzz shapes.
// A face is opened once per file and index and lives for the whole process; a sized face
// is that face at one em size with the synthetic styles it needs, shared by every font
// object that asks for the same.

#include <cstdint>
#include <string>

struct FT_FaceRec_;
struct FT_SizeRec_;
struct hb_font_t;

// Design-unit values of a face, read from its tables once.
struct TQvFaceInfo {
    int UnitsPerEm = 1000;
    int Ascent = 800;   // OS/2 win ascent, hhea when that is absent
    int Descent = 200;  // OS/2 win descent (positive below the baseline)
    int LineGap = 0;  // hhea line gap
    int UnderlinePosition = 0;  // centre of the underline, negative below the baseline
    int UnderlineThickness = 0;
    int StrikeOutPosition = 0;  // bottom of the strike-out stroke above the baseline
    int StrikeOutSize = 0;
    int AvgCharWidth = 0;
    int MaxAdvance = 0;
    bool Fixed = false;  // monospaced
};

class TQvFace {
public:
    // The face of File at Index, or nullptr when it cannot be read.
    static TQvFace* Open(const std::string& File, int Index);

    FT_FaceRec_* Face() const { return FFace; }
    const TQvFaceInfo& Info() const { return FInfo; }
    uint32_t GlyphIndex(char32_t C) const;

private:
    TQvFace() = default;
    FT_FaceRec_* FFace = nullptr;
    TQvFaceInfo FInfo;
};

// A face at one size (em in 26.6 pixels) with synthetic bold and italic where the face
// lacks them. Shared and kept for the whole process; Id keys the glyph cache.
class TQvSizedFace {
public:
    static TQvSizedFace* Get(TQvFace* Face, int Em26, bool SynthBold, bool SynthItalic);

    TQvFace* Face() const { return FFace; }
    int Em26() const { return FEm26; }
    bool SynthBold() const { return FSynthBold; }
    bool SynthItalic() const { return FSynthItalic; }
    // Extra width of emboldened glyphs in 26.6 pixels, and the whole pixels it adds to
    // every advance.
    int BoldStrength26() const { return FBoldStrength26; }
    int BoldExtraPixels() const { return FBoldExtra; }
    uint32_t Id() const { return FId; }
    hb_font_t* HbFont() const { return FHb; }
    // Makes this size the face's active one before FreeType loads a glyph.
    void Activate() const;
    // Loads the glyph's outline into the face's glyph slot at this size (FreeType load
    // flags) and applies the synthetic bold and italic. False when it has no outline.
    bool LoadOutline(uint32_t Glyph, int32_t LoadFlags) const;
    // The glyph's advance in whole pixels, as text measuring counts it.
    int GlyphAdvance(uint32_t Glyph) const;
    // Scales design units of the face to 26.6 pixels at this size.
    double Scale26() const;

private:
    TQvSizedFace() = default;
    TQvFace* FFace = nullptr;
    FT_SizeRec_* FSize = nullptr;
    hb_font_t* FHb = nullptr;
    int FEm26 = 0;
    bool FSynthBold = false;
    bool FSynthItalic = false;
    int FBoldStrength26 = 0;
    int FBoldExtra = 0;
    uint32_t FId = 0;
};
