#pragma once
// The class and property registry: classes by name with a factory, enumerations by value
// name, and the published properties (name, kind, default, getter, setter) that the text
// form reader and writer go through. Registration is explicit (each unit has a Register...
// function that the program and the tests call); registering twice is harmless.

#include <concepts>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "framework/uQvClasses.h"
#include "platform/uQvColor.h"

enum TPropKind {
    pkInteger,    // up to 32 bits
    pkInt64,
    pkBoolean,
    pkFloat,
    pkString,
    pkEnum,       // by value name
    pkSet,        // [name, name]
    pkColor,      // a colour name or a number
    pkObject,     // a nested persistent object, collection or string list the owner keeps
    pkComponent,  // a reference to another component, by name
    pkBinary,     // bytes, written as hexadecimal
};

// The value names of an enumeration, in value order from 0.
class TEnumInfo {
public:
    TEnumInfo(String TypeName, std::vector<String> Names) : FTypeName(std::move(TypeName)), FNames(std::move(Names)) {}
    const String& TypeName() const { return FTypeName; }
    int Count() const { return static_cast<int>(FNames.size()); }
    // Empty for a value without a name.
    String Name(int64_t Value) const;
    // -1 for an unknown name (ASCII case ignored).
    int ValueOf(std::u16string_view Name) const;

private:
    String FTypeName;
    std::vector<String> FNames;
};

struct TPropInfo {
    String Name;
    TPropKind Kind = pkInteger;
    const TEnumInfo* Enum = nullptr;  // pkEnum, pkSet
    // Without a default an ordinal property is always stored; strings are stored when not
    // empty and floats when not 0 unless a default says otherwise.
    bool HasDefault = false;
    int64_t DefaultOrd = 0;
    double DefaultFloat = 0;
    String DefaultString;

    // Ordinals (integers, Booleans, enumerations, set bits, colours). SetOrd returns false
    // for a value the property cannot hold.
    std::function<int64_t(TObject*)> GetOrd;
    std::function<bool(TObject*, int64_t)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<String(TObject*)> GetString;
    std::function<void(TObject*, const String&)> SetString;
    // pkObject and pkComponent. SetComponent returns false for a component of the wrong class.
    std::function<TPersistent*(TObject*)> GetObject;
    std::function<bool(TObject*, TComponent*)> SetComponent;
    // pkBinary.
    std::function<void(TObject*, TStream&)> ReadData;
    std::function<void(TObject*, TStream&)> WriteData;
    std::function<bool(TObject*)> HasData;
    // Optional: whether the writer stores the property at all.
    std::function<bool(TObject*)> IsStored;
};

class TClassInfo {
public:
    TClassInfo(String Name, std::type_index Type, const TClassInfo* Parent)
        : FName(std::move(Name)), FType(Type), FParent(Parent), FDepth(Parent ? Parent->FDepth + 1 : 0) {}

    const String& Name() const { return FName; }
    std::type_index Type() const { return FType; }
    const TClassInfo* Parent() const { return FParent; }
    int Depth() const { return FDepth; }
    bool InheritsFrom(const TClassInfo* Other) const;

    // The property of that name here or in a base class (ASCII case ignored).
    const TPropInfo* FindProp(std::u16string_view PropName) const;
    // Base classes' properties first, each class in declaration order.
    std::vector<const TPropInfo*> AllProps() const;
    const std::vector<TPropInfo>& OwnProps() const { return FProps; }

    // Makes a new instance for a stored layout; null for classes that cannot be made so.
    std::function<TComponent*(TComponent* Owner)> CreateComponent;
    std::function<bool(const TObject*)> IsInstance;

private:
    template <typename T>
    friend class TClassBuilder;
    String FName;
    std::type_index FType;
    const TClassInfo* FParent;
    int FDepth;
    std::vector<TPropInfo> FProps;
};

// The registered class of that name (or alias); nullptr when unknown.
const TClassInfo* FindClassInfo(std::u16string_view Name);
// The most-derived registered class the object is an instance of; nullptr when none.
const TClassInfo* ClassInfoOf(const TObject* Object);
const TClassInfo* ClassInfoOf(std::type_index Type);
// The object's name for stored layouts: its registered name, else its class name.
String StoredClassName(const TObject* Object);
// Another name under which stored layouts may name a registered class.
void RegisterClassAlias(const String& Alias, const TClassInfo* Info);

