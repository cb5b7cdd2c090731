#pragma once

#include "gamma_distribution.h"

// Chi-square distribution: gamma with shape df/2 and rate 1/2.
class tChi_square_distribution : public tGamma_distribution {
public:
    explicit tChi_square_distribution(Extended df);

    // p1 is the degrees of freedom; p2 and p3 are ignored.
    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;

    Extended Degrees_of_freedom = 0;
};
