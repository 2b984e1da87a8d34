// XML documents from arbitrary bytes (the first one picks the options): reading always
// ends without a fault, every node answers its name, value and path, and what was read
// writes out and reads again.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "xml/uQvXmlDocument.h"

namespace {

void Visit(TXmlNode* Node) {
    (void)Node->Name();
    (void)Node->Value();
    (void)Node->FullPath();
    try {
        (void)Node->ValueAsInteger();
    } catch (const EConvertError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const uint8_t Options = Data[0];
    TQvXmlDocument Doc(nullptr);
    Doc.SetXmlFormat(static_cast<TXmlFormatType>(Options % 3));
    Doc.SetDropCommentsOnParse((Options & 4) != 0);
    Doc.SetFixStructuralErrors((Options & 8) != 0);
    Doc.SetEolStyle(static_cast<TXmlEolStyle>((Options >> 4) % 3));
    // A listener, so every diagnostic is formatted.
    Doc.OnDebugOut = [](TObject*, TXmlWarnStyle, const String& Text) {
        if (Text.empty()) std::abort();
    };
    TMemoryStream In(std::string_view(reinterpret_cast<const char*>(Data) + 1, Size - 1));
    Doc.LoadFromStream(In);

    std::vector<TXmlNode*> Pending;
    for (int I = 0; I < Doc.RootNodeCount(); ++I) Pending.push_back(Doc.RootNodes(I));
    while (!Pending.empty()) {
        TXmlNode* Node = Pending.back();
        Pending.pop_back();
        Visit(Node);
        for (int I = 0; I < Node->NodeCount(); ++I) Pending.push_back(Node->Nodes(I));
    }
    if (TXmlElement* Root = Doc.Root()) {
        (void)Root->FindNode(u"a");
        (void)Root->FindNode(u"/a/b");
    }

    TMemoryStream Out;
    Doc.SaveToStream(Out);
    Out.SetPosition(0);
    TQvXmlDocument Again(nullptr);
    Again.LoadFromStream(Out);
    return 0;
}
