#pragma once

#include "distribution.h"

// Gamma distribution with a shape and a rate (inverse scale).
class tGamma_distribution : public tContinuous_distribution {
public:
    tGamma_distribution(Extended shape, Extended rate);

    bool Set_parameters(Extended p1, Extended p2, Extended p3) override;
    bool In_support(Extended x) const override;
    Extended Density(Extended x) const override;
    // Incomplete gamma up to shape 500, Wilson-Hilferty above.
    Extended Cdf(Extended x) const override;
    Extended Mean() const override;
    Extended Variance() const override;
    // Exponential, ratio of uniforms (shape > 1) or Ahrens-Dieter GS (shape < 1).
    Extended Random_value() override;

    Extended Shape = 1;
    Extended Rate = 1;
    Extended Log_norm_constant = 0;
    Extended Sampler_constant_1 = 0;
    Extended Sampler_constant_2 = 0;

protected:
    // Sets up the records only; the caller then sets the parameters.
    tGamma_distribution();
};
