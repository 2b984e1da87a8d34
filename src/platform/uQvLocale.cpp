#include "platform/uQvLocale.h"

#include <cstdlib>

#include "platform/uQvBackend.h"

LCID QvLCIDFromEnvironment(const char* LcAll, const char* LcMessages, const char* Lang) {
    for (const char* V : {LcAll, LcMessages, Lang})
        if (V != nullptr && V[0] != 0)
            return std::string_view(V).starts_with("zh") ? LCID_CHINESE_PRC : LCID_ENGLISH_US;
    return LCID_ENGLISH_US;
}

LCID GetSystemDefaultLCID() {
    if (const DWORD Own = QvBackend().SystemLCID()) return Own;
    return QvLCIDFromEnvironment(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}
