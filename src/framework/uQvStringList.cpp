#include "framework/uQvStringList.h"

#include <algorithm>

#include "framework/uQvFormReader.h"
#include "framework/uQvFormWriter.h"
#include "framework/uQvStreams.h"
#include "platform/uQvStrUtils.h"
#include "platform/uQvUnicodeCase.h"

String TextFromBytes(std::string_view Bytes) {
    auto Starts = [&](std::string_view Mark) { return Bytes.substr(0, Mark.size()) == Mark; };
    if (Starts("\xEF\xBB\xBF")) return Utf8ToString(Bytes.substr(3));
    const bool LE = Starts("\xFF\xFE"), BE = Starts("\xFE\xFF");
    if (!LE && !BE) return Utf8ToString(Bytes);
    String R;
    R.reserve(Bytes.size() / 2);
    for (size_t I = 2; I + 1 < Bytes.size(); I += 2) {
        const auto A = static_cast<uint8_t>(Bytes[I]), B = static_cast<uint8_t>(Bytes[I + 1]);
        R.push_back(static_cast<char16_t>(LE ? (A | B << 8) : (A << 8 | B)));
    }
    if (Bytes.size() % 2 != 0) R.push_back(u'\uFFFD');  // a cut-off last unit
    return R;
}

std::vector<String> SplitLines(std::u16string_view Text) {
    std::vector<String> Lines;
    size_t Start = 0, I = 0;
    while (I < Text.size()) {
        if (Text[I] == u'\r' || Text[I] == u'\n') {
            Lines.emplace_back(Text.substr(Start, I - Start));
            if (Text[I] == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
            Start = ++I;
        } else {
            ++I;
        }
    }
    if (Start < Text.size()) Lines.emplace_back(Text.substr(Start));
    return Lines;
}

// ---- TStrings -------------------------------------------------------------------------

void TStrings::Error(const char16_t* Message, int Index) { throw EListError(Format(Message, {Index})); }

void TStrings::Put(int Index, const String& S) {
    TObject* Object = GetObject(Index);
    BeginUpdate();
    try {
        Delete(Index);
        InsertObject(Index, S, Object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const String& S) {
    const int Index = GetCount();
    Insert(Index, S);
    return Index;
}

int TStrings::AddObject(const String& S, TObject* Object) {
    const int Index = Add(S);
    PutObject(Index, Object);
    return Index;
}

void TStrings::InsertObject(int Index, const String& S, TObject* Object) {
    Insert(Index, S);
    PutObject(Index, Object);
}

void TStrings::AddStrings(const TStrings& Strings) {
    BeginUpdate();
    try {
        for (int I = 0; I < Strings.Count(); ++I) AddObject(Strings.Get(I), Strings.GetObject(I));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::AddStrings(std::initializer_list<String> Strings) {
    BeginUpdate();
    for (const String& S : Strings) Add(S);
    EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
    BeginUpdate();
    const String S1 = Get(Index1), S2 = Get(Index2);
    TObject* O1 = GetObject(Index1);
    TObject* O2 = GetObject(Index2);
    Put(Index1, S2);
    PutObject(Index1, O2);
    Put(Index2, S1);
    PutObject(Index2, O1);
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (NewIndex < 0 || NewIndex >= GetCount()) Error(u"List index out of bounds (%d)", NewIndex);
    BeginUpdate();
    const String S = Get(CurIndex);
    TObject* Object = GetObject(CurIndex);
    PutObject(CurIndex, nullptr);
    Delete(CurIndex);
    InsertObject(NewIndex, S, Object);
    EndUpdate();
}

int TStrings::CompareStrings(std::u16string_view A, std::u16string_view B) const { return AnsiCompareText(A, B); }

int TStrings::IndexOf(std::u16string_view S) const {
    for (int I = 0; I < GetCount(); ++I)
        if (CompareStrings(Get(I), S) == 0) return I;
    return -1;
}

int TStrings::IndexOfObject(const TObject* Object) const {
    for (int I = 0; I < GetCount(); ++I)
        if (GetObject(I) == Object) return I;
    return -1;
}

String TStrings::Names(int Index) const {
    const String S = Get(Index);
    const size_t Eq = S.find(u'=');
    return Eq == String::npos ? String() : S.substr(0, Eq);
}

String TStrings::ValueFromIndex(int Index) const {
    const String S = Get(Index);
    const size_t Eq = S.find(u'=');
    return Eq == String::npos ? String() : S.substr(Eq + 1);
}

int TStrings::IndexOfName(std::u16string_view Name) const {
    for (int I = 0; I < GetCount(); ++I) {
        const String S = Get(I);
        const size_t Eq = S.find(u'=');
        if (Eq != String::npos && CompareStrings(std::u16string_view(S).substr(0, Eq), Name) == 0) return I;
    }
    return -1;
}

String TStrings::Values(std::u16string_view Name) const {
    const int I = IndexOfName(Name);
    return I < 0 ? String() : ValueFromIndex(I);
}

void TStrings::SetValues(std::u16string_view Name, const String& Value) {
    const int I = IndexOfName(Name);
    if (Value.empty()) {
        if (I >= 0) Delete(I);
    } else if (I < 0) {
        Add(String(Name) + u"=" + Value);
    } else {
        Put(I, String(Name) + u"=" + Value);
    }
}

String TStrings::Text() const {
    String R;
    for (int I = 0; I < GetCount(); ++I) R += Get(I) + FLineBreak;
    return R;
}

void TStrings::SetText(std::u16string_view Value) {
    BeginUpdate();
    try {
        Clear();
        for (const String& Line : SplitLines(Value)) Add(Line);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings& Other) const {
    if (GetCount() != Other.GetCount()) return false;
    for (int I = 0; I < GetCount(); ++I)
        if (Get(I) != Other.Get(I)) return false;
    return true;
}

void TStrings::Assign(const TPersistent* Source) {
    if (const auto* Other = dynamic_cast<const TStrings*>(Source)) {
        if (Other == this) return;
        BeginUpdate();
        try {
            Clear();
            AddStrings(*Other);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::DefineProperties(TFiler& Filer) {
    Filer.DefineProperty(
        u"Strings",
        [this](TReader& Reader) {
            BeginUpdate();
            try {
                Clear();
                Reader.ReadListBegin();
                while (!Reader.EndOfList()) Add(Reader.ReadString());
                Reader.ReadListEnd();
            } catch (...) {
                EndUpdate();
                throw;
            }
            EndUpdate();
        },
        [this](TWriter& Writer) {
            Writer.WriteListBegin();
            for (int I = 0; I < GetCount(); ++I) Writer.WriteString(Get(I));
            Writer.WriteListEnd();
        },
        GetCount() > 0);
}

void TStrings::LoadFromFile(const String& FileName) {
    TMemoryStream Stream;
    Stream.LoadFromFile(FileName);
    LoadFromStream(Stream);
}

void TStrings::LoadFromStream(TStream& Stream) {
    const int64_t Size = Stream.Size() - Stream.Position();
    std::string Bytes(static_cast<size_t>(std::max<int64_t>(Size, 0)), '\0');
    Stream.ReadBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    SetText(TextFromBytes(Bytes));
}

void TStrings::SaveToFile(const String& FileName) const {
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

void TStrings::SaveToStream(TStream& Stream) const {
    const std::string Bytes = StringToUtf8(Text());
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

// ---- TStringList ----------------------------------------------------------------------

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& Item : FList) delete Item.second;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) Error(u"List index out of bounds (%d)", Index);
}

String TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].first;
}

void TStringList::Put(int Index, const String& S) {
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].first = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].second;
}

void TStringList::PutObject(int Index, TObject* Object) {
    CheckIndex(Index);
    Changing();
    TObject*& Slot = FList[static_cast<size_t>(Index)].second;
    if (FOwnsObjects && Slot != Object) delete Slot;
    Slot = Object;
    Changed();
}

void TStringList::InsertItem(int Index, const String& S, TObject* Object) {
    Changing();
    FList.insert(FList.begin() + Index, {S, Object});
    Changed();
}

void TStringList::Insert(int Index, const String& S) {
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    if (Index < 0 || Index > GetCount()) Error(u"List index out of bounds (%d)", Index);
    InsertItem(Index, S, nullptr);
}

int TStringList::Add(const String& S) {
    if (!FSorted) {
        InsertItem(GetCount(), S, nullptr);
        return GetCount() - 1;
    }
    int Index;
    if (Find(S, Index)) {
        if (FDuplicates == dupIgnore) return Index;
        if (FDuplicates == dupError) throw EListError("String list does not allow duplicates");
    }
    InsertItem(Index, S, nullptr);
    return Index;
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* Object = FList[static_cast<size_t>(Index)].second;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects) delete Object;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<std::pair<String, TObject*>> Old;
    Old.swap(FList);
    if (FOwnsObjects)
        for (auto& Item : Old) delete Item.second;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::CompareStrings(std::u16string_view A, std::u16string_view B) const {
    return FCaseSensitive ? AnsiCompareStr(A, B) : AnsiCompareText(A, B);
}

bool TStringList::Find(std::u16string_view S, int& Index) const {
    int Lo = 0, Hi = GetCount() - 1;
    bool Found = false;
    while (Lo <= Hi) {
        const int Mid = (Lo + Hi) / 2;
        const int C = CompareStrings(FList[static_cast<size_t>(Mid)].first, S);
        if (C < 0) {
            Lo = Mid + 1;
        } else {
            Hi = Mid - 1;
            if (C == 0) {
                Found = true;
                if (FDuplicates != dupAccept) Lo = Mid;
            }
        }
    }
    Index = Lo;
    return Found;
}

int TStringList::IndexOf(std::u16string_view S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int Index;
    return Find(S, Index) ? Index : -1;
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(FList.begin(), FList.end(),
                     [this](const auto& A, const auto& B) { return CompareStrings(A.first, B.first) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (Value == FSorted) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (Value == FCaseSensitive) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}
