#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/uQvPaths.h"

namespace fs = std::filesystem;

namespace {

String Here(const std::string& Name) { return Utf8ToString((fs::current_path() / Name).string()); }

std::string Slurp(const fs::path& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

unsigned ModeOf(const fs::path& P) {
    struct stat St;
    lstat(P.c_str(), &St);
    return St.st_mode & 07777;
}

}  // namespace

TEST(Paths, SplittingAcceptsBothSeparators) {
    EXPECT_EQ(ExtractFilePath(u"C:\\dir\\sub/file.ini"), u"C:\\dir\\sub/");
    EXPECT_EQ(ExtractFileName(u"Skin\\Custom\\bk.jpg"), u"bk.jpg");
    EXPECT_EQ(ExtractFileExt(u"/a/b.c/name"), u"");
    EXPECT_EQ(ExtractFileExt(u"/a/archive.tar.GZ"), u".GZ");
    EXPECT_EQ(ExtractFilePath(u"plain"), u"");
    EXPECT_EQ(ChangeFileExt(u"/x/a.png", u".jpg"), u"/x/a.jpg");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/tmp"), u"/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/tmp\\"), u"/tmp\\");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/tmp/"), u"/tmp");
    EXPECT_EQ(CombinePath(u"/app", u"Skin/Config.xml"), u"/app/Skin/Config.xml");
    EXPECT_EQ(CombinePath(u"/app/", u"/abs/x.png"), u"/abs/x.png");
    EXPECT_EQ(AppPath().back(), u'/');
    EXPECT_TRUE(DirectoryExists(AppPath()));
}

TEST(Paths, ForceDirectoriesAndCaseInsensitiveLookup) {
    const String Deep = Here("a/b/c");
    ASSERT_TRUE(ForceDirectories(Deep));
    EXPECT_TRUE(DirectoryExists(Deep));
    EXPECT_FALSE(FileExists(Deep));
    std::ofstream(fs::current_path() / "a" / "PelluxButton.PNG") << "x";
    EXPECT_EQ(FindFileNoCase(Here("a/pelluxbutton.png")), Here("a/PelluxButton.PNG"));
    EXPECT_EQ(FindFileNoCase(Here("a/PelluxButton.PNG")), Here("a/PelluxButton.PNG"));
    EXPECT_EQ(FindFileNoCase(Here("a/missing.png")), u"");
    EXPECT_EQ(FindFileNoCase(Here("a/b")), u"");  // folders are not files
    std::ofstream("file") << "x";
    EXPECT_FALSE(ForceDirectories(Here("file/sub")));
}

TEST(Paths, AtomicWriteReplacesPrivatelyAndLeavesNothingOnFailure) {
    const String Target = Here("settings.ini");
    ASSERT_TRUE(WriteFileAtomic(Target, "one"));
    EXPECT_EQ(Slurp("settings.ini"), "one");
    EXPECT_EQ(ModeOf("settings.ini"), 0600u);
    ASSERT_TRUE(WriteFileAtomic(Target, "two"));
    EXPECT_EQ(Slurp("settings.ini"), "two");

    // A link at the target is replaced, never written through.
    std::ofstream("victim") << "keep";
    fs::create_symlink("victim", "link.ini");
    ASSERT_TRUE(WriteFileAtomic(Here("link.ini"), "new"));
    EXPECT_EQ(Slurp("victim"), "keep");
    EXPECT_FALSE(fs::is_symlink("link.ini"));
    EXPECT_EQ(Slurp("link.ini"), "new");

    // Failures: a missing folder, a folder in the way.
    EXPECT_FALSE(WriteFileAtomic(Here("nowhere/x.ini"), "x"));
    fs::create_directory("dir.ini");
    EXPECT_FALSE(WriteFileAtomic(Here("dir.ini"), "x"));
    int Entries = 0;
    for (const auto& E : fs::directory_iterator(fs::current_path())) Entries += E.path().filename().string()[0] == '.';
    EXPECT_EQ(Entries, 0);  // no temporary file left behind
}

