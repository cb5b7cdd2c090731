#pragma once

#include "distribution.h"

// Beta distribution with shapes a and b on [0, 1].
class tBeta_distribution : public tContinuous_distribution {
public:
    tBeta_distribution(Extended a, Extended b);

    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;
    // An end of [0, 1] belongs to the support only where the density is finite.
    bool In_support(Extended x) const override;
    Extended Density(Extended x) const override;
    Extended Cdf(Extended x) const override;
    Extended Mean() const override;
    Extended Variance() const override;
    // Cheng's algorithm BA.
    Extended Random_value() override;

    Extended Shape_a = 1;
    Extended Shape_b = 1;
    Extended Log_beta_constant = 0;
    Extended Shape_sum = 2;
    Extended Cheng_beta_inverse = 1;
    Extended Cheng_gamma = 2;
};
