#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/uQvFiles.h"
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

unsigned Umask() {
    const mode_t Mask = umask(0);
    umask(Mask);
    return Mask;
}

// Files whose names start with '.' in the working folder: temporary files left behind.
int HiddenEntries() {
    int N = 0;
    for (const auto& E : fs::directory_iterator(fs::current_path())) N += E.path().filename().string()[0] == '.';
    return N;
}

}  // namespace

TEST(Files, ReadingTakesRegularFilesOnlyAndNeverBlocks) {
    std::ofstream("data.bin") << "abcdef";
    fs::create_symlink("data.bin", "alias.bin");
    std::string Data = "untouched";
    EXPECT_TRUE(ReadFileBytes(Here("alias.bin"), Data));
    EXPECT_EQ(Data, "abcdef");
    std::vector<uint8_t> Bytes;
    ASSERT_TRUE(ReadFileBytes(Here("data.bin"), Bytes));
    EXPECT_EQ(Bytes, (std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e', 'f'}));

    Data = "untouched";
    EXPECT_EQ(ReadFileBytes(Here("alias.bin"), Data, SIZE_MAX, false).Failure(), ffOpen);
    const TQvFileResult Large = ReadFileBytes(Here("data.bin"), Data, 5);
    EXPECT_EQ(Large.Failure(), ffTooLarge);
    EXPECT_EQ(Large.Reason(), u"File too large");
    const TQvFileResult Missing = ReadFileBytes(Here("missing"), Data);
    EXPECT_EQ(Missing.Failure(), ffOpen);
    EXPECT_EQ(Missing.ErrorCode(), ENOENT);
    EXPECT_FALSE(ReadFileBytes(u"", Data));

    // A FIFO without writer would block an ordinary open, a device would never end: both
    // are refused at once, as is a folder.
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    const TQvFileResult Fifo = ReadFileBytes(Here("pipe"), Data);
    EXPECT_EQ(Fifo.Failure(), ffNotRegular);
    EXPECT_EQ(Fifo.Reason(), u"Not a regular file");
    EXPECT_EQ(ReadFileBytes(u"/dev/zero", Data).Failure(), ffNotRegular);
    fs::create_directory("folder");
    EXPECT_EQ(ReadFileBytes(Here("folder"), Data).Failure(), ffNotRegular);
    EXPECT_EQ(Data, "untouched");
}

TEST(Files, AtomicWriteReplacesPrivatelyAndLeavesNothingOnFailure) {
    const String Target = Here("settings.ini");
    ASSERT_TRUE(WriteFileAtomic(Target, "one"));
    EXPECT_EQ(Slurp("settings.ini"), "one");
    EXPECT_EQ(ModeOf("settings.ini"), 0600u & ~Umask());
    ASSERT_TRUE(WriteFileAtomic(Target, "two"));
    EXPECT_EQ(Slurp("settings.ini"), "two");
    // A file meant to be shared gets the mode asked for, less the umask.
    ASSERT_TRUE(WriteFileAtomic(Here("picture.png"), "png", 0666));
    EXPECT_EQ(ModeOf("picture.png"), 0666u & ~Umask());

    // A link at the target is replaced, never written through.
    std::ofstream("victim") << "keep";
    fs::create_symlink("victim", "link.ini");
    ASSERT_TRUE(WriteFileAtomic(Here("link.ini"), "new"));
    EXPECT_EQ(Slurp("victim"), "keep");
    EXPECT_FALSE(fs::is_symlink("link.ini"));
    EXPECT_EQ(Slurp("link.ini"), "new");

    // Failures: a missing folder (nothing can be made), a folder in the way (the rename fails).
    EXPECT_EQ(WriteFileAtomic(Here("nowhere/x.ini"), "x").Failure(), ffCreate);
    fs::create_directory("dir.ini");
    EXPECT_EQ(WriteFileAtomic(Here("dir.ini"), "x").Failure(), ffWrite);
    EXPECT_TRUE(fs::is_directory("dir.ini"));
    EXPECT_EQ(HiddenEntries(), 0);
}

TEST(Files, AtomicWriteUnderAPlainFileFailsCleanly) {
    // A regular file where the folder belongs: no one, the super-user included, can make a
    // file in it.
    std::ofstream("plain") << "old";
    const TQvFileResult R = WriteFileAtomic(Here("plain/x.ini"), "new");
    EXPECT_EQ(R.Failure(), ffCreate);
    EXPECT_EQ(R.ErrorCode(), ENOTDIR);
    EXPECT_EQ(Slurp("plain"), "old");
    EXPECT_EQ(HiddenEntries(), 0);
}

TEST(Files, FoldersAndProgramsStartedWithoutAShell) {
    ASSERT_TRUE(ForceDirectories(Here("out/deep"), 0700));
    EXPECT_EQ(ModeOf("out/deep"), 0700u & ~Umask());
    EXPECT_TRUE(ForceDirectories(Here("out/deep/")));  // already there

    // Every argument reaches the program as it is: nothing is split, expanded or run.
    const std::string Odd = "out/deep/a b;$(touch ran)*'";
    const int Touch = SpawnProcess(u"touch", {Here(Odd)});
    ASSERT_GT(Touch, 0);
    EXPECT_EQ(WaitForProcess(Touch), 0);
    EXPECT_TRUE(fs::is_regular_file(Odd));
    EXPECT_FALSE(fs::exists("ran"));
    EXPECT_EQ(std::distance(fs::directory_iterator("out/deep"), fs::directory_iterator()), 1);

    EXPECT_EQ(WaitForProcess(SpawnProcess(u"sh", {u"-c", u"exit 7"})), 7);
    EXPECT_EQ(WaitForProcess(SpawnProcess(u"sh", {u"-c", u"kill -9 $$"})), -1);  // ended by a signal
    errno = 0;
    EXPECT_EQ(SpawnProcess(u"no-such-program-here", {}), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(SpawnProcess(Here("out"), {}), -1);  // a folder is no program
}
