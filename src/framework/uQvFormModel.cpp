#include "framework/uQvFormModel.h"

EFormError::EFormError(int Line, const String& Message)
    : EReadError(Format(u"Line %d: %s", {Line, Message})) {}

void FormFail(int Line, const String& Message) { throw EFormError(Line, Message); }
