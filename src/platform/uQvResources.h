#pragma once
// Files compiled into the executable as named resources (stored layouts, built-in skin
// images). The build adds them with qv_add_resources(); lookup is by name, without regard
// to ASCII case, as on the original platform.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct TQvResource {
    const char* Name;
    const uint8_t* Data;
    size_t Size;
};

// The resource of that name, or nullptr.
const TQvResource* FindQvResource(std::string_view Name);
// Every resource linked into the program, in link order.
std::vector<const TQvResource*> AllQvResources();
