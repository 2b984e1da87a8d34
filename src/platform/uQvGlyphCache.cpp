#include "platform/uQvGlyphCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <unordered_map>

#include "platform/uQvFontFace.h"

namespace {

// Enough for several screens of mixed text at a few sizes; when full the cache starts
// over instead of tracking use, which keeps lookups cheap.
constexpr size_t CacheLimit = 8192;

std::unordered_map<uint64_t, TQvGlyphBitmap>& Cache() {
    static auto* C = new std::unordered_map<uint64_t, TQvGlyphBitmap>;
    return *C;
}

void Rasterise(const TQvSizedFace& Sized, uint32_t Glyph, bool Monochrome, TQvGlyphBitmap& Out) {
    // Light hinting snaps only vertically and keeps the designed widths; monochrome glyphs
    // need the full hinting to stay legible at small sizes. An unloadable glyph draws
    // nothing rather than failing the whole text.
    if (!Sized.LoadOutline(Glyph, Monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT)) return;
    FT_Face Face = Sized.Face()->Face();
    if (FT_Render_Glyph(Face->glyph, Monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& B = Face->glyph->bitmap;
    Out.Left = Face->glyph->bitmap_left;
    Out.Top = Face->glyph->bitmap_top;
    Out.Width = static_cast<int>(B.width);
    Out.Height = static_cast<int>(B.rows);
    Out.Coverage.assign(static_cast<size_t>(Out.Width) * Out.Height, 0);
    for (int Y = 0; Y < Out.Height; ++Y) {
        const unsigned char* Row = B.buffer + static_cast<ptrdiff_t>(Y) * B.pitch;
        uint8_t* Dst = Out.Coverage.data() + static_cast<size_t>(Y) * Out.Width;
        if (B.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int X = 0; X < Out.Width; ++X) Dst[X] = (Row[X >> 3] & (0x80 >> (X & 7))) ? 255 : 0;
        } else if (B.pixel_mode == FT_PIXEL_MODE_GRAY && B.num_grays == 256) {
            std::memcpy(Dst, Row, static_cast<size_t>(Out.Width));
        } else if (B.pixel_mode == FT_PIXEL_MODE_GRAY && B.num_grays > 1) {
            for (int X = 0; X < Out.Width; ++X) Dst[X] = static_cast<uint8_t>(Row[X] * 255 / (B.num_grays - 1));
        }
    }
}

}  // namespace

const TQvGlyphBitmap& QvRenderGlyph(const TQvSizedFace& Face, uint32_t Glyph, bool Monochrome) {
    auto& C = Cache();
    const uint64_t Key = (uint64_t{Face.Id()} << 33) | (uint64_t{Glyph} << 1) | (Monochrome ? 1u : 0u);
    if (auto It = C.find(Key); It != C.end()) return It->second;
    if (C.size() >= CacheLimit) C.clear();
    TQvGlyphBitmap& Entry = C[Key];
    Rasterise(Face, Glyph, Monochrome, Entry);
    return Entry;
}

void QvClearGlyphCache() { Cache().clear(); }

size_t QvGlyphCacheSize() { return Cache().size(); }
