// pavona-cli: the worksheet's analysis from the command line. The entries go
// through the same checks and the data file through the same reader as in the
// window, and the report is the one the viewer would show first.

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "app/console_platform.h"
#include "app/data_file_reader.h"
#include "app/report.h"

namespace {

constexpr int Exit_refused = 1;
constexpr int Exit_usage = 2;

const char* const Usage_text =
    "Usage: pavona-cli --predictors K --controls N [--limits two-sided|lower|upper]\n"
    "                  [--notes TEXT]... [--json] DATAFILE\n"
    "\n"
    "Compares one case with a control sample by multiple regression.\n"
    "DATAFILE holds N + 1 lines of K + 1 numbers: the criterion, then the K\n"
    "predictors; the N controls first and the case last. '-' reads standard input.\n"
    "\n"
    "  --predictors K   number of predictors (1 to 5)\n"
    "  --controls N     control sample size (3 to 499, at least K + 2)\n"
    "  --limits L       two-sided (default), lower or upper\n"
    "  --notes TEXT     one line of notes for the report; repeat for more lines\n"
    "                   (250 characters in all)\n"
    "  --json           print every figure as one JSON object instead of the report\n"
    "  --help           show this text\n";

struct tOptions {
    std::optional<std::string> Predictors;
    std::optional<std::string> Controls;
    tLimit_choice Limits = tLimit_choice::Two_sided;
    std::vector<std::string> Notes;
    bool Json = false;
    bool Help = false;
    std::optional<std::string> Data_file;
};

class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
            if (limits == "two-sided")
                options.Limits = tLimit_choice::Two_sided;
            else if (limits == "lower")
                options.Limits = tLimit_choice::One_sided_lower;
            else if (limits == "upper")
                options.Limits = tLimit_choice::One_sided_upper;
            else
                throw EUsage("--limits must be two-sided, lower or upper");
        } else if (argument == "--notes") {
            const std::string line = value();
            if (line.find_first_of("\r\n") != std::string::npos)
                throw EUsage("a --notes line cannot hold a line break: give each line its own "
                             "--notes");
            options.Notes.push_back(line);
        } else if (argument == "--json") {
            no_value();
            options.Json = true;
        } else if (argument == "--help") {
            no_value();
            options.Help = true;
        } else {
            throw EUsage("unknown option " + argument);
        }
    }
    if (options.Help) return options;
    if (!options.Predictors) throw EUsage("--predictors is required");
    if (!options.Controls) throw EUsage("--controls is required");
    if (!options.Data_file) throw EUsage("the data file is missing");
    return options;
}

// Full precision: 21 significant digits carry every bit of an extended real.
std::string Json_number(Extended value) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
    return buffer;
}

std::string Json_vector(const tVector& v, int count) {
    std::string text = "[";
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? ", " : "") + Json_number(v[i]);
    return text + "]";
}

