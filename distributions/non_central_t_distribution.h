#pragma once

#include <memory>

#include "distribution.h"
#include "t_distribution.h"

// Non-central t distribution with real degrees of freedom and non-centrality.
// Cdf and Density are Poisson-weighted series of incomplete beta terms summed
// outwards from the Poisson mode; Quantile is the generic search.
class tNon_central_t_distribution : public tContinuous_distribution {
public:
    tNon_central_t_distribution(Extended df, Extended delta);
    ~tNon_central_t_distribution() override;

    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;
    Extended Density(Extended x) const override;
    Extended Cdf(Extended x) const override;
    bool Has_mean() const override;
    bool Has_variance() const override;
    Extended Mean() const override;
    Extended Variance() const override;

    Extended Df = 1;
    Extended Noncentrality = 0;

private:
    std::unique_ptr<tT_distribution> T_component;
};
