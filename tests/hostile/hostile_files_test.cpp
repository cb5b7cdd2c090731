// Runs the built pavona-cli on every file listed in the hostile-data manifest
// and holds it to the answer written there: the whole report, or the exact
// message and exit status, within 5 seconds; a report never shows "inf" or
// "nan" (a refusal may quote such a word from the file).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/text_checks.h"

namespace {

using test_files::Contents;

namespace fs = std::filesystem;

const fs::path Hostile = PAVONA_HOSTILE_DATA;
constexpr auto Time_limit = std::chrono::seconds(5);

struct tCase {
    std::string File;
    std::string K, N, Limits;
    int Status = 0;
    bool Report = false;  // true: Expected names the expected standard output
    std::string Expected; // the file of the report, or the message
    std::string Name;     // for the test's name
};

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<tCase> Read_manifest() {
    std::vector<tCase> cases;
    std::ifstream manifest(Hostile / "cases.txt");
    std::string line;
    while (std::getline(manifest, line)) {
        if (Trimmed(line).empty() || Trimmed(line)[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        // The outcome is last and may itself hold a '|'.
        for (std::string field; fields.size() < 5 && std::getline(split, field, '|');)
            fields.push_back(Trimmed(field));
        std::string outcome;
        std::getline(split, outcome);
        outcome = Trimmed(outcome);
        tCase c;
        if (fields.size() == 5) {
            c.File = fields[0];
            c.K = fields[1];
            c.N = fields[2];
            c.Limits = fields[3];
            c.Status = std::atoi(fields[4].c_str());
        }
        if (outcome.rfind("report ", 0) == 0) {
            c.Report = true;
            c.Expected = outcome.substr(7);
        } else if (outcome.rfind("message ", 0) == 0) {
            c.Expected = outcome.substr(8);
        } else {
            c.File.clear(); // malformed: reported by the test below
        }
        for (const char ch : line.substr(0, line.find('|')))
            if (std::isalnum(static_cast<unsigned char>(ch)))
                c.Name += ch;
            else if (!c.Name.empty() && c.Name.back() != '_')
                c.Name += '_';
        if (c.Name.empty()) c.Name = "unnamed";
        while (c.Name.back() == '_')
            c.Name.pop_back();
        cases.push_back(c);
    }
    return cases;
}

fs::path Scratch_path() {
    return fs::temp_directory_path() / ("pavona_hostile_" + std::to_string(::getpid()));
}

// Files too large to keep in the repository, made once per run in a folder
// that the environment below removes when the run ends.
fs::path Scratch() {
    static const fs::path folder = [] {
        fs::create_directories(Scratch_path());
        return Scratch_path();
    }();
    return folder;
}

class tRemove_scratch : public testing::Environment {
public:
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(Scratch_path(), ignored);
    }
};

[[maybe_unused]] testing::Environment* const Scratch_cleaner =
    testing::AddGlobalTestEnvironment(new tRemove_scratch);

fs::path Generated(const std::string& name) {
    const fs::path path = Scratch() / name.substr(1);
    if (fs::exists(path)) return path;
    const std::string worked = Contents(Hostile / ".." / "worked_example.txt");
    const std::string rest = worked.substr(worked.find('\n') + 1);
    constexpr std::size_t Ten_mb = 10u << 20;
    std::string text;
    if (name == "@long_line_10mb") {
        // The worked example's first row followed by 10 MB of numbers that are not needed.
        text = "68 29";
        while (text.size() < Ten_mb)
            text += " 12.5";
    } else if (name == "@long_number_10mb") {
        text = "68 " + std::string(Ten_mb, '1');
    } else {
        ADD_FAILURE() << "no generator for " << name;
    }
    std::ofstream(path, std::ios::binary) << text << "\n" << rest;
    return path;
}

struct tRun {
    int Status = -1;
    bool Timed_out = false;
    double Seconds = 0;
    std::string Out, Err;
};

tRun Run_cli(const std::vector<std::string>& arguments) {
    const fs::path out = Scratch() / "out", err = Scratch() / "err";
    std::vector<char*> argv;
    std::vector<std::string> storage = arguments;
    storage.insert(storage.begin(), PAVONA_CLI);
    for (std::string& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || o < 0 || e < 0) ::_exit(127);
        ::dup2(in, 0);
        ::dup2(o, 1);
        ::dup2(e, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    tRun run;
    int status = 0;
    for (;;) {
        if (::waitpid(child, &status, WNOHANG) == child) break;
        if (std::chrono::steady_clock::now() - start > Time_limit) {
            run.Timed_out = true;
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = Contents(out);
    run.Err = Contents(err);
    return run;
}

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const tCase& c, std::ostream* out) {
    *out << c.File << " (k " << c.K << ", n " << c.N << ", " << c.Limits << ")";
}

class HostileFile : public testing::TestWithParam<tCase> {};

TEST_P(HostileFile, GivesTheExpectedAnswerWithinFiveSeconds) {
    const tCase& c = GetParam();
    ASSERT_FALSE(c.File.empty()) << "malformed manifest line";
    fs::path input = c.File;
    if (c.File[0] == '@')
        input = Generated(c.File);
    else if (c.File[0] != '/')
        input = Hostile / c.File;

    const tRun run =
        Run_cli({"--predictors", c.K, "--controls", c.N, "--limits", c.Limits, input.string()});
    std::printf("%s: %.3f s\n", c.File.c_str(), run.Seconds);
    RecordProperty("seconds", std::to_string(run.Seconds));
    ASSERT_FALSE(run.Timed_out) << c.File << " was still running after 5 seconds";
    EXPECT_EQ(run.Status, c.Status);
    EXPECT_FALSE(Holds_inf_or_nan(run.Out)) << run.Out;
    if (c.Report) {
        // At most the notice of what was not read; its wording is the readers' to pin.
        const bool notice = run.Err.find(" not read.") != std::string::npos &&
                            run.Err.find('\n') == run.Err.size() - 1;
        EXPECT_TRUE(run.Err.empty() || notice) << run.Err;
        EXPECT_EQ(run.Out, Contents(Hostile / c.Expected));
    } else {
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, c.Expected + "\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Manifest, HostileFile, testing::ValuesIn(Read_manifest()),
                         [](const testing::TestParamInfo<tCase>& info) { return info.param.Name; });

TEST(HostileManifest, ListsEveryCommittedDataFile) {
    std::vector<std::string> listed;
    for (const tCase& c : Read_manifest())
        listed.push_back(c.File);
    for (const auto& entry : fs::directory_iterator(Hostile)) {
        const std::string name = entry.path().filename().string();
        if (name == "cases.txt" || entry.path().extension() == ".expected") continue;
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end())
            << name << " has no line in cases.txt";
    }
}

// Shifting every score by 1e15 or scaling it by 1e15 or 1e-15 changes nothing
// that has no unit: t, p, the percentages and Z-OP with their limits.
double Json_field(const std::string& json, const std::string& name) {
    const auto at = json.find("\"" + name + "\": ");
    if (at == std::string::npos) return std::nan("");
    return std::strtod(json.c_str() + at + name.size() + 4, nullptr);
}

TEST(HostileScale, ShiftedAndScaledSamplesGiveTheSameTestsAndPercentages) {
    const auto json = [](const std::string& file) {
        const tRun run =
            Run_cli({"--predictors", "3", "--controls", "30", "--json", (Hostile / file).string()});
        EXPECT_EQ(run.Status, 0) << file << ": " << run.Err;
        return run.Out;
    };
    const std::string base = json("three_predictors.txt");
    const std::vector<std::string> unitless = {
        "T_value",   "P_one_tailed", "P_two_tailed", "Pct_more_extreme", "Pct_lower",
        "Pct_upper", "ZOP",          "ZOP_lower",    "ZOP_upper",        "R_squared"};
    // Scaling by a power of ten changes only the rounding of the inputs; a
    // shift by 1e15 leaves about 4 decimal places of each score to work with.
    for (const auto& [file, tolerance] : {std::pair<std::string, double>{"scaled_1e15.txt", 1e-9},
                                          {"scaled_1e-15.txt", 1e-9},
                                          {"offset_1e15.txt", 1e-4}}) {
        const std::string other = json(file);
        for (const std::string& field : unitless) {
            const double expected = Json_field(base, field);
            ASSERT_TRUE(std::isfinite(expected)) << field;
            EXPECT_NEAR(Json_field(other, field), expected, tolerance * std::fabs(expected))
                << file << " " << field;
        }
    }
}

} // namespace
