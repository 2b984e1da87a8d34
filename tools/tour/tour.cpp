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
#include "app/frmTreeGrid.h"
#include "app/uProgram.h"
#include "app/uSkinLib.h"
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
#include "forms/uPelluxForm.h"
#include "forms/uPelluxMainMenu.h"
#include "forms/uPelluxMenu.h"
#include "forms/uPelluxNCButton.h"
#include "forms/uPelluxNCLabel.h"
#include "forms/uPelluxNCMenuItem.h"
#include "forms/uQvFormBorder.h"
#include "controls/uPelluxMessageBox.h"
#include "controls/uPelluxPopupMessage.h"
#include "controls/uPelluxTree.h"

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

// A part of the composed screen, clipped to it, row by row.
struct TCrop {
    TRect R;
    std::vector<uint32_t> Pixels;
};

TCrop CropScreen(TRect R) {
    const TGdiBitmap& Screen = QvComposedScreen();
    R = Rect(std::max(R.Left, 0), std::max(R.Top, 0), std::min<int>(R.Right, Screen.Width()),
             std::min<int>(R.Bottom, Screen.Height()));
    TCrop C{R, {}};
    for (int Y = R.Top; Y < R.Bottom; ++Y) C.Pixels.insert(C.Pixels.end(), Screen.Row(Y) + R.Left, Screen.Row(Y) + R.Right);
    return C;
}

// Writes Name.png into the tour's folder and names it on the output.
void SavePicture(const std::string& Name, const uint32_t* Pixels, int W, int H) {
    TQvPngWriteOptions Options;
    Options.ColorMode = pcmRGB;
    Options.CompressionLevel = 9;
    const std::filesystem::path File = Folder / (Name + ".png");
    SavePngToFile(Utf8ToString(File.string()), Pixels, W, H, Options);
    std::printf("%s\n", File.string().c_str());
}

void SavePicture(const std::string& Name, const TCrop& C) {
    SavePicture(Name, C.Pixels.data(), C.R.Width(), C.R.Height());
}

// A sheet of crops on a neutral ground, each at its place.
class TSheet {
public:
    TSheet(int W, int H) : FW(W), FH(H), FPixels(static_cast<size_t>(W) * H, 0xFFDCE0E6) {}
    void Paste(const TCrop& C, int Left, int Top) {
        for (int Y = 0; Y < C.R.Height(); ++Y)
            std::copy_n(&C.Pixels[static_cast<size_t>(Y) * C.R.Width()], C.R.Width(),
                        &FPixels[static_cast<size_t>(Top + Y) * FW + Left]);
    }
    void Save(const std::string& Name) const { SavePicture(Name, FPixels.data(), FW, FH); }

private:
    int FW, FH;
    std::vector<uint32_t> FPixels;
};

// The main window alone, cut from the screen, under its own name (the documentation's
// pictures).
void WindowShot(const std::string& Name) {
    const TCrop C = CropScreen(MainForm->BoundsRect());
    SavePicture(Name, C);
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
std::vector<TCrop> GalleryCrops;

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
    GalleryCrops.push_back(CropScreen(Gallery->BoundsRect()));
}

// The gallery at every scale shown, stacked on a neutral ground.
void SaveGallerySheet() {
    constexpr int Margin = 24;
    int W = 0, H = Margin;
    for (const TCrop& C : GalleryCrops) {
        W = std::max(W, C.R.Width() + 2 * Margin);
        H += C.R.Height() + Margin;
    }
    TSheet Sheet(W, H);
    int Top = Margin;
    for (const TCrop& C : GalleryCrops) {
        Sheet.Paste(C, Margin, Top);
        Top += C.R.Height() + Margin;
    }
    Sheet.Save("gallery-controls");
}

// A skinned form with a title-bar menu whose popups the menu skin draws; its "文件" menu
// is opened by a click and its recent-files submenu by the keyboard.
TForm* MenusForm = nullptr;

