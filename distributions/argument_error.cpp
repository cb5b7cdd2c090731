#include "argument_error.h"

#include <cstdio>

#include "distributions/text_format.h"

EArgumentError::EArgumentError(int message_id, const std::string& message)
    : std::runtime_error(message), message_id_(message_id) {}

std::string Message_text(int id) {
    switch (id) {
    case 1301:
        return "The first parameter (or shape) must be greater than ";
    case 1302:
        return "The probability (or point) must be at least ";
    case 1303:
        return "The parameter must be less than ";
    case 1304:
        return "The first parameter must be a whole number";
    case 1305:
        return "The second parameter must be greater than ";
    case 1306:
        return "The second parameter must be at least ";
    case 1307:
        return "The second parameter must be less than ";
    case 1308:
        return "The second parameter must be a whole number";
    case 1309:
        return "The third parameter must be greater than ";
    case 1310:
        return "The third parameter must be at least ";
    case 1311:
        return "The third parameter must be less than ";
    case 1312:
        return "The third parameter must be a whole number";
    case 1315:
        return "The probability must be at most ";
    case 1361:
        return "An argument of the incomplete gamma function exceeds 2147483647";
    case 1362:
        return "The mean of this distribution does not exist";
    case 1363:
        return "The variance of this distribution does not exist";
    default:
        return "";
    }
}

bool Raise_if(bool condition, int id) {
    if (condition) throw EArgumentError(id, Message_text(id));
    return true;
}

bool Check_bound(int id, Extended value, Extended bound) {
    // Written as the condition that passes, so a NaN never slips through.
    bool passes = true;
    switch (id) {
    case 1301:
    case 1305:
    case 1309:
        passes = value > bound;
        break;
    case 1302:
    case 1306:
    case 1310:
        passes = value >= bound;
        break;
    case 1303:
    case 1307:
    case 1311:
        passes = value < bound;
        break;
    case 1315:
        passes = value <= bound;
        break;
    default:
        break;
    }
    if (!passes) throw EArgumentError(id, Message_text(id) + Format_number(bound));
    return true;
}

std::string Format_number(Extended x) {
    // Sized for any value: a bound of 1e300 has over 300 digits.
    std::string text = Format_text("%.12Lf", x);
    const auto separator = text.find_first_not_of("-0123456789");
    if (separator != std::string::npos) {
        const auto last = text.find_last_not_of('0');
        text.erase(last == separator ? separator : last + 1);
    }
    if (text == "-0") text = "0";
    return text;
}
