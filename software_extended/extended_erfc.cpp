// erfc(x) for the 64-bit significand: rational approximations on five
// intervals of |x|, after Sun's fdlibm (the method) and S. L. Moshier (the
// long double coefficients, peak relative errors near 1e-21); the same steps
// as the x87 build's C library, which this must match bit for bit on x86-64.
//
// Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
// Developed at SunPro, a Sun Microsystems, Inc. business. Permission to use,
// copy, modify, and distribute this software is freely granted, provided that
// this notice is preserved.
//
// Copyright (c) 2008 Stephen L. Moshier <steve@moshier.net>
// Permission to use, copy, modify, and distribute this software for any
// purpose with or without fee is hereby granted, provided that the above
// copyright notice and this permission notice appear in all copies.
// THE SOFTWARE IS PROVIDED "AS IS" AND THE AUTHOR DISCLAIMS ALL WARRANTIES
// WITH REGARD TO THIS SOFTWARE INCLUDING ALL IMPLIED WARRANTIES OF
// MERCHANTABILITY AND FITNESS. IN NO EVENT SHALL THE AUTHOR BE LIABLE FOR
// ANY SPECIAL, DIRECT, INDIRECT, OR CONSEQUENTIAL DAMAGES OR ANY DAMAGES
// WHATSOEVER RESULTING FROM LOSS OF USE, DATA OR PROFITS, WHETHER IN AN
// ACTION OF CONTRACT, NEGLIGENCE OR OTHER TORTIOUS ACTION, ARISING OUT OF
// OR IN CONNECTION WITH THE USE OR PERFORMANCE OF THIS SOFTWARE.

#include "software_extended/extended_erfc.h"

#include <cmath>
#include <limits>

#include "software_extended/x87_constant.h"

