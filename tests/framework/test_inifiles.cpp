#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/uQvIniFiles.h"
#include "framework/uQvStringList.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const char* Name) {
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

void Put(const char* Name, const std::string& Bytes) { std::ofstream(Name, std::ios::binary) << Bytes; }

}  // namespace

TEST(IniFile, ReadingFollowsTheProfileRulesAndNeverCreatesTheFile) {
    TIniFile Missing(u"none.ini");
    EXPECT_EQ(Missing.ReadString(u"Page1", u"ServerIP", u"127.0.0.1"), u"127.0.0.1");
    EXPECT_EQ(Missing.ReadInteger(u"Page1", u"ServerPort", 1433), 1433);
    EXPECT_FALSE(Missing.SectionExists(u"Page1"));
    EXPECT_FALSE(fs::exists("none.ini"));

    Put("a.ini", "\xEF\xBB\xBF"
                 "Orphan=before any section\r\n"
                 "; comment=not a key\r\n"
                 "[page1]\r\n"
                 "  SERVERIP =  \" 10.0.0.1 \"  \r\n"
                 "ServerPort=abc\r\n"
                 "Hex=0x1F\r\n"
                 "Neg=-$10\r\n"
                 "Flag=2\r\n"
                 "Zero=0\r\n"
                 "Name=功能\r\n"
                 "Ratio=0.5\r\n"
                 "[Page1]\r\n"
                 "Later=ignored, the first section counts\r\n");
    TIniFile Ini(u"a.ini");
    EXPECT_EQ(Ini.ReadString(u"PAGE1", u"ServerIP", u""), u" 10.0.0.1 ");  // one pair of quotes goes
    EXPECT_EQ(Ini.ReadInteger(u"Page1", u"ServerPort", 1433), 1433);
    EXPECT_EQ(Ini.ReadInteger(u"Page1", u"Hex", 0), 31);
    EXPECT_EQ(Ini.ReadInteger(u"Page1", u"Neg", 0), -16);
    EXPECT_TRUE(Ini.ReadBool(u"Page1", u"Flag", false));
    EXPECT_FALSE(Ini.ReadBool(u"Page1", u"Zero", true));
    EXPECT_TRUE(Ini.ReadBool(u"Page1", u"Name", true));  // not a number: the default
    EXPECT_EQ(Ini.ReadString(u"Page1", u"Name", u""), u"功能");
    EXPECT_EQ(Ini.ReadFloat(u"Page1", u"Ratio", 0), 0.5);
    EXPECT_EQ(Ini.ReadString(u"Page1", u"Later", u"-"), u"-");
    EXPECT_EQ(Ini.ReadString(u"Page1", u"; comment", u"-"), u"-");
    EXPECT_FALSE(Ini.ValueExists(u"", u"Orphan"));
    EXPECT_TRUE(Ini.ValueExists(u"page1", u"zero"));

    TStringList L;
    Ini.ReadSections(L);
    EXPECT_EQ(L.Text(), u"page1\r\nPage1\r\n");
    Ini.ReadSection(u"Page1", L);
    EXPECT_EQ(L.Count(), 8);
    EXPECT_EQ(L.Strings(0), u"SERVERIP");
    Ini.ReadSectionValues(u"Page1", L);
    EXPECT_EQ(L.Strings(1), u"ServerPort=abc");
}

