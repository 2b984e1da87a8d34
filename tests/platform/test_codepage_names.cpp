#include <gtest/gtest.h>

#include "platform/uQvCodePageNames.h"
#include "platform/uQvCodePages.h"

// Code pages whose conversion names are not "CP<n>" convert both ways all the same.
TEST(CodePageNames, PagesWithOwnNamesConvert) {
    EXPECT_EQ(CodePageToString("caf\xE9", 28591), u"café");
    EXPECT_EQ(StringToCodePage(u"café", 28591), "caf\xE9");
    EXPECT_EQ(CodePageToString("\xE2\xE5\xF0", 20866), u"БЕП");  // KOI8-R
    EXPECT_EQ(StringToCodePage(u"€", 28605), "\xA4");
    const String Rare = u"\U00020000";  // outside GBK, inside GB18030
    EXPECT_EQ(CodePageToString(StringToCodePage(Rare, 54936), 54936), Rare);
    EXPECT_EQ(StringToCodePage(Rare, 936), "?");
    EXPECT_STREQ(CodePageIconvName(65001), "UTF-8");
    EXPECT_EQ(CodePageIconvName(1252), nullptr);  // reached as "CP1252"
}
