#include "assessment/number_lines.h"

#include <cerrno>
#include <cmath>

#include "assessment/reading_advice.h"
#include "distributions/decimal_conversion.h"
#include "distributions/floating_point_faults.h"
#include "platform/system_error_message.h"

namespace {

constexpr std::size_t Max_token_shown = 40;

// The offending text as it can be shown safely: cut to a sensible length, and
// bytes outside printable ASCII replaced so that no terminal or box sees them.
std::string Shown_token(const std::string& token) {
    std::string shown;
    for (std::size_t i = 0; i < token.size() && i < Max_token_shown; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        shown += c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (token.size() > Max_token_shown) shown += "...";
    return shown;
}

} // namespace

bool Is_decimal_number(std::string_view text) {
    std::size_t i = 0;
    const std::size_t size = text.size();
    auto digits = [&] {
        const std::size_t start = i;
        while (i < size && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa_digits = digits();
    if (i < size && text[i] == '.') {
        ++i;
        mantissa_digits += digits();
    }
    if (mantissa_digits == 0) return false;
    if (i < size && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < size && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == size;
}

Extended Read_data_number(const std::string& token, long long line, bool alone) {
    const auto refuse = [&] {
        const std::string advice = Invalid_number_advice(token, line, alone);
        return EData_file_error("Invalid numeric input '" + Shown_token(token) + "' on line " +
                                std::to_string(line) + (advice.empty() ? "" : ". " + advice));
    };
    if (!Is_decimal_number(token)) throw refuse();
    // The scope drops the overflow or underflow flags the conversion may raise.
    tFloating_point_scope scope;
    const Extended value = Decimal_to_extended(token);
    // Overflow is refused; underflow to zero or a denormal is a usable value.
    if (!std::isfinite(value)) throw refuse();
    // A typed -0 is zero: adding zero clears its sign, so the report never
    // shows -0.00000 for it.
    return value + 0;
}

int For_each_word(std::string_view line, int most,
                  const std::function<void(const std::string& word, bool alone)>& take) {
    std::string word;
    int words = 0;
    const auto end_word = [&](bool at_line_end) {
        if (word.empty()) return;
        if (words < most) take(word, at_line_end && words == 0);
        ++words;
        word.clear();
    };
    for (const char c : line) {
        if (Is_number_separator(c))
            end_word(false);
        else
            word += c;
    }
    end_word(true);
    return words;
}

tLine_reader::tLine_reader(std::string_view bytes, tRules rules)
    : rules_(std::move(rules)), bytes_(bytes) {}

tLine_reader::tLine_reader(std::FILE* stream, tRules rules)
    : rules_(std::move(rules)), stream_(stream) {}

int tLine_reader::Get() {
    if (stream_) return getc_unlocked(stream_);
    return position_ < bytes_.size() ? static_cast<unsigned char>(bytes_[position_++]) : EOF;
}

void tLine_reader::Unget(int c) {
    if (c == EOF) return;
    if (stream_)
        ungetc(c, stream_);
    else
        --position_;
}

bool tLine_reader::Next(std::string& text) {
    text.clear();
    errno = 0;
    const auto check_stream = [&] {
        if (stream_ && std::ferror(stream_))
            throw EData_file_error(System_error_message(Last_error_or_io()));
    };
    const bool ctrl_z_ends = rules_.Ctrl_z_ends_data;
    int c = Get();
    if (c == EOF || (ctrl_z_ends && c == Ctrl_z)) {
        check_stream();
        Unget(c);
        return false;
    }
    const long long number = ++line_;
    for (; c != EOF && c != '\n' && c != '\r'; c = Get()) {
        if (ctrl_z_ends && c == Ctrl_z) {
            Unget(c);
            break;
        }
        if (rules_.Too_long && text.size() >= Max_data_file_bytes)
            throw EData_file_error(rules_.Too_long(number));
        text += static_cast<char>(c);
    }
    if (c == '\r') {
        const int next = Get();
        if (next != '\n') Unget(next); // CR LF is one line end
    }
    check_stream();
    // A byte-order mark starts the file, not its first number.
    if (number == 1 && rules_.Skip_byte_order_mark && text.starts_with(Byte_order_mark))
        text.erase(0, Byte_order_mark.size());
    return true;
}
