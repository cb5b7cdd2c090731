#pragma once

// Writing matrices into the report, one text line per element of `lines`.
// Lines are appended; nothing already in `lines` is touched.

#include <string>
#include <vector>

#include "matrix/matrix_types.h"

// The title, one line per row of M's leading m x m block (each element
// "%5.5f" followed by three blanks, the line indented by three blanks), then
// an empty line.
void Print_matrix(const tMatrix& M, int m, const std::string& title,
                  std::vector<std::string>& lines);

// The title, then for rows 1..r a line such as
// "   [   1]:      50.00000       12.50000   " (columns 1..m), then an empty line.
void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       std::vector<std::string>& lines);
