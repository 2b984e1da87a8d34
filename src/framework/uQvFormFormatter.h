#pragma once
// Writes the model of a text form as text: two spaces of indent a level, LF line ends,
// strings of more than 64 characters continued on following lines, 32 bytes of binary a
// line, floats in the shortest form that reads back to the same value.

#include <string_view>

#include "framework/uQvFormModel.h"

String FormatFormText(const TFormObject& Form);

// The literal form of a string ('text', '' for a quote, #n for other characters).
String QuoteFormString(std::u16string_view S);
