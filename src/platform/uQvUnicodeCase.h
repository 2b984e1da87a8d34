#pragma once
// Unicode simple case mapping (one character to one character) from a generated table of
// the Unicode 14 character database, and the comparisons built on it.

#include <string_view>

#include "platform/uQvBase.h"

String AnsiUpperCase(std::u16string_view S);
String AnsiLowerCase(std::u16string_view S);
char32_t UnicodeUpper(char32_t C);
char32_t UnicodeLower(char32_t C);
// Case-insensitive through the simple upper-case mapping, then code-unit order.
int AnsiCompareText(std::u16string_view A, std::u16string_view B);
bool AnsiSameText(std::u16string_view A, std::u16string_view B);
// Wide-string order is UTF-16 code-unit order, case-sensitive.
int AnsiCompareStr(std::u16string_view A, std::u16string_view B);
