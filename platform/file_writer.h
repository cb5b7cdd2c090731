#pragma once

// The one checked file writer: the viewer's Save Output and PDF, the plot's
// picture, the worksheet's state file and pavona-cli all write through it, so
// a write that fails (a full disk, a folder that went away) never passes for
// a saved file, and reads the same everywhere.

#include <cstdio>
#include <string>
#include <string_view>

// Writes all of `bytes` to `stream` and flushes it. Raises EFile_error
// ("Disk full", "I/O error <code>", ...) when any of it fails.
void Write_checked(std::FILE* stream, std::string_view bytes);

// Replaces the file at `path` with `bytes`; the file is closed on every way
// out, and a failure to close is a failure to write. Raises EFile_error.
void Write_file(const std::string& path, std::string_view bytes);
