#pragma once

// Small routines over the fixed-capacity arrays: clearing, row extraction,
// packing a subset of variables, and the matrix-vector product. Array inputs
// behave as copies, so an output may be the same object as an input.

#include "matrix/matrix_types.h"

// Every cell := Missing_value.
void Clear_data_matrix(tData_matrix& data);

// All 20 x 20 elements := 0.
void Zero_matrix(tMatrix& matrix);

// row[1..m] := data[r, 1..m]; entries after m are left alone.
void Get_data_row(const tData_matrix& data, int r, int m, tVector& row);

// selection[1..m] := true; entries after m are left alone.
void Fill_selection(int m, tSelection& selection);

// out[1..m] := 0, then the selected entries of v[1..m] are packed to the front.
void Select_subvector(int m, const tVector& v, const tSelection& s, tVector& out);

// out := 0 everywhere, then the selected rows and columns of M's leading m x m
// block are packed into the top-left corner, keeping their order.
void Select_submatrix(const tMatrix& M, int m, const tSelection& s, tMatrix& out);

// out[1..m] := M[1..m, 1..m] * v[1..m], each sum taken in increasing column order.
void Matrix_times_vector(const tMatrix& M, int m, const tVector& v, tVector& out);
