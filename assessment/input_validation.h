#pragma once

// The worksheet's own kit for turning typed text into numbers and checking it.
// Texts are scanned character by character (never by the locale's number
// conversion). The checks while typing warn at once through the platform
// layer; the checks before the analysis hand their warning back instead, for
// each front end to show its own way.

#include <string>

#include "platform/platform.h"

// The most predictors an analysis takes.
inline constexpr int Max_predictors = 5;

// Set by ParseEntry on every call: true when it reported a problem.
// Meaningful only right after the call.
extern bool InputError;

// Character filter of the sample-size field: returns the character to enter
// (a comma comes back as a point), or '\0' after a beep and a warning.
char FilterNumericKey(tPlatform& platform, char key);

// Length cap of the sample-size field: beeps, warns, returns the first 6 characters.
std::string TruncateEntry(tPlatform& platform, const std::string& text);

// While it is typed, the predictors field holds at most this value; a larger
// one is replaced by it after this warning.
inline constexpr double Max_predictors_typed = 12;
extern const char* const Predictors_capped_message;

// Lenient parse of the predictors field while it is typed; a point or a comma
// is the decimal point.
double ParseEntry(tPlatform& platform, const std::string& text);

// An entry read before the analysis: its value, or the warning that refuses it.
struct tField_reading {
    double Value = 0;    // meaningful only without a warning
    std::string Warning; // empty when the entry was read
};

// Reads an entry before the analysis; only a point is the decimal point.
tField_reading ReadNumericField(const std::string& text, const std::string& caption);

// Range checks on an entry already read: the warning, or nothing when acceptable.
std::string CheckPredictorCount(const std::string& caption, double value);
std::string CheckSampleSize(const std::string& caption, double value);

// The strict integer conversion of the predictors field: optional leading
// blanks, an optional sign, decimal digits and nothing else, within the range
// of a 32-bit integer. Anything else raises std::runtime_error with the text
// "'<text>' is not a valid integer value".
int ConvertStrictInteger(const std::string& text);

// "%3.3f" independent of the locale (the windows switch the C locale to the
// user's, which may use a decimal comma).
std::string FormatFixed3(double value);
