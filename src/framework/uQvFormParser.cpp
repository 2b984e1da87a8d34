#include "framework/uQvFormParser.h"

#include "framework/uQvFormLexer.h"

namespace {

class TParser {
public:
    explicit TParser(std::u16string_view Text) : FLex(Text) {}

    TFormObject ParseRoot() {
        TFormObject Root = ParseObject(0);
        if (FLex.Peek().Kind != TToken::tEOF) FormFail(FLex.Line(), u"Text after the final 'end'");
        return Root;
    }

private:
    static bool IsObjectWord(const TToken& T) {
        return T.IsWord(u"object") || T.IsWord(u"inherited") || T.IsWord(u"inline");
    }

    String Ident(const char16_t* What) {
        const TToken T = FLex.Take();
        if (T.Kind != TToken::tIdent) FormFail(T.Line, String(What) + u" expected");
        return T.Text;
    }

    void Expect(char16_t Symbol) {
        const TToken T = FLex.Take();
        if (!T.Is(Symbol)) FormFail(T.Line, u"'" + String(1, Symbol) + u"' expected");
    }

    void SkipIndex() {
        // "[n]" after an object header or "item" orders inherited entries; it carries no value.
        if (!FLex.Peek().Is(u'[')) return;
        FLex.Take();
        if (FLex.Take().Kind != TToken::tInteger) FormFail(FLex.Line(), u"Index expected");
        Expect(u']');
    }

    TFormObject ParseObject(int Depth) {
        if (Depth > MaxFormDepth) FormFail(FLex.Line(), u"Objects nested too deeply");
        const TToken Head = FLex.Take();
        if (!IsObjectWord(Head)) FormFail(Head.Line, u"'object' expected");
        TFormObject O;
        O.Keyword = LowerCase(Head.Text);
        O.Line = Head.Line;
        const String First = Ident(u"Class name");
        if (FLex.Peek().Is(u':')) {
            FLex.Take();
            O.Name = First;
            O.ClassName = Ident(u"Class name");
        } else {
            O.ClassName = First;
        }
        SkipIndex();
        while (true) {
            const TToken& T = FLex.Peek();
            if (T.Kind == TToken::tEOF) FormFail(T.Line, u"'end' expected");
            if (T.IsWord(u"end")) {
                FLex.Take();
                break;
            }
            if (IsObjectWord(T))
                O.Children.push_back(ParseObject(Depth + 1));
            else
                O.Props.push_back(ParseProp(Depth));
        }
        return O;
    }

    TFormProp ParseProp(int Depth) {
        TFormProp P;
        P.Line = FLex.Line();
        P.Name = Ident(u"Property name");
        while (FLex.Peek().Is(u'.')) {
            FLex.Take();
            P.Name += u"." + Ident(u"Property name");
        }
        Expect(u'=');
        P.Value = ParseValue(Depth);
        return P;
    }

    TFormValue ParseValue(int Depth) {
        if (Depth > MaxFormDepth) FormFail(FLex.Line(), u"Values nested too deeply");
        TToken T = FLex.Take();
        TFormValue V;
        V.Line = T.Line;
        switch (T.Kind) {
            case TToken::tInteger:
                V.Kind = TFormValue::vkInteger;
                V.Int = T.Int;
                V.Hex = T.Hex;
                return V;
            case TToken::tFloat:
                V.Kind = TFormValue::vkFloat;
                V.Float = T.Float;
                return V;
            case TToken::tString:
                V.Kind = TFormValue::vkString;
                V.Text = T.Text;
                while (FLex.Peek().Is(u'+')) {
                    FLex.Take();
                    const TToken Next = FLex.Take();
                    if (Next.Kind != TToken::tString) FormFail(Next.Line, u"String expected");
                    V.Text += Next.Text;
                }
                return V;
            case TToken::tIdent:
                V.Kind = TFormValue::vkIdent;
                V.Text = T.Text;
                while (FLex.Peek().Is(u'.')) {
                    FLex.Take();
                    V.Text += u"." + Ident(u"Identifier");
                }
                return V;
            case TToken::tSymbol:
                break;
            case TToken::tEOF:
                FormFail(T.Line, u"Property value expected");
        }
        if (T.Symbol == u'[') {
            V.Kind = TFormValue::vkSet;
            if (FLex.Peek().Is(u']')) {
                FLex.Take();
                return V;
            }
            while (true) {
                V.Names.push_back(Ident(u"Set element"));
                const TToken Sep = FLex.Take();
                if (Sep.Is(u']')) break;
                if (!Sep.Is(u',')) FormFail(Sep.Line, u"',' or ']' expected");
            }
            return V;
        }
        if (T.Symbol == u'(') {
            V.Kind = TFormValue::vkList;
            while (!FLex.Peek().Is(u')')) {
                if (FLex.Peek().Kind == TToken::tEOF) FormFail(FLex.Line(), u"')' expected");
                V.List.push_back(ParseValue(Depth + 1));
            }
            FLex.Take();
            return V;
        }
        if (T.Symbol == u'{') {
            V.Kind = TFormValue::vkBinary;
            V.Bytes = FLex.ReadBinary();
            return V;
        }
        if (T.Symbol == u'<') {
            V.Kind = TFormValue::vkCollection;
            while (!FLex.Peek().Is(u'>')) {
                const TToken Item = FLex.Take();
                if (!Item.IsWord(u"item")) FormFail(Item.Line, u"'item' or '>' expected");
                TFormItem I;
                I.Line = Item.Line;
                SkipIndex();
                while (true) {
                    const TToken& Next = FLex.Peek();
                    if (Next.Kind == TToken::tEOF) FormFail(Next.Line, u"'end' expected");
                    if (Next.IsWord(u"end")) {
                        FLex.Take();
                        break;
                    }
                    I.Props.push_back(ParseProp(Depth + 1));
                }
                V.Items.push_back(std::move(I));
            }
            FLex.Take();
            return V;
        }
        FormFail(T.Line, u"Property value expected");
    }

    TFormLexer FLex;
};

}  // namespace

TFormObject ParseFormText(std::u16string_view Text) { return TParser(Text).ParseRoot(); }