void ShowMenusForm() {
    auto* F = Create<TForm>(MainForm);
    F->SetCaption(u"菜单");
    F->SetBoundsRect(Bounds(260, 150, 640, 400));
    auto* Skin = new TPelluxForm(F);
    Skin->SetImageBorder(new TQvFormLayerBorder(F));
    auto* Title = new TPelluxNCLabel(F);
    Title->SetCaption(u"Varnoth");
    Title->Font()->SetStyle({fsBold});
    Title->Pos()->SetXValue(12);
    Title->Pos()->SetYValue(7);
    for (TSystemButtonKind Kind : {bkClose, bkMaximize, bkMinimize})
        (new TPelluxSystemButton(F))->SetKind(Kind);
    auto* Main = new TMainMenu(F);
    TMenuItem* File = MenuItem(F, Main->Items(), u"文件(&F)");
    MenuItem(F, File, u"新建(&N)", u"Ctrl+N");
    MenuItem(F, File, u"打开(&O)...", u"Ctrl+O");
    TMenuItem* Recent = MenuItem(F, File, u"最近打开(&R)");
    MenuItem(F, Recent, u"季度报表-2026.xlsx");
    MenuItem(F, Recent, u"采购合同.docx");
    MenuItem(F, Recent, u"客户名单.csv");
    MenuItem(F, File, u"-");
    MenuItem(F, File, u"保存(&S)", u"Ctrl+S");
    MenuItem(F, File, u"另存为(&A)...");
    MenuItem(F, File, u"-");
    MenuItem(F, File, u"自动保存(&U)")->SetChecked(true);
    MenuItem(F, File, u"打印(&P)...", u"Ctrl+P")->SetEnabled(false);
    MenuItem(F, File, u"-");
    MenuItem(F, File, u"退出(&X)", u"Alt+F4");
    TMenuItem* Edit = MenuItem(F, Main->Items(), u"编辑(&E)");
    MenuItem(F, Edit, u"复制(&C)", u"Ctrl+C");
    MenuItem(F, Edit, u"粘贴(&V)", u"Ctrl+V");
    TMenuItem* View = MenuItem(F, Main->Items(), u"视图(&V)");
    MenuItem(F, View, u"工具栏(&T)")->SetChecked(true);
    MenuItem(F, Main->Items(), u"帮助(&H)");
    Skin->MainMenu()->Pos()->SetXValue(84);
    Skin->MainMenu()->SetMainMenu(Main);
    Skin->MainMenu()->SetMenuSkin(new TPelluxMenu(F));
    F->Show();
    Application->ProcessMessages();
    MenusForm = F;
    const TRect R = Skin->MainMenu()->List().front()->NCMenuItem->ClientRect();
    // The first-show fade is over before the click.
    Headless->Delay(100);
    Headless->Click(F->Left() + (R.Left + R.Right) / 2, F->Top() + (R.Top + R.Bottom) / 2);
    Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN});
}

// The menus form with its shadow and open menus, as docs/menus-and-border.png shows it.
void SaveMenusCrop() {
    constexpr int Margin = 16;
    const TRect B = MenusForm->BoundsRect();
    SavePicture("menus-and-border",
                CropScreen(Rect(B.Left - Margin, B.Top - Margin, B.Right + Margin, B.Bottom + Margin)));
}

// The demo grid of a million rows, scrolled to the middle, its middle row focused.
TTreeGridForm* TreeGrid = nullptr;

void ShowTreeGrid() {
    TreeGrid = new TTreeGridForm(MainForm);
    TreeGrid->Show();
    TreeGrid->ShowRow(500000);
    TreeGrid->Grid()->SetFocus();
}

void SaveTreeGrid() {
    SavePicture("tree-grid", CropScreen(TreeGrid->BoundsRect()));
    delete TreeGrid;
    TreeGrid = nullptr;
}

// The main window's own command (restore, maximize) as its system buttons give it.
void MainCommand(WPARAM Command) {
    Headless->Step([Command] { SendMessage(MainForm->Handle(), WM_SYSCOMMAND, Command, 0); });
}

