#include "platform/uQvFontConfig.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <tuple>

#include "platform/uQvFont.h"

namespace {

// The program's aliases. They run after every rule of the machine's configuration and
// replace the whole family list, so a machine rule cannot send these names elsewhere.
// They test the face name as requested (our own "qvfacename" property), not the family
// list: machine rules append other names to that list ("Microsoft YaHei" among the
// fallbacks of "Tahoma"), which must not trigger an alias.
// The CJK faces stay in the Latin lists so that Chinese text under a Latin face name
// falls back to the same face everywhere.
constexpr const char* AliasRules = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test name="qvfacename" compare="eq"><string>微软雅黑</string></test>
    <edit name="family" mode="assign_replace" binding="strong">
      <string>WenQuanYi Micro Hei</string><string>Noto Sans CJK SC</string><string>DejaVu Sans</string>
    </edit>
  </match>
  <match target="pattern">
    <test name="qvfacename" compare="eq"><string>Microsoft YaHei</string></test>
    <edit name="family" mode="assign_replace" binding="strong">
      <string>WenQuanYi Micro Hei</string><string>Noto Sans CJK SC</string><string>DejaVu Sans</string>
    </edit>
  </match>
  <match target="pattern">
    <test name="qvfacename" compare="eq"><string>Tahoma</string></test>
    <edit name="family" mode="assign_replace" binding="strong">
      <string>DejaVu Sans</string><string>WenQuanYi Micro Hei</string><string>Noto Sans CJK SC</string>
    </edit>
  </match>
  <match target="pattern">
    <test name="qvfacename" compare="eq"><string>MS Sans Serif</string></test>
    <edit name="family" mode="assign_replace" binding="strong">
      <string>DejaVu Sans</string><string>WenQuanYi Micro Hei</string><string>Noto Sans CJK SC</string>
    </edit>
  </match>
  <match target="pattern">
    <test name="qvfacename" compare="eq"><string>Default</string></test>
    <edit name="family" mode="assign_replace" binding="strong">
      <string>DejaVu Sans</string><string>WenQuanYi Micro Hei</string><string>Noto Sans CJK SC</string>
    </edit>
  </match>
</fontconfig>
)";

// The packaged fonts alone. Unknown names end at the generic families, which name only
// packaged faces. The caches the package installation built are reused when present.
constexpr const char* PinnedConfig = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/wqy</dir>
  <dir>/usr/share/fonts/opentype/noto</dir>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <match target="pattern">
    <edit name="family" mode="append_last"><string>sans-serif</string></edit>
  </match>
  <alias binding="same">
    <family>sans-serif</family>
    <prefer><family>DejaVu Sans</family><family>WenQuanYi Micro Hei</family><family>Noto Sans CJK SC</family></prefer>
  </alias>
  <alias binding="same">
    <family>serif</family>
    <prefer><family>DejaVu Serif</family><family>Noto Serif CJK SC</family><family>WenQuanYi Micro Hei</family></prefer>
  </alias>
  <alias binding="same">
    <family>monospace</family>
    <prefer><family>DejaVu Sans Mono</family><family>WenQuanYi Micro Hei Mono</family></prefer>
  </alias>
</fontconfig>
)";

struct TFontState {
    FcConfig* Config = nullptr;
    bool Pinned = false;
    uint32_t Generation = 0;
    // Resolved requests of the current generation.
    std::map<std::tuple<String, int, bool, int>, std::shared_ptr<TQvFontSet>> Sets;
};

// Lives for the whole process (fontconfig keeps its own caches until exit as well).
TFontState& State() {
    static TFontState* S = new TFontState;
    return *S;
}

bool LoadAliases(FcConfig* Config) {
    return FcConfigParseAndLoadFromMemory(Config, reinterpret_cast<const FcChar8*>(AliasRules), FcTrue) ==
           FcTrue;
}

void Install(FcConfig* Config, bool Pinned) {
    TFontState& S = State();
    if (S.Config) FcConfigDestroy(S.Config);
    S.Config = Config;
    S.Pinned = Pinned;
    ++S.Generation;
    S.Sets.clear();
}

const char* LangForCharset(int Charset) {
    switch (Charset) {
        case 134: return "zh-cn";  // GB2312
        case 136: return "zh-tw";  // BIG5
        case 128: return "ja";     // SHIFTJIS
        case 129: return "ko";     // HANGUL
        default: return nullptr;
    }
}

}  // namespace

void InitQvFonts() {
    if (State().Config) return;
    FcConfig* Config = FcInitLoadConfigAndFonts();
    if (!Config) Config = FcConfigCreate();
    LoadAliases(Config);
    Install(Config, false);
    QvInstallStockFonts();
}

