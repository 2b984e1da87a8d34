#pragma once
// Charset names of XML declarations and their code pages.

#include <string_view>

// The code page of a declaration's encoding name (ASCII case ignored): "utf-8" 65001,
// "windows-1252" 1252, "gb2312" 936, ...; 65001 for a name the table does not hold.
int XmlCharsetCodePage(std::string_view Name);
