#include "platform/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/system_error_message.h"

int tFile_system::Open(const std::string& path, int flags, int mode) {
    return ::open(path.c_str(), flags, static_cast<mode_t>(mode));
}

long tFile_system::Write(int descriptor, const char* bytes, std::size_t count) {
    return static_cast<long>(::write(descriptor, bytes, count));
}

int tFile_system::Sync(int descriptor) {
    return ::fsync(descriptor);
}

int tFile_system::Close(int descriptor) {
    return ::close(descriptor);
}

int tFile_system::Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str());
}

int tFile_system::Remove(const std::string& path) {
    return ::unlink(path.c_str());
}

int tFile_system::Access(const std::string& path, int mode) {
    return ::access(path.c_str(), mode);
}

namespace {

tFile_system System_file_system;
std::atomic<tFile_system*> Current{&System_file_system};

// As the kernel allows when it follows links itself.
constexpr int Max_link_depth = 40;
// Names already taken are passed over; that many in a row means something else is wrong.
constexpr int Max_name_attempts = 100;
// A signal may interrupt a write any number of times, but not without end.
constexpr int Max_interruptions = 1000;

// The file a path names once its links are followed, so that a save through a
// link replaces the file it points at and the link stays a link. A link that
// points nowhere gives the path it points to, where the file is then made.
std::string Followed_links(std::string path) {
    for (int depth = 0; depth < Max_link_depth; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) return path;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) throw EFile_error(error.value());
        path = target.is_absolute() ? target.string()
                                    : (std::filesystem::path(path).parent_path() / target).string();
    }
    throw EFile_error(ELOOP);
}

std::string Folder_of(const std::string& path) {
    const std::size_t last = path.find_last_of('/');
    if (last == std::string::npos) return ".";
    return last == 0 ? "/" : path.substr(0, last);
}

// Writes every byte or raises the failure.
void Write_all(tFile_system& files, int descriptor, std::string_view bytes) {
    std::size_t done = 0;
    int interruptions = 0;
    while (done < bytes.size()) {
        errno = 0;
        const long count = files.Write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR && ++interruptions < Max_interruptions) continue;
        // Nothing written without an error is a failure all the same.
        if (count <= 0) throw EFile_error(Last_error_or_io());
        done += static_cast<std::size_t>(count);
    }
}

// Flushes the file to the disk. A file system that cannot (EINVAL, EROFS: it
// keeps nothing to flush) is no failure; any other error is, since the bytes
// may never reach the disk.
void Sync(tFile_system& files, int descriptor) {
    errno = 0;
    if (files.Sync(descriptor) != 0 && errno != EINVAL && errno != EROFS)
        throw EFile_error(Last_error_or_io());
}

// Closes, reporting a failure: some file systems only report a failed write here.
void Close(tFile_system& files, int& descriptor) {
    const int closing = descriptor;
    descriptor = -1;
    errno = 0;
    if (files.Close(closing) != 0) throw EFile_error(Last_error_or_io());
}

