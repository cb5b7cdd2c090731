#include "matrix/matrix_inverse.h"

#include <cmath>
#include <utility>

#include "distributions/floating_point_faults.h"
#include "matrix/matrix_routines.h"

bool Invert_matrix(const tMatrix& A, int m, tMatrix& inverse) {
    tFloating_point_scope scope;
    tMatrix work = A; // inverse may be A
    Zero_matrix(inverse);
    for (int i = 1; i <= m; ++i)
        inverse(i, i) = 1;

    for (int q = 1; q <= m; ++q) {
        // The first acceptable row, not the one with the largest element.
        int p = q;
        while (p <= m && std::fabs(work(p, q)) < Min_inverse_pivot)
            ++p;
        if (p > m) return false;
        if (p != q)
            for (int j = 1; j <= m; ++j) {
                std::swap(work(p, j), work(q, j));
                std::swap(inverse(p, j), inverse(q, j));
            }
        const Extended f = 1 / work(q, q);
        for (int j = 1; j <= m; ++j) {
            work(q, j) *= f;
            inverse(q, j) *= f;
        }
        for (int i = 1; i <= m; ++i) {
            if (i == q) continue;
            const Extended g = -work(i, q);
            for (int j = 1; j <= m; ++j) {
                work(i, j) += g * work(q, j);
                inverse(i, j) += g * inverse(q, j);
            }
        }
    }
    scope.Check();
    return true;
}
