#include "framework/uQvRegistry.h"

#include <map>
#include <memory>
#include <unordered_map>

#include "framework/uQvCollections.h"
#include "framework/uQvStringList.h"
#include "platform/uQvStrUtils.h"

namespace {

struct TRegistry {
    std::vector<std::unique_ptr<TClassInfo>> Classes;
    std::map<String, const TClassInfo*> ByName;  // keyed by the upper-case name
    std::unordered_map<std::type_index, TClassInfo*> ByType;
    std::unordered_map<std::type_index, const TClassInfo*> InstanceCache;
    std::unordered_map<std::type_index, std::unique_ptr<TEnumInfo>> Enums;
};

void RegisterBuiltins();

TRegistry& Registry() {
    static TRegistry R;
    static bool Initialised = false;
    if (!Initialised) {
        Initialised = true;
        RegisterBuiltins();
    }
    return R;
}

void RegisterBuiltins() {
    QvRegistryDetail::RegisterRoot(u"TPersistent", typeid(TPersistent))->IsInstance = [](const TObject* O) {
        return dynamic_cast<const TPersistent*>(O) != nullptr;
    };
    RegisterClass<TComponent, TPersistent>(u"TComponent").Prop(u"Tag", &TComponent::Tag, &TComponent::SetTag, 0);
    RegisterClass<TDataModule, TComponent>(u"TDataModule");
    RegisterClass<TCollectionItem, TPersistent>(u"TCollectionItem");
    RegisterClass<TCollection, TPersistent>(u"TCollection");
    RegisterClass<TOwnedCollection, TCollection>(u"TOwnedCollection");
    RegisterClass<TStrings, TPersistent>(u"TStrings");
    RegisterClass<TStringList, TStrings>(u"TStringList");
}

}  // namespace

String TEnumInfo::Name(int64_t Value) const {
    if (Value < 0 || Value >= Count()) return String();
    return FNames[static_cast<size_t>(Value)];
}

int TEnumInfo::ValueOf(std::u16string_view Name) const {
    for (size_t I = 0; I < FNames.size(); ++I)
        if (SameText(FNames[I], Name)) return static_cast<int>(I);
    return -1;
}

bool TClassInfo::InheritsFrom(const TClassInfo* Other) const {
    for (const TClassInfo* C = this; C != nullptr; C = C->FParent)
        if (C == Other) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::u16string_view PropName) const {
    for (const TClassInfo* C = this; C != nullptr; C = C->FParent)
        for (const TPropInfo& P : C->FProps)
            if (SameText(P.Name, PropName)) return &P;
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TClassInfo*> Chain;
    for (const TClassInfo* C = this; C != nullptr; C = C->FParent) Chain.push_back(C);
    std::vector<const TPropInfo*> Result;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        for (const TPropInfo& P : (*It)->FProps) Result.push_back(&P);
    return Result;
}

TClassInfo* QvRegistryDetail::RegisterRoot(const String& Name, std::type_index Type) {
    TRegistry& R = Registry();
    if (R.ByType.count(Type) != 0) return nullptr;
    auto Info = std::make_unique<TClassInfo>(Name, Type, nullptr);
    TClassInfo* Raw = Info.get();
    R.Classes.push_back(std::move(Info));
    R.ByName[UpperCase(Name)] = Raw;
    R.ByType[Type] = Raw;
    R.InstanceCache.clear();
    return Raw;
}

TClassInfo* QvRegistryDetail::Register(const String& Name, std::type_index Type, std::type_index ParentType) {
    TRegistry& R = Registry();
    if (R.ByType.count(Type) != 0) return nullptr;
    const auto Named = R.ByName.find(UpperCase(Name));
    if (Named != R.ByName.end()) throw EQvError(u"A class named " + Name + u" is already registered");
    const auto Parent = R.ByType.find(ParentType);
    if (Parent == R.ByType.end()) throw EQvError(u"The base class of " + Name + u" is not registered");
    auto Info = std::make_unique<TClassInfo>(Name, Type, Parent->second);
    TClassInfo* Raw = Info.get();
    R.Classes.push_back(std::move(Info));
    R.ByName[UpperCase(Name)] = Raw;
    R.ByType[Type] = Raw;
    R.InstanceCache.clear();
    return Raw;
}

void RegisterClassAlias(const String& Alias, const TClassInfo* Info) {
    if (Info != nullptr) Registry().ByName.emplace(UpperCase(Alias), Info);
}

const TClassInfo* FindClassInfo(std::u16string_view Name) {
    const TRegistry& R = Registry();
    const auto It = R.ByName.find(UpperCase(Name));
    return It == R.ByName.end() ? nullptr : It->second;
}

const TClassInfo* ClassInfoOf(std::type_index Type) {
    const TRegistry& R = Registry();
    const auto It = R.ByType.find(Type);
    return It == R.ByType.end() ? nullptr : It->second;
}

const TClassInfo* ClassInfoOf(const TObject* Object) {
    if (Object == nullptr) return nullptr;
    TRegistry& R = Registry();
    const std::type_index Type(typeid(*Object));
    if (const auto It = R.ByType.find(Type); It != R.ByType.end()) return It->second;
    if (const auto It = R.InstanceCache.find(Type); It != R.InstanceCache.end()) return It->second;
    // An unregistered class: its deepest registered base.
    const TClassInfo* Best = nullptr;
    for (const auto& C : R.Classes)
        if ((Best == nullptr || C->Depth() > Best->Depth()) && C->IsInstance && C->IsInstance(Object))
            Best = C.get();
    R.InstanceCache[Type] = Best;
    return Best;
}

String StoredClassName(const TObject* Object) {
    const TClassInfo* Info = ClassInfoOf(std::type_index(typeid(*Object)));
    return Info != nullptr ? Info->Name() : Object->ClassName();
}

const TEnumInfo* EnumInfoOf(std::type_index Type) {
    const TRegistry& R = Registry();
    const auto It = R.Enums.find(Type);
    return It == R.Enums.end() ? nullptr : It->second.get();
}

const TEnumInfo& RegisterEnum(std::type_index Type, const String& TypeName, std::vector<String> Names) {
    TRegistry& R = Registry();
    auto& Slot = R.Enums[Type];
    if (!Slot) Slot = std::make_unique<TEnumInfo>(TypeName, std::move(Names));
    return *Slot;
}
