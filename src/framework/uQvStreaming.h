#pragma once
// The text form of component trees:
//
//   object Name: TClass
//     Prop = 12                    integers (decimal or $hex), floats, True/False
//     Caption = 'It''s '#30830#23450  strings: quoted ASCII, '' for a quote, #n for others
//     Align = alClient             enumeration values and colours by name
//     Anchors = [akLeft, akTop]    sets
//     Font.Height = -12            properties of nested objects
//     PopupMenu = pm1              references to components, by name
//     Items.Strings = ('a' 'b')    lists
//     Bitmap.Data = { 0A0B... }    bytes in hexadecimal
//     Bitmaps = < item ... end >   collection items
//     object Child: TClass ... end
//   end
//
// Reading goes through the class and property registry; a form that cannot be read raises
// EReadError "Line <n>: <what is wrong>" and crashes nothing.

#include <cstdint>
#include <functional>
#include <memory>
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

// The text form of Root and the components it lists (GetChildren). Only values that
// differ from their registered defaults are written.
String WriteComponentText(TComponent* Root);
std::string WriteComponentTextUtf8(TComponent* Root);

// Finds components outside the root for references written "Form.Component".
void SetFindGlobalComponent(std::function<TComponent*(const String& Name)> Finder);

// The literal form of a string ('text', '' for a quote, #n for other characters).
String QuoteFormString(std::u16string_view S);
