#include <gtest/gtest.h>

#include <string>

#include "platform/uQvPaths.h"
#include "support/qv_error_of.h"
#include "xml/uQvXmlDocument.h"
#include "xml_test_support.h"

namespace {

const char* const ConfigXml =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<PelluxRes><Config><Custom><Form><Style>0</Style><FormBg/><DefaultSkinOrder>0</DefaultSkinOrder>"
    "<HitTestWidth>5</HitTestWidth><GradientHeight>168</GradientHeight><TitleHeight>27</TitleHeight>"
    "<TitlerColor>16761926</TitlerColor><Color>15920353</Color><FramWidth>2</FramWidth><HSB_H>0</HSB_H>"
    "<HSB_S>0</HSB_S><HSB_B>0</HSB_B></Form></Custom></Config></PelluxRes>";

// The default skin configuration, built the way its component saves it.
void BuildConfig(TQvXmlDocument& Doc) {
    Doc.New();
    Doc.Root()->SetName(u"PelluxRes");
    TXmlNode* Form = Doc.Root()->NodeNew(u"Config")->NodeNew(u"Custom")->NodeNew(u"Form");
    Form->NodeNew(u"Style")->SetValueAsInteger(0);
    Form->NodeNew(u"FormBg")->SetValue(u"");
    const std::pair<const char16_t*, int> Numbers[] = {
        {u"DefaultSkinOrder", 0}, {u"HitTestWidth", 5},    {u"GradientHeight", 168},
        {u"TitleHeight", 27},     {u"TitlerColor", 16761926}, {u"Color", 15920353},
        {u"FramWidth", 2},        {u"HSB_H", 0},           {u"HSB_S", 0},
        {u"HSB_B", 0},
    };
    for (const auto& [Name, Value] : Numbers) Form->NodeNew(Name)->SetValueAsInteger(Value);
}

}  // namespace

