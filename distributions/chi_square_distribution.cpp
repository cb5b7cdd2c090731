#include "chi_square_distribution.h"

#include "floating_point_faults.h"

tChi_square_distribution::tChi_square_distribution(Extended df) {
    Set_parameters(df, 0, 0);
}

bool tChi_square_distribution::Set_parameters(Extended p1, Extended, Extended) {
    tFloating_point_scope scope;
    const bool result = tGamma_distribution::Set_parameters(p1 / 2, 0.5L, 0);
    Degrees_of_freedom = p1;
    scope.Check();
    return result;
}
