#include "framework/uQvFormParser.h"

#include "platform/uQvStrUtils.h"

#include "framework/uQvFormLexer.h"

namespace {

class TParser {
public:
    explicit TParser(std::u16string_view Text) : FLex(Text) {}

    TFormObject ParseRoot() {
        TFormObject Root = ParseObject(0);
        if (FLex.Peek().Kind != TFormToken::tEOF) FormFail(FLex.Line(), u"Text after the final 'end'");
        return Root;
    }

private:
    static bool IsObjectWord(const TFormToken& T) {
        return T.IsWord(u"object") || T.IsWord(u"inherited") || T.IsWord(u"inline");
    }

    String Ident(const char16_t* What) {
        const TFormToken T = FLex.Take();
        if (T.Kind != TFormToken::tIdent) FormFail(T.Line, String(What) + u" expected");
        return T.Text;
    }

    void Expect(char16_t Symbol) {
        const TFormToken T = FLex.Take();
        if (!T.Is(Symbol)) FormFail(T.Line, u"'" + String(1, Symbol) + u"' expected");
    }

    void SkipIndex() {
        // "[n]" after an object header or "item" orders inherited entries; it carries no value.
        if (!FLex.Peek().Is(u'[')) return;
        FLex.Take();
        if (FLex.Take().Kind != TFormToken::tInteger) FormFail(FLex.Line(), u"Index expected");
        Expect(u']');
    }

    TFormObject ParseObject(int Depth) {
        if (Depth > MaxFormDepth) FormFail(FLex.Line(), u"Objects nested too deeply");
        const TFormToken Head = FLex.Take();
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
            const TFormToken& T = FLex.Peek();
            if (T.Kind == TFormToken::tEOF) FormFail(T.Line, u"'end' expected");
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
        TFormToken T = FLex.Take();
        TFormValue V;
        V.Line = T.Line;
        switch (T.Kind) {
            case TFormToken::tInteger:
                V.Kind = TFormValue::vkInteger;
                V.Int = T.Int;
                V.Hex = T.Hex;
                return V;
            case TFormToken::tFloat:
                V.Kind = TFormValue::vkFloat;
                V.Float = T.Float;
                return V;
            case TFormToken::tString:
                V.Kind = TFormValue::vkString;
                V.Text = T.Text;
                while (FLex.Peek().Is(u'+')) {
                    FLex.Take();
                    const TFormToken Next = FLex.Take();
                    if (Next.Kind != TFormToken::tString) FormFail(Next.Line, u"String expected");
                    V.Text += Next.Text;
                }
                return V;
            case TFormToken::tIdent:
                V.Kind = TFormValue::vkIdent;
                V.Text = T.Text;
                while (FLex.Peek().Is(u'.')) {
                    FLex.Take();
                    V.Text += u"." + Ident(u"Identifier");
                }
                return V;
            case TFormToken::tSymbol:
                break;
            case TFormToken::tEOF:
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
                const TFormToken Sep = FLex.Take();
                if (Sep.Is(u']')) break;
                if (!Sep.Is(u',')) FormFail(Sep.Line, u"',' or ']' expected");
            }
            return V;
        }
        if (T.Symbol == u'(') {
            V.Kind = TFormValue::vkList;
            while (!FLex.Peek().Is(u')')) {
                if (FLex.Peek().Kind == TFormToken::tEOF) FormFail(FLex.Line(), u"')' expected");
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
                const TFormToken Item = FLex.Take();
                if (!Item.IsWord(u"item")) FormFail(Item.Line, u"'item' or '>' expected");
                TFormItem I;
                I.Line = Item.Line;
                SkipIndex();
                while (true) {
                    const TFormToken& Next = FLex.Peek();
                    if (Next.Kind == TFormToken::tEOF) FormFail(Next.Line, u"'end' expected");
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
