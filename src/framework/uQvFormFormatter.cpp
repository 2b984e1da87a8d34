#include "framework/uQvFormFormatter.h"

#include "platform/uQvStrUtils.h"

#include <cstdio>

namespace {

String FloatText(double V) {
    const String Short = FloatToStr(V);
    double Back;
    if (TryStrToFloat(Short, Back) && Back == V) return Short;
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "%.17g", V);
    return Utf8ToString(Buf);
}

String Spaces(int N) { return String(static_cast<size_t>(N), u' '); }

void FormatValue(const TFormValue& V, int Indent, String& Out);

void FormatProps(const std::vector<TFormProp>& Props, int Indent, String& Out) {
    for (const TFormProp& P : Props) {
        Out += Spaces(Indent) + P.Name + u" = ";
        FormatValue(P.Value, Indent, Out);
        Out += u"\n";
    }
}

void FormatValue(const TFormValue& V, int Indent, String& Out) {
    switch (V.Kind) {
        case TFormValue::vkInteger:
            Out += IntToStr(V.Int);
            break;
        case TFormValue::vkFloat:
            Out += FloatText(V.Float);
            break;
        case TFormValue::vkIdent:
            Out += V.Text;
            break;
        case TFormValue::vkString: {
            // Long texts continue on following lines, 64 characters a piece.
            constexpr size_t Piece = 64;
            if (V.Text.size() <= Piece) {
                Out += QuoteFormString(V.Text);
                break;
            }
            for (size_t I = 0; I < V.Text.size(); I += Piece) {
                if (I > 0) Out += u" +\n" + Spaces(Indent + 2);
                Out += QuoteFormString(std::u16string_view(V.Text).substr(I, Piece));
            }
            break;
        }
        case TFormValue::vkSet: {
            Out += u"[";
            for (size_t I = 0; I < V.Names.size(); ++I) Out += (I ? u", " : u"") + V.Names[I];
            Out += u"]";
            break;
        }
        case TFormValue::vkList: {
            Out += u"(";
            for (const TFormValue& Item : V.List) {
                Out += u"\n" + Spaces(Indent + 2);
                FormatValue(Item, Indent + 2, Out);
            }
            Out += u")";
            break;
        }
        case TFormValue::vkBinary: {
            static const char16_t Hex[] = u"0123456789ABCDEF";
            Out += u"{";
            for (size_t I = 0; I < V.Bytes.size(); ++I) {
                if (I % 32 == 0) Out += u"\n" + Spaces(Indent + 2);
                const auto B = static_cast<uint8_t>(V.Bytes[I]);
                Out.push_back(Hex[B >> 4]);
                Out.push_back(Hex[B & 15]);
            }
            Out += u"}";
            break;
        }
        case TFormValue::vkCollection: {
            Out += u"<";
            for (const TFormItem& Item : V.Items) {
                Out += u"\n" + Spaces(Indent + 2) + u"item\n";
                FormatProps(Item.Props, Indent + 4, Out);
                Out += Spaces(Indent + 2) + u"end";
            }
            Out += u">";
            break;
        }
    }
}

void FormatObjectAt(const TFormObject& O, int Indent, String& Out) {
    Out += Spaces(Indent) + O.Keyword + u" " + (O.Name.empty() ? O.ClassName : O.Name + u": " + O.ClassName) + u"\n";
    FormatProps(O.Props, Indent + 2, Out);
    for (const TFormObject& C : O.Children) FormatObjectAt(C, Indent + 2, Out);
    Out += Spaces(Indent) + u"end\n";
}

}  // namespace

String FormatFormText(const TFormObject& Form) {
    String Out;
    FormatObjectAt(Form, 0, Out);
    return Out;
}

String QuoteFormString(std::u16string_view S) {
    if (S.empty()) return u"''";
    String Out;
    bool Quoted = false;
    for (const char16_t C : S) {
        if (C >= u' ' && C <= u'~') {
            if (!Quoted) Out.push_back(u'\'');
            Quoted = true;
            Out += C == u'\'' ? u"''" : String(1, C);
        } else {
            if (Quoted) Out.push_back(u'\'');
            Quoted = false;
            Out += u"#" + IntToStr(static_cast<int>(C));
        }
    }
    if (Quoted) Out.push_back(u'\'');
    return Out;
}
