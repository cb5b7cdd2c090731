#include "matrix/matrix_printing.h"

#include <cstdio>

namespace {

std::string Format(const char* format, Extended value) {
    // Sized for any value: a wild data value can have hundreds of digits.
    const int length = std::snprintf(nullptr, 0, format, value);
    std::string text(static_cast<std::size_t>(length), ' ');
    std::snprintf(text.data(), text.size() + 1, format, value);
    return text;
}

} // namespace

void Print_matrix(const tMatrix& M, int m, const std::string& title,
                  std::vector<std::string>& lines) {
    lines.push_back(title);
    for (int i = 1; i <= m; ++i) {
        std::string line = "   ";
        for (int j = 1; j <= m; ++j)
            line += Format("%5.5Lf   ", M(i, j));
        lines.push_back(line);
    }
    lines.emplace_back();
}

void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       std::vector<std::string>& lines) {
    lines.push_back(title);
    for (int i = 1; i <= r; ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "   [%4d]:  ", i);
        std::string line = label;
        for (int j = 1; j <= m; ++j)
            line += Format("%12.5Lf   ", data(i, j));
        lines.push_back(line);
    }
    lines.emplace_back();
}
