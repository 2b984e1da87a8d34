#include "framework/uQvAppInit.h"

#include <algorithm>
#include <vector>

#include "framework/uQvApplication.h"
#include "framework/uQvFormClasses.h"

namespace {

struct TStep {
    int Order;
    String Name;
    std::function<void()> Init;
    std::function<void()> Shutdown;
};

std::vector<TStep>& Steps() {
    static std::vector<TStep> List;
    return List;
}

// The steps whose Init ran, in the order they ran.
std::vector<TStep>& Ran() {
    static std::vector<TStep> List;
    return List;
}

void ShutdownRan() {
    auto& R = Ran();
    while (!R.empty()) {
        const TStep S = R.back();
        R.pop_back();
        if (S.Shutdown) S.Shutdown();
    }
}

void FreeFrameworkObjects() {
    // Application frees what it owns while Screen still hears of the forms.
    if (Application != nullptr) Application->Free();
    Application = nullptr;
    if (Screen != nullptr) Screen->Free();
    Screen = nullptr;
}

}  // namespace

void QvRegisterInitStep(int Order, const String& Name, std::function<void()> Init,
                        std::function<void()> Shutdown) {
    QvUnregisterInitStep(Name);
    auto& L = Steps();
    // Stable: a new step goes after those of the same order.
    const auto At =
        std::upper_bound(L.begin(), L.end(), Order, [](int O, const TStep& S) { return O < S.Order; });
    L.insert(At, TStep{Order, Name, std::move(Init), std::move(Shutdown)});
}

void QvUnregisterInitStep(const String& Name) {
    auto& L = Steps();
    L.erase(std::remove_if(L.begin(), L.end(), [&](const TStep& S) { return S.Name == Name; }), L.end());
}

bool AppInitialized() {
    return Application != nullptr;
}

void AppInit() {
    if (Application != nullptr) return;
    RegisterQvForms();
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    try {
        for (const TStep& S : std::vector<TStep>(Steps())) {
            if (S.Init) S.Init();
            Ran().push_back(S);
        }
    } catch (...) {
        ShutdownRan();
        FreeFrameworkObjects();
        throw;
    }
}

void AppShutdown() {
    if (Application == nullptr) return;
    // Every form first, last made first (a form freed by another's destruction leaves the
    // list on its own), then what the application still owns.
    while (Screen->FormCount() > 0) Screen->Forms(Screen->FormCount() - 1)->Free();
    Application->DestroyComponents();
    ShutdownRan();
    FreeFrameworkObjects();
}