std::string Json_report(const tAnalysis& a) {
    const tRegression_results& reg = a.Regression;
    const tCase_results& res = a.Results;
    static const char* const Limit_names[] = {"two-sided", "lower", "upper"};
    std::string text = "{\n";
    const auto field = [&](const char* name, const std::string& value) {
        if (text.size() > 2) text += ",\n";
        text += std::string("  \"") + name + "\": " + value;
    };
    field("k", std::to_string(a.K));
    field("n", std::to_string(a.N));
    field("limits", std::string("\"") + Limit_names[static_cast<int>(a.Limits)] + "\"");
    field("means", Json_vector(a.Means, a.NVars));
    field("SDs", Json_vector(a.SDs, a.NVars));
    std::string corr = "[";
    for (int i = 1; i <= a.NVars; ++i) {
        corr += i > 1 ? ", [" : "[";
        for (int j = 1; j <= a.NVars; ++j)
            corr += (j > 1 ? ", " : "") + Json_number(a.Corr(i, j));
        corr += "]";
    }
    field("corr", corr + "]");
    field("case_scores", Json_vector(a.Case_scores, a.NVars));
    field("Beta", Json_vector(reg.Beta, a.K));
    field("Coef", Json_vector(reg.Coef, a.K));
    field("Intercept", Json_number(reg.Intercept));
    field("Mult_R", Json_number(reg.Mult_R));
    field("R_squared", Json_number(reg.R_squared));
    field("Adj_R_squared", Json_number(reg.Adj_R_squared));
    field("F_value", Json_number(reg.F_value));
    field("F_prob", Json_number(reg.F_prob));
    field("DF1", Json_number(reg.DF1));
    field("DF2", Json_number(reg.DF2));
    field("SEE", Json_number(reg.SEE));
    field("SD_residual", Json_number(reg.SD_residual));
    field("Predicted", Json_number(a.Predicted));
    field("SE_additional", Json_number(a.SE_additional));
    field("T_value", Json_number(res.T_value));
    field("DF", Json_number(res.DF));
    field("P_one_tailed", Json_number(res.P_one_tailed));
    field("P_two_tailed", Json_number(res.P_two_tailed));
    field("Pct_more_extreme", Json_number(res.Pct_more_extreme));
    field("Pct_lower", Json_number(res.Pct_lower));
    field("Pct_upper", Json_number(res.Pct_upper));
    field("ZOP", Json_number(res.ZOP));
    field("ZOP_lower", Json_number(res.ZOP_lower));
    field("ZOP_upper", Json_number(res.ZOP_upper));
    return text + "\n}\n";
}

void Print_error(const std::string& message) {
    std::fputs((message + "\n").c_str(), stderr);
    std::fflush(stderr);
}

int Run(int argc, char** argv) {
    tOptions options;
    try {
        options = Parse_arguments(argc, argv);
    } catch (const EUsage& error) {
        Print_error(std::string("pavona-cli: ") + error.what() + "\n\n" + Usage_text);
        return Exit_usage;
    }
    if (options.Help) {
        std::fputs(Usage_text, stdout);
        return std::fflush(stdout) == 0 ? 0 : Exit_refused;
    }

    const std::size_t notes_length = Notes_length(options.Notes);
    if (notes_length > Max_notes_length) {
        Print_error("The notes hold " + std::to_string(notes_length) +
                    " characters (a line break counting as two), but at most " +
                    std::to_string(Max_notes_length) + " are allowed.");
        return Exit_refused;
    }

    tConsole_platform platform;
    const tEntry_check entries = Check_entries(platform, *options.Predictors, *options.Controls);
    if (!entries.Passed()) {
        // The input checks have already written their warnings.
        if (!entries.Error_message.empty()) Print_error(entries.Error_message);
        return Exit_refused;
    }

    auto data = std::make_unique<tData_matrix>();
    const int rows = entries.N + 1;
    const int cols = entries.K + 1;
    if (*options.Data_file == "-")
        Read_data_stream(stdin, rows, cols, *data);
    else
        Read_data_file(*options.Data_file, rows, cols, *data);

    const tWarning_handler warn = [&platform](const std::string& message) {
        platform.Message_box(message, tMessage_kind::Warning, Ok_button);
    };
    const tAnalysis analysis =
        Run_analysis(std::move(data), entries.K, entries.N, options.Limits, warn);

    std::string output;
    if (options.Json) {
        output = Json_report(analysis);
    } else {
        for (const std::string& line : Report_lines(analysis, options.Notes, false))
            output += line + "\n";
    }
    errno = 0;
    if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
        std::fflush(stdout) != 0) {
        Print_error(errno == ENOSPC ? "Disk full" : "I/O error " + std::to_string(errno));
        return Exit_refused;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        // The text the window's default error handler would show.
        Print_error(With_full_stop(error.what()));
    } catch (...) {
        Print_error("Unexpected error.");
    }
    return Exit_refused;
}
