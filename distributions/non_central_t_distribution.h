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

    // How far Cdf may stray from a smooth function of the non-centrality, at
    // any df and every non-centrality from lo to hi: what a search for a
    // non-centrality must take for rounding rather than position.
    static Extended Cdf_error_bound(Extended lo, Extended hi);

    Extended Df = 1;
    Extended Noncentrality = 0;

private:
    // The series' terms at the start index depend on the parameters alone, and
    // the quantile search evaluates Cdf and Density a score of times between
    // two Set_parameters: they are formed once, at the first evaluation.
    struct tStart_terms {
        bool Valid = false;
        Extended P0, Q0, Gp_factor, Gq_factor; // Cdf: weights, gamma ratios
        bool Normal_valid = false;             // Cdf only: Density never forms it
        Extended Normal_term;                  // Cdf: P(Z < -|delta|)
        Extended Beta_p, Beta_q;               // Cdf: log-beta constants
        Extended W0, V0, H_factor, K_factor;   // Density, x != 0
    };
    const tStart_terms& Start_terms() const;

    std::unique_ptr<tT_distribution> T_component;
    mutable tStart_terms start_terms_;
};
