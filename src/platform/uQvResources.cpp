#include "platform/uQvResources.h"

#include "platform/uQvBase.h"

// The linker gathers every entry emitted by qv_add_resources() into the section
// "qv_resources" and defines these bounds; they are weak so a program without
// resources links too.
extern "C" {
extern const TQvResource __start_qv_resources[] __attribute__((weak));
extern const TQvResource __stop_qv_resources[] __attribute__((weak));
}

const TQvResource* FindQvResource(std::string_view Name) {
    if (__start_qv_resources == nullptr) return nullptr;
    for (const TQvResource* R = __start_qv_resources; R != __stop_qv_resources; ++R)
        if (SameText(R->Name, Name)) return R;
    return nullptr;
}

std::vector<const TQvResource*> AllQvResources() {
    std::vector<const TQvResource*> Out;
    if (__start_qv_resources == nullptr) return Out;
    for (const TQvResource* R = __start_qv_resources; R != __stop_qv_resources; ++R) Out.push_back(R);
    return Out;
}