namespace {

// Every coefficient is rounded as the x87 build reads it.
constexpr long double erx = X87_constant(0.845062911510467529296875L);

// erf(x) = x + x R(x^2) on [0, 0.84375]
constexpr long double pp[] = {
    X87_constant(1.122751350964552113068262337278335028553E6L),
    X87_constant(-2.808533301997696164408397079650699163276E6L),
    X87_constant(-3.314325479115357458197119660818768924100E5L),
    X87_constant(-6.848684465326256109712135497895525446398E4L),
    X87_constant(-2.657817695110739185591505062971929859314E3L),
    X87_constant(-1.655310302737837556654146291646499062882E2L),
};
constexpr long double qq[] = {
    X87_constant(8.745588372054466262548908189000448124232E6L),
    X87_constant(3.746038264792471129367533128637019611485E6L),
    X87_constant(7.066358783162407559861156173539693900031E5L),
    X87_constant(7.448928604824620999413120955705448117056E4L),
    X87_constant(4.511583986730994111992253980546131408924E3L),
    X87_constant(1.368902937933296323345610240009071254014E2L),
};

/*
 * Coefficients for approximation to  erf  in [0.84375,1.25]
 */
/* erf(x+1) = 0.845062911510467529296875 + pa(x)/qa(x)
   -0.15625 <= x <= +.25
   Peak relative error 8.5e-22  */
constexpr long double pa[] = {
    X87_constant(-1.076952146179812072156734957705102256059E0L),
    X87_constant(1.884814957770385593365179835059971587220E2L),
    X87_constant(-5.339153975012804282890066622962070115606E1L),
    X87_constant(4.435910679869176625928504532109635632618E1L),
    X87_constant(1.683219516032328828278557309642929135179E1L),
    X87_constant(-2.360236618396952560064259585299045804293E0L),
    X87_constant(1.852230047861891953244413872297940938041E0L),
    X87_constant(9.394994446747752308256773044667843200719E-2L),
};
constexpr long double qa[] = {
    X87_constant(4.559263722294508998149925774781887811255E2L),
    X87_constant(3.289248982200800575749795055149780689738E2L),
    X87_constant(2.846070965875643009598627918383314457912E2L),
    X87_constant(1.398715859064535039433275722017479994465E2L),
    X87_constant(6.060190733759793706299079050985358190726E1L),
    X87_constant(2.078695677795422351040502569964299664233E1L),
    X87_constant(4.641271134150895940966798357442234498546E0L),
};

/*
 * Coefficients for approximation to  erfc in [1.25,1/0.35]
 */
/* erfc(1/x) = x exp (-1/x^2 - 0.5625 + ra(x^2)/sa(x^2))
   1/2.85711669921875 < 1/x < 1/1.25
   Peak relative error 3.1e-21  */
constexpr long double ra[] = {
    X87_constant(1.363566591833846324191000679620738857234E-1L),
    X87_constant(1.018203167219873573808450274314658434507E1L),
    X87_constant(1.862359362334248675526472871224778045594E2L),
    X87_constant(1.411622588180721285284945138667933330348E3L),
    X87_constant(5.088538459741511988784440103218342840478E3L),
    X87_constant(8.928251553922176506858267311750789273656E3L),
    X87_constant(7.264436000148052545243018622742770549982E3L),
    X87_constant(2.387492459664548651671894725748959751119E3L),
    X87_constant(2.220916652813908085449221282808458466556E2L),
};
constexpr long double sa[] = {
    X87_constant(-1.382234625202480685182526402169222331847E1L),
    X87_constant(-3.315638835627950255832519203687435946482E2L),
    X87_constant(-2.949124863912936259747237164260785326692E3L),
    X87_constant(-1.246622099070875940506391433635999693661E4L),
    X87_constant(-2.673079795851665428695842853070996219632E4L),
    X87_constant(-2.880269786660559337358397106518918220991E4L),
    X87_constant(-1.450600228493968044773354186390390823713E4L),
    X87_constant(-2.874539731125893533960680525192064277816E3L),
    X87_constant(-1.402241261419067750237395034116942296027E2L),
};

/*
 * Coefficients for approximation to  erfc in [1/.35,107]
 */
/* erfc(1/x) = x exp (-1/x^2 - 0.5625 + rb(x^2)/sb(x^2))
   1/6.6666259765625 < 1/x < 1/2.85711669921875
   Peak relative error 4.2e-22  */
constexpr long double rb[] = {
    X87_constant(-4.869587348270494309550558460786501252369E-5L),
    X87_constant(-4.030199390527997378549161722412466959403E-3L),
    X87_constant(-9.434425866377037610206443566288917589122E-2L),
    X87_constant(-9.319032754357658601200655161585539404155E-1L),
    X87_constant(-4.273788174307459947350256581445442062291E0L),
    X87_constant(-8.842289940696150508373541814064198259278E0L),
    X87_constant(-7.069215249419887403187988144752613025255E0L),
    X87_constant(-1.401228723639514787920274427443330704764E0L),
};
constexpr long double sb[] = {
    X87_constant(4.936254964107175160157544545879293019085E-3L),
    X87_constant(1.583457624037795744377163924895349412015E-1L),
    X87_constant(1.850647991850328356622940552450636420484E0L),
    X87_constant(9.927611557279019463768050710008450625415E0L),
    X87_constant(2.531667257649436709617165336779212114570E1L),
    X87_constant(2.869752886406743386458304052862814690045E1L),
    X87_constant(1.182059497870819562441683560749192539345E1L),
};
/* erfc(1/x) = x exp (-1/x^2 - 0.5625 + rc(x^2)/sc(x^2))
   1/107 <= 1/x <= 1/6.6666259765625
   Peak relative error 1.1e-21  */
constexpr long double rc[] = {
    X87_constant(-8.299617545269701963973537248996670806850E-5L),
    X87_constant(-6.243845685115818513578933902532056244108E-3L),
    X87_constant(-1.141667210620380223113693474478394397230E-1L),
    X87_constant(-7.521343797212024245375240432734425789409E-1L),
    X87_constant(-1.765321928311155824664963633786967602934E0L),
    X87_constant(-1.029403473103215800456761180695263439188E0L),
};
constexpr long double sc[] = {
    X87_constant(8.413244363014929493035952542677768808601E-3L),
    X87_constant(2.065114333816877479753334599639158060979E-1L),
    X87_constant(1.639064941530797583766364412782135680148E0L),
    X87_constant(4.936788463787115555582319302981666347450E0L),
    X87_constant(5.005177727208955487404729933261347679090E0L),
};

// Polynomials in the nested order of the x87 build (the rounding follows it).
template <int N> long double Horner(const long double (&c)[N], long double s) {
    long double sum = c[N - 1];
    for (int i = N - 2; i >= 0; --i)
        sum = c[i] + s * sum;
    return sum;
}
// The same with a leading coefficient of 1 above c[N - 1].
template <int N> long double Monic(const long double (&c)[N], long double s) {
    long double sum = c[N - 1] + s;
    for (int i = N - 2; i >= 0; --i)
        sum = c[i] + s * sum;
    return sum;
}

// x with all but the top 24 bits of its significand cleared: -z * z is then
// exact, and exp(-x^2) = exp(-z^2) exp((z - x)(z + x)) keeps its accuracy.
long double Top_24_bits(long double x) {
    int exponent = 0;
    std::frexp(x, &exponent);
    return std::ldexp(std::trunc(std::ldexp(x, 24 - exponent)), exponent - 24);
}

// erfc(|x|) for 1.25 <= |x| < 107.
long double Asymptotic(long double x) {
    x = std::fabs(x);
    const long double s = 1 / (x * x);
    long double r, q;
    if (x < X87_constant(2.85711669921875L)) {
        r = Horner(ra, s);
        q = Monic(sa, s);
    } else if (x < X87_constant(6.6666259765625L)) {
        r = Horner(rb, s);
        q = Monic(sb, s);
    } else {
        r = Horner(rc, s);
        q = Monic(sc, s);
    }
    const long double z = Top_24_bits(x);
    return std::exp(-z * z - 0.5625L) * std::exp((z - x) * (z + x) + r / q) / x;
}

} // namespace

long double Extended_erfc(long double x) {
    if (std::isnan(x)) return x;
    if (std::isinf(x)) return x < 0 ? 2 : 0;
    const long double a = std::fabs(x);
    if (a < 0.84375L) {
        if (a < 0x1p-65L) return 1 - x;
        const long double z = x * x;
        const long double y = Horner(pp, z) / Monic(qq, z);
        if (a < 0.25L) return 1 - (x + x * y);
        return 0.5L - (x - 0.5L + x * y);
    }
    if (a < 1.25L) {
        const long double s = a - 1;
        const long double p = Horner(pa, s);
        const long double q = Monic(qa, s);
        return x < 0 ? 1 + (erx + p / q) : (1 - erx) - p / q;
    }
    if (a < 107) return x < 0 ? 2 - Asymptotic(x) : Asymptotic(x);
    constexpr long double tiny = std::numeric_limits<long double>::min();
    return x < 0 ? 2 - tiny : tiny * tiny;
}
