#include "platform/backends/sdl/uQvSdl.h"

#include <cstdlib>
#include <cstring>

#include "platform/backends/sdl/uQvSdlBackend.h"

namespace {
bool Set(const char* Name) {
    const char* V = std::getenv(Name);
    return V != nullptr && *V != '\0';
}
}  // namespace

TQvDisplayKind QvDisplayFromEnvironment() {
    if (Set("DISPLAY")) return TQvDisplayKind::X11;
    if (Set("WAYLAND_DISPLAY")) return TQvDisplayKind::Wayland;
    return TQvDisplayKind::None;
}

bool QvInstallSdlBackend(TQvDisplayKind Kind, std::string& Error) {
    if (Kind == TQvDisplayKind::None) {
        Error = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    TQvSdlOptions O;
    // SDL_VIDEODRIVER in the environment still wins over this.
    O.Driver = Kind == TQvDisplayKind::Wayland ? "wayland" : "x11";
    const char* Desktop = std::getenv("QV_VIRTUAL_DESKTOP");
    O.VirtualDesktop = Kind == TQvDisplayKind::Wayland || (Desktop != nullptr && std::strcmp(Desktop, "1") == 0);
    auto B = TQvSdlBackend::Open(O, Error);
    if (!B) return false;
    QvSetBackend(std::move(B));
    return true;
}
