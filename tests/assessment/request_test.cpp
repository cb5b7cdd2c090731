#include "assessment/request.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/files.h"

namespace {

const std::string Data = PAVONA_TEST_DATA;

tRequest Raw(const std::string& k, const std::string& n) {
    tRequest request;
    request.Predictors = k;
    request.Sample_size = n;
    return request;
}

tData_source Text_of(const std::string& file) {
    return tData_source::In_memory(file, test_files::Contents(Data + "/" + file));
}

} // namespace

TEST(EntryChecks, OnlyTheFirstFailingStepSpeaksWithItsFieldAndKind) {
    const struct {
        const char* K;
        const char* N;
        tEntry_field Failed;
        tMessage_kind Kind;
        std::string Message_start; // the whole message for the two limits
    } cases[] = {
        {"7", "abc", tEntry_field::Predictors, tMessage_kind::Warning, "INPUT ERROR\r(  Number"},
        {"2", "", tEntry_field::Sample_size, tMessage_kind::Warning, "INPUT ERROR\r\r(  Sample"},
        {"3", "4", tEntry_field::Predictors, tMessage_kind::Error,
         " With a normative/control sample size of  4, the maximum number of predictor variables "
         "is  2 "},
        // k >= n - 1 is found before n > 499 could be.
        {"5", "6", tEntry_field::Predictors, tMessage_kind::Error,
         " With a normative/control sample size of  6, the maximum number of predictor variables "
         "is  4 "},
        {"1", "500", tEntry_field::Sample_size, tMessage_kind::Error,
         " The n entered exceeds the maximum size (n=499) for the control or normative sample."},
    };
    for (const auto& c : cases) {
        const tEntry_check check = Check_entries(c.K, c.N);
        EXPECT_EQ(check.Failed, c.Failed) << c.K << " " << c.N;
        EXPECT_EQ(check.Kind, c.Kind) << c.K << " " << c.N;
        EXPECT_EQ(check.Message.rfind(c.Message_start, 0), 0u) << check.Message;
    }
    const tEntry_check passed = Check_entries("5", "499");
    EXPECT_TRUE(passed.Passed());
    EXPECT_EQ(passed.K, 5);
    EXPECT_EQ(passed.N, 499);
    EXPECT_EQ(passed.Message, "");
}

TEST(RequestSequence, TheDataIsChosenOnlyAfterTheEntriesPass) {
    int chosen = 0;
    tRequest_hooks hooks;
    hooks.Choose_data = [&]() -> std::optional<tData_source> {
        ++chosen;
        return std::nullopt;
    };
    const tOutcome refused = Run_request(Raw("1", "2"), hooks);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(refused.Field, tEntry_field::Sample_size);

    const tOutcome cancelled = Run_request(Raw("1", "10"), hooks);
    EXPECT_EQ(chosen, 1);
    EXPECT_FALSE(cancelled.Done);
    EXPECT_FALSE(cancelled.Failure);
    EXPECT_EQ(cancelled.Kind, tMessage_kind::Information);
    EXPECT_EQ(cancelled.Message, Load_cancelled_message);
}

TEST(RequestSequence, RefusalsOfTheDataAndOfTheAnalysisComeBackWithTheirKind) {
    const struct {
        const char* File;
        const char* N;
        tEntry_field Field;
        bool Failure;
        std::string Message_start;
    } cases[] = {
        // The matrix points at the predictors; the rest are failures.
        {"collinear.txt", "6", tEntry_field::Predictors, false, Not_positive_definite_message},
        {"zero_variance.txt", "5", tEntry_field::None, true, "Analysis cannot proceed as every"},
        {"short_row.txt", "10", tEntry_field::None, true, "Line "},
        {"no_such_file.txt", "10", tEntry_field::None, true, "File not found"},
    };
    for (const auto& c : cases) {
        tRequest request = Raw(c.File == std::string("collinear.txt") ? "2" : "1", c.N);
        const tOutcome outcome = Run_request(request, tData_source::File(Data + "/" + c.File));
        EXPECT_FALSE(outcome.Done) << c.File;
        EXPECT_EQ(outcome.Field, c.Field) << c.File;
        EXPECT_EQ(outcome.Failure, c.Failure) << c.File;
        EXPECT_EQ(outcome.Kind, tMessage_kind::Error) << c.File;
        EXPECT_EQ(outcome.Message.rfind(c.Message_start, 0), 0u) << outcome.Message;
        EXPECT_FALSE(outcome.Analysis) << c.File;
    }
}

TEST(RequestSequence, TextInMemoryGivesTheSameReportAsTheFile) {
    tRequest request = Raw("1", "10");
    request.Notes = {"note"};
    std::vector<std::string> loaded;
    tRequest_hooks hooks;
    hooks.Choose_data = [] { return std::optional<tData_source>(Text_of("worked_example.txt")); };
    hooks.Loaded = [&](const std::string& message) { loaded.push_back(message); };
    const tOutcome in_memory = Run_request(request, hooks);
    const tOutcome from_file =
        Run_request(request, tData_source::File(Data + "/worked_example.txt"));
    ASSERT_TRUE(in_memory.Done) << in_memory.Message;
    EXPECT_EQ(in_memory.Report, from_file.Report);
    EXPECT_EQ(loaded, std::vector<std::string>{in_memory.Load_message});
    EXPECT_EQ(in_memory.Load_message.rfind("Data file consisting of n + 1 = 11 cases", 0), 0u);
    ASSERT_TRUE(in_memory.Plot);
    EXPECT_EQ(in_memory.Plot->Controls.size(), 10u);

    // A later report starts with the separator line the first one lacks.
    request.After_earlier_report = true;
    const tOutcome later = Run_request(request, Text_of("worked_example.txt"));
    EXPECT_EQ(later.Report.size(), in_memory.Report.size() + 1);
}

