#pragma once

// The worksheet's own kit for turning typed text into numbers and checking it.
// Texts are scanned character by character (never by the locale's number
// conversion); every problem is reported at once in a warning box through the
// platform layer.

#include <string>

#include "platform/platform.h"

// Set by ParseEntry and ReadNumericField on every call: true when they reported
// a problem. Meaningful only right after the call.
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

// Reads an entry before the analysis; only a point is the decimal point. The
// result is meaningful only when InputError is false afterwards.
double ReadNumericField(tPlatform& platform, const std::string& text, const std::string& caption);

// Range checks on an entry already read: true when acceptable, otherwise a warning.
bool CheckPredictorCount(tPlatform& platform, const std::string& caption, double value);
bool CheckSampleSize(tPlatform& platform, const std::string& caption, double value);

// The strict integer conversion of the predictors field: optional leading
// blanks, an optional sign, decimal digits and nothing else, within the range
// of a 32-bit integer. Anything else raises std::runtime_error with the text
// "'<text>' is not a valid integer value".
int ConvertStrictInteger(const std::string& text);

// "%3.3f" independent of the locale (the windows switch the C locale to the
// user's, which may use a decimal comma).
std::string FormatFixed3(double value);