const TEnumInfo* EnumInfoOf(std::type_index Type);
template <typename E>
const TEnumInfo* EnumInfoOf() {
    return EnumInfoOf(std::type_index(typeid(E)));
}
const TEnumInfo& RegisterEnum(std::type_index Type, const String& TypeName, std::vector<String> Names);
template <typename E>
const TEnumInfo& RegisterEnum(const String& TypeName, std::initializer_list<String> Names) {
    static_assert(std::is_enum_v<E>);
    return RegisterEnum(std::type_index(typeid(E)), TypeName, std::vector<String>(Names));
}

namespace QvRegistryDetail {
// Registers a class once; returns nullptr when it was registered before (the builder then
// ignores its properties). Raises EQvError when the name belongs to another class.
TClassInfo* Register(const String& Name, std::type_index Type, std::type_index ParentType);
TClassInfo* RegisterRoot(const String& Name, std::type_index Type);

template <typename V>
struct IsSet : std::false_type {};
template <typename E>
struct IsSet<TSet<E>> : std::true_type {
    using Element = E;
};
}  // namespace QvRegistryDetail

// Adds published properties to a registered class T, in declaration order.
template <typename T>
class TClassBuilder {
public:
    explicit TClassBuilder(TClassInfo* Info) : FInfo(Info) {}

    // An integer, Boolean, floating-point, string, enumeration or set property; the kind
    // follows the getter's type. Get and Set are member functions or callables on T*.
    template <typename G, typename S>
    TClassBuilder& Prop(const String& Name, G Get, S Set) {
        return AddValue<G, S>(Name, Get, Set, std::nullopt, false);
    }
    template <typename G, typename S, typename D>
    TClassBuilder& Prop(const String& Name, G Get, S Set, D Default) {
        return AddValue<G, S>(Name, Get, Set, Default, false);
    }
    // A TColor property: written by name when it has one, else as a decimal number.
    template <typename G, typename S>
    TClassBuilder& Color(const String& Name, G Get, S Set) {
        return AddValue<G, S>(Name, Get, Set, std::nullopt, true);
    }
    template <typename G, typename S>
    TClassBuilder& Color(const String& Name, G Get, S Set, TColor Default) {
        return AddValue<G, S>(Name, Get, Set, Default, true);
    }
    // A sub-object the instance owns (persistent object, collection, string list); the
    // reader fills it in place.
    template <typename G>
    TClassBuilder& Object(const String& Name, G Get) {
        TPropInfo P = Start(Name, pkObject);
        P.GetObject = [Get](TObject* O) -> TPersistent* { return std::invoke(Get, Self(O)); };
        return Add(std::move(P));
    }
    // A reference to another component of class V.
    template <typename V, typename G, typename S>
    TClassBuilder& Component(const String& Name, G Get, S Set) {
        TPropInfo P = Start(Name, pkComponent);
        P.GetObject = [Get](TObject* O) -> TPersistent* { return std::invoke(Get, Self(O)); };
        P.SetComponent = [Set](TObject* O, TComponent* C) {
            V* Typed = dynamic_cast<V*>(C);
            if (C != nullptr && Typed == nullptr) return false;
            std::invoke(Set, Self(O), Typed);
            return true;
        };
        return Add(std::move(P));
    }
    // Bytes read from and written to a stream.
    TClassBuilder& Binary(const String& Name, std::function<void(T*, TStream&)> Read,
                          std::function<void(T*, TStream&)> Write, std::function<bool(T*)> HasData) {
        TPropInfo P = Start(Name, pkBinary);
        P.ReadData = [Read](TObject* O, TStream& S) { Read(Self(O), S); };
        P.WriteData = [Write](TObject* O, TStream& S) { Write(Self(O), S); };
        P.HasData = [HasData](TObject* O) { return HasData(Self(O)); };
        return Add(std::move(P));
    }
    // Whether the last added property is stored, per instance.
    TClassBuilder& Stored(std::function<bool(T*)> Predicate) {
        if (FInfo != nullptr && !FInfo->FProps.empty())
            FInfo->FProps.back().IsStored = [Predicate](TObject* O) { return Predicate(Self(O)); };
        return *this;
    }

    const TClassInfo* Info() const { return FInfo; }

private:
    static T* Self(TObject* O) { return static_cast<T*>(O); }

    TPropInfo Start(const String& Name, TPropKind Kind) {
        TPropInfo P;
        P.Name = Name;
        P.Kind = Kind;
        return P;
    }
    TClassBuilder& Add(TPropInfo P) {
        if (FInfo != nullptr) FInfo->FProps.push_back(std::move(P));
        return *this;
    }

