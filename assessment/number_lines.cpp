#include "assessment/number_lines.h"

#include <algorithm>
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
std::string Shown_token(std::string_view token) {
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

Extended Read_data_number(std::string_view token, long long line, bool alone) {
    const auto refuse = [&] {
        const std::string advice = Invalid_number_advice(std::string(token), line, alone);
        return EData_file_error("Invalid numeric input '" + Shown_token(token) + "' on line " +
                                std::to_string(line) + (advice.empty() ? "" : ". " + advice));
    };
    // A short decimal is a decimal number, read with no fault to clear.
    if (const std::optional<Extended> value = Short_decimal_to_extended(token)) return *value + 0;
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

tLine_reader::tLine_reader(std::string_view bytes, bool plain)
    : bytes_(bytes), plain_(plain), head_passed_(plain) {}

tLine_reader::tLine_reader(std::FILE* stream, bool plain)
    : stream_(stream), plain_(plain), head_passed_(plain) {}

void tLine_reader::Limit_bytes(std::size_t bytes) {
    each_line_ = 0;
    limit_at_ = taken_ + bytes;
}

void tLine_reader::Limit_each_line(std::size_t bytes) {
    each_line_ = bytes;
}

namespace {

// Enough of a file's start to tell UTF-16 and the usual binary files.
constexpr std::size_t Head_bytes = 4;

// Not a line end, Ctrl-Z or a zero byte: a byte that needs only the limits.
bool Above_ctrl_z(char c) {
    return static_cast<unsigned char>(c) > Ctrl_z;
}

} // namespace

int tLine_reader::Get_unchecked() {
    return stream_                     ? getc_unlocked(stream_)
           : position_ < bytes_.size() ? static_cast<unsigned char>(bytes_[position_++])
                                       : EOF;
}

int tLine_reader::Get() {
    return Take(Get_unchecked());
}

// Past the head, a byte above Ctrl-Z (no line end, end of data, zero byte or
// end of input) needs only the byte limit: the usual byte of a file.
int tLine_reader::Take(int c) {
    if (head_passed_ && c > Ctrl_z) {
        if (++taken_ > limit_at_) throw tLimit_passed{reading_};
        return c;
    }
    return Take_checked(c);
}

int tLine_reader::Take_checked(int c) {
    if (plain_) {
        if (c != EOF && ++taken_ > limit_at_) throw tLimit_passed{reading_};
        return c;
    }
    if (c == EOF) {
        Check_head();
        return c;
    }
    if (head_.size() < Head_bytes) head_ += static_cast<char>(c);
    if (c == 0) Refuse_zero_byte();
    if (head_.size() == Head_bytes) Check_head();
    head_passed_ = head_checked_ && head_.size() == Head_bytes;
    if (++taken_ > limit_at_) throw tLimit_passed{reading_};
    return c;
}

std::string_view tLine_reader::At_hand() const {
    if (!stream_) return bytes_.substr(position_);
#if defined(__GLIBC__)
    // What the stream's buffer holds, as getc_unlocked reads it.
    return {stream_->_IO_read_ptr,
            static_cast<std::size_t>(stream_->_IO_read_end - stream_->_IO_read_ptr)};
#else
    return {};
#endif
}

void tLine_reader::Pass(std::size_t count) {
    if (!stream_) {
        position_ += count;
        return;
    }
#if defined(__GLIBC__)
    stream_->_IO_read_ptr += count;
#endif
}

// Appends `c`, already taken, and the bytes at hand after it above Ctrl-Z, as
// many as the limits allow; returns the next byte as Get takes it, so that
// the byte a run stops at passes the checks of any other byte. Most of a
// file's bytes pass here: they are looked at in one loop and appended at once.
int tLine_reader::Take_run(int c, std::string& text) {
    text += static_cast<char>(c);
    const std::string_view hand = At_hand();
    const std::size_t room = std::min(limit_at_ - taken_, text_limit_ - text.size());
    const std::size_t look = std::min(hand.size(), room);
    std::size_t run = 0;
    while (run < look && Above_ctrl_z(hand[run]))
        ++run;
    text.append(hand.data(), run);
    taken_ += run;
    Pass(run);
    return Get();
}

void tLine_reader::Check_head() {
    if (head_checked_) return;
    head_checked_ = true;
    const std::string message = Not_plain_text_message(head_, false);
    if (!message.empty()) throw EData_file_error(message);
}

void tLine_reader::Refuse_zero_byte() {
    // The bytes after an early zero tell UTF-16 from other files; the file is
    // refused either way, so they are taken without a limit.
    for (int c; head_.size() < Head_bytes && (c = Get_unchecked()) != EOF;)
        head_ += static_cast<char>(c);
    throw EData_file_error(Not_plain_text_message(head_, true));
}

bool tLine_reader::Next(std::string& text) {
    text.clear();
    if (ended_) return false;
    errno = 0;
    reading_ = line_ + 1;
    if (each_line_ > 0) limit_at_ = taken_ + each_line_;
    int c = Get();
    if (after_cr_ && c == '\n') c = Get(); // the LF of a CR LF pair
    after_cr_ = false;
    const bool ctrl_z_ends = !plain_;
    while (c != EOF && c != '\n' && c != '\r') {
        if (ctrl_z_ends && c == Ctrl_z) {
            ended_ = true;
            break;
        }
        if (text.size() >= text_limit_) throw tLimit_passed{reading_};
        if (c > Ctrl_z && head_passed_) {
            // The bytes that need no more than the limits, up to the next other byte.
            c = Take_run(c, text);
            continue;
        }
        text += static_cast<char>(c);
        c = Get();
    }
    if (stream_ && std::ferror(stream_))
        throw EData_file_error(System_error_message(Last_error_or_io()));
    // The data ends before a line begins at the end of the input or Ctrl-Z.
    if (text.empty() && (c == EOF || ended_)) return false;
    line_ = reading_;
    after_cr_ = c == '\r';
    // A byte-order mark starts the file, not its first number.
    if (line_ == 1 && !plain_ && text.starts_with(Byte_order_mark))
        text.erase(0, Byte_order_mark.size());
    return true;
}
