// The checked writes to an open stream, apart from the file replacement: a
// program that writes only to its standard streams (pavona-cli) then links
// none of the file-system library, whose start-up relocations and pages it
// would pay for on every run.

#include <cerrno>

#include "platform/file_writer.h"
#include "platform/system_error_message.h"

void Write_checked(std::FILE* stream, std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() ||
        std::fflush(stream) != 0)
        throw EFile_error(Last_error_or_io());
}

void tLine_writer::Write(std::string_view line) {
    if (error_ != 0) return;
    errno = 0;
    // An empty line's view may hold no pointer at all, which fwrite may not be given.
    if ((!line.empty() && std::fwrite(line.data(), 1, line.size(), stream_) != line.size()) ||
        std::fputc('\n', stream_) == EOF)
        error_ = Last_error_or_io();
}

void tLine_writer::Finish() {
    if (error_ == 0) {
        errno = 0;
        if (std::fflush(stream_) != 0) error_ = Last_error_or_io();
    }
    if (error_ != 0) throw EFile_error(error_);
}
