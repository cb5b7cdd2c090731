#pragma once

// printf-style formatting into a std::string, always in the C locale. The
// windows switch the process locale to the user's, which may write a decimal
// comma; reports, messages and data must not change with it.

#include <locale.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "distributions/extended.h"

// The one handle on the "C" locale, made on first use (null if it cannot be).
locale_t C_locale();

// Switches the calling thread to the C locale for the life of the object.
class tC_locale_scope {
public:
    tC_locale_scope();
    ~tC_locale_scope();
    tC_locale_scope(const tC_locale_scope&) = delete;
    tC_locale_scope& operator=(const tC_locale_scope&) = delete;

private:
    locale_t previous_ = nullptr;
};

// Sized for any value: a wild data value can print hundreds of digits. The
// usual short text is written once, into a buffer on the stack; a report of
// 500 rows formats thousands of numbers.
#if PAVONA_SOFTWARE_EXTENDED
#include <string_view>
#include <type_traits>

// One conversion of a long double holding the software type's value, written
// exactly (WebAssembly's printf writes a long double only to double precision).
std::string Format_extended(std::string_view conversion, long double value);

// Each conversion is written on its own, a long double one exactly.
class tFormat_writer {
public:
    explicit tFormat_writer(const char* format) : rest_(format) {}

    // A value past the last conversion is ignored, as printf ignores it.
    template <typename T> void Add(T value) {
        const std::string conversion = Next_conversion();
        if (conversion.empty()) return;
        if constexpr (std::is_same_v<T, long double>) {
            text_ += Format_extended(conversion, value);
        } else {
            const int length = std::snprintf(nullptr, 0, conversion.c_str(), value);
            if (length < 0)
                throw std::invalid_argument("Format_text: the format cannot be written");
            std::string piece(static_cast<std::size_t>(length), ' ');
            std::snprintf(piece.data(), piece.size() + 1, conversion.c_str(), value);
            text_ += piece;
        }
    }

    // The text after the last conversion.
    std::string Finish();

private:
    // Copies the literal text up to the next conversion and returns that
    // conversion, from its % to its letter; empty when there is none.
    std::string Next_conversion();

    const char* rest_;
    std::string text_;
};

template <typename... Args> std::string Format_text(const char* format, Args... args) {
    const tC_locale_scope c_locale;
    tFormat_writer writer(format);
    (writer.Add(args), ...);
    return writer.Finish();
}
#else
template <typename... Args> std::string Format_text(const char* format, Args... args) {
    const tC_locale_scope c_locale;
    char buffer[128];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    if (length < 0) throw std::invalid_argument("Format_text: the format cannot be written");
    if (static_cast<std::size_t>(length) < sizeof buffer)
        return std::string(buffer, static_cast<std::size_t>(length));
    std::string text(static_cast<std::size_t>(length), ' ');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}
#endif

// Appends `value` exactly as Format_text("%<width>.<decimals>Lf", value)
// writes it. A data listing prints thousands of values, and printf's exact
// conversion of a long double costs far more than this one in integers, which
// covers the common values (any other value is written by printf).
void Append_fixed(std::string& text, long double value, int width, int decimals);
