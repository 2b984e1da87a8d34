#include "platform/uQvDrawText.h"

#include <algorithm>

#include "platform/uQvText.h"

namespace {

constexpr std::u16string_view Ellipsis = u"...";

bool IsBlank(char16_t C) { return C == u' '; }
bool IsLowSurrogate(char16_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

// One paragraph after prefix processing, with the running sums of its advances:
// Sum[i] is the width of the first i units.
struct TPara {
    String Text;
    int Prefix = -1;
    std::vector<int> Sum;
    int Width(size_t From, size_t To) const { return Sum[To] - Sum[From]; }
};

void Measure(TPara& P, const TQvAdvanceFunc& Advances) {
    std::vector<int> A;
    Advances(P.Text, A);
    P.Sum.assign(P.Text.size() + 1, 0);
    for (size_t I = 0; I < P.Text.size(); ++I) P.Sum[I + 1] = P.Sum[I] + (I < A.size() ? A[I] : 0);
}

// "&x" draws x underlined, "&&" draws '&', a lone '&' at the end is dropped. When several
// characters are prefixed the last one is underlined.
void StripPrefixes(std::u16string_view In, String& Out, int& Prefix) {
    Out.clear();
    Prefix = -1;
    for (size_t I = 0; I < In.size(); ++I) {
        if (In[I] != u'&') {
            Out += In[I];
            continue;
        }
        if (I + 1 >= In.size()) break;
        ++I;
        if (In[I] != u'&') Prefix = static_cast<int>(Out.size());
        Out += In[I];
    }
}

// True when a line may end between units I - 1 and I of Text.
bool CanBreakBefore(const String& Text, size_t I) {
    if (I == 0 || I >= Text.size() || IsLowSurrogate(Text[I])) return false;
    if (IsBlank(Text[I])) return false;
    if (IsBlank(Text[I - 1])) return true;
    size_t PrevStart = I - 1;
    if (IsLowSurrogate(Text[PrevStart]) && PrevStart > 0) --PrevStart;
    const char32_t Prev = QvCodePointAt(Text, PrevStart);
    const char32_t Next = QvCodePointAt(Text, I);
    if (QvIsClosingPunctuation(Next) || QvIsOpeningPunctuation(Prev)) return false;
    // Before an ideograph, and after one before a Latin word.
    return QvIsCJKBreakable(Next) || QvIsCJKBreakable(Prev);
}

size_t TrimBlanks(const String& Text, size_t From, size_t To) {
    while (To > From && IsBlank(Text[To - 1])) --To;
    return To;
}

// The largest unit count from From (a whole code point, at least one when Force) whose
// width stays within Limit.
size_t FitUnits(const TPara& P, size_t From, size_t To, int Limit, bool Force) {
    size_t K = From;
    while (K < To) {
        size_t Next = K + 1;
        if (Next < To && IsLowSurrogate(P.Text[Next])) ++Next;
        if (P.Width(From, Next) > Limit) break;
        K = Next;
    }
    if (K == From && Force && From < To) {
        K = From + 1;
        if (K < To && IsLowSurrogate(P.Text[K])) ++K;
    }
    return K;
}

struct TSeg {
    size_t Para;
    size_t From;
    size_t To;  // trailing blanks excluded
};

void Wrap(const TPara& P, size_t ParaIndex, int Limit, bool BreakWords, std::vector<TSeg>& Out) {
    const size_t N = P.Text.size();
    if (N == 0) {
        Out.push_back({ParaIndex, 0, 0});
        return;
    }
    size_t Start = 0;
    while (Start < N) {
        size_t Best = 0;  // end (exclusive) of the widest fitting candidate
        size_t First = 0;
        for (size_t E = Start + 1; E <= N; ++E) {
            if (E < N && !CanBreakBefore(P.Text, E)) continue;
            if (First == 0) First = E;
            if (P.Width(Start, TrimBlanks(P.Text, Start, E)) <= Limit)
                Best = E;
            else
                break;
        }
        size_t End = Best;
        if (End == 0) {
            if (BreakWords) {
                End = FitUnits(P, Start, First, Limit, true);
            } else {
                End = First;  // a word wider than the rectangle stays whole
            }
        }
        Out.push_back({ParaIndex, Start, TrimBlanks(P.Text, Start, End)});
        Start = End;
    }
}

int WidthOf(std::u16string_view Text, const TQvAdvanceFunc& Advances) {
    std::vector<int> A;
    Advances(Text, A);
    int W = 0;
    for (int V : A) W += V;
    return W;
}

// Cuts the line's end and appends the ellipsis so that it fits in Limit. AtWords cuts at a
// word boundary where one fits.
void EndEllipsis(TQvTextLine& L, const TPara& P, size_t From, size_t To, int Limit, int EllW, bool AtWords) {
    size_t K = From;
    bool Found = false;
    if (AtWords) {
        for (size_t E = To; E > From; --E) {
            if (E < To && !CanBreakBefore(P.Text, E)) continue;
            const size_t T = TrimBlanks(P.Text, From, E);
            if (T > From && P.Width(From, T) + EllW <= Limit) {
                K = T;
                Found = true;
                break;
            }
        }
    }
    if (!Found) K = FitUnits(P, From, To, Limit - EllW, false);
    L.Text.assign(P.Text, From, K - From);
    L.Text += Ellipsis;
    if (L.PrefixIndex >= static_cast<int>(K - From)) L.PrefixIndex = -1;
    L.Width = P.Width(From, K) + EllW;
}

// Keeps the part after the last '\' or '/' and as much of the start as fits, with the
// ellipsis between. Without a separator the end is cut instead.
void PathEllipsis(TQvTextLine& L, const TPara& P, size_t From, size_t To, int Limit, int EllW) {
    size_t Sep = To;
    for (size_t I = To; I > From; --I) {
        if (P.Text[I - 1] == u'\\' || P.Text[I - 1] == u'/') {
            Sep = I - 1;
            break;
        }
    }
    if (Sep == To) {
        EndEllipsis(L, P, From, To, Limit, EllW, false);
        return;
    }
    const int TailW = P.Width(Sep, To);
    const int Old = L.PrefixIndex;  // relative to From
    const int SepRel = static_cast<int>(Sep - From);
    if (EllW + TailW <= Limit) {
        const size_t K = FitUnits(P, From, Sep, Limit - EllW - TailW, false);
        const int Kept = static_cast<int>(K - From);
        L.Text.assign(P.Text, From, K - From);
        L.Text += Ellipsis;
        L.Text.append(P.Text, Sep, To - Sep);
        L.Width = P.Width(From, K) + EllW + TailW;
        L.PrefixIndex = Old < 0 ? -1 : Old < Kept ? Old : Old >= SepRel ? Old - SepRel + Kept + 3 : -1;
        return;
    }
    // Not even the last part fits: the ellipsis and as much of that part as fits.
    const size_t M = FitUnits(P, Sep, To, Limit - EllW, false);
    L.Text = String(Ellipsis);
    L.Text.append(P.Text, Sep, M - Sep);
    L.Width = EllW + P.Width(Sep, M);
    L.PrefixIndex = (Old >= SepRel && Old < static_cast<int>(M - From)) ? Old - SepRel + 3 : -1;
}

bool InRange(char32_t C, char32_t Lo, char32_t Hi) { return C >= Lo && C <= Hi; }

}  // namespace

bool QvIsCJKBreakable(char32_t C) {
    return InRange(C, 0x2E80, 0x2FDF) ||   // radicals
           InRange(C, 0x3000, 0x303F) ||   // CJK symbols and punctuation
           InRange(C, 0x3040, 0x30FF) ||   // kana
           InRange(C, 0x3100, 0x31FF) ||   // bopomofo, kana extensions
           InRange(C, 0x3200, 0x4DBF) ||   // enclosed, compatibility, extension A
           InRange(C, 0x4E00, 0x9FFF) ||   // unified ideographs
           InRange(C, 0xAC00, 0xD7AF) ||   // hangul syllables
           InRange(C, 0xF900, 0xFAFF) ||   // compatibility ideographs
           InRange(C, 0xFE30, 0xFE4F) ||   // vertical forms
           InRange(C, 0xFF01, 0xFF60) ||   // full-width forms
           InRange(C, 0xFFE0, 0xFFE6) ||   // full-width signs
           InRange(C, 0x20000, 0x3FFFF);   // supplementary ideographs
}

bool QvIsClosingPunctuation(char32_t C) {
    switch (C) {
        case u'，': case u'。': case u'、': case u'；': case u'：': case u'？': case u'！':
        case u'）': case u'」': case u'』': case u'】': case u'〉': case u'》': case u'〕':
        case u'〗': case u'〙': case u'〛': case u'］': case u'｝': case u'．': case u'〞':
        case u'…': case u'‥': case u'’': case u'”': case u'ー': case u'～': case u'％':
        case u'ぁ': case u'ぃ': case u'ぅ': case u'ぇ': case u'ぉ': case u'っ': case u'ゃ':
        case u'ゅ': case u'ょ': case u'ァ': case u'ィ': case u'ゥ': case u'ェ': case u'ォ':
        case u'ッ': case u'ャ': case u'ュ': case u'ョ': case u'゛': case u'゜': case u'ヽ':
        case u'ヾ': case u'ゝ': case u'ゞ': case u'々':
        case u')': case u']': case u'}': case u',': case u'.': case u';': case u':': case u'!':
        case u'?': case u'%':
            return true;
        default:
            return false;
    }
}

bool QvIsOpeningPunctuation(char32_t C) {
    switch (C) {
        case u'（': case u'「': case u'『': case u'【': case u'〈': case u'《': case u'〔':
        case u'〖': case u'〘': case u'〚': case u'［': case u'｛': case u'‘': case u'“':
        case u'〝': case u'￥': case u'＄':
        case u'(': case u'[': case u'{':
            return true;
        default:
            return false;
    }
}

void QvLayoutText(std::u16string_view Text, const TRect& R, UINT Format, int LineHeight,
                  const TQvAdvanceFunc& Advances, TQvTextLayout& Out) {
    Out.Lines.clear();
    Out.Bounds = R;
    Out.Result = 0;
    const bool Single = (Format & DT_SINGLELINE) != 0;
    const bool Calc = (Format & DT_CALCRECT) != 0;
    const bool WordBreak = !Single && (Format & DT_WORDBREAK) != 0;
    const bool EditControl = (Format & DT_EDITCONTROL) != 0;
    const int Limit = R.Right - R.Left;

    // Paragraphs: CR, LF and CR LF end a line (a final one adds none); on a single line
    // they are not drawn. A tab is one space.
    std::vector<String> Raw(1);
    for (size_t I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I];
        if (C == u'\r' || C == u'\n') {
            if (Single) continue;
            if (C == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
            if (I + 1 < Text.size()) Raw.emplace_back();
            continue;
        }
        Raw.back() += C == u'\t' ? u' ' : C;
    }
    if (Text.empty() && !Single) Raw.clear();

    std::vector<TPara> Paras(Raw.size());
    for (size_t I = 0; I < Raw.size(); ++I) {
        if (Format & DT_NOPREFIX)
            Paras[I].Text = std::move(Raw[I]);
        else
            StripPrefixes(Raw[I], Paras[I].Text, Paras[I].Prefix);
        Measure(Paras[I], Advances);
    }

    std::vector<TSeg> Segs;
    for (size_t I = 0; I < Paras.size(); ++I) {
        if (WordBreak)
            Wrap(Paras[I], I, Limit, EditControl, Segs);
        else
            Segs.push_back({I, 0, Paras[I].Text.size()});
    }

    const int EllFlags = Format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    const int EllW = EllFlags ? WidthOf(Ellipsis, Advances) : 0;
    const size_t LastSeg = Segs.empty() ? 0 : Segs.size() - 1;

    // Lines that do not fully show at the bottom are dropped in edit-control mode; the last
    // one shown then ends with the ellipsis when one is asked for.
    size_t Shown = Segs.size();
    bool Truncated = false;
    if (EditControl && !Single && !Calc && LineHeight > 0) {
        const int Fit = std::max<int>(1, (R.Bottom - R.Top) / LineHeight);
        if (Segs.size() > static_cast<size_t>(Fit)) {
            Shown = static_cast<size_t>(Fit);
            Truncated = true;
        }
    }

    int Widest = 0;
    for (size_t I = 0; I < Shown; ++I) {
        const TSeg& S = Segs[I];
        const TPara& P = Paras[S.Para];
        TQvTextLine L;
        L.Text.assign(P.Text, S.From, S.To - S.From);
        L.Width = P.Width(S.From, S.To);
        if (P.Prefix >= static_cast<int>(S.From) && P.Prefix < static_cast<int>(S.To))
            L.PrefixIndex = P.Prefix - static_cast<int>(S.From);
        if (EllFlags && !Calc) {
            // A wrapped line that is still too wide holds a single long word: only the
            // end of the text gets an ellipsis, other such words are clipped.
            const bool MayCut = !WordBreak || I == LastSeg || (Format & DT_PATH_ELLIPSIS);
            if (L.Width > Limit && MayCut) {
                if (Format & DT_PATH_ELLIPSIS) {
                    PathEllipsis(L, P, S.From, S.To, Limit, EllW);
                } else {
                    EndEllipsis(L, P, S.From, S.To, Limit, EllW, (Format & DT_WORD_ELLIPSIS) != 0);
                }
            } else if (Truncated && I + 1 == Shown && (Format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))) {
                const int Before = L.Width;
                EndEllipsis(L, P, S.From, S.To, Limit, EllW, (Format & DT_WORD_ELLIPSIS) != 0);
                // Text that fits whole keeps all of it in front of the ellipsis.
                if (Before + EllW <= Limit) {
                    L.Text.assign(P.Text, S.From, S.To - S.From);
                    L.Text += Ellipsis;
                    L.Width = Before + EllW;
                }
            }
        }
        Widest = std::max(Widest, L.Width);
        Out.Lines.push_back(std::move(L));
    }

    const int Height = static_cast<int>(Out.Lines.size()) * LineHeight;
    int Y = R.Top;
    if (Single && (Format & DT_VCENTER))
        Y = R.Top + (R.Bottom - R.Top - Height) / 2;
    else if (Single && (Format & DT_BOTTOM))
        Y = R.Bottom - Height;
    for (TQvTextLine& L : Out.Lines) {
        if (Format & DT_CENTER)
            L.X = R.Left + (Limit - L.Width) / 2;
        else if (Format & DT_RIGHT)
            L.X = R.Right - L.Width;
        else
            L.X = R.Left;
        L.Y = Y;
        Y += LineHeight;
    }

    if (Calc) {
        Out.Bounds.Right = R.Left + Widest;
        Out.Bounds.Bottom = R.Top + Height;
        Out.Result = Height;
    } else if (Single && (Format & (DT_VCENTER | DT_BOTTOM))) {
        Out.Result = Out.Lines.empty() ? 0 : Out.Lines.back().Y + LineHeight - R.Top;
    } else {
        Out.Result = Height;
    }
}
