#pragma once
// Font discovery: which font files stand behind a face name, and which of them draws a
// given character. Fontconfig does the finding; the program adds its own aliases so that
// the face names its stored layouts use ("微软雅黑", "Tahoma", "MS Sans Serif", "Default")
// land on the closest installed faces whatever the machine's defaults.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/uQvBase.h"

// Starts font discovery over the machine's fonts with the program's aliases and installs
// the stock fonts. Called once at start-up; later calls do nothing. Text calls made before
// it start it themselves.
void InitQvFonts();

// Replaces the font set by the packaged fonts alone (the CJK sans faces and the Latin sans
// face the program installs), with the same aliases, so measurements do not depend on what
// else a machine has installed. Tests and the headless tour use it. Returns false and
// keeps the current set when none of those fonts is present.
bool UseQvPinnedFonts();
bool QvFontsPinned();

// Counts switches of the font set; caches built on a font set compare it.
uint32_t QvFontSetGeneration();

// One face of one font file as fontconfig describes it.
struct TQvFaceSource {
    std::string File;
    int Index = 0;
    std::string Family;  // the face's first family name, UTF-8
    int FcWeight = 80;   // fontconfig weight (80 regular, 200 bold)
    bool Italic = false;
};

// The faces behind one request (face name, weight, slant): the best match first, then the
// fallbacks in fontconfig's order. A character is drawn by the first face that has it, so
// mixed Chinese and Latin text always shows.
class TQvFontSet {
public:
    // Cached per request and font-set generation. Charset is the LOGFONT character set
    // (GB2312, BIG5, SHIFTJIS steer the fallback toward that language).
    static std::shared_ptr<TQvFontSet> Resolve(const String& FaceName, int Weight, bool Italic, int Charset);

    ~TQvFontSet();
    TQvFontSet(const TQvFontSet&) = delete;
    TQvFontSet& operator=(const TQvFontSet&) = delete;

    size_t Count() const { return FEntries.size(); }
    const TQvFaceSource& Source(size_t I) const { return FEntries[I].Source; }
    // The first face that has the character; 0 (the best match) when none has it.
    size_t FaceFor(char32_t C) const;

private:
    struct TEntry {
        TQvFaceSource Source;
        void* CharSet = nullptr;  // FcCharSet*, owned
    };
    TQvFontSet() = default;
    std::vector<TEntry> FEntries;
    mutable std::vector<uint16_t> FBmpCache;  // face index + 1 per BMP character, 0 = unknown
};
