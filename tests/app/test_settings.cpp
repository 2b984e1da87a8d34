#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/uProSettings.h"
#include "platform/uQvPaths.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

class Settings : public testing::Test {
protected:
    void SetUp() override {
        Folder = fs::current_path() / ("settings-" + std::to_string(++Counter));
        fs::create_directory(Folder);
        SetTempPathForTests(Utf8ToString(Folder.string()));
        ResetProSettingsForTests();
    }
    void TearDown() override {
        ResetProSettingsForTests();
        SetTempPathForTests(u"");
    }
    fs::path File() const { return Folder / "VarnothOptions.ini"; }
    void Put(const std::string& Bytes) const { std::ofstream(File(), std::ios::binary) << Bytes; }

    fs::path Folder;
    static inline int Counter = 0;
};

}  // namespace

TEST_F(Settings, DefaultsWithoutAFileAndNoFileCreated) {
    TProSettings* S = ProSettings();
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S->FileName(), Utf8ToString((Folder / "VarnothOptions.ini").string()));
    EXPECT_EQ(S->Page1()->ServerIP(), u"127.0.0.1");
    EXPECT_EQ(S->Page1()->ServerPort(), 1433);
    EXPECT_FALSE(S->Page1()->Active());
    EXPECT_FALSE(S->Page2()->ActiveTest());
    EXPECT_FALSE(S->Page3()->ActiveField1());
    EXPECT_EQ(S->SkinStyle()->ColorIndex(), 0);
    EXPECT_EQ(S->SkinStyle()->ColorMode(), cmDefault);
    EXPECT_EQ(S->SkinStyle()->H(), 50);
    EXPECT_EQ(S->SkinStyle()->S(), 50);
    // Setting a value it already has writes nothing.
    S->Page1()->SetServerPort(1433);
    S->Page1()->SetServerIP(u"127.0.0.1");
    S->SkinStyle()->SetColorMode(cmDefault);
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_EQ(ProSettings(), S);
}

TEST_F(Settings, ANewPortRewritesExactlyThePage1KeysInOrder) {
    ProSettings()->Page1()->SetServerPort(1434);
    EXPECT_EQ(Slurp(File()), "[Page1]\nActive=0\nServerIP=127.0.0.1\nServerPort=1434\n");
    ProSettings()->SkinStyle()->SetH(120);
    EXPECT_EQ(Slurp(File()), "[Page1]\nActive=0\nServerIP=127.0.0.1\nServerPort=1434\n\n"
                             "[SkinStyle]\nColorMode=0\nH=120\nS=50\nColorIndex=0\n");
    // Strings compare exactly, case included.
    ProSettings()->Page1()->SetServerIP(u"LOCALHOST");
    ProSettings()->Page1()->SetServerIP(u"localhost");
    ResetProSettingsForTests();
    EXPECT_EQ(ProSettings()->Page1()->ServerIP(), u"localhost");
    EXPECT_EQ(ProSettings()->Page1()->ServerPort(), 1434);
    EXPECT_EQ(ProSettings()->SkinStyle()->H(), 120);
}

TEST_F(Settings, OtherSectionsAndKeysSurviveAWriteUntouched) {
    Put("; written by hand\r\n[Page1]\r\nServerPort = 1433 \r\nComment=keep me\r\n\r\n"
        "[Page2]\r\nActiveTest=2\r\n\r\n[Mine]\r\nX=\xFF\r\n");
    ProSettings()->Page1()->SetActive(true);
    EXPECT_EQ(Slurp(File()), "; written by hand\r\n[Page1]\r\nServerPort=1433\r\nComment=keep me\r\n"
                             "Active=1\r\nServerIP=127.0.0.1\r\n\r\n"
                             "[Page2]\r\nActiveTest=2\r\n\r\n[Mine]\r\nX=\xFF\r\n");
}

TEST_F(Settings, StoredValuesFollowTheReadingRules) {
    Put("[Page1]\nServerPort=abc\nActive=0x1\n[Page2]\nActiveTest=2\n[Page3]\nActiveField1=0\n"
        "[SkinStyle]\nColorMode=7\nColorIndex=0x0A\nH=-5\nS=x\n");
    TProSettings* S = ProSettings();
    EXPECT_EQ(S->Page1()->ServerPort(), 1433);
    EXPECT_TRUE(S->Page1()->Active());
    EXPECT_TRUE(S->Page2()->ActiveTest());
    EXPECT_FALSE(S->Page3()->ActiveField1());
    EXPECT_EQ(S->SkinStyle()->ColorMode(), cmDefault);  // 7 names no mode
    EXPECT_EQ(S->SkinStyle()->ColorIndex(), 10);
    EXPECT_EQ(S->SkinStyle()->H(), -5);
    EXPECT_EQ(S->SkinStyle()->S(), 50);
    ResetProSettingsForTests();
    Put("[SKINSTYLE]\ncolormode=1\n");
    EXPECT_EQ(ProSettings()->SkinStyle()->ColorMode(), cmCustom);
}

TEST_F(Settings, EndUpdateRewritesTheSectionEvenWhenNothingChanged) {
    TProSettings_Page2* Page2 = ProSettings()->Page2();
    Page2->BeginUpdate();
    Page2->BeginUpdate();
    Page2->SetActiveTest(true);  // the counter does not hold writes back
    EXPECT_EQ(Slurp(File()), "[Page2]\nActiveTest=1\n");
    fs::remove(File());
    Page2->EndUpdate();
    EXPECT_EQ(Page2->UpdateCount(), 1);
    EXPECT_EQ(Slurp(File()), "[Page2]\nActiveTest=1\n");
    Put("[Page2]\nActiveTest=0\n");  // changed behind its back
    Page2->EndUpdate();
    EXPECT_EQ(Slurp(File()), "[Page2]\nActiveTest=1\n");
    EXPECT_EQ(Page2->UpdateCount(), 0);
}

TEST_F(Settings, ADamagedFileGivesDefaultsAndKeepsItsBytes) {
    std::string Junk;
    for (int I = 0; I < 4096; ++I) Junk.push_back(static_cast<char>((I * 7919) % 256));
    Put(Junk);
    TProSettings* S = ProSettings();
    EXPECT_EQ(S->Page1()->ServerPort(), 1433);
    S->Page3()->SetActiveField1(true);
    const std::string After = Slurp(File());
    ASSERT_GT(After.size(), Junk.size());
    EXPECT_EQ(After.substr(0, Junk.size()), Junk);
    ResetProSettingsForTests();
    EXPECT_TRUE(ProSettings()->Page3()->ActiveField1());
}

TEST_F(Settings, AnUnwritableFolderKeepsTheValueInMemoryAndCrashesNothing) {
    SetTempPathForTests(Utf8ToString((Folder / "gone").string()));
    ResetProSettingsForTests();
    TProSettings* S = ProSettings();
    S->Page1()->SetServerPort(2000);
    S->SkinStyle()->SetColorMode(cmCustom);
    EXPECT_EQ(S->Page1()->ServerPort(), 2000);
    EXPECT_EQ(S->SkinStyle()->ColorMode(), cmCustom);
    EXPECT_FALSE(fs::exists(Folder / "gone"));
}

TEST_F(Settings, AfterShutdownNothingIsMadeAgain) {
    ASSERT_NE(ProSettings(), nullptr);
    ShutdownProSettings();
    EXPECT_EQ(ProSettings(), nullptr);
    EXPECT_EQ(ProSettings(), nullptr);
    ResetProSettingsForTests();
    EXPECT_NE(ProSettings(), nullptr);
}
