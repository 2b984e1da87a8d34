#include "framework/uQvIniFiles.h"

#include <string>
#include <string_view>
#include <vector>

#include "framework/uQvStringList.h"
#include "platform/uQvFiles.h"
#include "platform/uQvPaths.h"
#include "platform/uQvStrUtils.h"

namespace {

// A larger file is not a settings file; it is neither read nor replaced.
constexpr size_t MaxIniSize = 16u << 20;

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

std::string_view TrimView(std::string_view S) {
    while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
    return S;
}

enum TLineKind { lkOther, lkSection, lkKey };

struct TParsedLine {
    TLineKind Kind = lkOther;
    std::string_view Name;
    std::string_view Value;
};

TParsedLine ParseLine(std::string_view Line) {
    TParsedLine P;
    const std::string_view T = TrimView(Line);
    if (T.empty() || T[0] == ';') return P;
    if (T[0] == '[') {
        const size_t Close = T.find(']');
        if (Close == std::string_view::npos) return P;
        P.Kind = lkSection;
        P.Name = TrimView(T.substr(1, Close - 1));
        return P;
    }
    const size_t Eq = T.find('=');
    if (Eq == std::string_view::npos) return P;
    P.Name = TrimView(T.substr(0, Eq));
    if (P.Name.empty()) return P;
    P.Kind = lkKey;
    P.Value = TrimView(T.substr(Eq + 1));
    if (P.Value.size() >= 2 && P.Value.front() == '"' && P.Value.back() == '"')
        P.Value = P.Value.substr(1, P.Value.size() - 2);
    return P;
}

struct TIniLine {
    std::string Text;
    std::string Ending;  // "\n", "\r\n", "\r" or nothing on a last line
};

// The file as lines, each keeping its own bytes.
class TIniText {
public:
    // False when something is at the path that cannot be read as a settings file (too
    // large, a link, a folder, a FIFO or device, no permission): then it must not be
    // replaced either.
    bool Load(const String& FileName) {
        std::string Bytes;
        if (!ReadFileBytes(FileName, Bytes, MaxIniSize, false)) return !PathExists(FileName);
        std::string_view Rest = Bytes;
        if (Rest.substr(0, 3) == "\xEF\xBB\xBF") {
            Bom = "\xEF\xBB\xBF";
            Rest.remove_prefix(3);
        }
        while (!Rest.empty()) {
            const size_t Break = Rest.find_first_of("\r\n");
            TIniLine Line;
            Line.Text = std::string(Rest.substr(0, Break));
            if (Break == std::string_view::npos) {
                Rest = {};
            } else {
                const size_t Len = Rest[Break] == '\r' && Break + 1 < Rest.size() && Rest[Break + 1] == '\n' ? 2 : 1;
                Line.Ending = std::string(Rest.substr(Break, Len));
                Rest.remove_prefix(Break + Len);
            }
            Lines.push_back(std::move(Line));
        }
        return true;
    }

    std::string Save() const {
        std::string Out = Bom;
        for (const TIniLine& L : Lines) Out += L.Text + L.Ending;
        return Out;
    }

    // New lines take the file's own line end (LF for a new file).
    std::string Eol() const {
        for (const TIniLine& L : Lines)
            if (!L.Ending.empty()) return L.Ending;
        return "\n";
    }

    int FindSection(std::string_view Name) const {
        for (size_t I = 0; I < Lines.size(); ++I) {
            const TParsedLine P = ParseLine(Lines[I].Text);
            if (P.Kind == lkSection && SameText(P.Name, Name)) return static_cast<int>(I);
        }
        return -1;
    }

    int SectionEnd(int Header) const {
        for (size_t I = static_cast<size_t>(Header) + 1; I < Lines.size(); ++I)
            if (ParseLine(Lines[I].Text).Kind == lkSection) return static_cast<int>(I);
        return static_cast<int>(Lines.size());
    }

    int FindKey(int Header, std::string_view Ident) const {
        const int End = SectionEnd(Header);
        for (int I = Header + 1; I < End; ++I) {
            const TParsedLine P = ParseLine(Lines[static_cast<size_t>(I)].Text);
            if (P.Kind == lkKey && SameText(P.Name, Ident)) return I;
        }
        return -1;
    }

    // Inserts Text as a line of its own before index At.
    void InsertLine(size_t At, std::string Text) {
        const std::string Ending = Eol();
        if (At > 0 && Lines[At - 1].Ending.empty()) Lines[At - 1].Ending = Ending;
        Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(At), TIniLine{std::move(Text), Ending});
    }

    std::vector<TIniLine> Lines;
    std::string Bom;
};

std::string Name8(const String& S) { return std::string(TrimView(StringToUtf8(S))); }

bool HasLineBreak(const String& S) { return S.find_first_of(u"\r\n") != String::npos; }

// Loads the file for reading; a file that cannot be read reads as empty.
TIniText ReadOnly(const String& FileName) {
    TIniText Text;
    if (!Text.Load(FileName)) Text.Lines.clear();
    return Text;
}

bool Lookup(const String& FileName, const String& Section, const String& Ident, std::string& Value) {
    const TIniText Text = ReadOnly(FileName);
    const int Header = Text.FindSection(Name8(Section));
    if (Header < 0) return false;
    const int Key = Text.FindKey(Header, Name8(Ident));
    if (Key < 0) return false;
    Value = std::string(ParseLine(Text.Lines[static_cast<size_t>(Key)].Text).Value);
    return true;
}

}  // namespace

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
    std::string Value;
    return Lookup(FFileName, Section, Ident, Value) ? Utf8ToString(Value) : Default;
}

