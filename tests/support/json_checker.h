#pragma once

// A strict check that a text is one JSON document (RFC 8259): the grammar, no
// trailing commas or bytes, and strings of valid UTF-8 without raw control
// characters. Returns "" for a valid document, else what is wrong and where.

#include <cctype>
#include <cstddef>
#include <string>

namespace test_json {

class tChecker {
public:
    explicit tChecker(const std::string& text) : text_(text) {}

    std::string Check() {
        Spaces();
        if (!Value(0)) return Where();
        Spaces();
        if (at_ != text_.size()) return Where("bytes after the document");
        return "";
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
    std::string error_;

    std::string Where(const std::string& what = "") {
        return (what.empty() ? error_ : what) + " at byte " + std::to_string(at_) + ": '" +
               text_.substr(at_, 20) + "'";
    }
    bool Fail(const char* what) {
        if (error_.empty()) error_ = what;
        return false;
    }
    int Peek() const { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : -1; }
    void Spaces() {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')
            ++at_;
    }
    bool Literal(const char* word) {
        for (; *word; ++word, ++at_)
            if (Peek() != *word) return Fail("a bad literal");
        return true;
    }
    bool Digits() {
        const std::size_t start = at_;
        while (Peek() >= '0' && Peek() <= '9')
            ++at_;
        return at_ > start || Fail("a digit expected");
    }
    bool Number() {
        if (Peek() == '-') ++at_;
        if (Peek() == '0')
            ++at_;
        else if (!Digits())
            return false;
        if (Peek() == '.' && (++at_, !Digits())) return false;
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            if (Peek() == '+' || Peek() == '-') ++at_;
            if (!Digits()) return false;
        }
        return true;
    }
    // One UTF-8 character of two to four bytes, well formed.
    bool Utf8() {
        const int lead = Peek();
        int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                     : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                    : 0;
        if (length == 0) return Fail("a byte that starts no UTF-8 character");
        int low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        int high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        ++at_;
        for (int i = 1; i < length; ++i, ++at_, low = 0x80, high = 0xBF)
            if (Peek() < low || Peek() > high) return Fail("an invalid UTF-8 sequence");
        return true;
    }
    bool String() {
        ++at_; // the opening quote
        for (;;) {
            const int c = Peek();
            if (c < 0) return Fail("an unterminated string");
            if (c == '"') return ++at_, true;
            if (c < 0x20) return Fail("a raw control character in a string");
            if (c >= 0x80) {
                if (!Utf8()) return false;
                continue;
            }
            ++at_;
            if (c != '\\') continue;
            const int escaped = Peek();
            ++at_;
            if (escaped == 'u') {
                for (int i = 0; i < 4; ++i, ++at_)
                    if (!std::isxdigit(Peek())) return Fail("a bad \\u escape");
            } else if (std::string("\"\\/bfnrt").find(static_cast<char>(escaped)) ==
                           std::string::npos ||
                       escaped < 0) {
                return Fail("a bad escape");
            }
        }
    }
    // Arrays and objects; `depth` bounds the nesting.
    bool Items(int depth, char close, bool named) {
        ++at_;
        Spaces();
        if (Peek() == close) return ++at_, true;
        for (;;) {
            if (named) {
                if (Peek() != '"') return Fail("a name expected");
                if (!String()) return false;
                Spaces();
                if (Peek() != ':') return Fail("a colon expected");
                ++at_;
                Spaces();
            }
            if (!Value(depth + 1)) return false;
            Spaces();
            if (Peek() == close) return ++at_, true;
            if (Peek() != ',') return Fail("a comma or the end expected");
            ++at_;
            Spaces();
        }
    }
    bool Value(int depth) {
        if (depth > 100) return Fail("nested too deep");
        switch (Peek()) {
        case '{':
            return Items(depth, '}', true);
        case '[':
            return Items(depth, ']', false);
        case '"':
            return String();
        case 't':
            return Literal("true");
        case 'f':
            return Literal("false");
        case 'n':
            return Literal("null");
        default:
            return Number();
        }
    }
};

inline std::string Json_problem(const std::string& text) {
    return tChecker(text).Check();
}

} // namespace test_json
