// The long double runtime of the software extended type, for targets whose
// long double is IEEE quadruple done in software (built only for those).
//
// The compiler turns long double arithmetic into calls of __addtf3, __subtf3,
// __multf3 and __divtf3; defined here, they take the place of the compiler's
// runtime (WebAssembly's divides wrongly where the divisor's significand is
// all ones) and round as the x87 unit does. They also keep the x87 unit's
// fault flags, which software long double arithmetic does not raise. The C
// library's long double functions, which round to 113 bits or fall back on
// double precision, are replaced the same way.

#include <cstring>
#include <limits>

#include "software_extended/extended_erfc.h"
#include "software_extended/quadruple_arithmetic.h"
#include "software_extended/quadruple_math.h"
#include "software_extended/runtime_faults.h"

static_assert(std::numeric_limits<long double>::digits == 113,
              "the software extended runtime replaces IEEE quadruple long double");

thread_local int Quadruple::Runtime_faults = 0;

namespace {

Quadruple::tBits Bits(long double x) {
    Quadruple::tBits bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

long double Value(Quadruple::tBits bits) {
    long double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

using tBinary = Quadruple::tBits (*)(Quadruple::tBits, Quadruple::tBits, int, int&);

long double X87_operation(tBinary operation, long double a, long double b) {
    return Value(operation(Bits(a), Bits(b), Quadruple::X87_bits, Quadruple::Runtime_faults));
}

long double To_integer(long double x, Quadruple::tTo_integer direction) {
    return Value(Quadruple::Round_to_integer(Bits(x), direction));
}

} // namespace

extern "C" {

long double __addtf3(long double a, long double b) {
    return X87_operation(Quadruple::Add, a, b);
}
long double __subtf3(long double a, long double b) {
    return X87_operation(Quadruple::Subtract, a, b);
}
long double __multf3(long double a, long double b) {
    return X87_operation(Quadruple::Multiply, a, b);
}
long double __divtf3(long double a, long double b) {
    return X87_operation(Quadruple::Divide, a, b);
}

long double sqrtl(long double x) {
    return Value(Quadruple::Square_root(Bits(x), Quadruple::Runtime_faults));
}
long double expl(long double x) {
    return Value(Quadruple::Exp(Bits(x), Quadruple::Runtime_faults));
}
long double expm1l(long double x) {
    return Value(Quadruple::Exp_minus_one(Bits(x), Quadruple::Runtime_faults));
}
long double logl(long double x) {
    return Value(Quadruple::Log(Bits(x), Quadruple::Runtime_faults));
}
long double log1pl(long double x) {
    return Value(Quadruple::Log_one_plus(Bits(x), Quadruple::Runtime_faults));
}
long double powl(long double x, long double y) {
    return Value(Quadruple::Power(Bits(x), Bits(y), Quadruple::Runtime_faults));
}

// The C library's own computes it in double precision.
long double erfcl(long double x) {
    return Extended_erfc(x);
}

long double floorl(long double x) {
    return To_integer(x, Quadruple::tTo_integer::Down);
}
long double ceill(long double x) {
    return To_integer(x, Quadruple::tTo_integer::Up);
}
long double truncl(long double x) {
    return To_integer(x, Quadruple::tTo_integer::Toward_zero);
}
long double roundl(long double x) {
    return To_integer(x, Quadruple::tTo_integer::Nearest_away);
}
long double nearbyintl(long double x) {
    return To_integer(x, Quadruple::tTo_integer::Nearest_even);
}
long double rintl(long double x) {
    return To_integer(x, Quadruple::tTo_integer::Nearest_even);
}

} // extern "C"
