// The program Varnoth: the start-up sequence, the main window's loop, the shut-down.

#include <cstdio>
#include <exception>
#include <string>

#include "app/uProgram.h"
#include "platform/backends/sdl/uQvSdl.h"
#include "platform/uQvBackend.h"

namespace {
// The exit status when the display went away under the program.
constexpr int ExitDisplayLost = 2;
}  // namespace

int main() {
    const TQvDisplayKind Display = QvDisplayFromEnvironment();
    if (Display != TQvDisplayKind::None) {
        std::string Error;
        if (!QvInstallSdlBackend(Display, Error)) {
            std::fprintf(stderr, "varnoth: cannot open the display: %s\n", Error.c_str());
            return 1;
        }
    }
    try {
        RunProgram();
    } catch (const EQvDisplayLost& E) {
        // The shut-down steps ran on the way out: the settings are saved.
        std::fprintf(stderr, "varnoth: %s; the settings were saved, the program ends\n", E.what());
        return ExitDisplayLost;
    } catch (const EQvStalled&) {
        // The headless backend (no display) has no one to answer the login window.
        std::fprintf(stderr, "varnoth: no display backend to show the windows on; varnoth-tour runs them headless\n");
        return 1;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "varnoth: %s\n", E.what());
        return 1;
    }
    return 0;
}
