#include "platform/uQvPaths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/uQvFiles.h"
#include "platform/uQvUnicodeCase.h"

namespace {

bool IsDelim(char16_t C) { return C == u'/' || C == u'\\'; }

size_t LastDelim(std::u16string_view S) {
    for (size_t I = S.size(); I > 0; --I)
        if (IsDelim(S[I - 1])) return I - 1;
    return std::u16string_view::npos;
}

std::string Native(std::u16string_view S) { return StringToUtf8(S); }

std::optional<String>& TestTempPath() {
    static std::optional<String> Path;
    return Path;
}

// A folder we may keep private files in: a real directory (lstat, so not a link), owned by
// us, with no access for others (tightened to 0700 when it was wider).
bool IsPrivateDir(const std::string& Dir) {
    struct stat St;
    if (lstat(Dir.c_str(), &St) != 0) return false;
    if (!S_ISDIR(St.st_mode) || St.st_uid != geteuid()) return false;
    if ((St.st_mode & 077) != 0 && chmod(Dir.c_str(), 0700) != 0) return false;
    return true;
}

bool MakePrivateDir(const std::string& Dir) {
    if (mkdir(Dir.c_str(), 0700) != 0 && errno != EEXIST) {
        // The parents may be missing (a fresh ~/.cache): create them for this user only.
        const size_t Slash = Dir.find_last_of('/');
        if (errno != ENOENT || Slash == std::string::npos || Slash == 0) return false;
        if (!ForceDirectories(Utf8ToString(Dir.substr(0, Slash)), 0700)) return false;
        if (mkdir(Dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return IsPrivateDir(Dir);
}

String EnvValue(const char* Name) {
    const char* V = std::getenv(Name);
    return V != nullptr ? Utf8ToString(V) : String();
}

std::string AbsoluteDir(const String& Dir) {
    std::string S = StringToUtf8(Dir);
    if (S.empty() || S[0] != '/') return {};  // relative values are ignored, as XDG asks
    while (S.size() > 1 && S.back() == '/') S.pop_back();
    return S == "/" ? std::string() : S;
}

}  // namespace

String AppPath() {
    static const String Path = [] {
        std::string Buf(4096, '\0');
        const ssize_t N = readlink("/proc/self/exe", Buf.data(), Buf.size() - 1);
        if (N <= 0) return String(u"./");
        Buf.resize(static_cast<size_t>(N));
        return ExtractFilePath(Utf8ToString(Buf));
    }();
    return Path;
}

String PrivateTempFolder(const String& CacheHome, const String& Home, const String& TmpDir) {
    const std::string Uid = std::to_string(geteuid());
    std::string Candidates[3];
    if (std::string X = AbsoluteDir(CacheHome); !X.empty()) Candidates[0] = X + "/varnoth";
    if (std::string H = AbsoluteDir(Home); !H.empty()) Candidates[1] = H + "/.cache/varnoth";
    std::string Tmp = AbsoluteDir(TmpDir);
    if (Tmp.empty()) Tmp = "/tmp";
    Candidates[2] = Tmp + "/varnoth-" + Uid;
    for (const std::string& C : Candidates)
        if (!C.empty() && MakePrivateDir(C)) return Utf8ToString(C + "/");
    // Someone else holds the usual name: take a fresh folder of our own.
    for (const std::string& Base : {Tmp, std::string("/tmp")}) {
        std::string Fresh = Base + "/varnoth-" + Uid + "-XXXXXX";
        if (mkdtemp(Fresh.data()) != nullptr) return Utf8ToString(Fresh + "/");
    }
    return u"/tmp/";  // last resort; every file written there is created 0600
}

String GetTempPath() {
    if (TestTempPath()) return *TestTempPath();
    static const String Path =
        PrivateTempFolder(EnvValue("XDG_CACHE_HOME"), EnvValue("HOME"), EnvValue("TMPDIR"));
    return Path;
}

String AppTempPath() { return GetTempPath(); }

void SetTempPathForTests(const String& Folder) {
    if (Folder.empty())
        TestTempPath().reset();
    else
        TestTempPath() = IncludeTrailingPathDelimiter(Folder);
}

String ExtractFilePath(std::u16string_view FileName) {
    const size_t P = LastDelim(FileName);
    return P == std::u16string_view::npos ? String() : String(FileName.substr(0, P + 1));
}

String ExtractFileName(std::u16string_view FileName) {
    const size_t P = LastDelim(FileName);
    return String(P == std::u16string_view::npos ? FileName : FileName.substr(P + 1));
}

String ExtractFileExt(std::u16string_view FileName) {
    const size_t Start = LastDelim(FileName) == std::u16string_view::npos ? 0 : LastDelim(FileName) + 1;
    const size_t Dot = FileName.rfind(u'.');
    if (Dot == std::u16string_view::npos || Dot < Start) return String();
    return String(FileName.substr(Dot));
}

String ChangeFileExt(std::u16string_view FileName, std::u16string_view Extension) {
    const String Ext = ExtractFileExt(FileName);
    return String(FileName.substr(0, FileName.size() - Ext.size())) + String(Extension);
}

String IncludeTrailingPathDelimiter(std::u16string_view Path) {
    String R(Path);
    if (R.empty() || !IsDelim(R.back())) R.push_back(PathDelim);
    return R;
}

String ExcludeTrailingPathDelimiter(std::u16string_view Path) {
    String R(Path);
    if (R.size() > 1 && IsDelim(R.back())) R.pop_back();
    return R;
}

String CombinePath(std::u16string_view First, std::u16string_view Second) {
    if (!Second.empty() && IsDelim(Second[0])) return String(Second);
    if (First.empty()) return String(Second);
    return IncludeTrailingPathDelimiter(First) + String(Second);
}

bool FileExists(const String& FileName) {
    struct stat St;
    return !FileName.empty() && stat(Native(FileName).c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

bool PathExists(const String& Path) {
    struct stat St;
    return !Path.empty() && lstat(Native(Path).c_str(), &St) == 0;
}

bool DirectoryExists(const String& Directory) {
    struct stat St;
    return !Directory.empty() && stat(Native(Directory).c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

String FindFileNoCase(const String& FileName) {
    if (FileExists(FileName)) return FileName;
    const String Folder = ExtractFilePath(FileName);
    const String Name = ExtractFileName(FileName);
    if (Name.empty()) return String();
    DIR* D = opendir(Folder.empty() ? "." : Native(Folder).c_str());
    if (D == nullptr) return String();
    String Found;
    while (dirent* E = readdir(D)) {
        const String Candidate = Utf8ToString(E->d_name);
        if (AnsiSameText(Candidate, Name) && FileExists(Folder + Candidate)) {
            Found = Folder + Candidate;
            break;
        }
    }
    closedir(D);
    return Found;
}
