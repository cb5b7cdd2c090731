#include "platform/file_writer.h"

#include <cerrno>

#include "platform/system_error_message.h"

void Write_checked(std::FILE* stream, std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() ||
        std::fflush(stream) != 0)
        throw EFile_error(Last_error_or_io());
}

void Write_file(const std::string& path, std::string_view bytes) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw EFile_error(Last_error_or_io());
    try {
        Write_checked(file, bytes);
    } catch (...) {
        std::fclose(file);
        throw;
    }
    errno = 0;
    if (std::fclose(file) != 0) throw EFile_error(Last_error_or_io());
}
