#include "matrix/descriptive_statistics.h"

#include <algorithm>
#include <cmath>

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

// Up to this many sums go down the rows together, each in a register of its
// own (the x87 unit has eight): one load of a row's value serves them all,
// and no addition waits for the one before it.
constexpr int Sums_together = 4;

// sums[c] := the sum over rows 1..r of data(i, j + c), c < K, each in
// increasing row order: the K columns are read together, not one after
// another. The sums are named, not an array, so that the compiler keeps them
// in registers.
template <int K> void Sum_columns(const tData_matrix& data, int r, int j, Extended* sums) {
    Extended s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (int i = 1; i <= r; ++i) {
        s0 += data(i, j);
        if constexpr (K > 1) s1 += data(i, j + 1);
        if constexpr (K > 2) s2 += data(i, j + 2);
        if constexpr (K > 3) s3 += data(i, j + 3);
    }
    const Extended all[] = {s0, s1, s2, s3};
    for (int c = 0; c < K; ++c)
        sums[c] = all[c];
}

// sums[c] := the sum over rows l = 1..r of (data(l, i) - means[i]) *
// (data(l, j + c) - means[j + c]), c < K, each in increasing row order. The
// deviations are formed again for each sum rather than stored: the same
// subtraction gives the same bits, and a stored copy of the columns costs
// more in fresh memory than the subtractions do.
template <int K>
void Sum_products(const tData_matrix& data, const tVector& means, int r, int i, int j,
                  Extended* sums) {
    const Extended left_mean = means[i];
    const Extended m0 = means[j], m1 = means[K > 1 ? j + 1 : j], m2 = means[K > 2 ? j + 2 : j],
                   m3 = means[K > 3 ? j + 3 : j];
    Extended s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (int l = 1; l <= r; ++l) {
        const Extended x = data(l, i) - left_mean;
        s0 += x * (data(l, j) - m0);
        if constexpr (K > 1) s1 += x * (data(l, j + 1) - m1);
        if constexpr (K > 2) s2 += x * (data(l, j + 2) - m2);
        if constexpr (K > 3) s3 += x * (data(l, j + 3) - m3);
    }
    const Extended all[] = {s0, s1, s2, s3};
    for (int c = 0; c < K; ++c)
        sums[c] = all[c];
}

// Calls `sums`<K> for groups of up to Sums_together of the count items from
// first on.
template <typename Sums> void In_groups(int first, int count, Sums sums) {
    for (int done = 0; done < count;) {
        const int group = std::min(count - done, Sums_together);
        switch (group) {
        case 1:
            sums.template operator()<1>(first + done);
            break;
        case 2:
            sums.template operator()<2>(first + done);
            break;
        case 3:
            sums.template operator()<3>(first + done);
            break;
        default:
            sums.template operator()<4>(first + done);
            break;
        }
        done += group;
    }
}

// Cross_products, with the column means it subtracts.
void Cross_products_and_means(const tData_matrix& data, int r, int m, tMatrix& S, tVector& means) {
    Column_means(data, r, m, means);
    // S(j, i) sums the same products in the same order as S(i, j): each sum
    // is formed once.
    for (int i = 1; i <= m; ++i) {
        In_groups(i, m - i + 1, [&]<int K>(int j) {
            Extended sums[K];
            Sum_products<K>(data, means, r, i, j, sums);
            for (int c = 0; c < K; ++c)
                S(i, j + c) = S(j + c, i) = sums[c];
        });
    }
}

} // namespace

void Descriptive_statistics(const tData_matrix& data, int r, int m, tMatrix& correlation,
                            tVector& means, tVector& standard_deviations) {
    tFloating_point_scope scope;
    Require_varying_columns(data, r, m);
    // One work matrix, turned in place from cross products into covariances.
    tMatrix S;
    Cross_products_and_means(data, r, m, S, means);
    Cross_products_to_covariance(S, m, r, S);
    Covariance_to_correlation(S, m, correlation, standard_deviations);
    scope.Check();
}

void Column_means(const tData_matrix& data, int r, int m, tVector& means) {
    tFloating_point_scope scope;
    // Each column summed down its rows in a sum of its own: the same
    // additions in the same order as summing one column after another.
    In_groups(1, m, [&]<int K>(int j) {
        Extended sums[K];
        Sum_columns<K>(data, r, j, sums);
        for (int c = 0; c < K; ++c)
            means[j + c] = sums[c] / r;
    });
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
    // Transpose_data and Multiply_transposed, without their work areas.
    tVector means;
    Cross_products_and_means(data, r, m, S, means);
    scope.Check();
}

void Cross_products_to_covariance(const tMatrix& S, int m, int n, tMatrix& V) {
    tFloating_point_scope scope;
    // Each element from its own alone: V may be S, with no copy.
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
            V(i, j) = S(i, j) / (n - 1);
    scope.Check();
}

void Covariance_to_correlation(const tMatrix& V, int m, tMatrix& R, tVector& standard_deviations) {
    tFloating_point_scope scope;
    // Each element needs itself and the diagonal: R may be V once the
    // diagonal is kept apart, with no copy of the whole matrix.
    tVector variance;
    for (int i = 1; i <= m; ++i) {
        variance[i] = V(i, i);
        if (!(variance[i] > 0)) throw EZero_variance(i);
    }
    for (auto& sd : standard_deviations.e)
        sd = 0;
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j) {
            R(i, j) = V(i, j) / (std::sqrt(variance[j]) * std::sqrt(variance[i]));
            if (i == j) standard_deviations[i] = std::sqrt(variance[i]);
        }
    scope.Check();
}
