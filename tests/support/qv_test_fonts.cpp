#include "support/qv_test_fonts.h"

#include <cstdio>

#include "platform/uQvFontConfig.h"

void QvPinTestFonts() {
    if (!UseQvPinnedFonts())
        std::fprintf(stderr, "warning: the packaged fonts are missing; text tests use the machine's fonts\n");
}
