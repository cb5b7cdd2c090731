#pragma once

// Root of the distribution family and the continuous layer with the generic
// quantile search. Unbounded ends are written as -/+2147483647, never as
// infinities.

#include <array>
#include <cstdint>

#include "extended.h"

struct tDistribution_parameter {
    Extended Value = 0;
    bool Is_integer = false;
    Extended Lower_limit = 0; // exclusive
    Extended Upper_limit = 0; // exclusive
};

class tDistribution {
public:
    virtual ~tDistribution() = default;
    tDistribution(const tDistribution&) = delete;
    tDistribution& operator=(const tDistribution&) = delete;

    // The thirteen operations, in slot order.
    virtual bool Set_parameters(Extended p1, Extended p2, Extended p3);
    virtual bool In_support(Extended x) const;
    virtual Extended Density(Extended x) const;
    virtual Extended Point_probability(Extended x) const;
    virtual Extended Cdf(Extended x) const;
    virtual Extended Interval_probability(Extended a, Extended b) const;
    virtual Extended Quantile(Extended p) const = 0;
    virtual bool Has_mean() const;
    virtual bool Has_variance() const;
    virtual Extended Mean() const = 0;
    virtual Extended Variance() const = 0;
    virtual Extended Standard_deviation() const;
    virtual Extended Random_value();

    std::uint8_t Parameter_count = 0;
    std::array<tDistribution_parameter, 4> Parameters{}; // indexed 1..3
    Extended Support_lower = -2147483647.0L;
    Extended Support_upper = 2147483647.0L;

protected:
    tDistribution() = default;
    // Sets up parameter record i (1..3).
    void Define_parameter(int i, bool is_integer, Extended lower_limit, Extended upper_limit);
};

class tContinuous_distribution : public tDistribution {
public:
    // Bracketing search and safeguarded Newton iteration on Cdf and Density.
    Extended Quantile(Extended p) const override;

protected:
    tContinuous_distribution() = default;

private:
    // The cap's fault, naming p and the parameters.
    [[noreturn]] void Raise_quantile_not_converged(const char* loop, long count, const char* unit,
                                                   Extended p) const;
};
