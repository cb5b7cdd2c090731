#include "matrix/descriptive_statistics.h"

#include <cmath>
#include <memory>

#include "distributions/floating_point_faults.h"
#include "matrix/statistics_errors.h"

namespace {

// Raises EZero_variance for the first variable whose control scores are all
// equal. Checked on the raw scores because rounding in the mean can leave
// tiny non-zero deviations (and so a tiny variance and meaningless
// correlations) for a constant column.
void Require_varying_columns(const tData_matrix& data, int r, int m) {
    for (int j = 1; j <= m; ++j) {
        bool varies = false;
        for (int i = 2; i <= r && !varies; ++i)
            varies = data(i, j) != data(1, j);
        if (!varies) throw EZero_variance(j);
    }
}

// The centred columns, each held contiguous: m x r values, only as many as
// the data in use. Grown on demand and never cleared, so an analysis touches
// no more memory than its own data needs. One per thread.
Extended* Deviation_columns(int r, int m) {
    thread_local std::unique_ptr<Extended[]> columns;
    thread_local std::size_t capacity = 0;
    const std::size_t needed = static_cast<std::size_t>(r) * static_cast<std::size_t>(m);
    if (needed > capacity) {
        columns.reset(new Extended[needed]); // left uninitialised: every value used is written
        capacity = needed;
    }
    return columns.get();
}

} // namespace

void Descriptive_statistics(const tData_matrix& data, int r, int m, tMatrix& correlation,
                            tVector& means, tVector& standard_deviations) {
    tFloating_point_scope scope;
    Require_varying_columns(data, r, m);
    tMatrix S;
    Cross_products(data, r, m, S);
    tMatrix V;
    Cross_products_to_covariance(S, m, r, V);
    Covariance_to_correlation(V, m, correlation, standard_deviations);
    Column_means(data, r, m, means);
    scope.Check();
}

void Column_means(const tData_matrix& data, int r, int m, tVector& means) {
    tFloating_point_scope scope;
    // Each column summed down its rows, in a local sum the compiler keeps in
    // a register: the same additions in the same order as summing row by row.
    for (int j = 1; j <= m; ++j) {
        Extended sum = 0;
        for (int i = 1; i <= r; ++i)
            sum += data(i, j);
        means[j] = sum / r;
    }
    scope.Check();
}

void Centre_columns(const tData_matrix& data, int r, int m, tData_matrix& deviations) {
    tFloating_point_scope scope;
    tVector means;
    Column_means(data, r, m, means);
    // Each cell depends only on itself and the means, so deviations may be data.
    for (int i = 1; i <= r; ++i)
        for (int j = 1; j <= m; ++j)
            deviations(i, j) = data(i, j) - means[j];
    scope.Check();
}

void Transpose_data(const tData_matrix& deviations, int r, int m, tTransposed_data& T) {
    for (int i = 1; i <= r; ++i)
        for (int j = 1; j <= m; ++j)
            T(j, i) = deviations(i, j);
}

void Multiply_transposed(const tTransposed_data& T, const tData_matrix& deviations, int m, int r,
                         tMatrix& S) {
    tFloating_point_scope scope;
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j) {
            Extended sum = 0;
            for (int l = 1; l <= r; ++l)
                sum += T(i, l) * deviations(l, j);
            S(i, j) = sum;
        }
    scope.Check();
}

void Cross_products(const tData_matrix& data, int r, int m, tMatrix& S) {
    tFloating_point_scope scope;
    // The same operations, in the same order, as Centre_columns,
    // Transpose_data and Multiply_transposed, on a compact copy.
    tVector means;
    Column_means(data, r, m, means);
    Extended* const columns = Deviation_columns(r, m);
    for (int j = 1; j <= m; ++j) {
        Extended* const deviations = columns + static_cast<std::size_t>(j - 1) * r;
        for (int l = 1; l <= r; ++l)
            deviations[l - 1] = data(l, j) - means[j];
    }
    // S(j, i) sums the same products in the same order as S(i, j): each sum
    // is formed once. Two sums go down the rows together, each in its own
    // order, so that one addition need not wait for the other.
    const auto column = [&](int j) { return columns + static_cast<std::size_t>(j - 1) * r; };
    for (int i = 1; i <= m; ++i) {
        const Extended* const left = column(i);
        int j = i;
        for (; j + 1 <= m; j += 2) {
            const Extended* const right1 = column(j);
            const Extended* const right2 = column(j + 1);
            Extended sum1 = 0, sum2 = 0;
            for (int l = 0; l < r; ++l) {
                sum1 += left[l] * right1[l];
                sum2 += left[l] * right2[l];
            }
            S(i, j) = S(j, i) = sum1;
            S(i, j + 1) = S(j + 1, i) = sum2;
        }
        if (j <= m) {
            const Extended* const right = column(j);
            Extended sum = 0;
            for (int l = 0; l < r; ++l)
                sum += left[l] * right[l];
            S(i, j) = S(j, i) = sum;
        }
    }
    scope.Check();
}

void Cross_products_to_covariance(const tMatrix& S, int m, int n, tMatrix& V) {
    tFloating_point_scope scope;
    const tMatrix source = S; // V may be S
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
            V(i, j) = source(i, j) / (n - 1);
    scope.Check();
}

void Covariance_to_correlation(const tMatrix& V, int m, tMatrix& R, tVector& standard_deviations) {
    tFloating_point_scope scope;
    const tMatrix source = V; // R may be V
    for (int i = 1; i <= m; ++i)
        if (!(source(i, i) > 0)) throw EZero_variance(i);
    for (auto& sd : standard_deviations.e)
        sd = 0;
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j) {
            R(i, j) = source(i, j) / (std::sqrt(source(j, j)) * std::sqrt(source(i, i)));
            if (i == j) standard_deviations[i] = std::sqrt(source(i, i));
        }
    scope.Check();
}
