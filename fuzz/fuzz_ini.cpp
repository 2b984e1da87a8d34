// INI reader on arbitrary bytes: whatever the file holds, every section and key the reader
// lists is found again by name, and a key written to the first section reads back.
#include "framework/uQvIniFiles.h"
#include "framework/uQvStringList.h"
#include "platform/uQvFiles.h"
#include "platform/uQvPaths.h"
#include "platform/uQvStrUtils.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    static const String Name = CombinePath(GetTempPath(), u"qv_fuzz_ini.ini");
    const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
    if (!WriteFileAtomic(Name, Bytes).Ok()) std::abort();
    // Names that are not UTF-8 cannot come back byte for byte; the reader only has to survive them.
    const bool Utf8 = StringToUtf8(Utf8ToString(Bytes)) == Bytes;
    TIniFile Ini(Name);
    TStringList Sections, Keys;
    Ini.ReadSections(Sections);
    for (int S = 0; S < Sections.Count(); ++S) {
        const String Section = Sections.Strings(S);
        if (!Ini.SectionExists(Section) && Utf8) std::abort();
        Ini.ReadSection(Section, Keys);
        for (int K = 0; K < Keys.Count(); ++K)
            if (!Ini.ValueExists(Section, Keys.Strings(K)) && Utf8) std::abort();
    }
    if (Utf8 && Sections.Count() > 0 && Ini.WriteString(Sections.Strings(0), u"QvFuzzKey", u"value") &&
        Ini.ReadString(Sections.Strings(0), u"QvFuzzKey", u"") != u"value")
        std::abort();
    return 0;
}
