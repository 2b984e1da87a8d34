// A small corpus of well-formed and malformed documents. Well-formed ones read without a
// warning and write back byte for byte; malformed ones give exactly the listed warnings
// and failures, so no damaged input passes silently.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml_test_support.h"

namespace {

struct TCorpusCase {
    const char* Name;
    std::string Input;
    std::vector<std::string> Problems;  // empty: well-formed, and it must round-trip
};

const std::string Decl = "<?xml version=\"1.0\"?>\n";

const TCorpusCase Corpus[] = {
    // Well-formed.
    {"nesting", Decl + "<a><b><c>t</c></b><b/><b>u<d/>v</b></a>", {}},
    {"attribute quotes", Decl + "<a x=\"1\" y='2' z=\"it's\" w='say \"hi\"' e=\"\"/>", {}},
    {"white space between attributes", Decl + "<a\n  x=\"1\"\ty=\"2\"\n/>", {}},
    {"references", Decl + "<a t=\"&lt;&amp;&gt;\">&#x1F600;&#38;&amp;&unknown; &amp</a>", {}},
    {"cdata", Decl + "<a>x<![CDATA[<b>&amp;</b>]]>y<![CDATA[]]></a>", {}},
    {"comments and instructions", Decl + "<!--top--><?pi data?>\n<a><!-- in --><?x y?>t</a>\n<!--end-->\n", {}},
    {"style sheet", Decl + "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\n<?xml-model href=\"m\"?><a/>", {}},
    {"document type",
     Decl + "<!DOCTYPE a SYSTEM \"a[1].dtd\" [\n<!ELEMENT a (#PCDATA)>\n<!ATTLIST a x CDATA \"a>b\">\n"
            "<!ENTITY e \"v\">\n<!ENTITY % p 'q'>\n%p;\n<!NOTATION n SYSTEM \"n\">\n<![INCLUDE[<![IGNORE[x]]>]]>\n"
            "<!--c-->\n]>\n<a>&e;</a>",
     {}},
    {"utf-8 text", Decl + "<名 属=\"值\">文\xF0\x9F\x98\x80</名>", {}},
    {"text around the root", Decl + "\n<a/>\n\n", {}},
    {"declaration keeps one line end", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n\n<a/>", {}},

    // Malformed.
    {"no declaration", "<a>text</a>", {"warn: unknown encoding"}},
    {"text cut short", Decl + "<a><b>text", {"warn: stream terminated prematurely at pos 32"}},
    {"open start tag", Decl + "<a x=\"1\"", {"warn: stream terminated prematurely at pos 30"}},
    {"open attribute value", Decl + "<a x=\"1/>", {"warn: stream terminated prematurely at pos 31"}},
    {"open comment", Decl + "<a><!-- x", {"warn: stream terminated prematurely at pos 31"}},
    {"open cdata", Decl + "<a><![CDATA[x]]", {"warn: stream terminated prematurely at pos 37"}},
    {"open instruction", Decl + "<a><?pi", {"warn: stream terminated prematurely at pos 29"}},
    {"open document type", Decl + "<!DOCTYPE a [<!ENTITY e \"v\">", {"warn: stream terminated prematurely at pos 50"}},
    {"open end tag", Decl + "<a></a", {"warn: stream terminated prematurely at pos 28"}},
    {"lone less-than", Decl + "<a><", {"warn: stream terminated prematurely at pos 26"}},
    {"unquoted value", Decl + "<a x=1 y=\"2\"/>",
     {"warn: quote char expected at pos 27", "warn: quote char expected at pos 28"}},
    {"stray quote", Decl + "<a x=\"1\"\"/>", {"warn: illegal quote at pos 30"}},
    {"crossed end tags", Decl + "<a><b></a></b>",
     {"warn: begin and end tag mismatch: \"b\" and \"a\" at line 2 (pos 28)",
      "warn: begin and end tag mismatch: \"a\" and \"b\" at line 2 (pos 32)"}},
    {"end tag at the top", Decl + "<a/></a>", {"warn: unsupported tag (\"</a>\") at pos 26"}},
    {"unknown markup at the top", Decl + "<!FOO x><a/>", {"warn: illegal tag (\"<!FOO\") at pos 22"}},
    {"unknown markup inside", Decl + "<a><!FOO></a>",
     {"warn: illegal tag (\"<!FOO>\") at pos 25", "warn: unsupported tag (\"</a>\") at pos 31"}},
    {"declaration inside", Decl + "<a><?xml version=\"1.0\"?></a>",
     {"warn: illegal tag (\"<?xml\") at pos 25", "warn: unsupported tag (\"</a>\") at pos 46"}},
    {"element without a name", Decl + "<a>< b/></a>",
     {"warn: illegal tag (\"<\") at pos 25", "warn: unsupported tag (\"</a>\") at pos 30"}},
    {"bad end of start tag", Decl + "<a x=\"1\"?>t</a>",
     {"warn: illegal end tag (\"?>\") at line 2 (streampos 30)", "warn: unsupported tag (\"</a>\") at pos 33"}},
    {"ebcdic", "\x4C\x6F\xA7\x94\x93\x40", {"fail: unsupported encoding (EBCDIC)"}},
    {"too short", "<a/>", {"warn: stream terminated prematurely at pos 4"}},
};

}  // namespace

TEST(XmlConformance, CorpusGivesExactlyItsProblems) {
    for (const TCorpusCase& C : Corpus) {
        SCOPED_TRACE(C.Name);
        TLoggedDocument L;
        L.Doc.SetEolStyle(esLF);
        L.Load(C.Input);
        EXPECT_EQ(L.Problems, C.Problems);
        if (C.Problems.empty()) {
            EXPECT_EQ(L.Save(), C.Input);
        }
    }
}

// The same documents in UTF-16, with and without a byte order mark, read alike.
TEST(XmlConformance, Utf16ReadsLikeUtf8) {
    const std::u16string Text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a x=\"\u503C\">\U0001F600\r\n</a>";
    for (const bool BigEndian : {false, true}) {
        for (const bool Bom : {false, true}) {
            std::string Bytes = Bom ? (BigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
            for (char16_t U : Text) {
                const char Hi = static_cast<char>(U >> 8), Lo = static_cast<char>(U & 0xFF);
                Bytes += BigEndian ? std::string{Hi, Lo} : std::string{Lo, Hi};
            }
            TLoggedDocument L;
            L.Doc.SetEolStyle(esLF);
            L.Load(Bytes);
            EXPECT_TRUE(L.Problems.empty());
            EXPECT_EQ(L.Doc.ExternalEncoding(), BigEndian ? seUTF16BE : seUTF16LE);
            EXPECT_EQ(L.Doc.Root()->Value(), u"\U0001F600");
            EXPECT_EQ(L.Doc.Root()->AttributeByName(u"x")->Value(), u"\u503C");
        }
    }
}

TEST(XmlConformance, ClosingStylesAndDirectCloseTag) {
    TLoggedDocument L;
    L.Load(Decl + "<a><b></b><c/></a>");
    EXPECT_EQ(L.Save(), "<?xml version=\"1.0\"?>\r\n<a><b/><c/></a>");
    L.Doc.SetNodeClosingStyle(ncDefault);
    EXPECT_EQ(L.Save(), "<?xml version=\"1.0\"?>\r\n<a><b></b><c/></a>");
    L.Doc.SetNodeClosingStyle(ncFull);
    L.Doc.SetDirectCloseTag(u" />");
    EXPECT_EQ(L.Save(), "<?xml version=\"1.0\"?>\r\n<a><b></b><c></c></a>");
    L.Doc.SetNodeClosingStyle(ncClose);
    L.Doc.SetEolStyle(esCR);
    L.Doc.SetXmlFormat(xfCompact);
    L.Doc.Root()->SetValue(u"1\n2");
    EXPECT_EQ(L.Save(), "<?xml version=\"1.0\"?>\r<a>1\r2<b /><c /></a>");
}
