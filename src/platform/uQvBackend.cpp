#include "platform/uQvBackend.h"

#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvDateTime.h"

namespace {
std::unique_ptr<TQvBackend>& Current() {
    static std::unique_ptr<TQvBackend> Backend;
    return Backend;
}

// The date and time of the backend's wall clock (virtual in the headless backend).
TDateTime BackendNow() {
    constexpr int64_t MsPerDay = 86400000;
    constexpr int64_t UnixEpochDays = 25569;  // 1970-01-01 as a day number
    const int64_t Ms = QvBackend().WallClock();
    int64_t Days = Ms / MsPerDay, Rest = Ms % MsPerDay;
    if (Rest < 0) {
        Rest += MsPerDay;
        --Days;
    }
    return static_cast<TDateTime>(Days + UnixEpochDays) + static_cast<TDateTime>(Rest) / MsPerDay;
}
}  // namespace

TQvBackend& QvBackend() {
    auto& B = Current();
    if (!B) {
        B = std::make_unique<TQvHeadless>();
        SetNowSource(BackendNow);
    }
    return *B;
}

void QvSetBackend(std::unique_ptr<TQvBackend> Backend) {
    Current() = std::move(Backend);
    SetNowSource(BackendNow);
}
