#pragma once

// Small helpers of the tests that run programs and read what they wrote.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace test_files {

// The whole of a file, as bytes; empty when it cannot be read.
inline std::string Contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// `text` as one word for the shell, whatever it holds.
inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace test_files
