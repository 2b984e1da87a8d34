#pragma once

#include <string>
#include <utility>

#include "platform/uQvBase.h"

// The message of the EQvError a call raises, "no error" when it raises none.
template <class F>
std::string QvErrorOf(F&& Call) {
    try {
        std::forward<F>(Call)();
    } catch (const EQvError& E) {
        return E.what();
    }
    return "no error";
}
