#include "platform/uQvBackend.h"

#include "platform/backends/headless/uQvHeadless.h"

namespace {
std::unique_ptr<TQvBackend>& Current() {
    static std::unique_ptr<TQvBackend> Backend;
    return Backend;
}
}  // namespace

TQvBackend& QvBackend() {
    auto& B = Current();
    if (!B) B = std::make_unique<TQvHeadless>();
    return *B;
}

void QvSetBackend(std::unique_ptr<TQvBackend> Backend) { Current() = std::move(Backend); }
