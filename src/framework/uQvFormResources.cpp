#include "framework/uQvFormResources.h"

#include <string>

#include "framework/uQvFormReader.h"
#include "platform/uQvResources.h"

void ReadFormResource(TComponent* Root, std::string_view Name) {
    const TQvResource* R = FindQvResource(Name);
    if (R == nullptr) throw EResNotFound("Resource " + std::string(Name) + " not found");
    ReadStoredLayoutUtf8(Root, std::string_view(reinterpret_cast<const char*>(R->Data), R->Size));
}

bool FormResourceExists(std::string_view Name) {
    return FindQvResource(Name) != nullptr;
}
