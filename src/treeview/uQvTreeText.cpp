#include "treeview/uQvTreeText.h"

namespace {

bool High(char16_t C) {
    return C >= 0xD800 && C <= 0xDBFF;
}
bool Low(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}

// The code point at I and the units it takes (a lone surrogate stands for itself).
char32_t At(const String& S, size_t I, size_t& Units) {
    if (High(S[I]) && I + 1 < S.size() && Low(S[I + 1])) {
        Units = 2;
        return 0x10000 + ((static_cast<char32_t>(S[I]) - 0xD800) << 10) +
               (static_cast<char32_t>(S[I + 1]) - 0xDC00);
    }
    Units = 1;
    return S[I];
}

// Code points that attach to what comes before them.
bool Extends(char32_t C) {
    return (C >= 0x0300 && C <= 0x036F) || (C >= 0x0483 && C <= 0x0489) || (C >= 0x0591 && C <= 0x05BD) ||
           (C >= 0x0610 && C <= 0x061A) || (C >= 0x064B && C <= 0x065F) || (C >= 0x0900 && C <= 0x0903) ||
           (C >= 0x093A && C <= 0x094F) || (C >= 0x0E31 && C <= 0x0E3A && C != 0x0E32 && C != 0x0E33) ||
           (C >= 0x0E47 && C <= 0x0E4E) || (C >= 0x1160 && C <= 0x11FF) || (C >= 0x1AB0 && C <= 0x1AFF) ||
           (C >= 0x1DC0 && C <= 0x1DFF) || C == 0x200C || C == 0x200D || (C >= 0x20D0 && C <= 0x20FF) ||
           (C >= 0x302A && C <= 0x302F) || (C >= 0x3099 && C <= 0x309A) || (C >= 0xFE00 && C <= 0xFE0F) ||
           (C >= 0xFE20 && C <= 0xFE2F) || (C >= 0x1F3FB && C <= 0x1F3FF) || (C >= 0xE0020 && C <= 0xE007F) ||
           (C >= 0xE0100 && C <= 0xE01EF);
}

bool RegionalIndicator(char32_t C) {
    return C >= 0x1F1E6 && C <= 0x1F1FF;
}

}  // namespace

std::vector<size_t> QvGraphemeBoundaries(const String& S) {
    std::vector<size_t> Cuts{0};
    char32_t Prev = 0;
    int Regional = 0;  // regional indicators in a row so far
    for (size_t I = 0; I < S.size();) {
        size_t Units;
        const char32_t C = At(S, I, Units);
        const bool Joins = I > 0 && ((Prev == U'\r' && C == U'\n') || Extends(C) || Prev == 0x200D ||
                                     (RegionalIndicator(C) && Regional % 2 == 1));
        if (I > 0 && !Joins) Cuts.push_back(I);
        Regional = RegionalIndicator(C) ? Regional + 1 : 0;
        Prev = C;
        I += Units;
    }
    if (!S.empty()) Cuts.push_back(S.size());
    return Cuts;
}

String QvShortenText(const String& Text, int MaxWidth, int EllipsisWidth,
                     const std::function<int(const String&)>& Width) {
    if (MaxWidth <= 0 || EllipsisWidth > MaxWidth) return String();
    const std::vector<size_t> Cuts = QvGraphemeBoundaries(Text);
    // The last cut is the whole text, which does not fit: search the ones before it.
    size_t Lo = 0, Hi = Cuts.size() >= 2 ? Cuts.size() - 2 : 0;
    while (Lo < Hi) {
        const size_t Mid = (Lo + Hi + 1) / 2;
        if (Width(Text.substr(0, Cuts[Mid])) + EllipsisWidth <= MaxWidth)
            Lo = Mid;
        else
            Hi = Mid - 1;
    }
    return Text.substr(0, Cuts[Lo]) + u"...";
}
