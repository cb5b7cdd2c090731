#include "platform/plain_text_pages.h"

#include <algorithm>

namespace {

constexpr int Tab_columns = 8;

// One text line as the printed lines it takes: tabs expanded, then cut at
// the page width.
void Wrap_line(const std::string& line, int columns, std::vector<std::string>& out) {
    std::string expanded;
    for (char c : line) {
        if (c == '\t')
            expanded.append(Tab_columns - expanded.size() % Tab_columns, ' ');
        else
            expanded += c;
    }
    if (expanded.empty()) {
        out.emplace_back();
        return;
    }
    for (size_t start = 0; start < expanded.size(); start += static_cast<size_t>(columns))
        out.push_back(expanded.substr(start, static_cast<size_t>(columns)));
}

} // namespace

std::vector<tPage> Plain_text_pages(const std::string& text, int columns, int lines) {
    columns = std::max(columns, 1);
    lines = std::max(lines, 1);

    std::vector<std::string> printed;
    std::string line;
    bool pending = false; // characters seen since the last line end
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            Wrap_line(line, columns, printed);
            line.clear();
            pending = false;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) Wrap_line(line, columns, printed);

    std::vector<tPage> pages;
    for (size_t start = 0; start < printed.size(); start += static_cast<size_t>(lines))
        pages.emplace_back(printed.begin() + static_cast<std::ptrdiff_t>(start),
                           printed.begin() +
                               static_cast<std::ptrdiff_t>(
                                   std::min(printed.size(), start + static_cast<size_t>(lines))));
    return pages;
}
