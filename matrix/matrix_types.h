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

// 500 x 20 extended reals: 160 KB. Keep copies off small stacks.
struct tData_matrix {
    Extended e[Max_rows][Max_variables] = {}; // row by row
    Extended& operator()(int row, int col) { return e[row - 1][col - 1]; }
    const Extended& operator()(int row, int col) const { return e[row - 1][col - 1]; }
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
