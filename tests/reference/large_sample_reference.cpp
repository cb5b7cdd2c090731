// Writes the reference figures of analyses from summary statistics of large
// samples (tests/data/large_sample_reference.tsv), in 40-digit arithmetic
// with Boost.Multiprecision and Boost.Math's non-central t, normal and
// Student t distributions: nothing of the product's own numerics. Too slow
// for a test (some minutes), so its output is committed; run it again only
// when the cases change:
//   cmake --build build --target large_sample_reference
//   build/large_sample_reference > tests/data/large_sample_reference.tsv
//
// The samples: criterion mean 25 and SD 5, one predictor with mean 60 and
// SD 12, correlation 0.6, so the equation is Y = 10 + 0.25 X with a residual
// SD of 4; n = 20000, 100000 and 1000000. Each case is z residual SDs off its
// prediction, at the predictor's mean (the largest non-centralities, some
// z sqrt(n)) or two SDs above it.

#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/tools/toms748_solve.hpp>
#include <boost/multiprecision/cpp_bin_float.hpp>

#include <cstdint>
#include <iostream>
#include <string>
#include <utility>

namespace {

using Real = boost::multiprecision::number<boost::multiprecision::cpp_bin_float<40>>;

std::string Text(const Real& x) {
    return x.str(25, std::ios_base::scientific);
}

// The non-centrality for which t is the p-quantile of the non-central t.
Real Noncentrality(const Real& df, const Real& t, const Real& p) {
    const auto excess = [&](const Real& delta) {
        return boost::math::cdf(boost::math::non_central_t_distribution<Real>(df, delta), t) - p;
    };
    // The distribution function falls as delta rises; bracket by steps of
    // 4 around t.
    Real lo = t - 4, hi = t + 4;
    for (int i = 0; i < 60 && excess(lo) < 0; ++i)
        lo -= 8;
    for (int i = 0; i < 60 && excess(hi) > 0; ++i)
        hi += 8;
    std::uintmax_t evaluations = 200;
    const auto root = boost::math::tools::toms748_solve(
        excess, lo, hi,
        [](const Real& a, const Real& b) { return abs(b - a) <= 1e-30 * (1 + abs(a)); },
        evaluations);
    return (root.first + root.second) / 2;
}

} // namespace

int main() {
    const Real mean_y = 25, sd_y = 5, mean_x = 60, sd_x = 12, r("0.6");
    const Real slope = r * sd_y / sd_x, intercept = mean_y - slope * mean_x;
    const Real sd_residual = sd_y * sqrt(1 - r * r);
    const boost::math::normal_distribution<Real> standard;
    std::cout << "# Analyses from summary statistics of large samples (criterion mean 25, SD 5;\n"
                 "# predictor mean 60, SD 12; correlation 0.6), two-sided 95% limits, from\n"
                 "# tests/reference/large_sample_reference.cpp in 40-digit arithmetic.\n"
                 "# n, case Y, case X, ZOP_lower, ZOP_upper, Pct_more_extreme, Pct_lower, "
                 "Pct_upper\n";
    for (const int n : {20000, 100000, 1000000}) {
        const Real df = n - 2;
        const Real see = sd_residual * sqrt(Real(n - 1) / df);
        for (const auto& [z, x_text] : {std::pair{"-8", "60"},
                                        {"-6", "60"},
                                        {"-4.7", "60"},
                                        {"-3", "60"},
                                        {"-0.94", "60"},
                                        {"0.5", "60"},
                                        {"2", "60"},
                                        {"6", "60"},
                                        {"-8", "84"},
                                        {"-0.94", "84"},
                                        {"6", "84"}}) {
            const Real x(x_text);
            const Real predicted = intercept + slope * x;
            const Real y = predicted + Real(z) * sd_residual;
            const Real zx = (x - mean_x) / sd_x;
            const Real cf = Real(1) / n + zx * zx / (n - 1);
            const Real discrepancy = y - predicted;
            const Real se_additional = see / sqrt(Real(n)) * sqrt(n + 1 + zx * zx);
            const Real t = discrepancy / se_additional;
            const Real pct_more =
                100 * boost::math::cdf(boost::math::complement(
                          boost::math::students_t_distribution<Real>(df), abs(t)));
            const Real t_z = discrepancy / see / sqrt(cf), t_p = -abs(t_z);
            const Real p_hi("0.975"), p_lo("0.025");
            const Real zop_lower = sqrt(cf) * Noncentrality(df, t_z, p_hi);
            const Real zop_upper = sqrt(cf) * Noncentrality(df, t_z, p_lo);
            const Real pct_lower =
                100 * boost::math::cdf(standard, sqrt(cf) * Noncentrality(df, t_p, p_hi));
            const Real pct_upper =
                100 * boost::math::cdf(standard, sqrt(cf) * Noncentrality(df, t_p, p_lo));
            std::cout << n << '\t' << y.str(20, std::ios_base::fixed) << '\t' << x_text << '\t'
                      << Text(zop_lower) << '\t' << Text(zop_upper) << '\t' << Text(pct_more)
                      << '\t' << Text(pct_lower) << '\t' << Text(pct_upper) << std::endl;
        }
    }
}
