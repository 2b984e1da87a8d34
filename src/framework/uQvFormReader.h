#pragma once
// Reading text forms (see uQvFormModel.h for their shape) into component trees, through the
// class and property registry. A form that cannot be read raises
// EReadError "Line <n>: <what is wrong>" and crashes nothing.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "framework/uQvClasses.h"
#include "framework/uQvStreams.h"

struct TFormValue;

// Reads the values of a property declared with TFiler::DefineProperty.
class TReader {
public:
    explicit TReader(const TFormValue& Value);
    ~TReader();

    bool ReadBoolean();
    int ReadInteger();
    int64_t ReadInt64();
    double ReadFloat();
    String ReadString();
    String ReadIdent();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList() const;

private:
    const TFormValue& Next();
    struct TLevel;
    std::vector<TLevel> FLevels;
};

// Reads a text form into an existing root: its properties, then its components (created
// through the registry, owned by Root, placed with SetParentComponent), then references.
// Loaded() of every component read (Root first, then in creation order) runs at the end.
void ReadComponentText(TComponent* Root, std::u16string_view Text);
void ReadComponentTextUtf8(TComponent* Root, std::string_view Text);
// For a form, frame or data module reading its stored layout in its constructor: the same,
// except that Loaded() waits for AfterConstruction() (see Create<T>).
void ReadStoredLayout(TComponent* Root, std::u16string_view Text);
void ReadStoredLayoutUtf8(TComponent* Root, std::string_view Text);
// Makes the root itself from its registered class; it is freed again if reading fails.
TComponent* ReadNewComponentText(std::u16string_view Text, TComponent* Owner);

// Finds components outside the root for references written "Form.Component".
void SetFindGlobalComponent(std::function<TComponent*(const String& Name)> Finder);
