#pragma once

// Checks on report text shared by the hostile-file test and the pipeline fuzzer.

#include <cctype>
#include <cstddef>
#include <string>

// "inf" or "nan" as a word of its own, in any case ("inferences" in the
// program's description is fine; "infinity" is caught by its first three letters).
inline bool Holds_inf_or_nan(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto letter = [&](std::size_t i) {
        return i < lower.size() && std::isalpha(static_cast<unsigned char>(lower[i])) != 0;
    };
    for (const std::string word : {"inf", "nan"})
        for (auto at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
            if (at > 0 && letter(at - 1)) continue;
            if (!letter(at + 3) || lower.compare(at, 8, "infinity") == 0) return true;
        }
    return false;
}
