#include "matrix/positive_definite.h"

#include <cmath>

#include "distributions/floating_point_faults.h"

bool Is_positive_definite(int m, const tMatrix& A) {
    tFloating_point_scope scope;
    if (A(1, 1) < Min_cholesky_pivot) return false;
    tMatrix L;
    L(1, 1) = std::sqrt(A(1, 1));
    for (int i = 2; i <= m; ++i)
        L(i, 1) = A(i, 1) / L(1, 1);
    for (int j = 2; j <= m; ++j) {
        Extended s = A(j, j);
        for (int l = 1; l < j; ++l)
            s -= L(j, l) * L(j, l);
        if (s < Min_cholesky_pivot) return false;
        L(j, j) = std::sqrt(s);
        for (int i = j + 1; i <= m; ++i) {
            Extended t = A(i, j);
            for (int l = 1; l < j; ++l)
                t -= L(j, l) * L(i, l);
            L(i, j) = t / L(j, j);
        }
    }
    scope.Check();
    return true;
}