// A front end that draws no plot gets the same report without one.
// Neither leaving out the plot nor handing the report to a sink line by line
// changes a line of it; a sink leaves the outcome's Report empty.
TEST(RequestSequence, TheReportIsTheSameWithoutAPlotAndLineByLineThroughASink) {
    for (const bool summary : {false, true}) {
        tRequest request = Raw("1", "10");
        request.Summary = summary;
        request.Notes = {"first note", "second"};
        request.After_earlier_report = summary; // the separator line goes to the sink too
        const tData_source source =
            Text_of(summary ? "worked_example_summary.txt" : "worked_example.txt");
        const tOutcome with_plot = Run_request(request, source);
        request.Plot = false;
        std::vector<std::string> handed;
        tRequest_hooks hooks;
        hooks.Choose_data = [&source] { return std::optional<tData_source>(source); };
        hooks.Report_line = Appending_to(handed);
        const tOutcome streamed = Run_request(request, hooks);
        ASSERT_TRUE(streamed.Done) << streamed.Message;
        EXPECT_TRUE(with_plot.Plot) << summary;
        EXPECT_FALSE(streamed.Plot) << summary;
        EXPECT_TRUE(streamed.Report.empty()) << summary;
        EXPECT_EQ(handed, with_plot.Report) << summary;
    }
}

TEST(RequestSequence, ASummaryFileNeedsOnlyKAndGivesTheTChartAlone) {
    tRequest request = Raw("1", "not read");
    request.Summary = true;
    const tOutcome outcome = Run_request(request, Text_of("worked_example_summary.txt"));
    ASSERT_TRUE(outcome.Done) << outcome.Message;
    EXPECT_EQ(outcome.Analysis->N, 10);
    EXPECT_EQ(outcome.Load_message, "");
    ASSERT_TRUE(outcome.Plot);
    EXPECT_FALSE(outcome.Plot->Has_scores);
    // The tail is the figure the report prints.
    std::string report;
    for (const std::string& line : outcome.Report)
        report += line + "\n";
    EXPECT_NE(report.find("more extreme than the case = " + outcome.Plot->Tail_area),
              std::string::npos);
    const tOutcome raw = Run_request(Raw("1", "10"), Text_of("worked_example.txt"));
    EXPECT_NEAR(outcome.Analysis->Predicted, raw.Analysis->Predicted, 1e-12);
    EXPECT_EQ(outcome.Unread.Lines, 0);

    // Case rows after the first are counted as not read, as after raw data.
    const tOutcome more = Run_request(
        request,
        tData_source::In_memory("s", test_files::Contents(Data + "/worked_example_summary.txt") +
                                         "41 31\n42 32\n"));
    ASSERT_TRUE(more.Done) << more.Message;
    EXPECT_EQ(more.Unread.Lines, 2);
    EXPECT_EQ(more.Unread.Last_line, 6);

    // Without the case row: the line it was wanted on.
    const tOutcome no_case =
        Run_request(request, tData_source::In_memory("s", "10\n50 20\n10 5\n1 0.5\n0.5 1\n"));
    EXPECT_EQ(no_case.Message, "The summary file ends before line 6, which must hold the case's "
                               "2 scores, the criterion first.");
}

TEST(RequestSequence, ASeriesFromTextInMemoryWritesItsCsvAndRefusalsToTheStreams) {
    std::FILE* out = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    ASSERT_TRUE(out && errors);
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    const tData_source source = tData_source::In_memory(
        "cases", test_files::Contents(Data + "/worked_example.txt") + "41 31\nword 2\n");
    EXPECT_EQ(Run_series_request(Raw("1", "10"), source, settings, out, errors), 1);
    EXPECT_EQ(Run_series_request(Raw("1", "2"), source, settings, out, errors), 1);
    // A series names only the columns it passed over: the rows after the
    // cases asked for are not asked for, not unread.
    settings.Cases = 1;
    const tData_source wide = tData_source::In_memory(
        "wide", "68 29 5\n" + test_files::Contents(Data + "/worked_example.txt") + "41 31\n");
    EXPECT_EQ(Run_series_request(Raw("1", "10"), wide, settings, out, errors), 0);
    const auto text = [](std::FILE* file) {
        std::string all(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        all.resize(std::fread(all.data(), 1, all.size(), file));
        return all;
    };
    const std::string csv = text(out);
    const std::string messages = text(errors);
    std::fclose(out);
    std::fclose(errors);
    EXPECT_EQ(csv.rfind(Csv_header, 0), 0u);
    EXPECT_NE(csv.find("\n3,,"), std::string::npos) << csv; // the refused third case
    EXPECT_NE(messages.find("Case 3: Invalid numeric input 'word' on line 13."), std::string::npos)
        << messages;
    EXPECT_NE(messages.find("Column 3 was not read.\n"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("line(s) after"), std::string::npos) << messages;
    // The entry check's warning, its CRs shown as line breaks.
    EXPECT_NE(messages.find("INPUT ERROR\n("), std::string::npos) << messages;
}
