#include "cli/cli_options.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

const char* const Usage_text =
    "Usage: pavona-cli --predictors K (--controls N | --summary) [--cases M|all]\n"
    "                  [--jobs J] [--limits two-sided|lower|upper] [--notes TEXT]...\n"
    "                  [--json|--csv] DATAFILE\n"
    "\n"
    "Compares a case with a control sample by multiple regression.\n"
    "DATAFILE holds lines of K + 1 numbers: the criterion, then the K predictors;\n"
    "the N controls first, then the case rows. '-' reads standard input.\n"
    "With --summary it holds the control sample's summary statistics instead of\n"
    "its raw scores: line 1 the sample size n; line 2 the K + 1 means; line 3 the\n"
    "K + 1 standard deviations; then the K + 1 rows of the correlation matrix;\n"
    "then the case rows.\n"
    "\n"
    "  --predictors K   number of predictors (1 to 5)\n"
    "  --controls N     control sample size (3 to 499, at least K + 2)\n"
    "  --summary        the file holds summary statistics (n from K + 2 to\n"
    "                   1,000,000) rather than the controls' raw scores\n"
    "  --cases M        compare the first M case rows (default 1), or all of them;\n"
    "                   a bad case row is reported and the others go on\n"
    "  --jobs J         cases computed at once (default: one a core)\n"
    "  --limits L       two-sided (default), lower or upper\n"
    "  --notes TEXT     one line of notes for the report; repeat for more lines\n"
    "                   (250 characters in all)\n"
    "  --json           print every figure as one JSON object instead of the report\n"
    "  --csv            print a header line, then one line of figures a case\n"
    "  --help           show this text\n";

namespace {

constexpr long long Max_jobs = 256;

// A whole number from 1 to `max` in plain decimal digits, or nothing.
std::optional<long long> Positive_count(const std::string& text, long long max) {
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < 1 || value > max) return std::nullopt;
    return value;
}

} // namespace

tOptions Parse_arguments(int argc, char** argv) {
    tOptions options;
    bool only_operands = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (only_operands || argument == "-" || argument.rfind("--", 0) != 0) {
            if (options.Data_file) throw EUsage("only one data file can be given");
            options.Data_file = argument;
            continue;
        }
        if (argument == "--") {
            only_operands = true;
            continue;
        }
        std::optional<std::string> inline_value;
        if (const auto equals = argument.find('='); equals != std::string::npos) {
            inline_value = argument.substr(equals + 1);
            argument.erase(equals);
        }
        const auto value = [&]() -> std::string {
            if (inline_value) return *inline_value;
            if (i + 1 >= argc) throw EUsage(argument + " needs a value");
            return argv[++i];
        };
        const auto no_value = [&] {
            if (inline_value) throw EUsage(argument + " takes no value");
        };
        if (argument == "--predictors") {
            options.Predictors = value();
        } else if (argument == "--controls") {
            options.Controls = value();
        } else if (argument == "--limits") {
            const std::string limits = value();
            const std::optional<tLimits> named = Limits_named(limits);
            if (!named) throw EUsage("--limits must be two-sided, lower or upper");
            options.Limits = *named;
        } else if (argument == "--notes") {
            const std::string line = value();
            if (line.find_first_of("\r\n") != std::string::npos)
                throw EUsage("a --notes line cannot hold a line break: give each line its own "
                             "--notes");
            options.Notes.push_back(line);
        } else if (argument == "--cases") {
            const std::string cases = value();
            if (cases == "all") {
                options.Cases = 0;
            } else {
                const auto count = Positive_count(cases, 999999999999999999LL);
                if (!count) throw EUsage("--cases must be a whole number from 1, or all");
                options.Cases = *count;
            }
        } else if (argument == "--jobs") {
            const auto count = Positive_count(value(), Max_jobs);
            if (!count)
                throw EUsage("--jobs must be a whole number from 1 to " + std::to_string(Max_jobs));
            options.Jobs = static_cast<int>(*count);
        } else if (argument == "--json") {
            no_value();
            options.Json = true;
        } else if (argument == "--csv") {
            no_value();
            options.Csv = true;
        } else if (argument == "--summary") {
            no_value();
            options.Summary = true;
        } else if (argument == "--help") {
            no_value();
            options.Help = true;
        } else {
            throw EUsage("unknown option " + argument);
        }
    }
    if (options.Help) return options;
    if (!options.Predictors) throw EUsage("--predictors is required");
    if (options.Summary && options.Controls)
        throw EUsage("--controls is not used with --summary: the file gives n");
    if (!options.Summary && !options.Controls) throw EUsage("--controls is required");
    if (!options.Data_file) throw EUsage("the data file is missing");
    if (options.Json && options.Csv) throw EUsage("--json and --csv cannot be given together");
    return options;
}