// So that the rename itself survives a power cut; a failure only loses that.
void Sync_folder(const std::string& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// A new, empty file in `folder` that no other program has open; its path goes
// to `path`. Returns the descriptor, or -1 with the error in errno.
int Create_new_file(tFile_system& files, const std::string& folder, int mode, std::string& path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < Max_name_attempts; ++attempt) {
        path = folder + "/.pavona-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
               ".tmp";
        errno = 0;
        const int descriptor = files.Open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    errno = EEXIST;
    return -1;
}

// The failures of making a file beside the target or of renaming it over the
// target after which writing into the target itself may still succeed.
bool Target_may_be_written_in_place(int error) {
    return error == EACCES || error == EPERM || error == EBUSY || error == EXDEV ||
           error == ENOSPC || error == EDQUOT || error == EROFS;
}

// Overwrites the target where it stands. Its old bytes are read first and
// written back when the new ones fail part-way: they fit in the room they
// had, so the target is left as it was.
void Overwrite_in_place(tFile_system& files, const std::string& target, std::string_view bytes) {
    errno = 0;
    int descriptor = files.Open(target, O_RDWR | O_CLOEXEC, 0);
    if (descriptor < 0) throw EFile_error(Last_error_or_io());
    std::string old;
    try {
        char buffer[65536];
        for (;;) {
            errno = 0;
            const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) throw EFile_error(Last_error_or_io());
            if (count == 0) break;
            old.append(buffer, static_cast<std::size_t>(count));
        }
    } catch (...) {
        files.Close(descriptor);
        throw;
    }
    try {
        errno = 0;
        if (::lseek(descriptor, 0, SEEK_SET) != 0) throw EFile_error(Last_error_or_io());
        Write_all(files, descriptor, bytes);
        errno = 0;
        if (::ftruncate(descriptor, static_cast<off_t>(bytes.size())) != 0)
            throw EFile_error(Last_error_or_io());
        Sync(files, descriptor);
        Close(files, descriptor);
    } catch (...) {
        if (descriptor >= 0) {
            try {
                if (::lseek(descriptor, 0, SEEK_SET) == 0) Write_all(files, descriptor, old);
            } catch (const EFile_error&) {
                // The first failure is the one the user hears of.
            }
            if (::ftruncate(descriptor, static_cast<off_t>(old.size())) == 0)
                files.Sync(descriptor);
            files.Close(descriptor);
        }
        throw;
    }
}

// A device or a pipe is written as it is: there is nothing to rename over.
void Write_as_is(tFile_system& files, const std::string& target, std::string_view bytes) {
    errno = 0;
    int descriptor = files.Open(target, O_WRONLY | O_TRUNC | O_CLOEXEC, 0);
    if (descriptor < 0) throw EFile_error(Last_error_or_io());
    try {
        Write_all(files, descriptor, bytes);
    } catch (...) {
        files.Close(descriptor);
        throw;
    }
    Close(files, descriptor);
}

} // namespace

tFile_system& Current_file_system() {
    return *Current.load();
}

tFile_system_replacement::tFile_system_replacement(tFile_system& replacement)
    : previous_(Current.exchange(&replacement)) {}

tFile_system_replacement::~tFile_system_replacement() {
    Current.store(previous_);
}

void Write_file(const std::string& path, std::string_view bytes) {
    tFile_system& files = Current_file_system();
    const std::string target = Followed_links(path);
    struct stat status {};
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) throw EFile_error(EISDIR);
    if (exists && !S_ISREG(status.st_mode)) return Write_as_is(files, target, bytes);
    // Renaming over a file needs only the folder's permission; a file made
    // read-only is kept from being overwritten.
    errno = 0;
    if (exists && files.Access(target, W_OK) != 0) throw EFile_error(Last_error_or_io());

    // A new file is made as any other would be (the umask applies); one that
    // replaces a file gets that file's permissions, and nobody else may read
    // it before then.
    const std::string folder = Folder_of(target);
    std::string temporary;
    int descriptor = Create_new_file(files, folder, exists ? 0600 : 0666, temporary);
    if (descriptor < 0) {
        const int error = Last_error_or_io();
        if (exists && Target_may_be_written_in_place(error))
            return Overwrite_in_place(files, target, bytes);
        throw EFile_error(error);
    }
    try {
        if (exists) ::fchmod(descriptor, status.st_mode & 07777);
        Write_all(files, descriptor, bytes);
        Sync(files, descriptor);
        Close(files, descriptor);
    } catch (...) {
        if (descriptor >= 0) files.Close(descriptor);
        files.Remove(temporary);
        throw;
    }
    errno = 0;
    if (files.Rename(temporary, target) != 0) {
        const int error = Last_error_or_io();
        files.Remove(temporary);
        if (exists && Target_may_be_written_in_place(error))
            return Overwrite_in_place(files, target, bytes);
        throw EFile_error(error);
    }
    Sync_folder(folder);
}
