#pragma once

// pavona-cli's command line: the options and their checks.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "assessment/json_report.h"

extern const char* const Usage_text;

struct tOptions {
    std::optional<std::string> Predictors;
    std::optional<std::string> Controls;
    bool Summary = false; // the file holds summary statistics, not raw scores
    tLimits Limits = tLimits::Two_sided;
    std::vector<std::string> Notes;
    bool Json = false;
    bool Csv = false;
    long long Cases = 1; // 0: every case row in the file
    int Jobs = 0;        // 0: one a core
    bool Help = false;
    std::optional<std::string> Data_file;
};

// A command line that cannot be followed; the message says why.
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options may be written "--name value" or "--name=value"; "--" ends them, so
// a data file whose name begins with '-' can follow it. Raises EUsage.
tOptions Parse_arguments(int argc, char** argv);

// A series run rather than the one-case report: CSV, or more than one case.
inline bool Is_series(const tOptions& options) {
    return options.Csv || options.Cases != 1;
}
