#pragma once
// The system's locale as the original platform names it: an LCID (2052 Chinese (PRC), 1033
// English (US)). Only these two are told apart; callers pick their texts by it.

#include <string_view>

#include "platform/uQvWinTypes.h"

using LCID = DWORD;
inline constexpr LCID LCID_CHINESE_PRC = 2052;
inline constexpr LCID LCID_ENGLISH_US = 1033;

// The backend's locale when it names one (the headless backend: 2052 unless a test set
// another), else the one the environment gives.
LCID GetSystemDefaultLCID();
// 2052 when the first set of LC_ALL, LC_MESSAGES and LANG (the order in which they
// override each other) starts with "zh", else 1033. Null or empty values count as unset.
LCID QvLCIDFromEnvironment(const char* LcAll, const char* LcMessages, const char* Lang);
