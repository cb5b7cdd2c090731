#pragma once

// The one mapping from a system error code (errno) to the message the user
// sees for a file that cannot be read or written. The data file reader, the
// state file, Save Output and pavona-cli all report through it, so a missing
// folder or a full disk reads the same everywhere.

#include <stdexcept>
#include <string>

// "File not found", "File access denied", "Disk full" or "I/O error <code>".
std::string System_error_message(int code);

// The failure of a file operation, with the message above.
class EFile_error : public std::runtime_error {
public:
    explicit EFile_error(int code) : std::runtime_error(System_error_message(code)), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

// errno when it holds a code, otherwise EIO: a stream can fail without one.
int Last_error_or_io();
