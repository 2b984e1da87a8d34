#pragma once
// The parsed text form of a component tree, standing between the text and the objects:
// the parser and the layout writer build it, the formatter and the layout reader walk it.
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

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "framework/uQvClasses.h"

struct TFormProp;
struct TFormItem;

struct TFormValue {
    enum TKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary, vkCollection };
    TKind Kind = vkInteger;
    int Line = 0;
    int64_t Int = 0;
    bool Hex = false;  // written as $hexadecimal: may stand for a 32-bit pattern
    double Float = 0;
    String Text;                   // string, or a (dotted) identifier
    std::vector<String> Names;     // set
    std::vector<TFormValue> List;  // list
    std::string Bytes;             // binary
    std::vector<TFormItem> Items;  // collection
};

struct TFormProp {
    String Name;  // dotted for properties of nested objects
    TFormValue Value;
    int Line = 0;
};

struct TFormItem {
    std::vector<TFormProp> Props;
    int Line = 0;
};

struct TFormObject {
    String Keyword;  // object, inherited or inline
    String Name;
    String ClassName;
    int Line = 0;
    std::vector<TFormProp> Props;
    std::vector<TFormObject> Children;
};

// Nesting of objects, lists and collections beyond this is refused rather than recursed.
constexpr int MaxFormDepth = 200;

// A reading error that already carries its line: "Line <n>: <what is wrong>".
class EFormError : public EReadError {
public:
    EFormError(int Line, const String& Message);
};

[[noreturn]] void FormFail(int Line, const String& Message);

// Runs Body; a failure without a line gets this one.
template <typename F>
void AtFormLine(int Line, F Body) {
    try {
        Body();
    } catch (const EFormError&) {
        throw;
    } catch (const std::exception& E) {
        FormFail(Line, Utf8ToString(E.what()));
    }
}
