#include "matrix/matrix_printing.h"

#include <charconv>
#include <utility>

#include "distributions/text_format.h"

tLine_sink Appending_to(std::vector<std::string>& lines) {
    return [&lines](std::string_view line) { lines.emplace_back(line); };
}

void Print_matrix(const tMatrix& M, int m, const std::string& title, const tLine_sink& put) {
    put(title);
    for (int i = 1; i <= m; ++i) {
        std::string line = "   ";
        for (int j = 1; j <= m; ++j)
            line += Format_text("%5.5Lf   ", M(i, j));
        put(line);
    }
    put({});
}

void Print_matrix(const tMatrix& M, int m, const std::string& title,
                  std::vector<std::string>& lines) {
    Print_matrix(M, m, title, Appending_to(lines));
}

void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       const tLine_sink& put) {
    put(title);
    // One line's text, cleared for each row: its room is made once.
    std::string line;
    line.reserve(12 + 15 * static_cast<std::size_t>(m));
    for (int i = 1; i <= r; ++i) {
        // "   [%4d]:  ", without printf's cost on each of up to 500 rows.
        char number[16];
        const auto end = std::to_chars(number, number + sizeof number, i).ptr;
        const auto digits = static_cast<std::size_t>(end - number);
        line = "   [";
        if (digits < 4) line.append(4 - digits, ' ');
        line.append(number, digits);
        line += "]:  ";
        for (int j = 1; j <= m; ++j) {
            Append_fixed(line, data(i, j), 12, 5);
            line += "   ";
        }
        put(line);
    }
    put({});
}

void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       std::vector<std::string>& lines) {
    Print_data_matrix(data, r, m, title, Appending_to(lines));
}
