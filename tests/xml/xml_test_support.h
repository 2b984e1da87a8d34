#pragma once
// A document that records its diagnostics, loaded from and saved to memory.

#include <string>
#include <string_view>
#include <vector>

#include "xml/uQvXmlDocument.h"

class TLoggedDocument {
public:
    TLoggedDocument() {
        Doc.OnDebugOut = [this](TObject*, TXmlWarnStyle Style, const String& Text) {
            static const char* const Styles[] = {"info: ", "hint: ", "warn: ", "fail: "};
            Log.push_back(Styles[Style] + StringToUtf8(Text));
            if (Style >= wsWarn) Problems.push_back(Log.back());
        };
    }
    void Load(std::string_view Bytes) {
        Log.clear();
        Problems.clear();
        TMemoryStream S(Bytes);
        Doc.LoadFromStream(S);
    }
    std::string Save() {
        TMemoryStream S;
        Doc.SaveToStream(S);
        return std::string(S.Bytes());
    }

    TQvXmlDocument Doc{nullptr};
    std::vector<std::string> Log;       // every diagnostic, "warn: text"
    std::vector<std::string> Problems;  // the warnings and failures among them
};
