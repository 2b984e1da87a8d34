#include "forms/uPelluxMainMenu.h"

#include "forms/uPelluxForm.h"
#include "forms/uPelluxMenu.h"
#include "forms/uPelluxNCMenuItem.h"
#include "forms/uQvPopupListEx.h"
#include "framework/uQvControlTypes.h"
#include "framework/uQvMenus.h"
#include "framework/uQvRegistry.h"

TQvMainMenuData::TQvMainMenuData() = default;
TQvMainMenuData::~TQvMainMenuData() = default;

TPelluxMainMenu::TPelluxMainMenu(TPelluxForm* AOwner)
    : FFont(std::make_unique<TFont>()),
      FPos(std::make_unique<TNCCtrlPos>(AOwner != nullptr ? AOwner->DestForm() : nullptr)),
      FPictures(std::make_unique<TPngPictures>()),
      FPelluxForm(AOwner) {
    FPos->SetXValue(5);
    FPos->SetYValue(5);
    FPictures->SetImage(u"PelluxFlatBtn");
    FPictures->SetCount(3);
    FPictures->SetNormal(0);
    FPictures->SetHot(1);
    FPictures->SetPressed(2);
    FPictures->SetActive(true);
}

TPelluxMainMenu::~TPelluxMainMenu() {
    // The entries are components of the form, freed with it; they only lose their record.
    for (const auto& Rec : FList)
        if (Rec->NCMenuItem != nullptr) Rec->NCMenuItem->Detach();
    FList.clear();
    if (FHooked) TPopupListEx::Release();
}

bool TPelluxMainMenu::Designing() const {
    return FPelluxForm != nullptr && FPelluxForm->ComponentState().Contains(csDesigning);
}

void TPelluxMainMenu::Watch(TComponent* Old, TComponent* New) {
    if (FPelluxForm == nullptr) return;
    if (Old != nullptr && Old != FMainMenu && Old != FMenuSkin) FPelluxForm->RemoveFreeNotification(Old);
    if (New != nullptr) FPelluxForm->FreeNotification(New);
}

void TPelluxMainMenu::SetMainMenu(TMainMenu* Value) {
    if (FMainMenu == Value) return;
    TComponent* Old = FMainMenu;
    FMainMenu = Value;
    Watch(Old, Value);
    if (Value != nullptr && !FHooked && !Designing()) {
        TPopupListEx::Install();
        FHooked = true;
    }
    Reset();
}

void TPelluxMainMenu::SetMenuSkin(TPelluxMenu* Value) {
    if (FMenuSkin == Value) return;
    TComponent* Old = FMenuSkin;
    FMenuSkin = Value;
    Watch(Old, Value);
    Reset();
}

void TPelluxMainMenu::SetSpace(int Value) {
    if (FSpace == Value) return;
    FSpace = Value;
    Refresh();
}

void TPelluxMainMenu::Forget(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    if (FMainMenu == AComponent) {
        FMainMenu = nullptr;
        Reset();
    }
    if (FMenuSkin == AComponent) {
        FMenuSkin = nullptr;
        Reset();
    }
}

void TPelluxMainMenu::Refresh() {
    Reset();
    if (FPelluxForm != nullptr) FPelluxForm->InvalidateNC();
}

void TPelluxMainMenu::FreeList() {
    FLastFocusMenu = nullptr;
    FNextFocusMenu = nullptr;
    std::vector<std::unique_ptr<TQvMainMenuData>> Old;
    Old.swap(FList);
    for (const auto& Rec : Old)
        if (TPelluxNCMenuItem* Entry = Rec->NCMenuItem) {
            Entry->Detach();
            Entry->RemoveSelf();
        }
}

void TPelluxMainMenu::CopyItems(TMenuItem* Source, TMenuItem* Target) {
    for (int I = 0; I < Source->Count(); ++I) {
        TMenuItem* From = Source->Items(I);
        auto* To = new TMenuItem(nullptr);
        To->SetCaption(From->Caption());
        To->SetShortCut(From->ShortCut());
        To->SetChecked(From->Checked());
        if (!From->Name().empty()) To->SetName(From->Name() + u"Copy");
        To->SetHelpContext(From->HelpContext());
        To->OnClick = From->OnClick;
        To->SetEnabled(From->Enabled());
        To->SetImageIndex(From->ImageIndex());
        To->SetGroupIndex(From->GroupIndex());
        To->SetAutoCheck(From->AutoCheck());
        To->SetVisible(From->Visible());
        To->SetRadioItem(From->RadioItem());
        To->SetTag(From->Tag());
        To->SetHint(From->Hint());
        To->SetDefault(From->Default());
        if (From->HasBitmap()) To->SetBitmap(From->Bitmap());
        Target->Add(To);
        if (FMenuSkin != nullptr) FMenuSkin->DrawMenuItem(To);
        CopyItems(From, To);
    }
}