TEST(Paths, AtomicWriteIntoAnUnwritableFolderFailsCleanly) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
    fs::create_directory("ro");
    std::ofstream("ro/x.ini") << "old";
    fs::permissions("ro", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteFileAtomic(Here("ro/x.ini"), "new"));
    fs::permissions("ro", fs::perms::owner_all);
    EXPECT_EQ(Slurp("ro/x.ini"), "old");
}

TEST(Paths, ReadFileBytesRefusesLinksOnRequestAndOversizedFiles) {
    std::ofstream("data.bin") << "abcdef";
    fs::create_symlink("data.bin", "alias.bin");
    std::string Data = "untouched";
    EXPECT_TRUE(ReadFileBytes(Here("alias.bin"), Data));
    EXPECT_EQ(Data, "abcdef");
    Data = "untouched";
    EXPECT_FALSE(ReadFileBytes(Here("alias.bin"), Data, SIZE_MAX, false));
    EXPECT_FALSE(ReadFileBytes(Here("data.bin"), Data, 5));
    EXPECT_FALSE(ReadFileBytes(Here("missing"), Data));
    EXPECT_FALSE(ReadFileBytes(Here(""), Data));
    EXPECT_EQ(Data, "untouched");
}

TEST(Paths, TempFolderIsPrivateAndNeverAPlantedLink) {
    const fs::path Root = fs::current_path();
    // The cache folder wins and is made 0700, parents included.
    const String A = PrivateTempFolder(Here("xdg"), Here("home"), Here("tmp"));
    EXPECT_EQ(A, Here("xdg/varnoth/"));
    EXPECT_EQ(ModeOf(Root / "xdg/varnoth"), 0700u);
    // Without it, the home cache; relative values are ignored.
    EXPECT_EQ(PrivateTempFolder(u"relative", Here("home"), u""), Here("home/.cache/varnoth/"));
    // A folder left wider open is tightened.
    fs::create_directories(Root / "h2/.cache/varnoth");
    fs::permissions(Root / "h2/.cache/varnoth", fs::perms::all);
    EXPECT_EQ(PrivateTempFolder(u"", Here("h2"), u""), Here("h2/.cache/varnoth/"));
    EXPECT_EQ(ModeOf(Root / "h2/.cache/varnoth"), 0700u);
    // A link planted where the folder belongs is passed over, and so is a plain file.
    fs::create_directories(Root / "t/elsewhere");
    fs::create_directories(Root / "x2");
    fs::create_symlink(Root / "t/elsewhere", Root / "x2/varnoth");
    std::ofstream(Root / "t" / ("varnoth-" + std::to_string(geteuid()))) << "squatter";
    const String C = PrivateTempFolder(Here("x2"), u"", Here("t"));
    EXPECT_NE(C, Here("x2/varnoth/"));
    EXPECT_EQ(C.rfind(Here("t/varnoth-" + std::to_string(geteuid()) + "-"), 0), 0u) << StringToUtf8(C);
    EXPECT_EQ(C.back(), u'/');
    EXPECT_EQ(ModeOf(StringToUtf8(C)), 0700u);
    if (geteuid() == 0) {
        // A folder another user owns is not ours.
        fs::create_directories(Root / "x3/varnoth");
        ASSERT_EQ(chown((Root / "x3/varnoth").c_str(), 12345, 12345), 0);
        EXPECT_NE(PrivateTempFolder(Here("x3"), Here("home"), u""), Here("x3/varnoth/"));
    }
    fs::remove_all(StringToUtf8(C));

    SetTempPathForTests(Here("fixed"));
    EXPECT_EQ(GetTempPath(), Here("fixed/"));
    EXPECT_EQ(AppTempPath(), Here("fixed/"));
    SetTempPathForTests(u"");
}