    template <typename G, typename S, typename D>
    TClassBuilder& AddValue(const String& Name, G Get, S Set, const D& Default, bool IsColor) {
        using V = std::remove_cvref_t<std::invoke_result_t<G, T*>>;
        TPropInfo P = Start(Name, pkInteger);
        constexpr bool HasDefault = !std::is_same_v<D, std::nullopt_t>;
        if constexpr (std::is_same_v<V, String>) {
            P.Kind = pkString;
            P.GetString = [Get](TObject* O) { return String(std::invoke(Get, Self(O))); };
            P.SetString = [Set](TObject* O, const String& Value) { std::invoke(Set, Self(O), Value); };
            if constexpr (HasDefault) P.DefaultString = String(Default);
            P.HasDefault = HasDefault;
        } else if constexpr (std::is_floating_point_v<V>) {
            P.Kind = pkFloat;
            P.GetFloat = [Get](TObject* O) { return static_cast<double>(std::invoke(Get, Self(O))); };
            P.SetFloat = [Set](TObject* O, double Value) { std::invoke(Set, Self(O), static_cast<V>(Value)); };
            if constexpr (HasDefault) P.DefaultFloat = static_cast<double>(Default);
            P.HasDefault = HasDefault;
        } else if constexpr (QvRegistryDetail::IsSet<V>::value) {
            using E = typename QvRegistryDetail::IsSet<V>::Element;
            P.Kind = pkSet;
            P.Enum = RequireEnum<E>();
            P.GetOrd = [Get](TObject* O) { return static_cast<int64_t>(std::invoke(Get, Self(O)).Bits()); };
            P.SetOrd = [Set](TObject* O, int64_t Bits) {
                std::invoke(Set, Self(O), V::FromBits(static_cast<uint64_t>(Bits)));
                return true;
            };
            if constexpr (HasDefault) P.DefaultOrd = static_cast<int64_t>(V(Default).Bits());
            P.HasDefault = HasDefault;
        } else {
            static_assert(std::is_integral_v<V> || std::is_enum_v<V>, "unsupported property type");
            if constexpr (std::is_same_v<V, bool>) {
                P.Kind = pkBoolean;
            } else if constexpr (std::is_enum_v<V>) {
                P.Kind = pkEnum;
                P.Enum = RequireEnum<V>();
            } else {
                P.Kind = IsColor ? pkColor : (sizeof(V) > 4 ? pkInt64 : pkInteger);
            }
            P.GetOrd = [Get](TObject* O) { return static_cast<int64_t>(std::invoke(Get, Self(O))); };
            const TEnumInfo* Enum = P.Enum;
            P.SetOrd = [Set, Enum](TObject* O, int64_t Value) {
                static_cast<void>(Enum);  // read for enumerations only
                if constexpr (std::is_enum_v<V>) {
                    if (Value < 0 || Value >= Enum->Count()) return false;
                } else if constexpr (std::is_same_v<V, bool>) {
                    if (Value != 0 && Value != 1) return false;
                } else if constexpr (std::is_signed_v<V>) {
                    if (Value < std::numeric_limits<V>::min() || Value > std::numeric_limits<V>::max()) return false;
                } else {
                    if (Value < 0 || static_cast<uint64_t>(Value) > std::numeric_limits<V>::max()) return false;
                }
                std::invoke(Set, Self(O), static_cast<V>(Value));
                return true;
            };
            if constexpr (HasDefault) P.DefaultOrd = static_cast<int64_t>(static_cast<V>(Default));
            P.HasDefault = HasDefault;
        }
        return Add(std::move(P));
    }

    template <typename E>
    static const TEnumInfo* RequireEnum() {
        const TEnumInfo* Info = EnumInfoOf<E>();
        if (Info == nullptr) throw EQvError("An enumeration must be registered before its properties");
        return Info;
    }

    TClassInfo* FInfo;
};

// Registers T (a TPersistent) under Name as a kind of TParent, which must be registered
// already (TPersistent, TComponent, TCollectionItem, TCollection and TStrings always are).
// Component classes made with a TComponent* owner get a factory for stored layouts.
template <typename T, typename TParent>
TClassBuilder<T> RegisterClass(const String& Name) {
    static_assert(std::is_base_of_v<TParent, T> && std::is_base_of_v<TPersistent, T>);
    TClassInfo* Info = QvRegistryDetail::Register(Name, typeid(T), typeid(TParent));
    if (Info != nullptr) {
        Info->IsInstance = [](const TObject* O) { return dynamic_cast<const T*>(O) != nullptr; };
        if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*> &&
                      !std::is_abstract_v<T>)
            Info->CreateComponent = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
    }
    return TClassBuilder<T>(Info);
}