void TPelluxMainMenu::Build() {
    FDone = true;
    FreeList();
    if (FMainMenu == nullptr) return;
    TMenuItem* Root = FMainMenu->Items();
    for (int I = 0; I < Root->Count(); ++I) {
        TMenuItem* Item = Root->Items(I);
        if (!Item->Visible()) continue;
        auto Rec = std::make_unique<TQvMainMenuData>();
        Rec->Caption = Item->Caption();
        Rec->Enabled = Item->Enabled();
        Rec->OnClick = Item->OnClick;
        Rec->PopupMenu = std::make_unique<TPopupMenu>(nullptr);
        TPopupMenu* Popup = Rec->PopupMenu.get();
        Popup->SetImages(FMainMenu->Images());
        Popup->SetAutoHotkeys(maAutomaticMenu);
        Popup->SetAutoLineReduction(true);
        Popup->SetOwnerDraw(FMenuSkin != nullptr);
        CopyItems(Item, Popup->Items());
        FList.push_back(std::move(Rec));
    }
    TCustomForm* Form = FPelluxForm != nullptr ? FPelluxForm->DestForm() : nullptr;
    if (Form == nullptr) return;
    int X = FPos->XValue();
    for (const auto& Rec : FList) {
        auto* Entry = new TPelluxNCMenuItem(Form, this, Rec.get());
        Entry->Pos()->SetAlign(FPos->Align());
        Entry->Pos()->SetYValue(FPos->YValue());
        Entry->Pos()->SetXValue(X);
        Entry->SetGroupIndex(99);
        const int Step = Entry->Pos()->Width() + FSpace;
        X += FPos->Align() == caRight ? -Step : Step;
    }
}

bool TPelluxMainMenu::MenuClosed() {
    if (FMainMenu == nullptr || FLastFocusMenu == nullptr) return false;
    TPelluxNCMenuItem* Last = FLastFocusMenu;
    FLastFocusMenu = nullptr;
    Last->SetDown(false);
    return FNextFocusMenu != nullptr;
}

void TPelluxMainMenu::OpenNext() {
    TPelluxNCMenuItem* Next = FNextFocusMenu;
    if (Next == nullptr) return;
    Next->SetClickCount(1);
    Next->Click();
}

bool TPelluxMainMenu::Accelerate(WORD Key) {
    if (FMainMenu == nullptr) return false;
    for (const auto& Rec : FList) {
        TPelluxNCMenuItem* Entry = Rec->NCMenuItem;
        if (Entry == nullptr || !Entry->Visible() || !Entry->Enabled() || !IsAccel(Key, Rec->Caption))
            continue;
        // One entry only: a second would open when the first one's popup closed.
        Entry->SetClickCount(1);
        Entry->Click();
        return true;
    }
    return false;
}

void TPelluxMainMenu::EntryGone(TPelluxNCMenuItem* Entry) {
    if (FLastFocusMenu == Entry) FLastFocusMenu = nullptr;
    if (FNextFocusMenu == Entry) FNextFocusMenu = nullptr;
    for (const auto& Rec : FList)
        if (Rec->NCMenuItem == Entry) Rec->NCMenuItem = nullptr;
}

void TPelluxMainMenu::Assign(const TPersistent* Source) {
    const auto* From = dynamic_cast<const TPelluxMainMenu*>(Source);
    if (From == nullptr) return TPersistent::Assign(Source);
    SetMainMenu(From->FMainMenu);
    SetMenuSkin(From->FMenuSkin);
    FFont->Assign(From->FFont.get());
    FPos->Assign(From->FPos.get());
    FPictures->Assign(From->FPictures.get());
    FHotColor = From->FHotColor;
    FPressColor = From->FPressColor;
    SetSpace(From->FSpace);
}

TPersistent* TPelluxMainMenu::GetOwner() const {
    return FPelluxForm;
}

void RegisterPelluxMainMenu() {
    RegisterClass<TPelluxMainMenu, TPersistent>(u"TPelluxMainMenu")
        .Component<TMainMenu>(u"MainMenu", &TPelluxMainMenu::MainMenu, &TPelluxMainMenu::SetMainMenu)
        .Component<TPelluxMenu>(u"MenuSkin", &TPelluxMainMenu::MenuSkin, &TPelluxMainMenu::SetMenuSkin)
        .Object(u"Font", &TPelluxMainMenu::Font)
        .Object(u"Pos", &TPelluxMainMenu::Pos)
        .Object(u"Pictures", &TPelluxMainMenu::Pictures)
        .Color(u"HotColor", &TPelluxMainMenu::HotColor, &TPelluxMainMenu::SetHotColor, TColor{11463932})
        .Color(u"PressColor", &TPelluxMainMenu::PressColor, &TPelluxMainMenu::SetPressColor, TColor{8184058})
        .Prop(u"Space", &TPelluxMainMenu::Space, &TPelluxMainMenu::SetSpace, 8);
}