TEST(XmlDocument, NewDocumentHoldsOneUnnamedRoot) {
    TQvXmlDocument Doc(nullptr);
    ASSERT_EQ(Doc.RootNodeCount(), 1);
    EXPECT_EQ(Doc.Root()->Name(), u"");
    EXPECT_EQ(Doc.EolStyle(), esCRLF);
    EXPECT_EQ(Doc.XmlFormat(), xfPreserve);
    EXPECT_TRUE(Doc.PreserveWhiteSpace());
    Doc.SetRootName(u"r");
    Doc.SetHasDocType(true);
    Doc.New();
    TMemoryStream S;
    Doc.SaveToStream(S);
    EXPECT_EQ(S.Bytes(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE r SYSTEM><r/>");
}

// The configuration is written byte for byte, reads back whole and writes the same bytes.
TEST(XmlDocument, ConfigurationWritesExactBytesAndRoundTrips) {
    TLoggedDocument L;
    BuildConfig(L.Doc);
    const std::string First = L.Save();
    EXPECT_EQ(First, ConfigXml);
    L.Load(First);
    EXPECT_TRUE(L.Problems.empty()) << L.Problems.front();
    EXPECT_EQ(L.Doc.ExternalEncoding(), seUTF8);
    EXPECT_EQ(L.Doc.Root()->FindNode(u"TitlerColor")->ValueAsInteger(), 16761926);
    EXPECT_EQ(L.Save(), First);

    // Through a file too, written beside the target and renamed over it.
    L.Doc.SaveToFile(u"Config.xml");
    TQvXmlDocument Again(nullptr);
    Again.LoadFromFile(u"Config.xml");
    EXPECT_EQ(Again.Root()->FindNode(u"/PelluxRes/Config/Custom/Form/HitTestWidth")->Value(), u"5");
    EXPECT_EQ(QvErrorOf([&] { Again.LoadFromFile(u"missing.xml"); }).rfind("Cannot open file \"missing.xml\"", 0), 0u);
}

TEST(XmlDocument, HandIndentedFileKeepsItsLayout) {
    const std::string Indented =
        "<?xml version=\"1.0\"?>\n<PelluxRes>\n  <Form a='1'\n        b=\"2\">\n    <Style>\n      1\n    </Style>\n"
        "  </Form>\n</PelluxRes>\n";
    TLoggedDocument L;
    L.Doc.SetEolStyle(esLF);
    L.Load(Indented);
    EXPECT_TRUE(L.Problems.empty());
    TXmlNode* Style = L.Doc.Root()->FindNode(u"style");
    ASSERT_NE(Style, nullptr);
    EXPECT_EQ(Style->Name(), u"Style");
    EXPECT_EQ(Style->ValueAsInteger(), 1);
    EXPECT_EQ(L.Doc.Root()->Nodes(0)->ElementType(), xeWhiteSpace);
    EXPECT_EQ(L.Log[1], "hint: non-default chardata at line 3 (pos 47)");
    EXPECT_EQ(L.Save(), Indented);

    // Without preserved white space nothing but the text stays, and the readable format
    // lays the tree out again.
    L.Doc.SetXmlFormat(xfReadable);
    L.Load(Indented);
    EXPECT_EQ(L.Save(),
              "<?xml version=\"1.0\"?>\n<PelluxRes>\n\t<Form a='1' b=\"2\">\n\t\t<Style>1</Style>\n\t</Form>\n"
              "</PelluxRes>\n");
    L.Doc.SetEolStyle(esCRLF);
    L.Doc.SetIndentString(u"  ");
    L.Load("<a>x<b>y</b>z<!--c--></a>");
    EXPECT_EQ(L.Save(), "<a>x\r\n  <b>y</b>\r\n  z\r\n  <!--c-->\r\n</a>\r\n");
}

TEST(XmlDocument, EndTagInOtherCaseIsAMismatchAndStillEnds) {
    TLoggedDocument L;
    L.Load("<?xml version=\"1.0\"?><Form><Style>1</style><Color>2</Color></Form>");
    ASSERT_EQ(L.Problems.size(), 1u);
    EXPECT_EQ(L.Problems[0], "warn: begin and end tag mismatch: \"Style\" and \"style\" at line 1 (pos 35)");
    EXPECT_EQ(L.Doc.Root()->NodeCount(), 2);
    EXPECT_EQ(L.Doc.Root()->FindNode(u"COLOR")->Parent(), L.Doc.Root());

    // Repairing, an end tag naming an open element further out closes up to it.
    L.Doc.SetFixStructuralErrors(true);
    L.Load("<?xml version=\"1.0\"?><a><b><c>1</a><d/>");
    EXPECT_EQ(L.Problems, (std::vector<std::string>{
                              "warn: level mismatch between subnode \"c\" and endnode \"a\" at line 1 (pos 31)"}));
    EXPECT_EQ(L.Doc.RootNodeCount(), 3);
    EXPECT_EQ(L.Doc.RootNodes(2)->Name(), u"d");
}

TEST(XmlDocument, ValuesEscapeAndResolveReferences) {
    TLoggedDocument L;
    L.Load(
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY co \"&#169; Q\"><!ENTITY ext SYSTEM \"x\">]>"
        "<r a=\"x&amp;y\"><FormBg>a&amp;b.jpg</FormBg><n>&#65;&#x41;&#X41;&undeclared; & &co;&ext;</n>"
        "<m>l1\nl2</m><c><![CDATA[<&amp;>]]></c></r>");
    EXPECT_TRUE(L.Problems.empty());
    TXmlElement* Root = L.Doc.Root();
    EXPECT_EQ(Root->FindNode(u"FormBg")->Value(), u"a&b.jpg");
    EXPECT_EQ(Root->FindNode(u"n")->Value(), u"AAA&undeclared; & © Q&ext;");
    EXPECT_EQ(Root->FindNode(u"m")->Value(), u"l1\r\nl2");
    EXPECT_EQ(Root->FindNode(u"c")->Value(), u"<&amp;>");
    EXPECT_EQ(Root->AttributeByName(u"a")->Value(), u"x&y");
    // An attribute named like an element further on is found first.
    EXPECT_EQ(Root->FindNode(u"A")->ElementType(), xeAttribute);

    Root->FindNode(u"FormBg")->SetValue(u"a&b.jpg");
    Root->FindNode(u"m")->SetValue(u"<\"'>\r\nz\r");
    Root->FindNode(u"c")->SetValue(u"x]]>y");  // cannot stay a CDATA section
    Root->AttributeByName(u"a")->SetValue(u"q\"\n");
    const std::string Saved = L.Save();
    EXPECT_NE(Saved.find("<FormBg>a&amp;b.jpg</FormBg>"), std::string::npos);
    EXPECT_NE(Saved.find("<m>&lt;&quot;&apos;&gt;\r\nz\r\n</m>"), std::string::npos);
    EXPECT_NE(Saved.find("<c>x]]&gt;y</c>"), std::string::npos);
    EXPECT_NE(Saved.find("<r a=\"q&quot;\n\">"), std::string::npos);
    EXPECT_EQ(Root->FindNode(u"c")->Value(), u"x]]>y");
}

TEST(XmlDocument, ValueNodeFollowsEditsOfTheContent) {
    TQvXmlDocument Doc(nullptr);
    TXmlContainerNode* E = Doc.Root();
    E->SetValue(u"v");
    E->AttributeAdd(u"k", u"1");
    E->NodeNew(u"child");
    ASSERT_EQ(E->ValueIndex(), 1);
    E->NodeInsert(1, std::make_unique<TXmlComment>(&Doc));
    EXPECT_EQ(E->ValueIndex(), 2);
    EXPECT_EQ(E->Value(), u"v");
    E->NodeDelete(1);
    EXPECT_EQ(E->Value(), u"v");
    E->SetValue(u"");
    EXPECT_EQ(E->ValueIndex(), -1);
    EXPECT_EQ(E->NodeCount(), 2);
    EXPECT_EQ(E->Value(), u"");
    EXPECT_EQ(QvErrorOf([&] { E->ValueAsInteger(); }), "'' is not a valid integer value");
    E->NodeDelete(1);
    E->SetValueAsInteger(-42);
    EXPECT_EQ(E->ValueAsInteger(), -42);
    EXPECT_EQ(E->FindNode(u"//K")->FullPath(), u"//k");
}

TEST(XmlDocument, OperationsAKindDoesNotSupportFail) {
    TLoggedDocument L;
    L.Load("<?xml version=\"1.0\"?><r>t<!--c--></r>");
    TXmlNode* Text = L.Doc.Root()->Nodes(0);
    EXPECT_EQ(Text->Name(), u"CharData");
    EXPECT_EQ(QvErrorOf([&] { Text->SetName(u"x"); }), "cannot set name on this type of element");
    EXPECT_EQ(QvErrorOf([&] { L.Doc.RootNodes(0)->SetName(u"x"); }), "cannot set name on this type of element");
    EXPECT_EQ(QvErrorOf([&] { Text->NodeNew(u"x"); }), "cannot set name on this type of element");
    EXPECT_EQ(QvErrorOf([&] { L.Doc.Root()->AttributeAdd(u"a", u"1")->NodeNew(u"b"); }),
              "cannot add node to this type of element");
    EXPECT_EQ(QvErrorOf([&] { Text->NodeDelete(0); }), "cannot manipulate nodes in this type of element");
    EXPECT_EQ(QvErrorOf([&] { L.Doc.Root()->NodeDelete(9); }), "List index out of bounds (9)");

    // A node of another document is refused, and nothing is attached.
    TQvXmlDocument Other(nullptr);
    EXPECT_EQ(L.Doc.Root()->NodeAdd(std::make_unique<TXmlAttribute>(&Other)), nullptr);
    EXPECT_EQ(L.Doc.RootNodeAdd(std::make_unique<TXmlElement>(&Other)), nullptr);
    EXPECT_EQ(L.Problems, (std::vector<std::string>{"fail: XML owner is not assigned", "fail: XML owner is not assigned"}));
    EXPECT_EQ(L.Doc.Root()->AttributeCount(), 1);

    L.Doc.SetParserWarnings(true);
    L.Doc.RootNodeDelete(1);
    EXPECT_EQ(QvErrorOf([&] { L.Save(); }), "XML root element not defined.");
}

// Diagnostics reach the nearest handler up the owner chain, or nobody.
TEST(XmlDocument, DiagnosticsGoToTheOwnersHandler) {
    TDebugComponent Outer(nullptr);
    TComponent Middle(&Outer);
    auto* Doc = new TQvXmlDocument(&Middle);
    std::vector<std::string> Got;
    TMemoryStream Tiny(std::string_view("<a/>"));
    Doc->LoadFromStream(Tiny);  // nobody listens yet
    Outer.OnDebugOut = [&](TObject* Sender, TXmlWarnStyle, const String& Text) {
        EXPECT_EQ(Sender, Doc);
        Got.push_back(StringToUtf8(Text));
    };
    Tiny.SetPosition(0);
    Doc->LoadFromStream(Tiny);
    EXPECT_EQ(Got, (std::vector<std::string>{"stream terminated prematurely at pos 4"}));
    EXPECT_EQ(Doc->RootNodeCount(), 0);
}

TEST(XmlDocument, EncodingsOfStreamsAndSaves) {
    TLoggedDocument L;
    // A UTF-8 byte order mark is dropped and the next save writes none.
    L.Load("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r>\xE7\xA1\xAE</r>");
    EXPECT_EQ(L.Log[0], "info: BOM with encoding UTF-8");
    EXPECT_EQ(L.Log[1], "info: declaration with encoding \"utf-8\" and codepage 65001");
    EXPECT_TRUE(L.Doc.ExternalBomInfo().HasBOM);
    EXPECT_EQ(L.Doc.Root()->Value(), u"确");
    EXPECT_EQ(L.Save(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r>\xE7\xA1\xAE</r>");

    // A code page named by the declaration reads the rest of the stream, and saving writes
    // it again, a character it lacks being substituted with a warning.
    L.Load("<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<r a=\"\xC8\xB7\">\xB6\xA8</r>");
    EXPECT_EQ(L.Doc.ExternalEncoding(), seAnsi);
    EXPECT_EQ(L.Doc.ExternalCodePage(), 936);
    EXPECT_EQ(L.Doc.Root()->Value(), u"定");
    EXPECT_EQ(L.Doc.Root()->AttributeByName(u"a")->Value(), u"确");
    L.Doc.Root()->SetValue(u"定\u0E01");
    EXPECT_EQ(L.Save(), "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<r a=\"\xC8\xB7\">\xB6\xA8?</r>");
    EXPECT_EQ(L.Log.back(), "warn: default char used for codepage substitution");

    // UTF-16 is read with or without its mark and written back with it.
    const std::u16string Text = u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<r>\u786E</r>";
    std::string Le, Be;
    for (char16_t U : Text) {
        Le += {static_cast<char>(U & 0xFF), static_cast<char>(U >> 8)};
        Be += {static_cast<char>(U >> 8), static_cast<char>(U & 0xFF)};
    }
    L.Load(Le);
    EXPECT_EQ(L.Doc.ExternalEncoding(), seUTF16LE);
    EXPECT_EQ(L.Doc.Root()->Value(), u"确");
    EXPECT_EQ(L.Save(), "\xFF\xFE" + Le);
    L.Load("\xFE\xFF" + Be);
    EXPECT_EQ(L.Doc.ExternalEncoding(), seUTF16BE);
    EXPECT_EQ(L.Save(), "\xFE\xFF" + Be);
    L.Doc.New();
    EXPECT_EQ(L.Doc.ExternalEncoding(), seUTF8);

    // UTF-32 and its kin are recognised and refused, for reading and for writing.
    L.Load(std::string("\0\0\0<\0\0\0a", 8));
    EXPECT_EQ(L.Problems, (std::vector<std::string>{"fail: unsupported encoding (UTF-32BE)"}));
    EXPECT_EQ(L.Doc.RootNodeCount(), 0);
    EXPECT_EQ(L.Save(), "");
    EXPECT_EQ(L.Log.back(), "fail: unsupported encoding (UTF-32BE)");
}

TEST(XmlDocument, ParseEventsAndAbort) {
    TLoggedDocument L;
    L.Doc.SetDropCommentsOnParse(true);
    std::vector<std::string> Seen;
    L.Doc.OnNodeNew = [&](TObject*, TXmlNode* N) { Seen.push_back("new " + StringToUtf8(N->Name())); };
    L.Doc.OnNodeLoaded = [&](TObject*, TXmlNode* N) {
        const String Name = N->Name();
        Seen.push_back("loaded " + StringToUtf8(Name));
        // Handlers may drop what is complete, and stop the parse.
        if (Name == u"b") N->Parent()->NodeDelete(N->Parent()->NodeCount() - 1);
        if (Name == u"c") L.Doc.SetAbortParsing(true);
    };
    L.Load("<?xml version=\"1.0\"?><a><!--x--><b/><c/><d/></a>");
    EXPECT_EQ(Seen, (std::vector<std::string>{"new xml", "loaded xml", "new a", "new b", "loaded b", "new c",
                                              "loaded c"}));
    EXPECT_EQ(L.Log[1], "info: option DropCommentsOnParse is true, deleting comment");
    EXPECT_EQ(L.Doc.Root()->NodeCount(), 1);
}
