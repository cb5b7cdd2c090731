#include "assessment/input_validation.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "distributions/floating_point_faults.h"
#include "distributions/text_format.h"

bool InputError = false;

const char* const Predictors_capped_message = "Maximum size of grid is 12 rows.";

namespace {

const std::string CR = "\r";

struct tScan_result {
    double Value = 0;
    bool Bad = false;
};

// Blanks are skipped anywhere ("1 2" is 12); a minus sign counts only in the
// first position. A second decimal point stops the scan but keeps the value
// read so far; any other bad character resets it to 0.
tScan_result Scan_digits(const std::string& text, bool comma_is_point) {
    tFloating_point_scope scope;
    tScan_result result;
    bool minus = false;
    bool integer_part = true;
    int place = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') continue;
        if (c == '-') {
            if (i == 0) {
                minus = true;
                continue;
            }
            result.Value = 0;
            result.Bad = true;
            break;
        }
        if (c == '.' || (comma_is_point && c == ',')) {
            if (integer_part) {
                integer_part = false;
                place = 1;
                continue;
            }
            result.Bad = true;
            break;
        }
        if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            if (integer_part) {
                result.Value = result.Value * 10 + digit;
            } else {
                // Digits beyond the 308th decimal place are below what a double
                // holds; 10^place itself would overflow.
                if (place <= 308) result.Value = result.Value + digit / std::pow(10.0, place);
                ++place;
            }
            // A few hundred digits would overflow; stop with the fault rather
            // than hand an infinity to the range checks.
            Require_finite(result.Value);
            continue;
        }
        result.Value = 0;
        result.Bad = true;
        break;
    }
    if (minus) result.Value = -result.Value;
    result.Value = scope.Checked(result.Value);
    return result;
}

void Warn(tPlatform& platform, const std::string& text) {
    platform.Message_box(text, tMessage_kind::Warning, Ok_button);
}

// Whole numbers from `low` to `high`; values too large for a 64-bit integer
// are refused before truncation (converting them would be undefined).
bool Is_whole_in_range(double value, std::int64_t low, std::int64_t high) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return false;
    const auto t = static_cast<std::int64_t>(value);
    return value - static_cast<double>(t) == 0 && t >= low && t <= high;
}

} // namespace

std::string FormatFixed3(double value) {
    return Format_text("%.3f", value);
}

char FilterNumericKey(tPlatform& platform, char key) {
    if (key == ',') key = '.';
    if (key == '\b' || key == '\t' || key == '\r' || key == '-' || key == '.' ||
        (key >= '0' && key <= '9'))
        return key;
    platform.Beep();
    Warn(platform, "INPUT ERROR" + CR + CR + "Enter numeric data only.");
    return '\0';
}

std::string TruncateEntry(tPlatform& platform, const std::string& text) {
    platform.Beep();
    Warn(platform, "Maximum length of input is 6 characters.");
    return text.substr(0, 6);
}

double ParseEntry(tPlatform& platform, const std::string& text) {
    InputError = false;
    const tScan_result scan = Scan_digits(text, true);
    if (scan.Bad) {
        InputError = true;
        Warn(platform, "There is an invalid data entry, which will be highlighted once you click "
                       "'OK', please re-enter.");
    }
    return scan.Value;
}

tField_reading ReadNumericField(const std::string& text, const std::string& caption) {
    tField_reading reading;
    if (text.empty()) {
        reading.Warning = "INPUT ERROR" + CR + CR + "(  " + caption + "  " + text + ")" + CR + CR +
                          "Data have not been entered in this field.";
        return reading;
    }
    const tScan_result scan = Scan_digits(text, false);
    if (scan.Bad)
        reading.Warning = "INPUT ERROR" + CR + "(  " + caption + "  " + text + "  )" + CR + CR +
                          "Enter numeric data only.";
    else
        reading.Value = scan.Value;
    return reading;
}

std::string CheckPredictorCount(const std::string& caption, double value) {
    if (Is_whole_in_range(value, 1, Max_predictors)) return {};
    return "INPUT ERROR" + CR + "(  " + caption + "  " + FormatFixed3(value) + "  )" + CR +
           "The value must be a positive integer and be less than 6.";
}

std::string CheckSampleSize(const std::string& caption, double value) {
    if (Is_whole_in_range(value, 3, std::numeric_limits<std::int64_t>::max())) return {};
    return "INPUT ERROR" + CR + "(  " + caption + "  " + FormatFixed3(value) + "  )" + CR +
           "The value for sample size must be an integer greater than 2.";
}

int ConvertStrictInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t first_digit = i;
    std::int64_t magnitude = 0;
    bool fits = true;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) {
            fits = false;
            break;
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!fits || i == first_digit || i != text.size() || value > std::numeric_limits<int>::max() ||
        value < std::numeric_limits<int>::min())
        throw std::runtime_error("'" + text + "' is not a valid integer value");
    return static_cast<int>(value);
}
