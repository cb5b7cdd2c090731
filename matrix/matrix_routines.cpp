#include "matrix/matrix_routines.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "distributions/floating_point_faults.h"

void Clear_data_matrix(tData_matrix& data) {
    data.Fill(Missing_value);
}

void tData_matrix::Fill(Extended value) {
    blank_ = value;
    std::fill(std::begin(set_), std::end(set_), false);
}

void tData_matrix::Set_column(int col) {
    // One cell stored, the rest copied from it as bytes: an Extended store is
    // several times slower than copying its bytes.
    Extended* const cells = e_[col - 1];
    cells[0] = blank_;
    for (int i = 1; i < Max_rows; ++i)
        std::memcpy(&cells[i], &cells[0], sizeof cells[0]);
    set_[col - 1] = true;
}

tData_matrix& tData_matrix::operator=(const tData_matrix& other) {
    if (this == &other) return *this;
    blank_ = other.blank_;
    for (int j = 0; j < Max_variables; ++j) {
        set_[j] = other.set_[j];
        if (set_[j]) std::memcpy(e_[j], other.e_[j], sizeof e_[j]);
    }
    return *this;
}

void Zero_matrix(tMatrix& matrix) {
    matrix = tMatrix{}; // all bits zero, as 0 is
}

void Get_data_row(const tData_matrix& data, int r, int m, tVector& row) {
    for (int j = 1; j <= m; ++j)
        row[j] = data(r, j);
}

void Fill_selection(int m, tSelection& selection) {
    for (int i = 1; i <= m; ++i)
        selection[i] = true;
}

void Select_subvector(int m, const tVector& v, const tSelection& s, tVector& out) {
    const tVector source = v; // out may be v
    for (int i = 1; i <= m; ++i)
        out[i] = 0;
    int packed = 0;
    for (int i = 1; i <= m; ++i)
        if (s[i]) out[++packed] = source[i];
}

void Select_submatrix(const tMatrix& M, int m, const tSelection& s, tMatrix& out) {
    // Packed in place, with no copy of M: element (i, j) goes to a row no
    // later than i and a column no later than j, so when out is M no element
    // is overwritten before it is read. The rest is then cleared.
    int row = 0;
    for (int i = 1; i <= m; ++i) {
        if (!s[i]) continue;
        ++row;
        int col = 0;
        for (int j = 1; j <= m; ++j)
            if (s[j]) out(row, ++col) = M(i, j);
    }
    for (int i = 1; i <= Max_variables; ++i)
        for (int j = i <= row ? row + 1 : 1; j <= Max_variables; ++j)
            out(i, j) = 0;
}

void Matrix_times_vector(const tMatrix& M, int m, const tVector& v, tVector& out) {
    tFloating_point_scope scope;
    const tVector source = v; // out may be v
    for (int i = 1; i <= m; ++i) {
        Extended sum = 0;
        for (int j = 1; j <= m; ++j)
            sum += M(i, j) * source[j];
        out[i] = sum;
    }
    scope.Check();
}
