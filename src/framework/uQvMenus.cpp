#include "framework/uQvMenus.h"

#include <algorithm>
#include <unordered_map>

#include "framework/uQvImgList.h"
#include "framework/uQvMenuLoop.h"
#include "framework/uQvMenuPaint.h"
#include "framework/uQvPictures.h"
#include "platform/uQvStrUtils.h"

// ---- Shortcut texts -------------------------------------------------------------------

namespace {

struct TKeyName {
    WORD Key;
    const char16_t* Name;
};
constexpr TKeyName KeyNames[] = {
    {VK_BACK, u"BkSp"},  {VK_TAB, u"Tab"},    {VK_RETURN, u"Enter"}, {VK_ESCAPE, u"Esc"},
    {VK_SPACE, u"Space"}, {VK_PRIOR, u"PgUp"}, {VK_NEXT, u"PgDn"},   {VK_END, u"End"},
    {VK_HOME, u"Home"},  {VK_LEFT, u"Left"},  {VK_UP, u"Up"},       {VK_RIGHT, u"Right"},
    {VK_DOWN, u"Down"},  {VK_INSERT, u"Ins"}, {VK_DELETE, u"Del"},
};

struct TModifierName {
    TShortCut Bit;
    const char16_t* Name;
};
// In the order the texts spell them.
constexpr TModifierName ModifierNames[] = {{scShift, u"Shift+"}, {scCtrl, u"Ctrl+"}, {scAlt, u"Alt+"}};

String KeyToText(WORD Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return String(1, static_cast<Char>(Key));
    if (Key >= VK_F1 && Key <= VK_F12) return u"F" + IntToStr(Key - VK_F1 + 1);
    for (const TKeyName& K : KeyNames)
        if (K.Key == Key) return K.Name;
    return {};
}

bool SameAsciiText(std::u16string_view A, std::u16string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](Char X, Char Y) {
               auto Up = [](Char C) { return C >= u'a' && C <= u'z' ? static_cast<Char>(C - 32) : C; };
               return Up(X) == Up(Y);
           });
}

}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if ((Key & 0xFF00) != 0) return 0;
    TShortCut Result = Key;
    if (Shift.Contains(ssShift)) Result |= scShift;
    if (Shift.Contains(ssCtrl)) Result |= scCtrl;
    if (Shift.Contains(ssAlt)) Result |= scAlt;
    return Result;
}

String ShortCutToText(TShortCut Value) {
    const String Key = KeyToText(static_cast<WORD>(Value & 0xFF));
    if (Key.empty()) return {};
    String Result;
    for (const TModifierName& M : ModifierNames)
        if ((Value & M.Bit) != 0) Result += M.Name;
    return Result + Key;
}

TShortCut TextToShortCut(const String& Text) {
    std::u16string_view Rest = Text;
    TShortCut Modifiers = 0;
    for (bool Found = true; Found;) {
        Found = false;
        for (const TModifierName& M : ModifierNames) {
            const std::u16string_view Name = M.Name;
            if (Rest.size() > Name.size() && SameAsciiText(Rest.substr(0, Name.size()), Name)) {
                Modifiers |= M.Bit;
                Rest.remove_prefix(Name.size());
                Found = true;
            }
        }
    }
    for (WORD Key = 1; Key < 0x100; ++Key) {
        const String Name = KeyToText(Key);
        if (!Name.empty() && SameAsciiText(Rest, Name)) return static_cast<TShortCut>(Key | Modifiers);
    }
    return 0;
}

// ---- TMenuItem ------------------------------------------------------------------------

namespace {

// Live items by command; a command posted for an item that died meanwhile finds nothing.
std::unordered_map<WORD, TMenuItem*>& Commands() {
    static std::unordered_map<WORD, TMenuItem*> Map;
    return Map;
}

WORD NextCommand() {
    static WORD Last = 0;
    // Skips 0 and, after a wrap, the numbers still in use.
    do ++Last;
    while (Last == 0 || Commands().count(Last) != 0);
    return Last;
}

// Submenu handles sit above every command number.
constexpr uintptr_t HandleBase = 0x10000;

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand()) {
    Commands()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
    Commands().erase(FCommand);
    if (FParent != nullptr) FParent->Remove(this);
    // Children die with their parent (each also leaves its owner on the way).
    while (!FItems.empty()) {
        TMenuItem* Child = FItems.back();
        FItems.pop_back();
        Child->FParent = nullptr;
        Child->Free();
    }
    SetSubMenuImages(nullptr);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EQvError(u"List index out of bounds (" + IntToStr(Index) + u")");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item == nullptr) return;
    for (const TMenuItem* P = this; P != nullptr; P = P->FParent)
        if (P == Item) throw EQvError(u"Cannot insert a menu item into itself");
    if (Item->FParent != nullptr) Item->FParent->Remove(Item);
    if (Index < 0 || Index > Count()) throw EQvError(u"List index out of bounds (" + IntToStr(Index) + u")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked && Item->FRadioItem) Item->UncheckSiblings();
}

