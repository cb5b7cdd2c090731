#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "matrix/matrix_routines.h"

namespace {

tMatrix Numbered_matrix(int m) {
    tMatrix M;
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
            M(i, j) = 10 * i + j;
    return M;
}

} // namespace

TEST(MatrixRoutines, ClearedDataMatrixHoldsMissingValueEverywhereAndAnUnfilledRowReadsSo) {
    auto data = std::make_unique<tData_matrix>();
    (*data)(1, 1) = 3;
    (*data)(2, 1) = 5;
    (*data)(500, 20) = 4;
    Clear_data_matrix(*data);
    EXPECT_EQ((*data)(1, 1), Missing_value);
    EXPECT_EQ((*data)(2, 1), Missing_value);
    EXPECT_EQ((*data)(500, 20), Missing_value);
    tVector row;
    Get_data_row(*data, 7, 3, row);
    for (int j = 1; j <= 3; ++j)
        EXPECT_EQ(row[j], Missing_value);
}

TEST(MatrixRoutines, DataCellsReadAsTheirFillUntilWrittenAndCopiesKeepBoth) {
    auto data = std::make_unique<tData_matrix>();
    (*data)(3, 2) = 8;
    EXPECT_EQ((*data)(4, 2), 0); // a new matrix reads as zeros
    Clear_data_matrix(*data);
    (*data)(3, 2) = 9; // after a clear, the rest of a written column stays missing
    auto assigned = std::make_unique<tData_matrix>();
    (*assigned)(1, 1) = 5;
    *assigned = *data;
    const auto copy = std::make_unique<tData_matrix>(*data);
    for (const tData_matrix* m : {data.get(), copy.get(), assigned.get()}) {
        EXPECT_EQ((*m)(3, 2), 9);
        for (const auto& [row, col] : {std::pair{1, 2}, {500, 2}, {3, 1}, {1, 1}, {500, 20}})
            EXPECT_EQ((*m)(row, col), Missing_value) << row << "," << col;
    }
}

TEST(MatrixRoutines, GetDataRowWritesOnlyTheFirstMEntries) {
    auto data = std::make_unique<tData_matrix>();
    (*data)(2, 1) = 5;
    (*data)(2, 2) = 6;
    (*data)(2, 3) = 7;
    tVector row;
    row[3] = -1;
    Get_data_row(*data, 2, 2, row);
    EXPECT_EQ(row[1], 5);
    EXPECT_EQ(row[2], 6);
    EXPECT_EQ(row[3], -1);
}

TEST(MatrixRoutines, FillSelectionMarksOnlyTheFirstMEntries) {
    tSelection s;
    Fill_selection(3, s);
    EXPECT_TRUE(s[1] && s[2] && s[3]);
    EXPECT_FALSE(s[4]);
}

TEST(MatrixRoutines, SelectSubvectorPacksSelectedEntriesAndClearsTheRest) {
    tVector v;
    v[1] = 7;
    v[2] = 8;
    v[3] = 9;
    v[4] = 10; // beyond m: neither read nor cleared
    tSelection s;
    s[2] = s[3] = true;
    tVector out;
    out[4] = 99;
    Select_subvector(3, v, s, out);
    EXPECT_EQ(out[1], 8);
    EXPECT_EQ(out[2], 9);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], 99);

    // The output may be the input itself.
    Select_subvector(3, v, s, v);
    EXPECT_EQ(v[1], 8);
    EXPECT_EQ(v[2], 9);
    EXPECT_EQ(v[3], 0);
}

TEST(MatrixRoutines, SelectSubvectorWithNothingSelectedGivesZeros) {
    tVector v;
    v[1] = 1;
    v[2] = 2;
    tSelection none;
    Select_subvector(2, v, none, v);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], 0);
}

TEST(MatrixRoutines, SelectSubmatrixPacksTheSelectionAndZeroesTheRestIntoANewOrTheSameMatrix) {
    struct tCase {
        bool In_place;
        int First, Second; // the two variables selected of three
    };
    for (const tCase c : {tCase{false, 2, 3}, tCase{true, 1, 3}}) {
        tMatrix M = Numbered_matrix(3);
        M(20, 20) = 5; // outside the block: must be cleared
        tMatrix separate = Numbered_matrix(20);
        tMatrix& out = c.In_place ? M : separate;
        tSelection s;
        s[c.First] = s[c.Second] = true;
        Select_submatrix(M, 3, s, out);
        const int picked[] = {c.First, c.Second};
        for (int i = 1; i <= 20; ++i)
            for (int j = 1; j <= 20; ++j) {
                const Extended expected = i <= 2 && j <= 2 ? 10 * picked[i - 1] + picked[j - 1] : 0;
                ASSERT_EQ(out(i, j), expected) << c.In_place << " " << i << "," << j;
            }
    }
}

TEST(MatrixRoutines, MatrixTimesVectorUsesTheLeadingBlockAndMayOverwriteItsInput) {
    tMatrix M = Numbered_matrix(2);
    M(1, 3) = 1000; // outside the 2 x 2 block
    tVector v;
    v[1] = 1;
    v[2] = 2;
    v[3] = 3;
    Matrix_times_vector(M, 2, v, v);
    EXPECT_EQ(v[1], 11 + 2 * 12);
    EXPECT_EQ(v[2], 21 + 2 * 22);
    EXPECT_EQ(v[3], 3);
}
