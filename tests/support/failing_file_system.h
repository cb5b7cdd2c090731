#pragma once

// A file system that fails one chosen step of Write_file as a full disk
// would, and passes every other call through to the system: the way to see
// what a save leaves behind when it fails part-way.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

#include "platform/file_writer.h"

class tFailing_file_system : public tFile_system {
public:
    enum class tStep {
        Create,   // making the new file beside the target
        Write,    // the write that reaches `Bytes_before_failure`
        Sync,     // flushing to the disk
        Close,    // closing (where some file systems report a failed write)
        Rename,   // renaming the new file over the target
        Open_old, // opening the target itself to write into it
    };

    tFailing_file_system(tStep step, int error = ENOSPC) : step_(step), error_(error) {}

    // Writes pass until this many bytes went through; the failing write puts
    // part of its bytes on the disk first, as a disk filling up does.
    std::size_t Bytes_before_failure = 0;
    // Each step fails once; later calls pass (so that old bytes can be put back).
    int Failures = 0;
    // The target's folder takes no new file (as a folder the user may not add to).
    bool Refuse_new_files = false;
    // Every existing file is read-only to the user.
    bool Read_only_files = false;

    int Open(const std::string& path, int flags, int mode) override {
        const tStep step = (flags & O_EXCL) ? tStep::Create : tStep::Open_old;
        if (step == tStep::Create && Refuse_new_files) {
            errno = EACCES;
            return -1;
        }
        if (Fails(step)) return -1;
        return tFile_system::Open(path, flags, mode);
    }
    long Write(int descriptor, const char* bytes, std::size_t count) override {
        if (step_ == tStep::Write && Failures == 0 && written_ + count > Bytes_before_failure) {
            const std::size_t part = Bytes_before_failure - written_;
            if (part > 0) {
                const long done = tFile_system::Write(descriptor, bytes, part);
                if (done > 0) written_ += static_cast<std::size_t>(done);
                return done;
            }
            return Fails(tStep::Write) ? -1 : 0;
        }
        const long done = tFile_system::Write(descriptor, bytes, count);
        if (done > 0) written_ += static_cast<std::size_t>(done);
        return done;
    }
    int Sync(int descriptor) override {
        return Fails(tStep::Sync) ? -1 : tFile_system::Sync(descriptor);
    }
    int Close(int descriptor) override {
        const int closed = tFile_system::Close(descriptor);
        return Fails(tStep::Close) ? -1 : closed;
    }
    int Access(const std::string& path, int mode) override {
        if (Read_only_files && (mode & W_OK)) {
            errno = EACCES;
            return -1;
        }
        return tFile_system::Access(path, mode);
    }
    int Rename(const std::string& from, const std::string& to) override {
        return Fails(tStep::Rename) ? -1 : tFile_system::Rename(from, to);
    }

private:
    bool Fails(tStep step) {
        if (step != step_ || Failures > 0) return false;
        ++Failures;
        errno = error_;
        return true;
    }

    tStep step_;
    int error_;
    std::size_t written_ = 0;
};