// The skin scheme with colour index Index of its table, applied to every bound window.
void Scheme(int Index) {
    SkinLib().SetColorIndex(Index);
    SkinLib().Apply();
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

// The messages sheet: a stack of popup messages, a question with its check box and an
// error, each cut from the screen while shown.
TPelluxPopupMessage* Popups = nullptr;
std::vector<TCrop> MessageCrops;

void CropMessages(TRect R) {
    MessageCrops.push_back(CropScreen(R));
}

void ShowPopups() {
    Popups = new TPelluxPopupMessage(MainForm);
    Popups->SetClosePause(0);
    for (TFont* F :
         {Popups->TitleFont(), Popups->TextFont(), Popups->Button()->Font(), Popups->Button()->HotFont()}) {
        F->SetName(u"微软雅黑");
        F->SetSize(9);
    }
    Popups->TitleFont()->SetColor(clWhite);
    Popups->TitleFont()->SetStyle(TFontStyles{fsBold});
    Popups->TextFont()->SetColor(RGB(51, 62, 77));
    Popups->Button()->Font()->SetColor(RGB(51, 62, 77));
    Popups->Button()->HotFont()->SetColor(RGB(70, 144, 220));
    Popups->Popup(u"保存成功", u"报表“2026 年第三季度销售汇总”已保存到共享目录。", miSuccess);
    Popups->Popup(u"同步失败", u"与服务器的连接已断开，12 条记录尚未上传，系统将在网络恢复后自动重试。",
                  miFailue);
    Popups->Button()->SetVisible(true);
    Popups->Button()->SetCaption(u"查看");
    Popups->Popup(u"新消息", u"张经理邀请您参加明天上午 10:00 的项目评审会议。", miInformation);
}

// The popups' column.
TRect PopupsRect() {
    TRect R = Popups->List().front()->BoundsRect();
    for (const TPelluxPopupForm* P : Popups->List()) {
        R.Left = std::min(R.Left, P->Left());
        R.Top = std::min(R.Top, P->Top());
    }
    return R;
}

// Cuts the box on show into the sheet, ends it and shows the next one.
void NextBox(const char16_t* Caption, const char16_t* Text, TQvMsgIcon Icon,
             TQvMsgButtons Buttons) {
    Headless->Step([] {
        CropMessages(Screen->ActiveForm()->BoundsRect());
        // Not every set of buttons answers Esc.
        Screen->ActiveForm()->SetModalResult(mrCancel);
    });
    Headless->Step([=] { SkinMessageBox(Caption, Text, Icon, Buttons); });
}

// The popups' column at the left, the message boxes in two columns beside it (each into
// the shorter one), on a neutral ground.
void SaveMessagesSheet() {
    constexpr int Margin = 24;
    const TCrop& Popups = MessageCrops.front();
    int ColumnW[2] = {0, 0}, ColumnH[2] = {Margin, Margin};
    std::vector<std::pair<int, int>> Places;  // column and top of each box
    for (size_t I = 1; I < MessageCrops.size(); ++I) {
        const TRect& R = MessageCrops[I].R;
        const int Column = ColumnH[1] < ColumnH[0] ? 1 : 0;
        Places.emplace_back(Column, ColumnH[Column]);
        ColumnW[Column] = std::max(ColumnW[Column], R.Width());
        ColumnH[Column] += R.Height() + Margin;
    }
    const int Left0 = 2 * Margin + Popups.R.Width(), Left1 = Left0 + ColumnW[0] + Margin;
    const int W = Left1 + ColumnW[1] + Margin;
    const int H = std::max({Popups.R.Height() + 2 * Margin, ColumnH[0], ColumnH[1]});
    TSheet Sheet(W, H);
    Sheet.Paste(Popups, Margin, Margin);
    for (size_t I = 1; I < MessageCrops.size(); ++I) {
        const auto [Column, Top] = Places[I - 1];
        Sheet.Paste(MessageCrops[I], Column == 0 ? Left0 : Left1, Top);
    }
    Sheet.Save("gallery-messages");
}

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
    {"menus", ShowMenusForm},
    {"main-after-menus",
     [] {
         Headless->Step(SaveMenusCrop);
         Keys({VK_ESCAPE, VK_ESCAPE});
         Headless->Step([] {
             MenusForm->Free();
             MenusForm = nullptr;
         });
     }},
    {"popup-messages",
     [] {
         Headless->Step(ShowPopups);
         Headless->Delay(400);
     }},
    {"message-question",
     [] {
         Headless->Step([] {
             CropMessages(PopupsRect());
             bool DontShow = false;
             SkinMessageBoxEx(u"确认", u"是否保存对“销售汇总”所做的更改？\n关闭后未保存的内容将会丢失。", micQuestion,
                              -100000, -100000, DontShow, true, {mbYes, mbNo, mbCancel});
         });
     }},
    {"message-error", [] { NextBox(u"错误", u"无法连接到服务器 192.168.1.20:8080。\n请检查网络设置后重试。", micError, {mbOK}); }},
    {"message-warning",
     [] {
         NextBox(u"警告", u"磁盘空间不足 1 GB，导出大型报表可能失败。\n是否仍要继续？", micWarning,
                 {mbRetry, mbIgnore, mbAbort});
     }},
    {"message-info", [] { NextBox(u"提示", u"新版本 3.2 已可用，将在下次启动时安装。", micInfo, {mbOK, mbCancel}); }},
    {"message-ok", [] { NextBox(u"完成", u"数据已成功导入，共 1,284 条记录。", micOK, {mbOK}); }},
    {"main-after-messages",
     [] {
         Headless->Step([] {
             CropMessages(Screen->ActiveForm()->BoundsRect());
             SaveMessagesSheet();
         });
         Keys({VK_ESCAPE});
         Headless->Step([] {
             for (TPelluxPopupForm* P : std::vector<TPelluxPopupForm*>(Popups->List())) P->Close();
         });
     }},
    {"main-window-100-max", [] {}, true},
    {"main-window-100", [] { MainCommand(SC_RESTORE); }, true},
    {"main-window-scheme", [] { Headless->Step([] { Scheme(3); }); }, true},
    // The default scheme again, so the settings file keeps what it had.
    {"main-default-scheme", [] { Headless->Step([] { Scheme(0); }); }},
    {"tree-grid", [] { Headless->Step(ShowTreeGrid); }},
    {"main-after-grid", [] { Headless->Step(SaveTreeGrid); }},
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
