#pragma once

// Means, standard deviations (denominator r - 1) and correlations of the first
// r rows of the data, in two passes: means first, then cross products of
// deviations. Every sum starts at 0 and adds its terms in increasing index
// order. Rows after r (the case) take no part.

#include "matrix/matrix_types.h"

// The only entry point the analysis needs. Raises EZero_variance when the
// control scores of a variable do not vary.
void Descriptive_statistics(const tData_matrix& data, int r, int m, tMatrix& correlation,
                            tVector& means, tVector& standard_deviations);

// Steps of Descriptive_statistics.

// means[1..m] cleared, then the column means of rows 1..r.
void Column_means(const tData_matrix& data, int r, int m, tVector& means);

// deviations[1..r, 1..m] := data - column means (deviations may be data itself).
void Centre_columns(const tData_matrix& data, int r, int m, tData_matrix& deviations);

// T[j, i] := deviations[i, j] for i = 1..r, j = 1..m.
void Transpose_data(const tData_matrix& deviations, int r, int m, tTransposed_data& T);

// S[i, j] := sum over l = 1..r of T[i, l] * deviations[l, j], for i, j = 1..m.
void Multiply_transposed(const tTransposed_data& T, const tData_matrix& deviations, int m, int r,
                         tMatrix& S);

// Centred cross products of rows 1..r.
void Cross_products(const tData_matrix& data, int r, int m, tMatrix& S);

// V := S / (n - 1) over the leading m x m block.
void Cross_products_to_covariance(const tMatrix& S, int m, int n, tMatrix& V);

// R[i, j] := V[i, j] / (sqrt(V[j, j]) * sqrt(V[i, i])); sd[i] := sqrt(V[i, i]),
// sd cleared first. Raises EZero_variance for a zero variance on the diagonal.
void Covariance_to_correlation(const tMatrix& V, int m, tMatrix& R, tVector& standard_deviations);