TEST(IniFile, TheFirstWriteCreatesAPrivateFile) {
    TIniFile Ini(u"new.ini");
    ASSERT_TRUE(Ini.WriteBool(u"Page1", u"Active", true));
    ASSERT_TRUE(Ini.WriteString(u"Page1", u"ServerIP", u"127.0.0.1"));
    ASSERT_TRUE(Ini.WriteInteger(u"Page2", u"Count", -5));
    EXPECT_EQ(Slurp("new.ini"), "[Page1]\nActive=1\nServerIP=127.0.0.1\n\n[Page2]\nCount=-5\n");
    struct stat St;
    ASSERT_EQ(stat("new.ini", &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0600u);
}

TEST(IniFile, WritesReplaceInPlaceAppendToTheSectionAndLeaveEverythingElseAlone) {
    const std::string Original = "\xEF\xBB\xBF; settings\r\n"
                                 "[Other]\r\n"
                                 "Keep = \"as it was\"  \r\n"
                                 "\r\n"
                                 "[Page1]\r\n"
                                 "  serverport = 1433\r\n"
                                 "Junk line without equals\r\n"
                                 "\r\n"
                                 "[Last]\r\n"
                                 "X=\xFF\xFE broken bytes\r\n"
                                 "Tail=1";
    Put("b.ini", Original);
    TIniFile Ini(u"b.ini");
    ASSERT_TRUE(Ini.WriteInteger(u"PAGE1", u"ServerPort", 1434));
    ASSERT_TRUE(Ini.WriteString(u"Page1", u"ServerIP", u"10.1.1.1"));
    ASSERT_TRUE(Ini.WriteString(u"Last", u"New", u"v"));
    ASSERT_TRUE(Ini.WriteString(u"Fresh", u"K", u"新"));
    EXPECT_EQ(Slurp("b.ini"), "\xEF\xBB\xBF; settings\r\n"
                              "[Other]\r\n"
                              "Keep = \"as it was\"  \r\n"
                              "\r\n"
                              "[Page1]\r\n"
                              "serverport=1434\r\n"
                              "Junk line without equals\r\n"
                              "ServerIP=10.1.1.1\r\n"
                              "\r\n"
                              "[Last]\r\n"
                              "X=\xFF\xFE broken bytes\r\n"
                              "Tail=1\r\n"
                              "New=v\r\n"
                              "\r\n"
                              "[Fresh]\r\n"
                              "K=\xE6\x96\xB0\r\n");
    EXPECT_EQ(Ini.ReadString(u"Other", u"Keep", u""), u"as it was");

    ASSERT_TRUE(Ini.DeleteKey(u"Last", u"tail"));
    ASSERT_TRUE(Ini.EraseSection(u"page1"));
    ASSERT_TRUE(Ini.DeleteKey(u"Nowhere", u"x"));
    EXPECT_EQ(Slurp("b.ini"), "\xEF\xBB\xBF; settings\r\n[Other]\r\nKeep = \"as it was\"  \r\n\r\n[Last]\r\n"
                              "X=\xFF\xFE broken bytes\r\nNew=v\r\n\r\n[Fresh]\r\nK=\xE6\x96\xB0\r\n");
}

TEST(IniFile, WritesThatWouldBreakTheFileAreRefused) {
    Put("c.ini", "[S]\nK=1\n");
    TIniFile Ini(u"c.ini");
    EXPECT_FALSE(Ini.WriteString(u"S", u"K", u"1\n[Injected]\nX=1"));
    EXPECT_FALSE(Ini.WriteString(u"S", u"A=B", u"x"));
    EXPECT_FALSE(Ini.WriteString(u"S", u";K", u"x"));
    EXPECT_FALSE(Ini.WriteString(u"S]", u"K", u"x"));
    EXPECT_FALSE(Ini.WriteString(u"", u"K", u"x"));
    EXPECT_FALSE(Ini.WriteString(u"S", u"  ", u"x"));
    EXPECT_EQ(Slurp("c.ini"), "[S]\nK=1\n");
}

TEST(IniFile, AFailedWriteLosesNothing) {
    TIniFile NoFolder(u"missing/d.ini");
    EXPECT_FALSE(NoFolder.WriteString(u"S", u"K", u"v"));
    EXPECT_FALSE(fs::exists("missing"));

    fs::create_directory("dir.ini");
    TIniFile Folder(u"dir.ini");
    EXPECT_FALSE(Folder.WriteString(u"S", u"K", u"v"));
    EXPECT_EQ(Folder.ReadString(u"S", u"K", u"default"), u"default");
    EXPECT_TRUE(fs::is_directory("dir.ini"));

    // A link is neither followed nor replaced.
    Put("target.ini", "[S]\nK=secret\n");
    fs::create_symlink("target.ini", "link.ini");
    TIniFile Link(u"link.ini");
    EXPECT_EQ(Link.ReadString(u"S", u"K", u"default"), u"default");
    EXPECT_FALSE(Link.WriteString(u"S", u"K", u"v"));
    EXPECT_TRUE(fs::is_symlink("link.ini"));
    EXPECT_EQ(Slurp("target.ini"), "[S]\nK=secret\n");

    // A FIFO in place of the file neither blocks the reader nor is replaced.
    ASSERT_EQ(mkfifo("fifo.ini", 0600), 0);
    TIniFile Fifo(u"fifo.ini");
    EXPECT_EQ(Fifo.ReadString(u"S", u"K", u"default"), u"default");
    EXPECT_FALSE(Fifo.WriteString(u"S", u"K", u"v"));
    EXPECT_EQ(fs::status("fifo.ini").type(), fs::file_type::fifo);

    // A file far too large to be settings is left alone.
    {
        std::ofstream Big("big.ini", std::ios::binary);
        Big << "[S]\nK=1\n";
        Big.seekp(17 << 20);
        Big << "end";
    }
    const auto Size = fs::file_size("big.ini");
    TIniFile Huge(u"big.ini");
    EXPECT_EQ(Huge.ReadInteger(u"S", u"K", 7), 7);
    EXPECT_FALSE(Huge.WriteInteger(u"S", u"K", 2));
    EXPECT_EQ(fs::file_size("big.ini"), Size);

    int Leftovers = 0;
    for (const auto& E : fs::directory_iterator(fs::current_path())) Leftovers += E.path().filename().string()[0] == '.';
    EXPECT_EQ(Leftovers, 0);
}

TEST(IniFile, AFileWhereTheFolderBelongsLosesNothing) {
    Put("plain", "[S]\nK=1\n");
    TIniFile Ini(u"plain/e.ini");
    EXPECT_FALSE(Ini.WriteInteger(u"S", u"K", 2));
    EXPECT_EQ(Ini.ReadInteger(u"S", u"K", 0), 0);
    EXPECT_EQ(Slurp("plain"), "[S]\nK=1\n");
}
