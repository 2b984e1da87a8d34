#include "skin_pictures.h"

#include <cstring>
#include <string>

#include "platform/uQvBase.h"
#include "skin_glyph.h"
#include "skin_styles.h"

namespace {

// The product's wordmark face: the CJK sans has a clean geometric Latin.
const String BrandFace = u"Noto Sans CJK SC";
const String Product = u"Varnoth";

// A calm landscape: sky, sun, far ridges, near hills and a lake, all in the skin's blues.
constexpr const char* Landscape =
    "G 0 0 0 105 #9CCDF3 #EAF5FD R 0 0 W H 0 f O 150 40 21 k #FFFFFF5A f O 150 40 13 k #FFCF5E f "
    "O 52 42 9 O 64 36 12 O 77 42 8 R 44 41 40 9 4.5 k #FFFFFFE0 f "
    "M 0 96 L 34 64 L 60 84 L 98 50 L 138 88 L 168 70 L 200 86 L 200 150 L 0 150 Z k #8FB8E3 f "
    "M 0 112 C 40 93 80 98 110 108 C 140 118 170 101 200 97 L 200 150 L 0 150 Z G 0 96 0 150 #5499DC #3479C6 "
    "f "
    "M 0 129 C 50 121 120 123 200 131 L 200 150 L 0 150 Z k #2C66AB f M 24 136 L 60 136 M 110 141 L 160 141 "
    "k #FFFFFF40 s";

// A cloud cut off from the network: grey outline on a pale disc, a red badge.
constexpr const char* NetworkError =
    "R 0 0 W H 0 k w f O 100 72 50 k #F1F4F8 f "
    "M 73 94 C 63 94 56 87 56 78 C 56 70 62 63 70 62 C 72 51 81 44 93 44 C 103 44 111 50 114 59 C 116 58.5 "
    "118 58 120 58 "
    "C 130 58 137 66 137 76 C 137 86 130 94 120 94 Z w 3 k #9AA6B5 j r s M 84 72 L 108 72 M 84 80 L 100 80 w "
    "3 k #C3CAD3 c r s "
    "O 130 96 12 k w f O 130 96 10 k #E24C4C f M 130 90 L 130 97.5 w 2.6 k w c r s O 130 102 1.5 f";

// A friendly user picture; the circle shape clips it, so the ground fills the square.
constexpr const char* Avatar =
    "G 0 0 0 H #E6F0FA #C9DCF1 R 0 0 W H 0 f R 34 47 12 14 4 k #E6B690 f "
    "M 10 80 C 12 66 24 59.5 40 59.5 C 56 59.5 68 66 70 80 Z k #4690DC f M 33 59.8 L 40 68.5 L 47 59.8 Z k "
    "#F4F8FC f "
    "E 25.4 38.5 2.8 3.8 E 54.6 38.5 2.8 3.8 k #EDBF9C f E 40 37.5 14.4 16 k #F6D2B1 f "
    "M 25.4 37 C 23.8 22 31 14.5 40.5 14.5 C 50 14.5 56.5 21.5 54.6 37 C 53.8 31.5 52.2 28.8 50 27.2 "
    "C 44.5 31 35.5 31.5 29 28.6 C 27.3 31 26 33.8 25.4 37 Z "
    "k #3F4652 f O 34.8 39.5 1.5 O 45.2 39.5 1.5 k #3F4652 f M 36.5 46 Q 40 48.6 43.5 46 w 1.4 k #C98A6E c r "
    "s";

// The product mark: a rounded tile with a V; the cut variant leaves the V transparent.
constexpr const char* Mark = "R 1 1 22 22 6 k g f M 7 7.5 L 12 17 L 17 7.5 w 1.25 k G c r j r s";
constexpr const char* MarkCut = "R 1 1 22 22 6 k g f M 7 7.5 L 12 17 L 17 7.5 w 1.4 c r j r X";

// The splash: a deep blue field with quiet circles and ribbons, the mark and the name;
// the corners where the splash form writes its texts stay plain and dark enough.
constexpr const char* SplashField =
    "G 0 0 W H #1B4785 #4C96DF R 0 0 W H 0 f O 190 150 150 k #FFFFFF16 h 40 0 "
    "O 540 40 95 O 540 40 150 O 540 40 205 w 1 k #FFFFFF12 s "
    "R 392 252 18 50 4 R 420 236 18 66 4 R 448 214 18 88 4 R 476 226 18 76 4 R 504 192 18 110 4 R 532 168 18 "
    "134 4 k #FFFFFF10 f "
    "M 401 240 L 429 224 L 457 202 L 485 214 L 513 180 L 541 156 w 1.5 k #FFFFFF40 s "
    "O 401 240 3 O 429 224 3 O 457 202 3 O 485 214 3 O 513 180 3 O 541 156 3 k #FFFFFF66 f "
    "M 0 292 C 150 242 300 322 590 222 w 1.5 k #FFFFFF20 s M 0 310 C 180 262 330 342 590 246 w 1 k #FFFFFF14 "
    "s "
    "R 0 322 W 43 0 k #00000024 f R 0 322 W 1 0 k #FFFFFF1C f";

void Text(TSkinPaint& P, const String& S, int Height, bool Bold, int X, int Y, TColor32 C) {
    P.Paint(P.TextMask(S, BrandFace, Height, Bold, X, Y), TInk::Solid(C));
}

void DrawSplash(TSkinPaint& P) {
    DrawGlyph(P, SplashField, {0, 0, static_cast<float>(P.W()), static_cast<float>(P.H()), 0, 1, 'n'}, {});
    // The mark is cut on a layer of its own, so its V shows the field behind it.
    TSurface32 Mark;
    Mark.SetSize(72, 72);
    Mark.Clear(clTransparent32);
    TSkinPaint M(Mark, 0, 0, 72, 72);
    DrawGlyph(M, MarkCut, {0, 0, 72, 72, 24, 4, 'n'}, {0, 0, 0, Palette::White, 0});
    P.Layer(Mark, 64, 128);
    const TSize Name = TSkinPaint::TextSize(Product, BrandFace, 58, true);
    Text(P, Product, 58, true, 152, 164 - Name.cy / 2 - 14, Palette::White);
    Text(P, u"Business Application Framework", 16, false, 156, 186, 0xD9FFFFFF);
}

void DrawLogo(TSkinPaint& P) {
    DrawGlyph(P, MarkCut, {0, 0, 22, 22, 24, 1.6f, 'n'}, {0, 0, 0, Palette::White, 0});
    const TSize Name = TSkinPaint::TextSize(Product, BrandFace, 16, true);
    Text(P, Product, 16, true, 29, (22 - Name.cy) / 2, Palette::White);
}

}  // namespace

void RegisterSkinPictures() {
    DefineGlyph("landscape", Landscape);
    DefineGlyph("network-error", NetworkError);
    DefineGlyph("avatar", Avatar);
    DefineGlyph("mark", Mark);
    DefineGlyph("mark-cut", MarkCut);
}

void DrawBrand(const TSkinImage& Image, TSurface32& Surface) {
    TSkinPaint P(Surface, 0, 0, Image.W, Image.H);
    if (std::strcmp(Image.ResID, "flash") == 0)
        DrawSplash(P);
    else
        DrawLogo(P);
}
