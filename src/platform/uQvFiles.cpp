#include "platform/uQvFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/uQvPaths.h"

extern char** environ;

namespace {

std::string Native(std::u16string_view S) { return StringToUtf8(S); }

bool WriteAll(int Fd, const char* P, size_t N) {
    while (N > 0) {
        const ssize_t W = ::write(Fd, P, N);
        if (W < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        P += W;
        N -= static_cast<size_t>(W);
    }
    return true;
}

// Closes Fd and gives Result, keeping the error code of the failure.
TQvFileResult CloseWith(int Fd, TQvFileResult Result) {
    ::close(Fd);
    return Result;
}

template <typename TBuffer>
TQvFileResult ReadWhole(const String& FileName, TBuffer& Data, size_t MaxSize, bool FollowLinks) {
    // O_NONBLOCK: opening a FIFO without writer, or a device, must not wait; fstat then
    // refuses anything that is not a regular file before a read could wait on it.
    const int Fd = ::open(Native(FileName).c_str(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | (FollowLinks ? 0 : O_NOFOLLOW));
    if (Fd < 0) return {ffOpen, errno};
    struct stat St;
    if (fstat(Fd, &St) != 0) return CloseWith(Fd, {ffRead, errno});
    if (!S_ISREG(St.st_mode)) return CloseWith(Fd, {ffNotRegular, 0});
    if (static_cast<uint64_t>(St.st_size) > MaxSize) return CloseWith(Fd, {ffTooLarge, 0});
    TBuffer Buf;
    Buf.reserve(static_cast<size_t>(St.st_size));
    char Chunk[65536];
    while (true) {
        const ssize_t N = ::read(Fd, Chunk, sizeof Chunk);
        if (N < 0 && errno == EINTR) continue;
        if (N < 0) return CloseWith(Fd, {ffRead, errno});
        if (Buf.size() + static_cast<size_t>(N) > MaxSize) return CloseWith(Fd, {ffTooLarge, 0});
        if (N == 0) break;
        Buf.insert(Buf.end(), Chunk, Chunk + N);
    }
    ::close(Fd);
    Data = std::move(Buf);
    return {};
}

// A new file beside Target, named ".<name>.<six random characters>", made exclusively (no
// link or file of that name is ever opened) with Mode less the umask.
int CreateTempBeside(const std::string& Target, unsigned Mode, std::string& Temp) {
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 Generator{std::random_device{}()};
    const size_t Slash = Target.find_last_of('/');
    const std::string Prefix = (Slash == std::string::npos ? "" : Target.substr(0, Slash + 1)) + "." +
                               (Slash == std::string::npos ? Target : Target.substr(Slash + 1)) + ".";
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        Temp = Prefix;
        for (int I = 0; I < 6; ++I) Temp += Letters[Generator() % (sizeof Letters - 1)];
        const int Fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (Fd >= 0 || errno != EEXIST) return Fd;
    }
    return -1;
}

}  // namespace

String TQvFileResult::Reason() const {
    switch (FFailure) {
        case ffNone:
            return String();
        case ffNotRegular:
            return u"Not a regular file";
        case ffTooLarge:
            return u"File too large";
        default:
            return Utf8ToString(std::strerror(FErrorCode));
    }
}

TQvFileResult ReadFileBytes(const String& FileName, std::string& Data, size_t MaxSize, bool FollowLinks) {
    return ReadWhole(FileName, Data, MaxSize, FollowLinks);
}

TQvFileResult ReadFileBytes(const String& FileName, std::vector<uint8_t>& Data, size_t MaxSize,
                            bool FollowLinks) {
    return ReadWhole(FileName, Data, MaxSize, FollowLinks);
}

TQvFileResult WriteFileAtomic(const String& FileName, std::string_view Data, unsigned Mode) {
    const std::string Target = Native(FileName);
    if (Target.empty() || Target.back() == '/') return {ffCreate, Target.empty() ? ENOENT : EISDIR};
    std::string Temp;
    const int Fd = CreateTempBeside(Target, Mode, Temp);
    if (Fd < 0) return {ffCreate, errno};
    TQvFileResult Result;
    if (!WriteAll(Fd, Data.data(), Data.size()) || fsync(Fd) != 0) Result = {ffWrite, errno};
    if (::close(Fd) != 0 && Result.Ok()) Result = {ffWrite, errno};
    if (Result.Ok() && rename(Temp.c_str(), Target.c_str()) != 0) Result = {ffWrite, errno};
    if (!Result.Ok()) {
        unlink(Temp.c_str());
        return Result;
    }
    // Make the rename itself durable.
    const size_t Slash = Target.find_last_of('/');
    const std::string Dir = Slash == std::string::npos ? "." : (Slash == 0 ? "/" : Target.substr(0, Slash));
    const int DirFd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DirFd >= 0) {
        fsync(DirFd);
        ::close(DirFd);
    }
    return Result;
}