bool UseQvPinnedFonts() {
    if (State().Pinned) return true;
    FcConfig* Config = FcConfigCreate();
    if (!Config) return false;
    if (FcConfigParseAndLoadFromMemory(Config, reinterpret_cast<const FcChar8*>(PinnedConfig), FcTrue) !=
            FcTrue ||
        !LoadAliases(Config) || FcConfigBuildFonts(Config) != FcTrue) {
        FcConfigDestroy(Config);
        return false;
    }
    FcFontSet* Fonts = FcConfigGetFonts(Config, FcSetSystem);
    if (!Fonts || Fonts->nfont == 0) {
        FcConfigDestroy(Config);
        return false;
    }
    Install(Config, true);
    QvInstallStockFonts();
    return true;
}

bool QvFontsPinned() { return State().Pinned; }

uint32_t QvFontSetGeneration() { return State().Generation; }

std::shared_ptr<TQvFontSet> TQvFontSet::Resolve(const String& FaceName, int Weight, bool Italic, int Charset) {
    InitQvFonts();
    TFontState& S = State();
    // Weights fall into fontconfig's classes; requests in one class resolve alike.
    const int FcWeight = FcWeightFromOpenType(Weight <= 0 ? 400 : Weight);
    const auto Key = std::make_tuple(FaceName, FcWeight, Italic, LangForCharset(Charset) ? Charset : 0);
    if (auto It = S.Sets.find(Key); It != S.Sets.end()) return It->second;

    std::shared_ptr<TQvFontSet> Set(new TQvFontSet);
    FcPattern* Pattern = FcPatternCreate();
    const std::string Family = StringToUtf8(FaceName.empty() ? String(u"Default") : FaceName);
    FcPatternAddString(Pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family.c_str()));
    FcPatternAddString(Pattern, "qvfacename", reinterpret_cast<const FcChar8*>(Family.c_str()));
    FcPatternAddInteger(Pattern, FC_WEIGHT, FcWeight);
    FcPatternAddInteger(Pattern, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(Pattern, FC_SCALABLE, FcTrue);
    if (const char* Lang = LangForCharset(Charset))
        FcPatternAddString(Pattern, FC_LANG, reinterpret_cast<const FcChar8*>(Lang));
    FcConfigSubstitute(S.Config, Pattern, FcMatchPattern);
    FcDefaultSubstitute(Pattern);
    FcResult Result = FcResultNoMatch;
    FcFontSet* Sorted = FcFontSort(S.Config, Pattern, FcTrue, nullptr, &Result);
    if (Sorted) {
        for (int I = 0; I < Sorted->nfont; ++I) {
            FcPattern* Font = Sorted->fonts[I];
            FcChar8* File = nullptr;
            FcBool Outline = FcTrue;
            FcCharSet* CharSet = nullptr;
            if (FcPatternGetString(Font, FC_FILE, 0, &File) != FcResultMatch) continue;
            // Bitmap-only faces cannot be scaled to the requested size.
            if (FcPatternGetBool(Font, FC_OUTLINE, 0, &Outline) == FcResultMatch && !Outline) continue;
            if (FcPatternGetCharSet(Font, FC_CHARSET, 0, &CharSet) != FcResultMatch) continue;
            TEntry E;
            E.Source.File = reinterpret_cast<const char*>(File);
            int Index = 0, FontWeight = FC_WEIGHT_REGULAR, Slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(Font, FC_INDEX, 0, &Index);
            FcPatternGetInteger(Font, FC_WEIGHT, 0, &FontWeight);
            FcPatternGetInteger(Font, FC_SLANT, 0, &Slant);
            FcChar8* FontFamily = nullptr;
            if (FcPatternGetString(Font, FC_FAMILY, 0, &FontFamily) == FcResultMatch)
                E.Source.Family = reinterpret_cast<const char*>(FontFamily);
            E.Source.Index = Index;
            E.Source.FcWeight = FontWeight;
            E.Source.Italic = Slant != FC_SLANT_ROMAN;
            E.CharSet = FcCharSetCopy(CharSet);
            Set->FEntries.push_back(std::move(E));
        }
        FcFontSetDestroy(Sorted);
    }
    FcPatternDestroy(Pattern);
    S.Sets.emplace(Key, Set);
    return Set;
}

TQvFontSet::~TQvFontSet() {
    for (TEntry& E : FEntries) FcCharSetDestroy(static_cast<FcCharSet*>(E.CharSet));
}

size_t TQvFontSet::FaceFor(char32_t C) const {
    if (C < 0x10000) {
        if (FBmpCache.empty()) FBmpCache.assign(0x10000, 0);
        if (const uint16_t Known = FBmpCache[C]) return Known - 1u;
    }
    size_t Found = 0;
    for (size_t I = 0; I < FEntries.size(); ++I) {
        if (FcCharSetHasChar(static_cast<FcCharSet*>(FEntries[I].CharSet), C)) {
            Found = I;
            break;
        }
    }
    if (C < 0x10000 && Found < 0xFFFF) FBmpCache[C] = static_cast<uint16_t>(Found + 1);
    return Found;
}
