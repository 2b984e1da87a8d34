// Runs the libraries' set-up the program makes at start (font discovery over the machine's
// fonts, shaping Chinese and Latin text, SDL's video start on its offscreen driver) and
// ends. Run under the leak checker with the project's suppressions: "clean" must report
// nothing, so the suppressions cover the libraries' own start-up caches; "leak" also loses
// a font pattern made by our code through the font library, which must be reported, so the
// suppressions never hide a leak of ours that merely allocates inside a library.
#include <SDL.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>

#include "platform/uQvFont.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvGdiBitmaps.h"
#include "platform/uQvGdiDC.h"
#include "platform/uQvGdiPrimitives.h"

namespace {

// Kept in a volatile global and then dropped, so the optimizer cannot keep it reachable.
FcPattern* volatile Lost = nullptr;

void LoseAPattern() {
    Lost = FcPatternCreate();
    FcPatternAddString(Lost, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    Lost = nullptr;
}

void DrawSomeText() {
    InitQvFonts();
    void* Bits = nullptr;
    HBITMAP Bm = GdiCreateBitmap32(200, 40, &Bits);
    HDC Dc = CreateCompatibleDC(nullptr);
    HGDIOBJ OldBm = SelectObject(Dc, Bm);
    HFONT Font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"微软雅黑");
    HGDIOBJ OldFont = SelectObject(Dc, Font);
    const String Text = u"订单 Orders 123";
    TextOutW(Dc, 2, 2, Text.c_str(), static_cast<int>(Text.size()));
    SelectObject(Dc, OldFont);
    SelectObject(Dc, OldBm);
    DeleteObject(Font);
    DeleteDC(Dc);
    DeleteObject(Bm);
}

}  // namespace

int main(int argc, char** argv) {
    const bool Leak = argc == 2 && std::strcmp(argv[1], "leak") == 0;
    if (argc != 2 || (!Leak && std::strcmp(argv[1], "clean") != 0)) {
        std::fprintf(stderr, "usage: qv_leak_probe clean|leak\n");
        return 2;
    }
    DrawSomeText();
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_Init(SDL_INIT_VIDEO) == 0) SDL_Quit();
    if (Leak) LoseAPattern();
    return 0;
}