bool ForceDirectories(const String& Directory, unsigned Mode) {
    std::string Dir = Native(ExcludeTrailingPathDelimiter(Directory));
    if (Dir.empty()) return false;
    size_t Pos = 0;
    while (true) {
        Pos = Dir.find('/', Pos + 1);
        const std::string Part = Dir.substr(0, Pos);
        if (!Part.empty() && mkdir(Part.c_str(), Mode) != 0 && errno != EEXIST) return false;
        if (Pos == std::string::npos) break;
    }
    return DirectoryExists(Directory);
}

bool DeleteFile(const String& FileName) { return unlink(Native(FileName).c_str()) == 0; }

intptr_t FileOpen(const String& FileName, int Mode) {
    int Flags = O_RDONLY;
    if ((Mode & 3) == fmOpenWrite) Flags = O_WRONLY;
    if ((Mode & 3) == fmOpenReadWrite) Flags = O_RDWR;
    const int Fd = ::open(Native(FileName).c_str(), Flags | O_CLOEXEC);
    if (Fd < 0) return -1;
    struct stat St;
    if (fstat(Fd, &St) != 0 || S_ISDIR(St.st_mode)) {
        ::close(Fd);
        errno = EISDIR;
        return -1;
    }
    return Fd;
}

intptr_t FileCreate(const String& FileName) {
    const int Fd = ::open(Native(FileName).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return Fd < 0 ? -1 : Fd;
}

int64_t FileRead(intptr_t Handle, void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    int64_t Total = 0;
    while (Total < Count) {
        const ssize_t N = ::read(static_cast<int>(Handle), static_cast<char*>(Buffer) + Total,
                                 static_cast<size_t>(Count - Total));
        if (N < 0 && errno == EINTR) continue;
        if (N < 0) return Total > 0 ? Total : -1;
        if (N == 0) break;
        Total += N;
    }
    return Total;
}

int64_t FileWrite(intptr_t Handle, const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    return WriteAll(static_cast<int>(Handle), static_cast<const char*>(Buffer), static_cast<size_t>(Count))
               ? Count
               : -1;
}

int64_t FileSeek(intptr_t Handle, int64_t Offset, int Origin) {
    const int Whence = Origin == soFromCurrent ? SEEK_CUR : (Origin == soFromEnd ? SEEK_END : SEEK_SET);
    return lseek(static_cast<int>(Handle), Offset, Whence);
}

bool FileTruncate(intptr_t Handle, int64_t Size) { return ftruncate(static_cast<int>(Handle), Size) == 0; }

void FileClose(intptr_t Handle) {
    if (Handle >= 0) ::close(static_cast<int>(Handle));
}

String LastOSErrorText() { return Utf8ToString(std::strerror(errno)); }

int SpawnProcess(const String& Program, const std::vector<String>& Arguments) {
    std::vector<std::string> Texts;
    Texts.reserve(Arguments.size() + 1);
    Texts.push_back(Native(Program));
    for (const String& A : Arguments) Texts.push_back(Native(A));
    std::vector<char*> Argv;
    for (std::string& T : Texts) Argv.push_back(T.data());
    Argv.push_back(nullptr);

    // The child must not inherit what this program blocks or ignores (an ignored SIGPIPE
    // would survive the exec).
    posix_spawnattr_t Attr;
    if (int E = posix_spawnattr_init(&Attr); E != 0) {
        errno = E;
        return -1;
    }
    sigset_t None, All;
    sigemptyset(&None);
    sigfillset(&All);
    posix_spawnattr_setsigmask(&Attr, &None);
    posix_spawnattr_setsigdefault(&Attr, &All);
    posix_spawnattr_setflags(&Attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t Pid = -1;
    const bool Search = Texts[0].find('/') == std::string::npos;
    const int E = Search ? posix_spawnp(&Pid, Texts[0].c_str(), nullptr, &Attr, Argv.data(), environ)
                         : posix_spawn(&Pid, Texts[0].c_str(), nullptr, &Attr, Argv.data(), environ);
    posix_spawnattr_destroy(&Attr);
    if (E != 0) {
        errno = E;
        return -1;
    }
    return Pid;
}

int WaitForProcess(int ProcessId) {
    int Status = 0;
    pid_t R;
    do {
        R = waitpid(ProcessId, &Status, 0);
    } while (R < 0 && errno == EINTR);
    if (R < 0 || !WIFEXITED(Status)) return -1;
    return WEXITSTATUS(Status);
}
