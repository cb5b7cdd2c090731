#pragma once

// The fault flags of the software extended runtime: the Quadruple::Fault_*
// bits its operations and math functions raise as the x87 unit would, or-ed
// in until cleared.

namespace Quadruple {
extern int Runtime_faults;
} // namespace Quadruple
