#pragma once
// Lists of strings: the abstract TStrings (text, name=value pairs, files, streaming) and the
// stored TStringList (with optional sorting and objects).

#include <utility>
#include <vector>

#include "framework/uQvClasses.h"

// Decodes file text: a UTF-8 byte order mark is skipped, UTF-16 (LE or BE) with a mark is
// decoded, anything else is UTF-8 with invalid sequences as U+FFFD.
String TextFromBytes(std::string_view Bytes);
// Splits at CR, LF and CR LF; a final line break adds no empty line.
std::vector<String> SplitLines(std::u16string_view Text);

class TStrings : public TPersistent {
public:
    virtual String Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Put(int Index, const String& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* Object);
    virtual void Insert(int Index, const String& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    int Count() const { return GetCount(); }
    String Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const String& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* Object) { PutObject(Index, Object); }

    virtual int Add(const String& S);
    int AddObject(const String& S, TObject* Object);
    void InsertObject(int Index, const String& S, TObject* Object);
    void AddStrings(const TStrings& Strings);
    void AddStrings(std::initializer_list<String> Strings);
    virtual void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);

    // Without regard to case (simple Unicode case mapping) unless the list says otherwise.
    virtual int IndexOf(std::u16string_view S) const;
    int IndexOfObject(const TObject* Object) const;

    // Name=Value pairs.
    String Names(int Index) const;
    String ValueFromIndex(int Index) const;
    int IndexOfName(std::u16string_view Name) const;
    String Values(std::u16string_view Name) const;
    // An empty Value removes the pair.
    void SetValues(std::u16string_view Name, const String& Value);

    // Each line followed by LineBreak (CR LF unless changed).
    String Text() const;
    void SetText(std::u16string_view Value);
    const String& LineBreak() const { return FLineBreak; }
    void SetLineBreak(const String& Value) { FLineBreak = Value; }

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    bool Equals(const TStrings& Other) const;
    void Assign(const TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;

    // UTF-8 (see TextFromBytes). A file that cannot be read raises EFOpenError and leaves
    // the list as it was.
    void LoadFromFile(const String& FileName);
    void LoadFromStream(TStream& Stream);
    // UTF-8 without a byte order mark, lines ending in LineBreak.
    void SaveToFile(const String& FileName) const;
    void SaveToStream(TStream& Stream) const;

protected:
    virtual void SetUpdateState(bool) {}
    virtual int CompareStrings(std::u16string_view A, std::u16string_view B) const;
    [[noreturn]] static void Error(const char16_t* Message, int Index);

private:
    String FLineBreak = u"\r\n";
    int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    String Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    void Put(int Index, const String& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Object) override;
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(const String& S) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(std::u16string_view S) const override;

    // Binary search of a sorted list; Index is where S is or would go.
    bool Find(std::u16string_view S, int& Index) const;
    void Sort();
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // The list frees its objects when they leave it.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(std::u16string_view A, std::u16string_view B) const override;
    virtual void Changed();
    virtual void Changing();

private:
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const String& S, TObject* Object);

    std::vector<std::pair<String, TObject*>> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;
};
