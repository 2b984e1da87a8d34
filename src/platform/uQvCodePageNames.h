#pragma once
// Code pages that the conversion library does not know by "CP<n>": their names there.

// The conversion library's name of CodePage when "CP<n>" does not reach it (28591 is
// "ISO-8859-1", 54936 "GB18030", 65001 "UTF-8"), else nullptr.
const char* CodePageIconvName(int CodePage);
