#pragma once
// Paths: names and their parts, the process's folders, and what is at a path. Names are
// UTF-16 in the program and UTF-8 on disk. Reading, writing and making files is uQvFiles.

#include <string>
#include <string_view>

#include "platform/uQvBase.h"

constexpr char16_t PathDelim = u'/';

// The folder of the running executable, ending in '/'.
String AppPath();
// The user's private folder for temporary and settings files, ending in '/':
// $XDG_CACHE_HOME/varnoth/, else $HOME/.cache/varnoth/, else ${TMPDIR:-/tmp}/varnoth-<uid>/.
// The folder is created with mode 0700 and used only when it is a real directory (not a
// link) owned by this user; when no candidate qualifies a fresh private folder is made.
String GetTempPath();
// The folder GetTempPath settles on for the given environment values (empty = unset):
// the first candidate that is or can be made a private folder, else a fresh one.
String PrivateTempFolder(const String& CacheHome, const String& Home, const String& TmpDir);
// The same folder, as the program's process-wide temporary path.
String AppTempPath();
// Points GetTempPath at Folder (a trailing '/' is added); an empty Folder restores the
// real one. Tests use this instead of the environment.
void SetTempPathForTests(const String& Folder);

// Both '/' and '\' separate folders here.
String ExtractFilePath(std::u16string_view FileName);  // up to and including the last separator
String ExtractFileName(std::u16string_view FileName);  // after the last separator
String ExtractFileExt(std::u16string_view FileName);   // from the last '.' of the name, e.g. ".ini"
String ChangeFileExt(std::u16string_view FileName, std::u16string_view Extension);
String IncludeTrailingPathDelimiter(std::u16string_view Path);
String ExcludeTrailingPathDelimiter(std::u16string_view Path);
// Joins two paths; an absolute Second wins.
String CombinePath(std::u16string_view First, std::u16string_view Second);

bool FileExists(const String& FileName);       // an existing non-directory
// Anything at that path, a link included (even one that leads nowhere).
bool PathExists(const String& Path);
bool DirectoryExists(const String& Directory);
// FileName when it exists; else a file of the same folder whose name matches without
// regard to case; else empty.
String FindFileNoCase(const String& FileName);
