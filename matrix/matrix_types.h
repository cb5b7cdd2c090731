#pragma once

// Fixed-capacity vectors and matrices of extended reals, indexed from 1.
// A count passed alongside says how much of each is in use; nothing here
// allocates.

#include "distributions/extended.h"

inline constexpr int Max_variables = 20;
inline constexpr int Max_rows = 500;

// Fills every data cell that the data file does not supply.
inline constexpr Extended Missing_value = -99999.999L;

struct tVector {
    Extended e[Max_variables] = {};
    Extended& operator[](int i) { return e[i - 1]; }
    const Extended& operator[](int i) const { return e[i - 1]; }
};

struct tMatrix {
    Extended e[Max_variables][Max_variables] = {}; // row by row
    Extended& operator()(int row, int col) { return e[row - 1][col - 1]; }
    const Extended& operator()(int row, int col) const { return e[row - 1][col - 1]; }
};

// 500 x 20 extended reals (160 KB), column by column. Every cell reads as the
// matrix's blank (0, or what Fill last gave) until it is written. A column's
// cells are set to the blank only when one of them is first written: an
// analysis uses at most 6 of the 20 columns, and the pages of the others are
// then never touched. Keep copies off small stacks.
class tData_matrix {
public:
    tData_matrix() {} // the cells are set column by column, as they are first written
    tData_matrix(const tData_matrix& other) { *this = other; }
    tData_matrix& operator=(const tData_matrix& other);

    Extended& operator()(int row, int col) {
        if (!set_[col - 1]) Set_column(col);
        return e_[col - 1][row - 1];
    }
    const Extended& operator()(int row, int col) const {
        return set_[col - 1] ? e_[col - 1][row - 1] : blank_;
    }

    // Every cell reads as `value` from now on.
    void Fill(Extended value);

private:
    void Set_column(int col);

    Extended e_[Max_variables][Max_rows];
    Extended blank_ = 0;
    bool set_[Max_variables] = {};
};

struct tTransposed_data {
    Extended e[Max_variables][Max_rows] = {};
    Extended& operator()(int row, int col) { return e[row - 1][col - 1]; }
    const Extended& operator()(int row, int col) const { return e[row - 1][col - 1]; }
};

struct tSelection {
    bool e[Max_variables] = {};
    bool& operator[](int i) { return e[i - 1]; }
    const bool& operator[](int i) const { return e[i - 1]; }
};
