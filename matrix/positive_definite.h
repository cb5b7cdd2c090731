#pragma once

#include "matrix/matrix_types.h"

// Smallest Cholesky pivot accepted by Is_positive_definite (absolute; a pivot
// equal to it passes).
inline constexpr Extended Min_cholesky_pivot = 1e-12L;

// Whether a Cholesky factorisation of A's leading m x m block finds every
// pivot at least Min_cholesky_pivot. Only the diagonal and below are read.
bool Is_positive_definite(int m, const tMatrix& A);
