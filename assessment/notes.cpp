#include "assessment/notes.h"

std::size_t Notes_length(const std::string& text) {
    std::size_t length = 0;
    for (const char c : text) {
        if (c == '\n')
            length += 2;
        else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++length;
    }
    return length;
}

std::size_t Notes_length(const std::vector<std::string>& lines) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        length += Notes_length(lines[i]) + (i > 0 ? 2 : 0);
    return length;
}

std::vector<std::string> Notes_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Notes_too_long_message(std::size_t length) {
    return "The notes hold " + std::to_string(length) +
           " characters (a line break counting as two), but at most " +
           std::to_string(Max_notes_length) + " are allowed.";
}
