#pragma once
// Writing component trees as text forms (see uQvFormModel.h for their shape).

#include <cstdint>
#include <string>
#include <vector>

#include "framework/uQvClasses.h"
#include "framework/uQvStreams.h"

struct TFormValue;

// Writes the values of a property declared with TFiler::DefineProperty.
class TWriter {
public:
    TWriter();
    ~TWriter();

    void WriteBoolean(bool Value);
    void WriteInteger(int64_t Value);
    void WriteFloat(double Value);
    void WriteString(const String& Value);
    void WriteIdent(const String& Value);
    void WriteListBegin();
    void WriteListEnd();

    // The single value written (a list when WriteListBegin came first).
    TFormValue TakeValue();

private:
    void Put(TFormValue Value);
    std::vector<std::vector<TFormValue>> FLists;
};

// The text form of Root and the components it lists (GetChildren). Only values that
// differ from their registered defaults are written.
String WriteComponentText(TComponent* Root);
std::string WriteComponentTextUtf8(TComponent* Root);
