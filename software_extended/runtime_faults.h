#pragma once

// The fault flags of the software extended runtime: the Quadruple::Fault_*
// bits its operations and math functions raise as the x87 unit would, or-ed
// in until cleared. Each thread has its own, as each has its own x87 status
// word: a series analysed by several threads must not see another case's fault.

namespace Quadruple {
extern thread_local int Runtime_faults;
} // namespace Quadruple
