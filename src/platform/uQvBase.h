#pragma once
// The base unit: text, exact number helpers, small sets and the library's error type.
// Everything above the platform builds on these.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

// Text is UTF-16, as on the original platform: lengths and positions count UTF-16 units.
using String = std::u16string;
using Char = char16_t;

// UTF-8 <-> UTF-16 at the edges (files, fontconfig, SDL). Invalid UTF-8 sequences and
// lone surrogates become U+FFFD; nothing is ever dropped silently.
String Utf8ToString(std::string_view Utf8);
std::string StringToUtf8(std::u16string_view Text);

// Rounds half to even, as the original platform's Round does (2.5 -> 2, 3.5 -> 4).
// Values outside the int range saturate; NaN gives 0.
int RoundHalfEven(double Value);
int64_t RoundHalfEven64(double Value);

// The one ASCII case rule: only 'A'..'Z' and 'a'..'z' fold, every other unit matches
// itself. Names compare so everywhere (window classes, resources, INI sections and keys,
// colour names), whatever else the text holds.
constexpr Char AsciiUpper(Char C) { return C >= u'a' && C <= u'z' ? static_cast<Char>(C - 32) : C; }
constexpr Char AsciiLower(Char C) { return C >= u'A' && C <= u'Z' ? static_cast<Char>(C + 32) : C; }
// Ordered by the upper-case forms, then the shorter first.
int CompareText(std::u16string_view A, std::u16string_view B);
bool SameText(std::u16string_view A, std::u16string_view B);
// UTF-8 names under the same rule (bytes above 0x7F match only themselves).
bool SameText(std::string_view A, std::string_view B);

// (A * B) / C with a 64-bit product, rounded to nearest with halves away from zero.
// C = 0 or a result outside 32 bits gives -1, as callers of the original expect.
int MulDiv(int A, int B, int C);

// A set of enumeration values (values 0..63), the counterpart of the original's sets.
template <typename E>
class TSet {
    static_assert(std::is_enum_v<E>, "TSet holds enumeration values");

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Values) {
        for (E V : Values) FBits |= Bit(V);
    }

    constexpr bool Contains(E V) const { return (FBits & Bit(V)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E V) {
        FBits |= Bit(V);
        return *this;
    }
    constexpr TSet& Exclude(E V) {
        FBits &= ~Bit(V);
        return *this;
    }

    constexpr TSet operator+(TSet O) const { return FromBits(FBits | O.FBits); }
    constexpr TSet operator-(TSet O) const { return FromBits(FBits & ~O.FBits); }
    constexpr TSet operator*(TSet O) const { return FromBits(FBits & O.FBits); }
    constexpr TSet operator+(E V) const { return FromBits(FBits | Bit(V)); }
    constexpr TSet operator-(E V) const { return FromBits(FBits & ~Bit(V)); }
    constexpr TSet& operator+=(TSet O) {
        FBits |= O.FBits;
        return *this;
    }
    constexpr TSet& operator-=(TSet O) {
        FBits &= ~O.FBits;
        return *this;
    }
    constexpr TSet& operator*=(TSet O) {
        FBits &= O.FBits;
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;
    // True when every member of this set is in O (the original's "<=").
    constexpr bool SubsetOf(TSet O) const { return (FBits & ~O.FBits) == 0; }

    constexpr uint64_t Bits() const { return FBits; }
    static constexpr TSet FromBits(uint64_t Bits) {
        TSet S;
        S.FBits = Bits;
        return S;
    }

private:
    static constexpr uint64_t Bit(E V) {
        const auto Index = static_cast<uint64_t>(V);
        return Index < 64 ? uint64_t{1} << Index : 0;
    }
    uint64_t FBits = 0;
};

// The library's failure with a fixed English message.
class EQvError : public std::runtime_error {
public:
    explicit EQvError(const std::string& Utf8Message) : std::runtime_error(Utf8Message) {}
    explicit EQvError(const char* Utf8Message) : std::runtime_error(Utf8Message) {}
    explicit EQvError(const String& Message) : std::runtime_error(StringToUtf8(Message)) {}
    String Message() const { return Utf8ToString(what()); }
};
