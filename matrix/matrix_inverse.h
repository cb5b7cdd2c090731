#pragma once

#include "matrix/matrix_types.h"

// Smallest absolute value accepted as a pivot by Invert_matrix. It is absolute
// because the matrices inverted are correlation matrices.
inline constexpr Extended Min_inverse_pivot = 1e-10L;

// Gauss-Jordan inverse of A's leading m x m block into `inverse` (which may be
// A itself). Takes the first acceptable pivot in each column, not the largest.
// Returns false when some column had no acceptable pivot; `inverse` then holds
// the partly transformed identity and must not be used as an inverse.
bool Invert_matrix(const tMatrix& A, int m, tMatrix& inverse);
