// Menus: opening a popup menu of 20 items until its first frame is on the screen (measure,
// layout, window, paint of every item, and for the skinned menu the push of the layered
// window), then closing it; skinned and in the framework's plain look.
#include <benchmark/benchmark.h>

#include <memory>

#include "controls/uPelluxControls.h"
#include "forms/uPelluxMenu.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvApplication.h"
#include "framework/uQvMenuLoop.h"
#include "framework/uQvMenus.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvWindows.h"

namespace {

struct TMenuBench {
    explicit TMenuBench(bool Skinned) {
        Headless = &QvInstallHeadless();
        RegisterPelluxControls();
        AppInit();
        Owner = std::make_unique<TComponent>(nullptr);
        Menu = new TPopupMenu(Owner.get());
        // 20 rows: captions with shortcuts, two separators, a checked item and a submenu.
        for (int I = 0; I < 20; ++I) {
            auto* Item = new TMenuItem(Owner.get());
            Item->SetCaption(I % 7 == 6 ? String(u"-")
                                        : u"菜单项目 " + IntToStr(I) + u"(&" + IntToStr(I % 10) + u")");
            if (I % 3 == 0) Item->SetShortCut(TextToShortCut(u"Ctrl+F" + IntToStr(I % 12 + 1)));
            Item->SetChecked(I == 4);
            Menu->Items()->Add(Item);
            if (I == 2) {
                auto* Sub = new TMenuItem(Owner.get());
                Sub->SetCaption(u"子项");
                Item->Add(Sub);
            }
        }
        // The skin takes over the items its owner holds.
        if (Skinned) new TPelluxMenu(Owner.get());
    }
    ~TMenuBench() {
        Owner.reset();
        AppShutdown();
        QvResetWindowSystem();
    }
    void OpenAndClose() {
        Headless->Step([] { CancelMenuLoop(); });
        Menu->Popup(400, 200);
    }
    TQvHeadless* Headless = nullptr;
    std::unique_ptr<TComponent> Owner;
    TPopupMenu* Menu = nullptr;
};

void BM_OpenSkinnedPopupOf20Items(benchmark::State& State) {
    TMenuBench B(true);
    for (auto _ : State) B.OpenAndClose();
}
BENCHMARK(BM_OpenSkinnedPopupOf20Items)->Unit(benchmark::kMicrosecond);

void BM_OpenPlainPopupOf20Items(benchmark::State& State) {
    TMenuBench B(false);
    for (auto _ : State) B.OpenAndClose();
}
BENCHMARK(BM_OpenPlainPopupOf20Items)->Unit(benchmark::kMicrosecond);

}  // namespace
