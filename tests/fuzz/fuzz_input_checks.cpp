// The typed-entry checks on arbitrary text: the lenient parser, the field
// reader with its range checks, the key filter and the length cap.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "assessment/input_validation.h"
#include "distributions/floating_point_faults.h"
#include "silent_platform.h"

namespace {

void Check(tSilent_platform& platform, const std::string& text) {

    const double parsed = ParseEntry(platform, text);
    if (std::isnan(parsed)) std::abort();

    const tField_reading read = ReadNumericField(text, "Caption: ");
    if (read.Warning.empty()) {
        if (std::isnan(read.Value)) std::abort();
        CheckPredictorCount("Caption: ", read.Value);
        CheckSampleSize("Caption: ", read.Value);
    }

    for (char key : text) {
        const char entered = FilterNumericKey(platform, key);
        // Only the characters a number can hold, and the editing keys, get through.
        if (entered != '\0' && entered != '\b' && entered != '\t' && entered != '\r' &&
            entered != '-' && entered != '.' && !(entered >= '0' && entered <= '9'))
            std::abort();
    }
    if (text.size() > 6 && TruncateEntry(platform, text) != text.substr(0, 6)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tSilent_platform platform;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        Check(platform, text);
    } catch (const EFloating_point_error&) {
        // Hundreds of digits overflow the scan's double: the window shows this
        // as an error box, the tool as an error message.
    }
    return 0;
}
