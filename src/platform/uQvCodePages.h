#pragma once
// Narrow text in the program's code pages, converted through iconv.

#include <string>
#include <string_view>

#include "platform/uQvBase.h"

// The code page of the program's narrow text: 936 (GBK).
int GetACP();
// UTF-16 to a code page (936, those iconv knows by "CP<n>" and those of uQvCodePageNames);
// characters the code page cannot hold become '?'. An unknown code page gives UTF-8.
std::string StringToCodePage(std::u16string_view S, int CodePage = 936);
// Bytes of a code page to UTF-16; bytes that do not decode become U+FFFD.
String CodePageToString(std::string_view Bytes, int CodePage = 936);
