#pragma once

// printf-style formatting into a std::string, always in the C locale. The
// windows switch the process locale to the user's, which may write a decimal
// comma; reports, messages and data must not change with it.

#include <locale.h>

#include <cstdio>
#include <stdexcept>
#include <string>

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
