// Hostile input: deep nesting, references at and past the limits of their codes, and
// entity expansion.
#include <gtest/gtest.h>

#include <string>

#include "xml_test_support.h"

namespace {

constexpr int Deep = 100000;

std::string Repeat(std::string_view S, int N) {
    std::string R;
    R.reserve(S.size() * static_cast<size_t>(N));
    for (int I = 0; I < N; ++I) R += S;
    return R;
}

}  // namespace

// Parsing, searching, writing and freeing never recurse, whatever the depth.
TEST(XmlRobustness, DeepNestingIsHandledWithoutRecursion) {
    TLoggedDocument L;
    L.Load(Repeat("<a>", Deep));
    EXPECT_EQ(L.Problems, (std::vector<std::string>{"warn: unknown encoding",
                                                    "warn: stream terminated prematurely at pos 300000"}));

    const std::string Closed = "<?xml version=\"1.0\"?>\r\n" + Repeat("<a>", Deep) + "x" + Repeat("</a>", Deep);
    L.Load(Closed);
    EXPECT_TRUE(L.Problems.empty());
    EXPECT_EQ(L.Save(), Closed);
    TXmlNode* Text = L.Doc.Root()->FindNode(u"chardata");
    ASSERT_NE(Text, nullptr);
    EXPECT_EQ(Text->FullPath().size(), 2u * Deep + 9);
    EXPECT_EQ(L.Doc.Root()->FindNode(u"/a/a/a")->Parent()->Parent(), L.Doc.Root());
    EXPECT_EQ(L.Doc.Root()->FindNode(u"b"), nullptr);
    L.Doc.Root()->NodeDelete(0);

    TXmlNode* N = L.Doc.Root();
    for (int I = 0; I < Deep; ++I) N = N->NodeNew(u"b");
}

TEST(XmlRobustness, CharacterReferencesStayWithinUnicode) {
    TLoggedDocument L;
    L.Load(
        "<?xml version=\"1.0\"?><r>&#0;|&#1;|&#xD7FF;|&#xD800;|&#xDFFF;|&#xE000;|&#x10FFFF;|&#x110000;|&#1114111;|"
        "&#1114112;|&#0000000000000000000000065;|&#99999999999999999999999999;|&#;|&#x;|&#6a;|&#-1;|&#X41;</r>");
    EXPECT_EQ(L.Doc.Root()->Value(),
              u"&#0;|\u0001|\uD7FF|&#xD800;|&#xDFFF;|\uE000|\U0010FFFF|&#x110000;|\U0010FFFF|&#1114112;|A|"
              u"&#99999999999999999999999999;|&#;|&#x;|&#6a;|&#-1;|A");
}

// Declared entities expand once each, up to a budget per text, so a few bytes of input
// cannot turn into gigabytes.
TEST(XmlRobustness, EntityExpansionIsBounded) {
    const std::string Big(512 * 1024, 'x');
    TLoggedDocument L;
    L.Load("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY big \"" + Big + "\"><!ENTITY nest \"&big;&big;\">]>" +
           "<r>" + Repeat("&big;", 3) + "&nest;</r>");
    const std::string Value = StringToUtf8(L.Doc.Root()->Value());
    EXPECT_EQ(Value, Repeat(Big, 2) + "&big;&big;&big;");
}
