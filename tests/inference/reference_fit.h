#pragma once

// Test oracle: random control samples and an ordinary least-squares fit on the
// raw scores by normal equations, computed independently of the product's
// route through correlations.

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "matrix/matrix_routines.h"

namespace reference {

using Matrix = std::vector<std::vector<long double>>;

// Solves A x = b by Gaussian elimination with partial pivoting.
inline std::vector<long double> Solve(Matrix A, std::vector<long double> b) {
    const std::size_t m = b.size();
    for (std::size_t c = 0; c < m; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < m; ++r)
            if (std::fabs(A[r][c]) > std::fabs(A[pivot][c])) pivot = r;
        std::swap(A[c], A[pivot]);
        std::swap(b[c], b[pivot]);
        for (std::size_t r = c + 1; r < m; ++r) {
            const long double f = A[r][c] / A[c][c];
            for (std::size_t j = c; j < m; ++j)
                A[r][j] -= f * A[c][j];
            b[r] -= f * b[c];
        }
    }
    std::vector<long double> x(m);
    for (std::size_t c = m; c-- > 0;) {
        long double s = b[c];
        for (std::size_t j = c + 1; j < m; ++j)
            s -= A[c][j] * x[j];
        x[c] = s / A[c][c];
    }
    return x;
}

// n controls and a case: criterion in column 1, k correlated predictors after it.
inline std::unique_ptr<tData_matrix> Random_sample(int n, int k, unsigned seed) {
    std::mt19937 generator(seed);
    std::normal_distribution<double> normal(0, 1);
    std::uniform_real_distribution<double> uniform(-2, 2);
    std::vector<double> weights(k + 1), scales(k + 1), centres(k + 1);
    for (int j = 1; j <= k; ++j) {
        weights[j] = uniform(generator);
        scales[j] = 1 + 10 * std::fabs(uniform(generator));
        centres[j] = 100 * uniform(generator);
    }
    auto data = std::make_unique<tData_matrix>();
    Clear_data_matrix(*data);
    for (int i = 1; i <= n + 1; ++i) {
        double previous = 0;
        double y = 10;
        for (int j = 1; j <= k; ++j) {
            const double z = normal(generator);
            const double x = centres[j] + scales[j] * (z + 0.6 * previous);
            previous = z;
            (*data)(i, j + 1) = x;
            y += weights[j] * x;
        }
        (*data)(i, 1) = y + 5 * normal(generator);
    }
    return data;
}

struct Fit {
    long double intercept = 0;
    std::vector<long double> coef; // 1-based
    long double r_squared = 0;
    long double see = 0;         // sqrt(RSS / (n - k - 1))
    long double prediction = 0;  // for row n + 1
    long double mahalanobis = 0; // of the case's predictors, covariance with n - 1
};

inline Fit Least_squares(const tData_matrix& data, int n, int k) {
    const int p = k + 1;
    Matrix xtx(p, std::vector<long double>(p, 0));
    std::vector<long double> xty(p, 0);
    for (int i = 1; i <= n; ++i) {
        std::vector<long double> row(p);
        row[0] = 1;
        for (int j = 1; j <= k; ++j)
            row[j] = data(i, j + 1);
        for (int a = 0; a < p; ++a) {
            xty[a] += row[a] * data(i, 1);
            for (int b = 0; b < p; ++b)
                xtx[a][b] += row[a] * row[b];
        }
    }
    const std::vector<long double> beta = Solve(xtx, xty);
    Fit fit;
    fit.intercept = beta[0];
    fit.coef.assign(beta.begin(), beta.end());
    long double mean_y = 0;
    for (int i = 1; i <= n; ++i)
        mean_y += data(i, 1);
    mean_y /= n;
    long double rss = 0, tss = 0;
    for (int i = 1; i <= n; ++i) {
        long double fitted = beta[0];
        for (int j = 1; j <= k; ++j)
            fitted += beta[j] * data(i, j + 1);
        rss += (data(i, 1) - fitted) * (data(i, 1) - fitted);
        tss += (data(i, 1) - mean_y) * (data(i, 1) - mean_y);
    }
    fit.r_squared = 1 - rss / tss;
    fit.see = std::sqrt(rss / (n - k - 1));
    fit.prediction = beta[0];
    for (int j = 1; j <= k; ++j)
        fit.prediction += beta[j] * data(n + 1, j + 1);

    std::vector<long double> mean_x(k, 0);
    for (int i = 1; i <= n; ++i)
        for (int j = 0; j < k; ++j)
            mean_x[j] += data(i, j + 2);
    for (auto& m : mean_x)
        m /= n;
    Matrix cov(k, std::vector<long double>(k, 0));
    for (int i = 1; i <= n; ++i)
        for (int a = 0; a < k; ++a)
            for (int b = 0; b < k; ++b)
                cov[a][b] += (data(i, a + 2) - mean_x[a]) * (data(i, b + 2) - mean_x[b]) / (n - 1);
    std::vector<long double> offset(k);
    for (int j = 0; j < k; ++j)
        offset[j] = data(n + 1, j + 2) - mean_x[j];
    const std::vector<long double> solved = Solve(cov, offset);
    for (int j = 0; j < k; ++j)
        fit.mahalanobis += offset[j] * solved[j];
    return fit;
}

} // namespace reference
