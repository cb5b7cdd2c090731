#include "platform/system_error_message.h"

#include <cerrno>

std::string System_error_message(int code) {
    switch (code) {
    case ENOENT:
    case ENOTDIR: // a folder on the way is missing or is a file
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // a folder where a file was expected cannot be read or written as one
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

int Last_error_or_io() {
    return errno != 0 ? errno : EIO;
}
