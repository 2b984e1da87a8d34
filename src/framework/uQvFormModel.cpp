#include "framework/uQvFormModel.h"

#include "platform/uQvStrUtils.h"

EFormError::EFormError(int Line, const String& Message)
    : EReadError(Format(u"Line %d: %s", {Line, Message})) {}

void FormFail(int Line, const String& Message) { throw EFormError(Line, Message); }
