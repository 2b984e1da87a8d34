#include "controls/uPelluxHtmlRender.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/uQvBase.h"
#include "platform/uQvStrUtils.h"

namespace {

// The lines of a text, split at CR or LF as a string list splits them: a break at the
// very end adds no empty line.
std::vector<String> SplitLines(const String& Text) {
    std::vector<String> Lines;
    size_t Start = 0;
    for (size_t I = 0; I < Text.size(); ++I)
        if (Text[I] == u'\r' || Text[I] == u'\n') {
            Lines.push_back(Text.substr(Start, I - Start));
            Start = I + 1;
        }
    if (Start < Text.size()) Lines.push_back(Text.substr(Start));
    return Lines;
}

bool StartsWith(const String& S, std::u16string_view Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}

// The value of the attribute Name in Tag: between the first pair of double quotes after
// the name, else of single quotes, else the word after its "=".
bool Attribute(const String& Tag, std::u16string_view Name, String& Value) {
    const size_t At = UpperCase(Tag).find(UpperCase(Name));
    if (At == String::npos) return false;
    const String After = Tag.substr(At + Name.size());
    for (const char16_t Quote : {u'"', u'\''}) {
        const size_t Open = After.find(Quote);
        const size_t Close = Open == String::npos ? String::npos : After.find(Quote, Open + 1);
        if (Close != String::npos) {
            Value = After.substr(Open + 1, Close - Open - 1);
            return true;
        }
    }
    String Rest = Trim(After);
    if (!Rest.empty()) Rest.erase(0, 1);
    Rest = Trim(Rest);
    Value = Rest.substr(0, Rest.find(u' '));
    return true;
}

class TEngine {
public:
    TEngine(TCanvas* Canvas, const TRect& Rect, const THtmlRenderParams& Params, THtmlRenderMode Mode)
        : C(Canvas), R(Rect), P(Params), Mode(Mode), Top(Rect.Top), Original(std::make_unique<TFont>()) {
        Original->Assign(C->Font());
        SavedColor = C->Font()->Color();
        SavedBrush = C->Brush()->Color();
        StartSize = C->Font()->Size();
    }
    ~TEngine() { C->Font()->Assign(Original.get()); }

    THtmlRenderResult Render(const String& Text) {
        const std::vector<String> Lines = SplitLines(Prepared(Text));
        for (size_t I = 0; I < Lines.size(); ++I) {
            Line(Lines[I]);
            if (I + 1 < Lines.size()) {
                LineEnd();
                EndedByRule = false;
            }
        }
        Largest = std::max(Largest, X);
        Out.Width = Largest > 0 ? Largest + 1 : LineHeight() + 1;
        // A text that ends with a rule has already moved below it.
        Out.Height = Top - R.Top + (EndedByRule ? 0 : LineExtent());
        return Out;
    }

private:
    static String Prepared(const String& Text) {
        static constexpr std::pair<std::u16string_view, std::u16string_view> References[] = {
            {u"&amp;", u"&"},  {u"&quot;", u"\""}, {u"&reg;", u"\u00AE"}, {u"&copy;", u"\u00A9"},
            {u"&trade;", u"\u2122"}, {u"&euro;", u"\u20AC"}, {u"&nbsp;", u" "}};
        String T = Text;
        for (const auto& [From, To] : References) T = StringReplace(T, From, To, true, true);
        T = StringReplace(T, u"\r\n", u"");
        T = StringReplace(T, u"<BR>", u"\n", true, true);
        return StringReplace(T, u"<HR>", u"<HR>\n", true, true);
    }

    bool Disabled() const { return P.Look == HtmlLookDisabled; }
    int LineHeight() { return C->TextHeight(u"W"); }

    // A line is as tall as its font, or its tallest run when a larger font ran in it,
    // so the next line never overlaps it.
    int LineExtent() { return std::max(LineHeight(), Tallest); }

    void LineEnd() {
        Largest = std::max(Largest, X);
        X = 0;
        Top += LineExtent();
        Tallest = 0;
    }

    void Line(String L) {
        while (!L.empty()) {
            const size_t Lt = L.find(u'<');
            if (Lt != 0) {
                String Text = L.substr(0, Lt);
                Text = StringReplace(StringReplace(Text, u"&lt;", u"<", true, true), u"&gt;", u">", true, true);
                Run(Text);
                if (Lt == String::npos) return;
                L.erase(0, Lt);
            }
            const size_t Gt = L.find(u'>');
            if (Gt == String::npos) {
                // An unclosed "<" is an empty tag: it goes, the rest stays text.
                L.erase(0, 1);
                continue;
            }
            Tag(L.substr(0, Gt));
            L.erase(0, Gt + 1);
        }
    }

