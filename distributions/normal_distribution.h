#pragma once

#include "distribution.h"

// Normal distribution with a mean and a variance (not a standard deviation).
class tNormal_distribution : public tContinuous_distribution {
public:
    tNormal_distribution(Extended mean, Extended variance);

    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;
    Extended Density(Extended x) const override;
    Extended Cdf(Extended x) const override;
    Extended Mean() const override;
    Extended Variance() const override;
    // Ratio of uniforms with two squeezes.
    Extended Random_value() override;

    Extended Mu = 0;
    Extended Sigma_squared = 1;
    Extended Sigma = 1;
    Extended Log_norm_constant = 0;
    Extended Ratio_bound = 0;
};
