#pragma once

// Writing matrices into the report, one text line at a time: handed to a
// sink as each is formed, or appended to `lines` (nothing already in `lines`
// is touched).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/matrix_types.h"

// Where lines go, one at a time, as each is formed.
using tLine_sink = std::function<void(std::string_view line)>;

// A sink that appends each line to `lines`.
tLine_sink Appending_to(std::vector<std::string>& lines);

// The title, one line per row of M's leading m x m block (each element
// "%5.5f" followed by three blanks, the line indented by three blanks), then
// an empty line.
void Print_matrix(const tMatrix& M, int m, const std::string& title, const tLine_sink& put);
void Print_matrix(const tMatrix& M, int m, const std::string& title,
                  std::vector<std::string>& lines);

// The title, then for rows 1..r a line such as
// "   [   1]:      50.00000       12.50000   " (columns 1..m), then an empty line.
void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       const tLine_sink& put);
void Print_data_matrix(const tData_matrix& data, int r, int m, const std::string& title,
                       std::vector<std::string>& lines);
