#pragma once
// Files and processes: whole files read without ever blocking, files replaced atomically,
// folders made, plain file handles for streams, and programs started with an argument
// array (never through a shell). Names are UTF-16 in the program and UTF-8 on disk.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/uQvBase.h"

// What stood in the way of a file operation.
enum TQvFileFailure { ffNone, ffOpen, ffNotRegular, ffTooLarge, ffRead, ffCreate, ffWrite };

// The outcome of a file operation: success, or the failure and the system's error code.
class TQvFileResult {
public:
    TQvFileResult() = default;
    TQvFileResult(TQvFileFailure Failure, int ErrorCode) : FFailure(Failure), FErrorCode(ErrorCode) {}

    bool Ok() const { return FFailure == ffNone; }
    explicit operator bool() const { return Ok(); }
    TQvFileFailure Failure() const { return FFailure; }
    int ErrorCode() const { return FErrorCode; }
    // For a message: "Not a regular file", "File too large", else the system's text.
    String Reason() const;

private:
    TQvFileFailure FFailure = ffNone;
    int FErrorCode = 0;
};

// Reads a whole regular file. Anything else at the path (a folder, a FIFO, a device) is
// refused with ffNotRegular before a read could wait on it; so are a file larger than
// MaxSize (ffTooLarge) and, while FollowLinks is false, a symbolic link (ffOpen). Data is
// left untouched on failure.
TQvFileResult ReadFileBytes(const String& FileName, std::string& Data, size_t MaxSize = SIZE_MAX,
                            bool FollowLinks = true);
TQvFileResult ReadFileBytes(const String& FileName, std::vector<uint8_t>& Data, size_t MaxSize = SIZE_MAX,
                            bool FollowLinks = true);

// Replaces FileName with Data atomically: a new file in the same folder, made with Mode
// less the umask (ffCreate when it cannot be made), is written, flushed to disk and renamed
// over the target (ffWrite when that fails). A link at FileName is replaced, never
// followed. On failure the old file is left as it was and nothing is left behind.
TQvFileResult WriteFileAtomic(const String& FileName, std::string_view Data, unsigned Mode = 0600);

// Creates Directory and its missing parents (Mode less the umask); true when it exists
// afterwards.
bool ForceDirectories(const String& Directory, unsigned Mode = 0777);
bool DeleteFile(const String& FileName);

// Plain file handles for streams; -1 marks a failure (the reason is LastOSErrorText()).
enum : int { fmOpenRead = 0, fmOpenWrite = 1, fmOpenReadWrite = 2 };
enum : int { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };
intptr_t FileOpen(const String& FileName, int Mode);
intptr_t FileCreate(const String& FileName);  // creates or truncates
int64_t FileRead(intptr_t Handle, void* Buffer, int64_t Count);
int64_t FileWrite(intptr_t Handle, const void* Buffer, int64_t Count);
int64_t FileSeek(intptr_t Handle, int64_t Offset, int Origin);
bool FileTruncate(intptr_t Handle, int64_t Size);
void FileClose(intptr_t Handle);
String LastOSErrorText();

// Starts Program with Arguments as its own (argv[1] on) and this program's environment.
// No shell is involved, so nothing in the arguments is expanded, split or run. A Program
// without '/' is looked up in PATH. Signals start with their default handling and none
// blocked. Returns the process id, or -1 with errno saying why.
int SpawnProcess(const String& Program, const std::vector<String>& Arguments);
// Waits for a process SpawnProcess started; its exit code, or -1 when it was ended by a
// signal or is not a child of this program.
int WaitForProcess(int ProcessId);
