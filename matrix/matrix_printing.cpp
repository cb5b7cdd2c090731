#include "matrix/matrix_printing.h"

#include "distributions/text_format.h"

void Print_matrix(const tMatrix& M, int m, const std::string& title,
                  std::vector<std::string>& lines) {
    lines.push_back(title);
    for (int i = 1; i <= m; ++i) {
        std::string line = "   ";
        for (int j = 1; j <= m; ++j)
            line += Format_text("%5.5Lf   ", M(i, j));
        lines.push_back(line);
    }
    lines.emplace_back();
}

void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       std::vector<std::string>& lines) {
    lines.push_back(title);
    for (int i = 1; i <= r; ++i) {
        std::string line = Format_text("   [%4d]:  ", i);
        for (int j = 1; j <= m; ++j) {
            Append_fixed(line, data(i, j), 12, 5);
            line += "   ";
        }
        lines.push_back(line);
    }
    lines.emplace_back();
}
