// Skin configurations from arbitrary bytes: loading never raises, leaves the settings
// unlocked and in range, takes a background picture only from the configuration's own
// folder, and what it read saves, reads back to the same settings and saves to the same
// bytes. The colours and offsets read then go through both recolourings.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "draw/uQvSurface.h"
#include "platform/uQvFiles.h"
#include "platform/uQvPaths.h"
#include "skin/uPelluxRes.h"
#include "skin/uQvSkinColors.h"
#include "platform/uQvFontConfig.h"

namespace {

struct TState {
    String Picture, PictureName;
    int Style, Order, Hit, Title, Gradient, Fram, H, S, B;
    TColor Color, Titler;
    bool operator==(const TState&) const = default;
};

TState StateOf(const TPelluxRes& Res) {
    const TQvFormSkinRes* F = Res.Form();
    return TState{F->CustomPicture(), F->CustomPictureName(), F->Style(),     F->DefaultSkinOrder(),
                  F->HitTestWidth(),  F->TitleHeight(),       F->GradientHeight(), F->FramWidth(),
                  HSB_H,              HSB_S,                  HSB_B,           F->Color(),
                  F->TitlerColor()};
}

bool InRange(int V) {
    return V >= 0 && V <= 1000;
}

std::string Bytes(const String& FileName) {
    std::string Data;
    if (!ReadFileBytes(FileName, Data).Ok()) std::abort();
    return Data;
}

}  // namespace

// The packaged fonts, as the tests measure with: runs repeat on any machine, and the
// machine's font configuration (whose reader loses memory) is never read.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseQvPinnedFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const String Folder = CombinePath(GetTempPath(), u"qv_fuzz_skinconfig/");
    static const String Picture = Folder + u"Skin/Custom/a.png";
    static const bool Ready = ForceDirectories(Folder + u"Skin/Custom/") && WriteFileAtomic(Picture, "x").Ok();
    if (!Ready) std::abort();
    const String Config = Folder + u"Skin/Config.xml";
    if (!WriteFileAtomic(Config, std::string(reinterpret_cast<const char*>(Data), Size)).Ok()) std::abort();

    HSB_H = HSB_S = HSB_B = 0;
    TPelluxRes Res(nullptr, Folder);
    const TQvFormSkinRes* F = Res.Form();
    if (F->Locked() || F->UpdateCount() != 0) std::abort();
    if (F->Style() != ssColor && F->Style() != ssPicture) std::abort();
    if (!InRange(F->HitTestWidth()) || !InRange(F->TitleHeight()) || !InRange(F->GradientHeight()) ||
        !InRange(F->FramWidth()))
        std::abort();
    if (!F->CustomPicture().empty() && F->CustomPicture() != Picture) std::abort();

    (void)AdjustColorHSB(F->Color(), HSB_H, HSB_S, HSB_B);
    (void)AdjustColorHSB(F->TitlerColor(), HSB_H, HSB_S, HSB_B);
    TSurface32 Image;
    Image.SetSize(2, 1);
    Image.SetPixel(0, 0, static_cast<TColor32>(F->Color()));
    Image.SetPixel(1, 0, static_cast<TColor32>(F->TitlerColor()) | 0x80000000u);
    AdjustHSB(&Image, HSB_H, HSB_S, HSB_B);

    const TState Read = StateOf(Res);
    Res.Save();
    const std::string Written = Bytes(Config);
    TPelluxRes Again(nullptr, Folder);
    if (!(StateOf(Again) == Read)) std::abort();
    Again.Save();
    if (Bytes(Config) != Written) std::abort();
    return 0;
}
