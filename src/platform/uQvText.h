#pragma once
// Text with one font: metrics, measuring, shaping and drawing into 32-bit pixels.
// A font is a face name, a height, a style and a quality; it resolves to a list of faces
// with per-character fallback. Glyph advances are whole pixels, so the width of a text is
// the sum of the widths of its parts (the edit measures per character and by prefixes).

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/uQvBase.h"
#include "platform/uQvColor.h"
#include "platform/uQvGeometry.h"

class TQvFontSet;
class TQvSizedFace;

// Quality values of a font request.
enum : int {
    DEFAULT_QUALITY = 0,
    DRAFT_QUALITY = 1,
    PROOF_QUALITY = 2,
    NONANTIALIASED_QUALITY = 3,
    ANTIALIASED_QUALITY = 4,
    CLEARTYPE_QUALITY = 5,
    CLEARTYPE_NATURAL_QUALITY = 6,
};

struct TQvFontRequest {
    String FaceName;
    int Height = 0;  // negative: em size in pixels; positive: cell height; 0: the default
    int Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Quality = DEFAULT_QUALITY;
    int Charset = 1;  // DEFAULT_CHARSET
    bool operator==(const TQvFontRequest&) const = default;
};

// Pixel metrics of a font, taken from its first face; fallback faces share its baseline.
struct TQvFontMetrics {
    int Height = 0;  // Ascent + Descent
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    int Em = 0;
    int Weight = 400;
    int Overhang = 0;
    bool FixedPitch = false;  // every character the same width
    // Rows of the underline and strike-out strokes, as offsets from the baseline (positive
    // downward) of their top row, and their thickness.
    int UnderlineOffset = 0;
    int UnderlineThickness = 1;
    int StrikeOutOffset = 0;
    int StrikeOutThickness = 1;
};

struct TQvPlacedGlyph {
    const TQvSizedFace* Face = nullptr;
    uint32_t Glyph = 0;
    uint32_t Cluster = 0;  // index of the first UTF-16 unit it draws
    int X = 0;             // pen position from the start of the line, pixels
    int Y = 0;             // offset from the baseline, positive downward
    int Advance = 0;
};

// Glyphs of one line in visual order, left to right.
struct TQvShapedText {
    std::vector<TQvPlacedGlyph> Glyphs;
    int Width = 0;
    // Glyphs drawn as the face's "missing character" box.
    int MissingGlyphs() const;
};

// A 32-bit pixel buffer, bytes B, G, R, A; Stride counts pixels.
struct TQvPixelTarget {
    uint32_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
};

class TQvTextFont {
public:
    // Fonts are shared: equal requests give the same object while the font set is unchanged.
    static std::shared_ptr<TQvTextFont> Get(const TQvFontRequest& Request);

    const TQvFontRequest& Request() const { return FRequest; }
    const TQvFontMetrics& Metrics() const { return FMetrics; }
    bool Monochrome() const { return FRequest.Quality == NONANTIALIASED_QUALITY; }
    // Family name of the face that holds the font's metrics (UTF-8).
    const std::string& PrimaryFamily() const;

    // The advance of every UTF-16 unit of Text: 0 for the second half of a surrogate pair,
    // for control characters and for units that join the glyph of an earlier one.
    void Advances(std::u16string_view Text, std::vector<int>& Out) const;
    int TextWidth(std::u16string_view Text) const;
    // Glyphs of Text; RightToLeft lays the line out right to left, runs of left-to-right
    // letters keeping their order.
    void Shape(std::u16string_view Text, bool RightToLeft, TQvShapedText& Out) const;

    // Draws the glyphs with the top-left of the text cell at (X, Y), writing the colour
    // weighted by coverage into the pixels inside Clip, then the font's underline and
    // strike-out over the text's width.
    void Draw(const TQvPixelTarget& Target, int X, int Y, const TQvShapedText& Text, COLORREF Color,
              const TRect& Clip) const;
    // A horizontal stroke of the text colour (full coverage) over [X, X + Width) at the
    // given rows: underlines of the font and of prefixed characters.
    static void DrawStroke(const TQvPixelTarget& Target, int X, int Top, int Width, int Thickness,
                           COLORREF Color, const TRect& Clip);

    // The faces behind this font, for glyph outlines: the one that draws C, and the first.
    const TQvSizedFace* FaceFor(char32_t C) const;
    const TQvSizedFace* PrimaryFace() const { return SizedFace(FPrimary); }

private:
    explicit TQvTextFont(const TQvFontRequest& Request);
    const TQvSizedFace* SizedFace(size_t Index) const;

    TQvFontRequest FRequest;
    TQvFontMetrics FMetrics;
    std::shared_ptr<TQvFontSet> FSet;
    int FEm26 = 0;
    size_t FPrimary = 0;                              // the first face that could be opened
    mutable std::vector<const TQvSizedFace*> FSized;  // per face of the set, opened lazily
    mutable std::vector<bool> FTried;
    // Recently shaped short lines (left to right): controls measure and draw the same
    // captions over and over.
    mutable std::unordered_map<String, TQvShapedText> FShapeCache;
    void ShapeUncached(std::u16string_view Text, bool RightToLeft, TQvShapedText& Out) const;
};

// Code points helpers shared by the layout code.
char32_t QvCodePointAt(std::u16string_view Text, size_t Index, size_t* Length = nullptr);
