#include "skin/uQvSkinRegistry.h"

#include <algorithm>

#include "draw/uPelluxDPI.h"
#include "framework/uQvAppInit.h"
#include "framework/uQvForms.h"

namespace {

TQvFormSkinHelper*& FormRegistry() {
    static TQvFormSkinHelper* Registry = nullptr;
    return Registry;
}

TQvWinControlHelper*& ControlRegistry() {
    static TQvWinControlHelper* Registry = nullptr;
    return Registry;
}

// Runs Proc for each element of Snapshot that IsStill reports still registered when its
// turn comes: a call may free or unregister later entries.
template <typename T, typename S, typename F>
void ForEachStill(std::vector<T> Snapshot, bool Backward, S&& IsStill, F&& Proc) {
    if (Backward) std::reverse(Snapshot.begin(), Snapshot.end());
    for (const T& Item : Snapshot)
        if (IsStill(Item)) Proc(Item);
}

}  // namespace

// ---- TQvFormSkinHelper --------------------------------------------------------------------

TQvFormSkinHelper::TQvFormSkinHelper() : TComponent(nullptr) {}

void TQvFormSkinHelper::Add(TCustomForm* Form, TQvFormSkinIntf* Skin) {
    if (Form == nullptr) return;
    TComponent* SkinComponent = dynamic_cast<TComponent*>(Skin);
    if (SkinComponent != nullptr) FreeNotification(SkinComponent);
    const int Index = IndexOf(Form);
    if (Index < 0) {
        FItems.push_back(TItem{Form, Skin, SkinComponent});
        FreeNotification(Form);
        return;
    }
    // The form keeps its place; the old skin is let go unless another entry uses it.
    TComponent* Old = FItems[Index].SkinComponent;
    FItems[Index].Skin = Skin;
    FItems[Index].SkinComponent = SkinComponent;
    if (Old != nullptr && !Uses(Old)) RemoveFreeNotification(Old);
}

bool TQvFormSkinHelper::Uses(const TComponent* C) const {
    return std::any_of(FItems.begin(), FItems.end(),
                       [C](const TItem& I) { return I.Form == C || I.SkinComponent == C; });
}

void TQvFormSkinHelper::Remove(TCustomForm* Form) {
    const int Index = IndexOf(Form);
    if (Index >= 0) Forget(Index);
}

void TQvFormSkinHelper::Forget(int Index) {
    const TItem Item = FItems[Index];
    FItems.erase(FItems.begin() + Index);
    if (!Uses(Item.Form)) RemoveFreeNotification(Item.Form);
    if (Item.SkinComponent != nullptr && !Uses(Item.SkinComponent))
        RemoveFreeNotification(Item.SkinComponent);
}

int TQvFormSkinHelper::IndexOf(const TCustomForm* Form) const {
    const auto It =
        std::find_if(FItems.begin(), FItems.end(), [Form](const TItem& I) { return I.Form == Form; });
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TQvFormSkinIntf* TQvFormSkinHelper::Get(const TCustomForm* Form) const {
    const int Index = IndexOf(Form);
    return Index < 0 ? nullptr : FItems[Index].Skin;
}

TCustomForm* TQvFormSkinHelper::Forms(int Index) const {
    if (Index < 0 || Index >= GetCount()) RaiseListIndexError(Index);
    return FItems[Index].Form;
}

TQvFormSkinIntf* TQvFormSkinHelper::Skins(int Index) const {
    if (Index < 0 || Index >= GetCount()) RaiseListIndexError(Index);
    return FItems[Index].Skin;
}

void TQvFormSkinHelper::ForEach(const std::function<void(TCustomForm* Form, TQvFormSkinIntf* Skin)>& Proc,
                                bool Backward) {
    std::vector<TCustomForm*> Forms;
    for (const TItem& I : FItems) Forms.push_back(I.Form);
    ForEachStill(
        std::move(Forms), Backward, [this](TCustomForm* Form) { return IndexOf(Form) >= 0; },
        [&](TCustomForm* Form) { Proc(Form, Get(Form)); });
}

void TQvFormSkinHelper::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    for (int I = GetCount() - 1; I >= 0; --I)
        if (FItems[I].Form == AComponent || FItems[I].SkinComponent == AComponent) Forget(I);
}

// ---- TQvWinControlHelper ------------------------------------------------------------------

TQvWinControlHelper::TQvWinControlHelper() : TComponent(nullptr) {}

void TQvWinControlHelper::Add(TWinControl* Control) {
    if (Control == nullptr || IndexOf(Control) >= 0) return;
    FItems.push_back(Control);
    FreeNotification(Control);
}

void TQvWinControlHelper::Remove(TWinControl* Control) {
    const int Index = IndexOf(Control);
    if (Index < 0) return;
    FItems.erase(FItems.begin() + Index);
    RemoveFreeNotification(Control);
}

int TQvWinControlHelper::IndexOf(const TWinControl* Control) const {
    const auto It = std::find(FItems.begin(), FItems.end(), Control);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TWinControl* TQvWinControlHelper::Items(int Index) const {
    if (Index < 0 || Index >= GetCount()) RaiseListIndexError(Index);
    return FItems[Index];
}

void TQvWinControlHelper::ForEach(const std::function<void(TWinControl* Control)>& Proc) {
    ForEachStill(
        FItems, false, [this](TWinControl* Control) { return IndexOf(Control) >= 0; }, Proc);
}

void TQvWinControlHelper::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    FItems.erase(std::remove(FItems.begin(), FItems.end(), AComponent), FItems.end());
}

// ---- The singletons -----------------------------------------------------------------------

TQvFormSkinHelper* FormSkinHelper() {
    if (FormRegistry() == nullptr) FormRegistry() = new TQvFormSkinHelper();
    return FormRegistry();
}

TQvWinControlHelper* WinControlHelper() {
    if (ControlRegistry() == nullptr) ControlRegistry() = new TQvWinControlHelper();
    return ControlRegistry();
}

bool FormSkinHelperAssigned() {
    return FormRegistry() != nullptr;
}

bool WinControlHelperAssigned() {
    return ControlRegistry() != nullptr;
}

void FreeSkinRegistries() {
    FreeAndNil(FormRegistry());
    FreeAndNil(ControlRegistry());
}

void RegisterQvSkinRegistry() {
    QvRegisterInitStep(ioSkinRegistries, u"SkinRegistries", nullptr, FreeSkinRegistries);
}

// ---- Background of a skinned form ---------------------------------------------------------

bool CopyFormSkinBackground(TCustomForm* Form, TSurface32* Surface, const TRect& R) {
    if (Form == nullptr || Surface == nullptr || !FormSkinHelperAssigned()) return false;
    TQvFormSkinIntf* Skin = FormSkinHelper()->Get(Form);
    if (Skin == nullptr) return false;
    TSurface32* Picture = Skin->GetBackgroundPicture();
    if (Picture == nullptr || R.Right <= R.Left || R.Bottom <= R.Top) return false;
    int Frame = 0, Title = 0;
    if (Form->BorderStyle() != bsNone) {
        Frame = Skin->FramWidth();
        Title = ScaleByDPI(Form, Skin->TitleHeight());
    }
    TRect Part = R;
    OffsetRect(Part, Frame, Skin->Style() == ssPicture ? Title : 0);
    Picture->DrawTo(Surface, Surface->ClipRect(), Part);
    return true;
}
