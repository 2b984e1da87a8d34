// The program Varnoth: the start-up sequence, the main window's loop, the shut-down.

#include <cstdio>
#include <exception>

#include "app/uProgram.h"
#include "platform/uQvBackend.h"

int main() {
    try {
        RunProgram();
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
