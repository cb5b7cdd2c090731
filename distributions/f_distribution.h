#pragma once

#include <memory>

#include "beta_distribution.h"
#include "distribution.h"

// Fisher's F distribution with whole-number degrees of freedom, through a beta
// component.
class tF_distribution : public tContinuous_distribution {
public:
    tF_distribution(Extended df1, Extended df2);
    ~tF_distribution() override;

    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;
    bool In_support(Extended x) const override;
    Extended Density(Extended x) const override;
    Extended Cdf(Extended x) const override;
    bool Has_mean() const override;
    bool Has_variance() const override;
    Extended Mean() const override;
    Extended Variance() const override;
    Extended Random_value() override;

    Extended Numerator_df = 1;
    Extended Denominator_df = 1;
    Extended Log_norm_constant = 0;

private:
    std::unique_ptr<tBeta_distribution> Beta_component;
};