    void Run(const String& Text) {
        TFont* F = C->Font();
        const int Size = F->Size();
        if (Script != 0) F->SetSize(std::clamp(RoundHalfEven(Size * P.ScriptRatio), 1, 1000));
        const int W = C->TextWidth(Text), H = C->TextHeight(Text);
        const int Y = Script == 2 ? R.Bottom - H - 1 : Top;
        const TPoint M = P.Mouse;
        if ((Mode == hrDraw || Mode == hrHitTest) && InLink && !Out.Hovered && (M.X != 0 || M.Y != 0) &&
            M.Y >= Y && M.Y < Y + H && M.X >= R.Left + X && M.X < R.Left + X + W) {
            Out.Hovered = true;
            Out.LinkName = Link;
            F->SetColor(P.HotColor);
        }
        if (Mode == hrDraw) {
            C->Brush()->SetStyle(bsClear);
            C->TextOut(R.Left + X, Y, Text);
        }
        X += W;
        if (Script == 0) Tallest = std::max(Tallest, H);
        if (Script != 0) F->SetSize(Size);
        EndedByRule = false;
    }

    void Tag(const String& Text) {
        const String U = UpperCase(Text);
        TFont* F = C->Font();
        TFontStyles Style = F->Style();
        const auto Is = [&U](std::u16string_view Prefix) { return StartsWith(U, Prefix); };
        if (Is(u"</")) {
            if (Is(u"</B")) {
                Style -= TFontStyles{fsBold};
            } else if (Is(u"</I")) {
                Style -= TFontStyles{fsItalic};
            } else if (Is(u"</U")) {
                Style -= TFontStyles{fsUnderline};
            } else if (Is(u"</S")) {
                Script = 0;
                Style -= TFontStyles{fsStrikeOut};
            } else if (Is(u"</A")) {
                if (InLink) F->Assign(LinkFont.get());
                InLink = false;
                return;
            } else if (Is(u"</F")) {
                if (!Disabled()) {
                    F->SetColor(SavedColor);
                    C->Brush()->SetColor(SavedBrush);
                    F->SetSize(StartSize);
                }
                return;
            } else {
                return;
            }
            F->SetStyle(Style);
            return;
        }
        if (Is(u"<SUP")) {
            Script = 1;
        } else if (Is(u"<SUB")) {
            Script = 2;
        } else if (Is(u"<S")) {
            F->SetStyle(Style + TFontStyles{fsStrikeOut});
        } else if (Is(u"<B")) {
            F->SetStyle(Style + TFontStyles{fsBold});
        } else if (Is(u"<I")) {
            F->SetStyle(Style + TFontStyles{fsItalic});
        } else if (Is(u"<U")) {
            F->SetStyle(Style + TFontStyles{fsUnderline});
        } else if (Is(u"<AL")) {
            // Lines stay left-aligned.
        } else if (Is(u"<A")) {
            String Href;
            if (!Attribute(Text, u"HREF", Href)) return;
            if (LinkFont == nullptr) LinkFont = std::make_unique<TFont>();
            LinkFont->Assign(F);
            InLink = true;
            Link = Href;
            if (!Disabled()) F->SetColor(RGB(0, 0, 255));
        } else if (Is(u"<FONT")) {
            if (!Disabled()) Font(U);
        } else if (Is(u"<HR")) {
            Rule(U);
        }
    }

    void Font(const String& U) {
        TFont* F = C->Font();
        SavedColor = F->Color();
        SavedBrush = C->Brush()->Color();
        String V;
        if (Attribute(U, u"COLOR", V)) {
            if (!V.empty() && V[0] == u'#') V[0] = u'$';
            TColor Color;
            if (TryStringToColor(V, Color)) F->SetColor(Color);
        }
        if (Attribute(U, u"SIZE", V)) {
            int N = 0;
            if (!TryStrToInt(V, N)) N = 2;
            // Sizes compound from tag to tag; a caption cannot ask for an enormous font.
            F->SetSize(static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(N) * F->Size() / 2, 1, 1000)));
        }
        if (Attribute(U, u"ALIGN", V)) Script = V == u"BOTTOM" ? 2 : 0;
    }

    void Rule(const String& U) {
        TPen* Pen = C->Pen();
        const int SavedWidth = Pen->Width();
        if (Disabled()) Pen->SetColor(C->Font()->Color());
        String V;
        // Within 1..1000: a negative width would move the next line up over the rule.
        const int Width = Attribute(U, u"SIZE", V) ? std::clamp(StrToIntDef(V, 1), 1, 1000) : 1;
        Pen->SetWidth(Width);
        if (Mode == hrDraw) {
            const int Y = Top + LineHeight();
            C->MoveTo(R.Left, Y);
            C->LineTo(R.Right, Y);
        }
        Top += Width + 1;
        Pen->SetWidth(SavedWidth);
        LineEnd();
        EndedByRule = true;
    }

    TCanvas* C;
    const TRect R;
    const THtmlRenderParams& P;
    const THtmlRenderMode Mode;
    int X = 0;
    int Top;
    int Largest = 0;
    int Script = 0;
    int Tallest = 0;  // of the runs of the current line
    bool InLink = false;
    bool EndedByRule = false;
    String Link;
    std::unique_ptr<TFont> LinkFont;
    std::unique_ptr<TFont> Original;
    TColor SavedColor = clBlack;
    TColor SavedBrush = clWhite;
    int StartSize = 0;
    THtmlRenderResult Out;
};

}  // namespace

THtmlRenderResult HtmlRender(TCanvas* Canvas, const TRect& Rect, const THtmlRenderParams& Params,
                             THtmlRenderMode Mode, const String& Text) {
    if (Canvas == nullptr) return {};
    return TEngine(Canvas, Rect, Params, Mode).Render(Text);
}
