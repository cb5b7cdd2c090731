// WebAssembly only: the long double runtime of this program.
//
// The compiler turns long double arithmetic into calls of __addtf3, __subtf3,
// __multf3 and __divtf3; defined here, they take the place of the compiler's
// runtime (whose division is wrong where the divisor's significand is all
// ones) and round as the x87 unit does. They also keep the fault flags that
// WebAssembly lacks. The C library's long double functions that rely on
// 113-bit rounding or fall back on double precision are replaced the same way.

#if defined(__wasm__)

#include <cstring>

#include "distributions/extended_erfc.h"
#include "distributions/floating_point_faults.h"
#include "distributions/quadruple_arithmetic.h"
#include "distributions/quadruple_math.h"

static_assert(Fault_division_by_zero == Quadruple::Fault_division_by_zero &&
              Fault_overflow == Quadruple::Fault_overflow &&
              Fault_invalid == Quadruple::Fault_invalid);

namespace {

int Fault_word = 0;

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
    return Value(operation(Bits(a), Bits(b), Quadruple::X87_bits, Fault_word));
}

long double To_integer(long double x, Quadruple::tTo_integer direction) {
    return Value(Quadruple::Round_to_integer(Bits(x), direction));
}

} // namespace

int Test_fault_flags(int flags) {
    return Fault_word & flags;
}
void Clear_fault_flags(int flags) {
    Fault_word &= ~flags;
}
void Raise_fault_flags(int flags) {
    Fault_word |= flags;
}

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
    return Value(Quadruple::Square_root(Bits(x), Fault_word));
}
long double expl(long double x) {
    return Value(Quadruple::Exp(Bits(x), Fault_word));
}
long double expm1l(long double x) {
    return Value(Quadruple::Exp_minus_one(Bits(x), Fault_word));
}
long double logl(long double x) {
    return Value(Quadruple::Log(Bits(x), Fault_word));
}
long double log1pl(long double x) {
    return Value(Quadruple::Log_one_plus(Bits(x), Fault_word));
}
long double powl(long double x, long double y) {
    return Value(Quadruple::Power(Bits(x), Bits(y), Fault_word));
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

#endif
