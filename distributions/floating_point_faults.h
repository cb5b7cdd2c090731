#pragma once

// Floating-point faults as exceptions.
//
// The numeric code never hands on an infinity or a NaN. Every public routine
// of the numeric core opens a tFloating_point_scope on entry and passes its
// result through Checked() (or calls Check() before returning). The scope
// hides the fault flags raised before it, so a check only sees faults of its
// own computation, and puts the outer flags back when it ends, so an enclosing
// scope still sees what happened before the nested call.
//
// A fault is a division by zero, an invalid operation or an overflow, taken
// from the floating-point status flags; a result that is not finite counts as
// one even when no flag says so. Underflow and inexact results are not faults.
// Where Extended is the software type (software_extended/), its arithmetic
// raises the same three in a word of its own; double arithmetic raises the
// hardware's flags, which are read beside it (WebAssembly has none).
// A fault is raised as EFloating_point_error with a message such as
// "Floating point division by zero".

#include <cfenv>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "extended.h"

#if PAVONA_SOFTWARE_EXTENDED
#include "software_extended/quadruple_arithmetic.h"
#include "software_extended/runtime_faults.h"

inline constexpr int Fault_division_by_zero = Quadruple::Fault_division_by_zero;
inline constexpr int Fault_overflow = Quadruple::Fault_overflow;
inline constexpr int Fault_invalid = Quadruple::Fault_invalid;
#if defined(__wasm__)
inline int Test_fault_flags(int flags) {
    return Quadruple::Runtime_faults & flags;
}
inline void Clear_fault_flags(int flags) {
    Quadruple::Runtime_faults &= ~flags;
}
#else
// The hardware's flags among `flags`, and the other way round.
inline int Hardware_fault_flags(int flags) {
    return (flags & Fault_division_by_zero ? FE_DIVBYZERO : 0) |
           (flags & Fault_overflow ? FE_OVERFLOW : 0) | (flags & Fault_invalid ? FE_INVALID : 0);
}
inline int Test_fault_flags(int flags) {
    const int hardware = fetestexcept(Hardware_fault_flags(flags));
    const int raised =
        Quadruple::Runtime_faults | (hardware & FE_DIVBYZERO ? Fault_division_by_zero : 0) |
        (hardware & FE_OVERFLOW ? Fault_overflow : 0) | (hardware & FE_INVALID ? Fault_invalid : 0);
    return raised & flags;
}
inline void Clear_fault_flags(int flags) {
    Quadruple::Runtime_faults &= ~flags;
    feclearexcept(Hardware_fault_flags(flags));
}
#endif
inline void Raise_fault_flags(int flags) {
    Quadruple::Runtime_faults |= flags;
}
#else
inline constexpr int Fault_division_by_zero = FE_DIVBYZERO;
inline constexpr int Fault_overflow = FE_OVERFLOW;
inline constexpr int Fault_invalid = FE_INVALID;
inline int Test_fault_flags(int flags) {
    return fetestexcept(flags);
}
inline void Clear_fault_flags(int flags) {
    feclearexcept(flags);
}
inline void Raise_fault_flags(int flags) {
    feraiseexcept(flags);
}
#endif

class EFloating_point_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raises EFloating_point_error for the fault flags in `flags`, naming the most
// specific one (division by zero, then overflow, then invalid operation).
[[noreturn]] void Raise_floating_point_fault(int flags);

// For loops without an iteration limit: a quantity that has become infinite or
// NaN would never meet the convergence test, so stop with the fault instead.
// (Classification does not touch the flags, unlike arithmetic on the value.)
template <typename Real> inline void Require_finite(Real value) {
    if (!std::isfinite(value))
        Raise_floating_point_fault(std::isnan(value) ? Fault_invalid : Fault_overflow);
}

// Every loop of the library that ends on convergence alone also has a
// generous cap on its count (as the trusted numerical libraries do): past it,
// whatever the input, it raises EFloating_point_error with a message that
// names the routine and its arguments, such as
// "Non_central_t Cdf: series did not converge after 1000000 terms (x = 2.5,
// df = 8, delta = 3)".
struct tNamed_argument {
    const char* Name;
    Extended Value;
};
std::string Not_converged_message(const char* routine, const char* loop, long count,
                                  const char* unit, const std::vector<tNamed_argument>& arguments);
[[noreturn]] void Raise_not_converged(const char* routine, const char* loop, long count,
                                      const char* unit,
                                      const std::vector<tNamed_argument>& arguments);

class tFloating_point_scope {
public:
    static constexpr int Fault_flags = Fault_division_by_zero | Fault_invalid | Fault_overflow;

    // Reading the flags is cheap; writing them is not (it reloads the x87
    // environment), so the flags are only written when some are set. The
    // scope sits on the innermost loops of the quantile searches.
    tFloating_point_scope() : outer_(Test_fault_flags(Fault_flags)) {
        if (outer_) Clear_fault_flags(outer_);
    }
    ~tFloating_point_scope() {
        // Faults of this scope that were not checked are dropped; the outer
        // scope's flags come back as they were.
        const int now = Test_fault_flags(Fault_flags);
        if (now != outer_) {
            if (const int own = now & ~outer_) Clear_fault_flags(own);
            if (const int lost = outer_ & ~now) Raise_fault_flags(lost);
        }
    }
    tFloating_point_scope(const tFloating_point_scope&) = delete;
    tFloating_point_scope& operator=(const tFloating_point_scope&) = delete;

    // Raises if a fault flag has been set since the scope began.
    void Check() const {
        if (const int raised = Test_fault_flags(Fault_flags)) Raise_floating_point_fault(raised);
    }

    // Check(), and also refuse a result that is not finite.
    template <typename Real> Real Checked(Real value) const {
        Check();
        Require_finite(value);
        return value;
    }

private:
    const int outer_;
};
