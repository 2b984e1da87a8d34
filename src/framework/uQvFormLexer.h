#pragma once
// The tokens of the text form: identifiers, integers ($ for hexadecimal), floats, strings
// (quoted pieces and #n characters run together), symbols, and the bytes of "{ hex }".
// A text it cannot read raises EFormError with the line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/uQvFormModel.h"

struct TFormToken {
    enum TKind { tEOF, tIdent, tInteger, tFloat, tString, tSymbol };
    TKind Kind = tEOF;
    String Text;
    int64_t Int = 0;
    bool Hex = false;
    double Float = 0;
    char16_t Symbol = 0;
    int Line = 1;

    bool Is(char16_t S) const { return Kind == tSymbol && Symbol == S; }
    bool IsWord(std::u16string_view W) const { return Kind == tIdent && SameText(Text, W); }
};

class TFormLexer {
public:
    explicit TFormLexer(std::u16string_view Text);

    const TFormToken& Peek() {
        if (!FPeeked) FPeeked = Scan();
        return *FPeeked;
    }
    TFormToken Take() {
        TFormToken T = Peek();
        FPeeked.reset();
        return T;
    }
    int Line() { return Peek().Line; }

    // The bytes of "{ hex }" after the opening brace was taken.
    std::string ReadBinary();

private:
    void SkipBlanks();
    TFormToken Scan();
    TFormToken ScanNumber(TFormToken& T);
    TFormToken ScanString(TFormToken& T);

    std::u16string_view FText;
    size_t FPos = 0;
    int FLine = 1;
    std::optional<TFormToken> FPeeked;
};
