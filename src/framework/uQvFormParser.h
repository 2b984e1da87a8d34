#pragma once
// Parses a whole text form into its model before anything is created, so a syntax error
// creates nothing. Raises EFormError "Line <n>: <what is wrong>".

#include <string_view>

#include "framework/uQvFormModel.h"

TFormObject ParseFormText(std::u16string_view Text);