void TMenuItem::Delete(int Index) {
    TMenuItem* Item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    Item->FParent = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item) {
    const int Index = IndexOf(Item);
    if (Index >= 0) Delete(Index);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) FItems.back()->Free();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* Root = this;
    while (Root->FParent != nullptr) Root = Root->FParent;
    return Root->FMenu;
}

void TMenuItem::SetCaption(const String& Value) { FCaption = Value; }

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) UncheckSiblings();
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (FChecked && Value) UncheckSiblings();
}

void TMenuItem::SetGroupIndex(uint8_t Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem) UncheckSiblings();
}

void TMenuItem::UncheckSiblings() {
    if (FParent == nullptr) return;
    for (TMenuItem* Sibling : FParent->FItems)
        if (Sibling != this && Sibling->FRadioItem && Sibling->FGroupIndex == FGroupIndex) Sibling->FChecked = false;
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    // One default item per menu level.
    if (Value && FParent != nullptr)
        for (TMenuItem* Sibling : FParent->FItems) Sibling->FDefault = false;
    FDefault = Value;
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(const TBitmap* Value) { Bitmap()->Assign(Value); }

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
    if (FSubMenuImages == Value) return;
    if (FSubMenuImages != nullptr) FSubMenuImages->RemoveFreeNotification(this);
    FSubMenuImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

TCustomImageList* TMenuItem::GetImageList() const {
    for (const TMenuItem* P = FParent; P != nullptr; P = P->FParent) {
        if (P->FSubMenuImages != nullptr) return P->FSubMenuImages;
        if (P->FMenu != nullptr) return P->FMenu->Images();
    }
    return nullptr;
}

TBiDiMode TMenuItem::BiDiMode() const {
    const TMenu* Menu = GetParentMenu();
    return Menu != nullptr ? Menu->BiDiMode() : bdLeftToRight;
}

HMENU TMenuItem::Handle() const { return reinterpret_cast<HMENU>(HandleBase + FCommand); }

TMenuItem* TMenuItem::FindByCommand(WORD Command) {
    auto It = Commands().find(Command);
    return It == Commands().end() ? nullptr : It->second;
}

TMenuItem* TMenuItem::FindByHandle(HMENU Handle) {
    const uintptr_t Value = reinterpret_cast<uintptr_t>(Handle);
    if (Value <= HandleBase || Value > HandleBase + 0xFFFF) return nullptr;
    return FindByCommand(static_cast<WORD>(Value - HandleBase));
}

bool TMenuItem::IsOwnerDraw() const {
    if (OnAdvancedDrawItem) return true;
    const TMenu* Menu = GetParentMenu();
    return Menu != nullptr && Menu->OwnerDraw();
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck) SetChecked(!FChecked);
    const TNotifyEvent Handler = OnClick;
    if (Handler) Handler(this);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    const TMenuMeasureItemEvent Handler = OnMeasureItem;
    if (Handler) Handler(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
    const TAdvancedMenuDrawItemEvent Handler = OnAdvancedDrawItem;
    if (Handler)
        Handler(this, ACanvas, ARect, State);
    else
        DrawPlainMenuItem(ACanvas, this, ARect, State);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent == nullptr) return nullptr;
    if (FParent->FMenu != nullptr) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (auto* Menu = dynamic_cast<TMenu*>(Value))
        Menu->Items()->Add(this);
    else if (auto* Item = dynamic_cast<TMenuItem*>(Value))
        Item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TMenuItem* Child : std::vector<TMenuItem*>(FItems))
        if (Child->Owner() == Root) Proc(Child);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSubMenuImages) FSubMenuImages = nullptr;
}

// ---- TMenu ----------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    // The items may still name this menu through the root while they die.
    FItems->Clear();
    SetImages(nullptr);
}

void TMenu::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

// ---- TPopupMenu -----------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() { SetPopupComponent(nullptr); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent == Value) return;
    if (FPopupComponent != nullptr) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = TPoint{X, Y};
    DoPopup();
    RunMenuLoop(this, FPopupPoint);
}

void TPopupMenu::DoPopup() {
    if (OnPopup) OnPopup(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

std::vector<TMenuItem*> ShownMenuItems(const TMenuItem* Parent) {
    std::vector<TMenuItem*> Items;
    if (Parent == nullptr) return Items;
    const TMenu* Menu = Parent->GetParentMenu();
    const bool Reduce = Menu == nullptr || Menu->AutoLineReduction();
    for (int I = 0; I < Parent->Count(); ++I) {
        TMenuItem* Item = Parent->Items(I);
        if (!Item->Visible()) continue;
        if (Reduce && Item->IsLine() && (Items.empty() || Items.back()->IsLine())) continue;
        Items.push_back(Item);
    }
    if (Reduce)
        while (!Items.empty() && Items.back()->IsLine()) Items.pop_back();
    return Items;
}
