#pragma once

// The one checked file writer: the viewer's Save Output and PDF, the plot's
// picture, the worksheet's state file and pavona-cli all write through it, so
// a write that fails (a full disk, a folder that went away) never passes for
// a saved file, and reads the same everywhere.

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Writes all of `bytes` to `stream` and flushes it. Raises EFile_error
// ("Disk full", "I/O error <code>", ...) when any of it fails.
void Write_checked(std::FILE* stream, std::string_view bytes);

// Writes lines to `stream` one at a time, each followed by a line end, as a
// report is formed, so that nothing need hold the report whole. After a
// failure nothing more is written; Finish flushes the stream and raises
// EFile_error ("Disk full", "I/O error <code>", ...) for a failure of any of it.
class tLine_writer {
public:
    explicit tLine_writer(std::FILE* stream) : stream_(stream) {}
    void Write(std::string_view line);
    void Finish();

private:
    std::FILE* stream_;
    int error_ = 0; // the first failure's error, 0 while none
};

// Replaces the file at `path` with `bytes`, so that it holds either all of its
// old bytes or all of the new ones, never a mixture or a part:
// - the bytes go into a new file in the same folder, are flushed to the disk,
//   and only then is that file renamed over the target (which keeps its
//   permissions; a link is followed, and the file it names replaced);
// - where the folder allows no new file or the target cannot be renamed over
//   (a folder the user may not add to, a file mounted on its own) but the
//   target itself is writable, the target is overwritten in place, and its old
//   bytes are written back when that fails;
// - a device or pipe (/dev/null, a named pipe) is written as it is.
// A target the user may not write (a read-only file) is refused, as it always
// was, though the folder would allow replacing it. Raises EFile_error with the
// first failure's message; the target is then as it was and no new file is
// left behind.
void Write_file(const std::string& path, std::string_view bytes);

// The system calls that Write_file makes, each as its POSIX namesake returns
// (-1 and errno on failure), so that a test can make any of them fail.
class tFile_system {
public:
    virtual ~tFile_system() = default;
    virtual int Open(const std::string& path, int flags, int mode);
    virtual long Write(int descriptor, const char* bytes, std::size_t count);
    virtual int Sync(int descriptor);
    virtual int Close(int descriptor);
    virtual int Rename(const std::string& from, const std::string& to);
    virtual int Remove(const std::string& path);
    virtual int Access(const std::string& path, int mode);
};

// The file system Write_file uses: the system's own, unless a test has put
// another in place.
tFile_system& Current_file_system();

// Puts `replacement` in place of the current file system for the object's life.
class tFile_system_replacement {
public:
    explicit tFile_system_replacement(tFile_system& replacement);
    ~tFile_system_replacement();
    tFile_system_replacement(const tFile_system_replacement&) = delete;
    tFile_system_replacement& operator=(const tFile_system_replacement&) = delete;

private:
    tFile_system* previous_;
};
