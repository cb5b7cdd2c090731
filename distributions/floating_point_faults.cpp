#include "floating_point_faults.h"

void Raise_floating_point_fault(int flags) {
    feclearexcept(tFloating_point_scope::Fault_flags);
    if (flags & FE_DIVBYZERO)
        throw EFloating_point_error("Floating point division by zero");
    if (flags & FE_OVERFLOW)
        throw EFloating_point_error("Floating point overflow");
    throw EFloating_point_error("Invalid floating point operation");
}
