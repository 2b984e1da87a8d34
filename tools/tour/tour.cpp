// The headless tour: runs the program itself on the virtual screen with scripted input
// through every window it has, writing a numbered screenshot of each to the output folder
// (default out/tour/) and printing the paths. Usage: varnoth-tour [folder]
//
// A stop is a shot name and what to do before the shot; each runs when the program waits
// for input, so a stop that opens a modal window is shot inside that window's loop. A new
// window is one more line in Stops.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/frmFlash.h"
#include "app/frmGallery.h"
#include "app/frmMain.h"
#include "app/uProgram.h"
#include "framework/uQvApplication.h"
#include "framework/uQvControlFind.h"
#include "framework/uQvMenus.h"
#include "platform/backends/headless/uQvHeadless.h"
#include "platform/uQvFontConfig.h"
#include "platform/uQvInput.h"
#include "platform/uQvPng.h"
#include "platform/uQvScreen.h"
#include "platform/uQvWindows.h"
#include "controls/uPelluxButton.h"

namespace {

TQvHeadless* Headless = nullptr;
std::filesystem::path Folder;
int Number = 0;
int Failures = 0;

void Shot(const std::string& Name) {
    char Prefix[16];
    std::snprintf(Prefix, sizeof Prefix, "%02d-", ++Number);
    const std::filesystem::path File = Folder / (Prefix + Name + ".png");
    Headless->SaveScreenshot(Utf8ToString(File.string()));
    std::printf("%s\n", File.string().c_str());
}

// The main window alone, cut from the screen, under its own name (the documentation's
// pictures).
void WindowShot(const std::string& Name) {
    const TRect W = MainForm->BoundsRect();
    const TGdiBitmap& Screen = QvComposedScreen();
    const int L = std::max(W.Left, 0), T = std::max(W.Top, 0);
    const int R = std::min<int>(W.Right, Screen.Width()), B = std::min<int>(W.Bottom, Screen.Height());
    std::vector<uint32_t> Pixels;
    for (int Y = T; Y < B; ++Y) Pixels.insert(Pixels.end(), Screen.Row(Y) + L, Screen.Row(Y) + R);
    TQvPngWriteOptions Options;
    Options.ColorMode = pcmRGB;
    Options.CompressionLevel = 9;
    const std::filesystem::path File = Folder / (Name + ".png");
    SavePngToFile(Utf8ToString(File.string()), Pixels.data(), R - L, B - T, Options);
    std::printf("%s\n", File.string().c_str());
}

// Clicks the control at a name path ("LoginForm.btn1").
void ClickControl(const char16_t* Path) {
    TControl* C = QvFindControl(Path);
    if (C == nullptr) {
        std::fprintf(stderr, "varnoth-tour: no control %s\n", StringToUtf8(Path).c_str());
        ++Failures;
        return;
    }
    const TPoint P = QvControlCenter(C);
    Headless->Click(P.X, P.Y);
}

void Keys(std::initializer_list<int> VirtKeys) {
    for (int K : VirtKeys) Headless->Key(K);
}

TMenuItem* MenuItem(TComponent* Owner, TMenuItem* Parent, const char16_t* Caption, const char16_t* ShortCut = u"") {
    auto* Item = new TMenuItem(Owner);
    Item->SetCaption(Caption);
    if (*ShortCut != 0) Item->SetShortCut(TextToShortCut(ShortCut));
    Parent->Add(Item);
    return Item;
}

// A context menu of the main window, opened on its submenu; Esc twice closes it.
void PopupMenu() {
    auto* Menu = new TPopupMenu(MainForm);
    MenuItem(MainForm, Menu->Items(), u"打开(&O)", u"Ctrl+O");
    MenuItem(MainForm, Menu->Items(), u"保存(&S)", u"Ctrl+S");
    MenuItem(MainForm, Menu->Items(), u"-");
    MenuItem(MainForm, Menu->Items(), u"显示工具栏(&T)")->SetChecked(true);
    TMenuItem* Recent = MenuItem(MainForm, Menu->Items(), u"最近的文件(&R)");
    MenuItem(MainForm, Recent, u"report-2026.xlsx");
    MenuItem(MainForm, Recent, u"contracts.docx");
    MenuItem(MainForm, Menu->Items(), u"-");
    MenuItem(MainForm, Menu->Items(), u"退出(&X)", u"Alt+F4");
    Headless->Step([Menu] { Menu->Popup(600, 300); });
    Keys({VK_UP, VK_UP, VK_RIGHT});
}

// The controls gallery, shown at a scale with the pointer over its hot button; the
// window of the previous scale is closed first.
TGalleryForm* Gallery = nullptr;
std::vector<std::pair<TRect, std::vector<uint32_t>>> GalleryCrops;

void ShowGallery(int PPI, TGalleryPage Page = gpControls) {
    delete Gallery;
    Gallery = new TGalleryForm(MainForm, Page);
    if (PPI != 96) Gallery->ScaleForPPI(PPI);
    Gallery->Show();
    if (Page != gpControls) return;
    const TPoint P = QvControlCenter(Gallery->HotButton());
    Headless->MouseMove(P.X, P.Y);
}

// Keeps the gallery's pixels off the screen for the sheet.
void CropGallery() {
    const TRect R = Gallery->BoundsRect();
    const TGdiBitmap& Screen = QvComposedScreen();
    std::vector<uint32_t> Pixels;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        Pixels.insert(Pixels.end(), Screen.Row(Y) + R.Left, Screen.Row(Y) + R.Right);
    GalleryCrops.emplace_back(R, std::move(Pixels));
}

// The gallery at every scale shown, stacked on a neutral ground.
void SaveGallerySheet() {
    constexpr int Margin = 24;
    int W = 0, H = Margin;
    for (const auto& [R, Pixels] : GalleryCrops) {
        W = std::max(W, R.Width() + 2 * Margin);
        H += R.Height() + Margin;
    }
    std::vector<uint32_t> Sheet(static_cast<size_t>(W) * H, 0xFFDCE0E6);
    int Top = Margin;
    for (const auto& [R, Pixels] : GalleryCrops) {
        for (int Y = 0; Y < R.Height(); ++Y)
            std::copy_n(&Pixels[static_cast<size_t>(Y) * R.Width()], R.Width(),
                        &Sheet[static_cast<size_t>(Top + Y) * W + Margin]);
        Top += R.Height() + Margin;
    }
    TQvPngWriteOptions Options;
    Options.ColorMode = pcmRGB;
    Options.CompressionLevel = 9;
    const std::filesystem::path File = Folder / "gallery-controls.png";
    SavePngToFile(Utf8ToString(File.string()), Sheet.data(), W, H, Options);
    std::printf("%s\n", File.string().c_str());
}

// The main window's own command (restore, maximize) as its system buttons give it.
void MainCommand(WPARAM Command) {
    Headless->Step([Command] { SendMessage(MainForm->Handle(), WM_SYSCOMMAND, Command, 0); });
}

// One monitor of 1920 x 1080 points at the given dpi, with its taskbar.
void Monitor(int PPI) {
    Headless->Step([PPI] {
        const int W = MulDiv(1920, PPI, 96), H = MulDiv(1080, PPI, 96);
        Headless->SetMonitors({TQvMonitorDesc{Rect(0, 0, W, H), Rect(0, 0, W, H - MulDiv(40, PPI, 96)),
                                              static_cast<UINT>(PPI)}});
    });
}

struct TStop {
    std::string Shot;
    std::function<void()> Before;
    // Of the main window alone, kept under its own name.
    bool WindowOnly = false;
};

// After the splash, which is shot as it starts to fade.
const std::vector<TStop> Stops = {
    {"login", [] {}},
    {"main", [] { ClickControl(u"LoginForm.btn1"); }},
    {"message-box",
     [] {
         Headless->Step([] {
             Application->MessageBox(u"欢迎使用 Varnoth！\nWelcome to the Varnoth tour.", u"",
                                     MB_OKCANCEL | MB_ICONINFORMATION);
         });
     }},
    {"main-again", [] { Keys({VK_RETURN}); }},
    {"popup-menu", PopupMenu},
    {"main-after-menu", [] { Keys({VK_ESCAPE, VK_ESCAPE}); }},
    {"gallery", [] { Headless->Step([] { ShowGallery(96); }); }},
    {"gallery-150",
     [] {
         Headless->Step([] {
             CropGallery();
             ShowGallery(144);
         });
     }},
    {"gallery-shapes",
     [] {
         Headless->Step([] {
             CropGallery();
             SaveGallerySheet();
             ShowGallery(96, gpShapes);
         });
     }},
    {"main-after-gallery",
     [] {
         Headless->Step([] {
             delete Gallery;
             Gallery = nullptr;
         });
     }},
    {"main-window-100-max", [] {}, true},
    {"main-window-100", [] { MainCommand(SC_RESTORE); }, true},
    {"main-window-150", [] { Monitor(144); }, true},
    {"main-window-150-max", [] { MainCommand(SC_MAXIMIZE); }, true},
};

// Queues stop I: its input, then its shot, then the next stop; after the last the main
// window is closed.
void Queue(size_t I) {
    if (I == Stops.size()) {
        Headless->Step([] {
            if (MainForm != nullptr) MainForm->Close();
        });
        return;
    }
    Stops[I].Before();
    // Skinned windows show themselves 30 ms after they appear (the first-show fade).
    Headless->Delay(100);
    Headless->Step([I] {
        if (Stops[I].WindowOnly)
            WindowShot(Stops[I].Shot);
        else
            Shot(Stops[I].Shot);
        Queue(I + 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    Folder = argc > 1 ? argv[1] : "out/tour";
    if (!UseQvPinnedFonts()) std::fprintf(stderr, "warning: packaged fonts missing, using the machine's\n");
    try {
        std::filesystem::create_directories(Folder);
        Headless = &QvInstallHeadless();
        Headless->OnPresent = [](const TQvRegion&) {
            if (FlashForm != nullptr && FlashForm->Progress() == 100 && Number == 0) Shot("splash");
        };
        Queue(0);
        RunProgram();
    } catch (const std::exception& E) {
        std::fprintf(stderr, "varnoth-tour: %s\n", E.what());
        return 1;
    }
    for (const std::string& E : Headless->Exceptions()) {
        std::fprintf(stderr, "varnoth-tour: exception caught at dispatch: %s\n", E.c_str());
        ++Failures;
    }
    if (!Headless->ScriptDone()) {
        std::fprintf(stderr, "varnoth-tour: the program ended before the tour did\n");
        ++Failures;
    }
    return Failures == 0 ? 0 : 1;
}
