#pragma once

#include <memory>

#include "distribution.h"
#include "gamma_distribution.h"
#include "normal_distribution.h"

// Student's t distribution with real, positive degrees of freedom.
class tT_distribution : public tContinuous_distribution {
public:
    explicit tT_distribution(Extended df);
    ~tT_distribution() override;

    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;
    Extended Density(Extended x) const override;
    // Incomplete beta up to 1000 df, the standard normal above.
    Extended Cdf(Extended x) const override;
    bool Has_mean() const override;
    bool Has_variance() const override;
    Extended Mean() const override;
    Extended Variance() const override;
    // Polar method (df 1 and 3), ratio of uniforms (df > 1), normal over
    // root-gamma (df < 1).
    Extended Random_value() override;

    Extended Df = 1;
    Extended Log_norm_constant = 0;
    Extended Variate_scale = 1;

private:
    std::unique_ptr<tNormal_distribution> Normal_component;
    std::unique_ptr<tGamma_distribution> Gamma_component;
};
