#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/uQvFiles.h"
#include "platform/uQvPaths.h"

namespace fs = std::filesystem;

namespace {

String Here(const std::string& Name) { return Utf8ToString((fs::current_path() / Name).string()); }

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
