#include "platform/uQvBase.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

void AppendUtf16(String& Out, char32_t C) {
    if (C < 0x10000) {
        Out += static_cast<Char>(C);
    } else {
        C -= 0x10000;
        Out += static_cast<Char>(0xD800 + (C >> 10));
        Out += static_cast<Char>(0xDC00 + (C & 0x3FF));
    }
}

}  // namespace

String Utf8ToString(std::string_view Utf8) {
    String Out;
    Out.reserve(Utf8.size());
    const auto* P = reinterpret_cast<const unsigned char*>(Utf8.data());
    const size_t N = Utf8.size();
    size_t I = 0;
    while (I < N) {
        const unsigned char B = P[I];
        if (B < 0x80) {
            Out += static_cast<Char>(B);
            ++I;
            continue;
        }
        int Len;
        char32_t C;
        char32_t Min;
        if (B >= 0xC2 && B <= 0xDF) {
            Len = 2, C = B & 0x1F, Min = 0x80;
        } else if (B >= 0xE0 && B <= 0xEF) {
            Len = 3, C = B & 0x0F, Min = 0x800;
        } else if (B >= 0xF0 && B <= 0xF4) {
            Len = 4, C = B & 0x07, Min = 0x10000;
        } else {
            Out += static_cast<Char>(ReplacementChar);
            ++I;
            continue;
        }
        // A malformed sequence yields one U+FFFD for its valid prefix, then decoding resumes
        // at the first byte that broke it.
        int Got = 1;
        while (Got < Len && I + Got < N && (P[I + Got] & 0xC0) == 0x80) {
            C = (C << 6) | (P[I + Got] & 0x3F);
            ++Got;
        }
        if (Got < Len || C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
            Out += static_cast<Char>(ReplacementChar);
            I += Got;
            continue;
        }
        AppendUtf16(Out, C);
        I += Len;
    }
    return Out;
}

std::string StringToUtf8(std::u16string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    const size_t N = Text.size();
    for (size_t I = 0; I < N; ++I) {
        const char32_t U = Text[I];
        if (U >= 0xD800 && U <= 0xDBFF && I + 1 < N && Text[I + 1] >= 0xDC00 && Text[I + 1] <= 0xDFFF) {
            AppendUtf8(Out, 0x10000 + ((U - 0xD800) << 10) + (Text[I + 1] - 0xDC00));
            ++I;
        } else if (U >= 0xD800 && U <= 0xDFFF) {
            AppendUtf8(Out, ReplacementChar);
        } else {
            AppendUtf8(Out, U);
        }
    }
    return Out;
}

int64_t RoundHalfEven64(double Value) {
    if (std::isnan(Value)) return 0;
    // nearbyint honours the current rounding mode, which this program never changes from
    // round-to-nearest-even.
    const double R = std::nearbyint(Value);
    if (R >= 9223372036854775807.0) return INT64_MAX;
    if (R <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(R);
}

int RoundHalfEven(double Value) {
    const int64_t R = RoundHalfEven64(Value);
    if (R > INT_MAX) return INT_MAX;
    if (R < INT_MIN) return INT_MIN;
    return static_cast<int>(R);
}

int MulDiv(int A, int B, int C) {
    if (C == 0) return -1;
    const int64_t Product = static_cast<int64_t>(A) * B;
    const bool Negative = (Product < 0) != (C < 0);
    const uint64_t P = Product < 0 ? 0 - static_cast<uint64_t>(Product) : static_cast<uint64_t>(Product);
    const uint64_t D = C < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(C)) : static_cast<uint64_t>(C);
    // Halves round away from zero: add half the divisor to the magnitude.
    const uint64_t Q = (P + D / 2) / D;
    if (Q > static_cast<uint64_t>(INT_MAX) + (Negative ? 1 : 0)) return -1;
    return Negative ? static_cast<int>(0 - static_cast<int64_t>(Q)) : static_cast<int>(Q);
}

namespace {

template <typename C>
int CompareAscii(std::basic_string_view<C> A, std::basic_string_view<C> B) {
    using TUnit = std::make_unsigned_t<C>;
    const size_t N = std::min(A.size(), B.size());
    for (size_t I = 0; I < N; ++I) {
        const int D = static_cast<int>(AsciiUpper(static_cast<TUnit>(A[I]))) -
                      static_cast<int>(AsciiUpper(static_cast<TUnit>(B[I])));
        if (D != 0) return D;
    }
    return A.size() < B.size() ? -1 : (A.size() > B.size() ? 1 : 0);
}

}  // namespace

int CompareText(std::u16string_view A, std::u16string_view B) { return CompareAscii(A, B); }

bool SameText(std::u16string_view A, std::u16string_view B) {
    return A.size() == B.size() && CompareAscii(A, B) == 0;
}

bool SameText(std::string_view A, std::string_view B) { return A.size() == B.size() && CompareAscii(A, B) == 0; }
