#include "distributions/text_format.h"

locale_t C_locale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

tC_locale_scope::tC_locale_scope() {
    if (const locale_t c = C_locale()) previous_ = uselocale(c);
}

tC_locale_scope::~tC_locale_scope() {
    if (previous_) uselocale(previous_);
}
