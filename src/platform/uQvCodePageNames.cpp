#include "platform/uQvCodePageNames.h"

#include <algorithm>
#include <iterator>

namespace {

struct TCodePageName {
    int CodePage;
    const char* Name;
};

// Sorted by code page. Only names the library really has; code pages it lacks (720,
// the IA5 variants, the ISCII family, ...) stay unconvertible.
constexpr TCodePageName CodePageNames[] = {
    {37, "IBM037"},
    {708, "ASMO-708"},
    {1200, "UTF-16LE"},
    {1201, "UTF-16BE"},
    {10000, "MACINTOSH"},
    {10017, "MACUKRAINIAN"},
    {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},
    {12000, "UTF-32LE"},
    {12001, "UTF-32BE"},
    {20127, "US-ASCII"},
    {20273, "IBM273"},
    {20277, "IBM277"},
    {20278, "IBM278"},
    {20280, "IBM280"},
    {20284, "IBM284"},
    {20285, "IBM285"},
    {20290, "IBM290"},
    {20297, "IBM297"},
    {20420, "IBM420"},
    {20423, "IBM423"},
    {20424, "IBM424"},
    {20866, "KOI8-R"},
    {20871, "IBM871"},
    {20880, "IBM880"},
    {20905, "IBM905"},
    {20932, "EUC-JP"},
    {20936, "GB2312"},
    {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"},
    {50220, "ISO-2022-JP"},
    {50221, "ISO-2022-JP"},
    {50222, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"},
    {51932, "EUC-JP"},
    {51936, "EUC-CN"},
    {51949, "EUC-KR"},
    {54936, "GB18030"},
    {65000, "UTF-7"},
    {65001, "UTF-8"},
};

}  // namespace

const char* CodePageIconvName(int CodePage) {
    const auto* It = std::lower_bound(std::begin(CodePageNames), std::end(CodePageNames), CodePage,
                                      [](const TCodePageName& E, int C) { return E.CodePage < C; });
    return It != std::end(CodePageNames) && It->CodePage == CodePage ? It->Name : nullptr;
}