int TIniFile::ReadInteger(const String& Section, const String& Ident, int Default) const {
    String S = ReadString(Section, Ident, String());
    if (S.size() > 2 && S[0] == u'0' && (S[1] == u'x' || S[1] == u'X')) S = u"$" + S.substr(2);
    return StrToIntDef(S, Default);
}

bool TIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const String& Section, const String& Ident, double Default) const {
    return StrToFloatDef(ReadString(Section, Ident, String()), Default);
}

bool TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
    const std::string S = Name8(Section), K = Name8(Ident);
    if (S.empty() || K.empty() || HasLineBreak(Section) || HasLineBreak(Ident) || HasLineBreak(Value) ||
        S.find(']') != std::string::npos || K.find('=') != std::string::npos || K[0] == ';' || K[0] == '[')
        return false;
    TIniText Text;
    if (!Text.Load(FFileName)) return false;
    const std::string Line = K + "=" + StringToUtf8(Value);
    const int Header = Text.FindSection(S);
    if (Header < 0) {
        // A new section at the end, one empty line after the previous one.
        if (!Text.Lines.empty() && !TrimView(Text.Lines.back().Text).empty())
            Text.InsertLine(Text.Lines.size(), std::string());
        Text.InsertLine(Text.Lines.size(), "[" + S + "]");
        Text.InsertLine(Text.Lines.size(), Line);
    } else if (const int Key = Text.FindKey(Header, K); Key >= 0) {
        // Replaced in place; the key keeps its spelling in the file.
        const TParsedLine Old = ParseLine(Text.Lines[static_cast<size_t>(Key)].Text);
        Text.Lines[static_cast<size_t>(Key)].Text = std::string(Old.Name) + "=" + StringToUtf8(Value);
    } else {
        // After the section's last line that is not blank.
        int At = Text.SectionEnd(Header);
        while (At - 1 > Header && TrimView(Text.Lines[static_cast<size_t>(At - 1)].Text).empty()) --At;
        Text.InsertLine(static_cast<size_t>(At), Line);
    }
    return WriteFileAtomic(FFileName, Text.Save()).Ok();
}

bool TIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
    return WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
    return WriteString(Section, Ident, Value ? u"1" : u"0");
}

bool TIniFile::WriteFloat(const String& Section, const String& Ident, double Value) {
    return WriteString(Section, Ident, FloatToStr(Value));
}

bool TIniFile::SectionExists(const String& Section) const {
    return ReadOnly(FFileName).FindSection(Name8(Section)) >= 0;
}

bool TIniFile::ValueExists(const String& Section, const String& Ident) const {
    std::string Value;
    return Lookup(FFileName, Section, Ident, Value);
}

void TIniFile::ReadSection(const String& Section, TStrings& Keys) const {
    Keys.BeginUpdate();
    Keys.Clear();
    const TIniText Text = ReadOnly(FFileName);
    const int Header = Text.FindSection(Name8(Section));
    if (Header >= 0)
        for (int I = Header + 1; I < Text.SectionEnd(Header); ++I)
            if (const TParsedLine P = ParseLine(Text.Lines[static_cast<size_t>(I)].Text); P.Kind == lkKey)
                Keys.Add(Utf8ToString(P.Name));
    Keys.EndUpdate();
}

void TIniFile::ReadSections(TStrings& Sections) const {
    Sections.BeginUpdate();
    Sections.Clear();
    for (const TIniLine& L : ReadOnly(FFileName).Lines)
        if (const TParsedLine P = ParseLine(L.Text); P.Kind == lkSection) Sections.Add(Utf8ToString(P.Name));
    Sections.EndUpdate();
}

void TIniFile::ReadSectionValues(const String& Section, TStrings& Values) const {
    Values.BeginUpdate();
    Values.Clear();
    const TIniText Text = ReadOnly(FFileName);
    const int Header = Text.FindSection(Name8(Section));
    if (Header >= 0)
        for (int I = Header + 1; I < Text.SectionEnd(Header); ++I)
            if (const TParsedLine P = ParseLine(Text.Lines[static_cast<size_t>(I)].Text); P.Kind == lkKey)
                Values.Add(Utf8ToString(P.Name) + u"=" + Utf8ToString(P.Value));
    Values.EndUpdate();
}

bool TIniFile::EraseSection(const String& Section) {
    TIniText Text;
    if (!Text.Load(FFileName)) return false;
    const int Header = Text.FindSection(Name8(Section));
    if (Header < 0) return true;
    Text.Lines.erase(Text.Lines.begin() + Header, Text.Lines.begin() + Text.SectionEnd(Header));
    return WriteFileAtomic(FFileName, Text.Save()).Ok();
}

bool TIniFile::DeleteKey(const String& Section, const String& Ident) {
    TIniText Text;
    if (!Text.Load(FFileName)) return false;
    const int Header = Text.FindSection(Name8(Section));
    const int Key = Header < 0 ? -1 : Text.FindKey(Header, Name8(Ident));
    if (Key < 0) return true;
    Text.Lines.erase(Text.Lines.begin() + Key);
    return WriteFileAtomic(FFileName, Text.Save()).Ok();
}
