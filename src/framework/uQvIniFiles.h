#pragma once
// INI files with the profile rules programs expect: sections and keys match without regard
// to ASCII case, values are trimmed and lose one pair of surrounding double quotes, ';'
// starts a comment. Reading never creates the file. Every write goes to disk at once and
// atomically (a new file renamed over the old one); lines the write does not concern keep
// their bytes. A write that cannot be made returns false and leaves the file as it was.
// Reads parse the file once and keep it until its size, times or identity change.

#include <memory>

#include "framework/uQvClasses.h"

class TStrings;
struct TIniParsed;

class TIniFile : public TObject {
public:
    explicit TIniFile(const String& FileName) : FFileName(FileName) {}

    const String& FileName() const { return FFileName; }

    // The first section of that name, its first key of that name; Default when missing.
    String ReadString(const String& Section, const String& Ident, const String& Default) const;
    // "0x"/"0X" hexadecimal, else decimal; Default when missing or not a number.
    int ReadInteger(const String& Section, const String& Ident, int Default) const;
    // ReadInteger(..., Default ? 1 : 0) != 0.
    bool ReadBool(const String& Section, const String& Ident, bool Default) const;
    double ReadFloat(const String& Section, const String& Ident, double Default) const;

    // An existing key is replaced in place; a new key goes to the end of its section; a new
    // section to the end of the file, after an empty line. Names and values that would
    // break the file's structure (line breaks, '=' or a leading ';' or '[' in a key, ']'
    // in a section name, empty names) are refused.
    bool WriteString(const String& Section, const String& Ident, const String& Value);
    bool WriteInteger(const String& Section, const String& Ident, int Value);
    bool WriteBool(const String& Section, const String& Ident, bool Value);
    bool WriteFloat(const String& Section, const String& Ident, double Value);

    bool SectionExists(const String& Section) const;
    bool ValueExists(const String& Section, const String& Ident) const;
    void ReadSection(const String& Section, TStrings& Keys) const;
    void ReadSections(TStrings& Sections) const;
    void ReadSectionValues(const String& Section, TStrings& Values) const;
    bool EraseSection(const String& Section);
    bool DeleteKey(const String& Section, const String& Ident);
    // Writes are never held back; nothing is left to flush.
    void UpdateFile() {}

private:
    const TIniParsed& Parsed() const;
    void Changed() { FParsed.reset(); }

    String FFileName;
    mutable std::shared_ptr<const TIniParsed> FParsed;
};
