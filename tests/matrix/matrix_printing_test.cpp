#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "matrix/matrix_printing.h"

TEST(MatrixPrinting, IdentityIsWrittenWithTitleRowsAndAClosingEmptyLine) {
    tMatrix I;
    I(1, 1) = I(2, 2) = 1;
    std::vector<std::string> lines{"earlier line"};
    Print_matrix(I, 2, "Correlations", lines);
    const std::vector<std::string> expected{
        "earlier line", "Correlations", "   1.00000   0.00000   ", "   0.00000   1.00000   ", ""};
    EXPECT_EQ(lines, expected);
}

TEST(MatrixPrinting, DataRowsCarryTheirNumberAndFixedWidthColumns) {
    auto data = std::make_unique<tData_matrix>();
    (*data)(1, 1) = 50;
    (*data)(1, 2) = 12.5L;
    (*data)(2, 1) = -3.25L;
    (*data)(2, 2) = 1234567.123456L;
    std::vector<std::string> lines;
    Print_data_matrix(*data, 2, 2, "Raw data", lines);
    const std::vector<std::string> expected{"Raw data",
                                            "   [   1]:      50.00000       12.50000   ",
                                            "   [   2]:      -3.25000   1234567.12346   ", ""};
    EXPECT_EQ(lines, expected);
}

TEST(MatrixPrinting, AHugeValueIsWrittenInFull) {
    auto data = std::make_unique<tData_matrix>();
    (*data)(1, 1) = std::ldexp(1.0L, 1000); // exactly 2^1000, 302 digits
    std::vector<std::string> lines;
    Print_data_matrix(*data, 1, 1, "t", lines);
    ASSERT_EQ(lines.size(), 3u);
    // "   [   1]:  " + 302 digits + ".00000" + three blanks.
    EXPECT_EQ(lines[1].size(), 12u + 302u + 6u + 3u);
    EXPECT_EQ(lines[1].substr(12, 8), "10715086");
}
