// The pieces of a series run: CSV fields, the progress line and one case's
// output, without running the tool.

#include "assessment/case_series.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "platform/system_error_message.h"

namespace {

// The worked example's controls: criterion mean 50, SD 10; predictor mean 20,
// SD 5; correlation 0.5.
tControl_analysis Worked_controls(tLimits limits) {
    auto data = std::make_unique<tData_matrix>();
    Read_data_bytes(
        "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n49 16.5\n41 16.5\n45 16\n", 10, 2,
        *data);
    return Analyse_controls(std::move(data), 1, 10, limits);
}

tCase_row Row(Extended y, Extended x) {
    tCase_row row;
    row.Line = 11;
    row.Scores[1] = y;
    row.Scores[2] = x;
    return row;
}

} // namespace

TEST(CaseSeries, CsvFieldsAreQuotedOnlyWhenTheyNeedIt) {
    EXPECT_EQ(Csv_field(""), "");
    EXPECT_EQ(Csv_field("Line 4: too extreme (check it)"), "Line 4: too extreme (check it)");
    EXPECT_EQ(Csv_field("a, b"), "\"a, b\"");
    EXPECT_EQ(Csv_field("say \"x\""), "\"say \"\"x\"\"\"");
    EXPECT_EQ(Csv_field("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(Csv_field("cr\r"), "\"cr\r\"");
}

TEST(CaseSeries, ProgressGivesTheRateAndTheTimeLeftOnlyWhenTheTotalIsKnown) {
    EXPECT_EQ(Progress_text(1200, 0, 25), "1200 case(s) done, 48.0 a second");
    EXPECT_EQ(Progress_text(1200, 7200, 25),
              "1200 case(s) done, 48.0 a second, about 2 min 05 s left");
    EXPECT_EQ(Progress_text(10, 100000, 2), "10 case(s) done, 5.0 a second, about 5 h 33 min left");
    EXPECT_EQ(Progress_text(7200, 7200, 25), "7200 case(s) done, 288.0 a second");
    EXPECT_EQ(Progress_text(0, 50, 1.5), "0 case(s) done, 0.0 a second");
}

TEST(CaseSeries, OneSidedCsvLinesLeaveTheLimitNotShownEmpty) {
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    const std::string lower =
        Run_case(Worked_controls(tLimits::Lower), 1, Row(40, 30), settings).Text;
    const std::string upper =
        Run_case(Worked_controls(tLimits::Upper), 1, Row(40, 30), settings).Text;
    // ...,pct_more_extreme,pct_lower,pct_upper,zop,zop_lower,zop_upper,error
    EXPECT_NE(lower.find(",5.66670111201844628468,0.01449845"), std::string::npos) << lower;
    EXPECT_NE(lower.find(",,-2.30940107675850305781,-3.62"), std::string::npos) << lower;
    EXPECT_EQ(lower.substr(lower.size() - 3), ",,\n") << lower;
    EXPECT_NE(upper.find(",5.66670111201844628468,,26.58"), std::string::npos) << upper;
    EXPECT_NE(upper.find(",-2.30940107675850305781,,-0.62"), std::string::npos) << upper;
    EXPECT_EQ(upper.substr(upper.size() - 2), ",\n") << upper;
}

TEST(CaseSeries, ARefusedCaseKeepsItsPlaceInEveryFormat) {
    const tControl_analysis controls = Worked_controls(tLimits::Two_sided);
    tCase_row row = Row(100000000, 20);
    row.Line = 14;
    const std::string message =
        "Line 14: The case's discrepancy is too extreme: the confidence limits cannot be "
        "computed (check the case's scores for entry errors)";
    tSeries_settings settings;
    tCase_outcome outcome = Run_case(controls, 3, row, settings);
    EXPECT_EQ(outcome.Error, message);
    EXPECT_EQ(outcome.Text,
              std::string(102, '_') + "\n\n Case 3 was not analysed: " + message + "\n\n");
    // The first report of a series has no separator above it, refused or not.
    EXPECT_EQ(Run_case(controls, 1, row, settings).Text,
              "\n Case 1 was not analysed: " + message + "\n\n");
    settings.Format = tSeries_format::Csv;
    EXPECT_EQ(Run_case(controls, 3, row, settings).Text, "3,,,,,,,,,,,,,,," + message + "\n");
    // A row the reader refused: its message gets the window's full stop.
    row.Error = "Invalid numeric input 'x' on line 14";
    outcome = Run_case(controls, 1, row, settings);
    EXPECT_EQ(outcome.Error, "Invalid numeric input 'x' on line 14.");
    EXPECT_EQ(outcome.Text, "1,,,,,,,,,,,,,,,Invalid numeric input 'x' on line 14.\n");
}

TEST(CaseSeries, AFailedWriteEndsTheSeriesWithItsMessageWhateverTheJobs) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    std::string bytes =
        "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n49 16.5\n41 16.5\n45 16\n";
    for (int i = 0; i < 3000; ++i)
        bytes += "40 30\n";
    for (const int jobs : {1, 4}) {
        SCOPED_TRACE(jobs);
        auto data = std::make_unique<tData_matrix>();
        tCase_series_reader reader(std::string_view(bytes), 10, 2, *data);
        const tControl_analysis controls =
            Analyse_controls(std::move(data), 1, 10, tLimits::Two_sided);
        tSeries_settings settings;
        settings.Format = tSeries_format::Csv;
        settings.Jobs = jobs;
        std::FILE* out = std::fopen("/dev/full", "wb");
        std::FILE* errors = std::tmpfile();
        ASSERT_TRUE(out && errors);
        EXPECT_EQ(Run_case_series(controls, reader, settings, out, errors), 1);
        std::string messages(static_cast<std::size_t>(std::ftell(errors)), '\0');
        std::rewind(errors);
        messages.resize(std::fread(messages.data(), 1, messages.size(), errors));
        EXPECT_EQ(messages, "Disk full\n");
        std::fclose(out);
        std::fclose(errors);
    }
}

namespace {

// A stream that takes `room` bytes and then fails as a file at its size
// limit does (EFBIG); what it took goes to `taken`.
struct tLimited_sink {
    std::size_t room;
    std::string taken;
};

std::FILE* Limited_stream(tLimited_sink& sink) {
    cookie_io_functions_t functions{};
    functions.write = [](void* cookie, const char* bytes, std::size_t size) -> ssize_t {
        auto& sink = *static_cast<tLimited_sink*>(cookie);
        const std::size_t part = std::min(size, sink.room - sink.taken.size());
        sink.taken.append(bytes, part);
        // stdio may stop at the short count; a cookie reports a failure as 0 bytes
        // (-1 would be taken as a count).
        if (part < size) errno = EFBIG;
        return static_cast<ssize_t>(part);
    };
    return ::fopencookie(&sink, "w", functions);
}

} // namespace

TEST(CaseSeries, OutputCutShortAtItsLastBytesIsAFailure) {
    const std::string bytes =
        "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n49 16.5\n41 16.5\n45 16\n40 30\n";
    const auto run = [&](tLimited_sink& sink, std::string& messages) {
        auto data = std::make_unique<tData_matrix>();
        tCase_series_reader reader(std::string_view(bytes), 10, 2, *data);
        const tControl_analysis controls =
            Analyse_controls(std::move(data), 1, 10, tLimits::Two_sided);
        tSeries_settings settings;
        settings.Format = tSeries_format::Json;
        std::FILE* out = Limited_stream(sink);
        std::FILE* errors = std::tmpfile();
        const int status = Run_case_series(controls, reader, settings, out, errors);
        messages.resize(static_cast<std::size_t>(std::ftell(errors)));
        std::rewind(errors);
        messages.resize(std::fread(messages.data(), 1, messages.size(), errors));
        std::fclose(errors);
        std::fclose(out);
        return status;
    };
    tLimited_sink room_enough{1 << 20, {}};
    std::string messages;
    ASSERT_EQ(run(room_enough, messages), 0) << messages;
    // The JSON's closing bytes are the last written: only the final check sees them fail.
    tLimited_sink one_byte_short{room_enough.taken.size() - 1, {}};
    EXPECT_EQ(run(one_byte_short, messages), 1);
    EXPECT_EQ(one_byte_short.taken, room_enough.taken.substr(0, one_byte_short.room));
    EXPECT_EQ(messages, System_error_message(EFBIG) + "\n");
}

TEST(CaseSeries, ACaseFedIntoAnOpenPipeComesOutBeforeThePipeCloses) {
    int input[2];
    int output[2];
    ASSERT_EQ(::pipe(input), 0);
    ASSERT_EQ(::pipe(output), 0);
    const std::string controls =
        "68 29\n44 29\n68 21.5\n45 19\n52 18\n46 17.5\n42 17\n49 16.5\n41 16.5\n45 16\n";
    const std::string first_case = "40 30\n";
    ASSERT_EQ(::write(input[1], controls.data(), controls.size()),
              static_cast<ssize_t>(controls.size()));
    ASSERT_EQ(::write(input[1], first_case.data(), first_case.size()),
              static_cast<ssize_t>(first_case.size()));

    int status = -1;
    std::thread series([&] {
        std::FILE* in = ::fdopen(input[0], "rb");
        std::FILE* out = ::fdopen(output[1], "wb");
        std::FILE* errors = std::tmpfile();
        {
            auto data = std::make_unique<tData_matrix>();
            tCase_series_reader reader(in, 10, 2, *data);
            const tControl_analysis analysis =
                Analyse_controls(std::move(data), 1, 10, tLimits::Two_sided);
            tSeries_settings settings;
            settings.Format = tSeries_format::Csv;
            settings.Jobs = 2;
            status = Run_case_series(analysis, reader, settings, out, errors);
        }
        std::fclose(in);
        std::fclose(out);
        std::fclose(errors);
    });

    // The header and the first case's line, while the input is still open. The
    // wait is only a guard against hanging the suite when they never come.
    std::string seen;
    while (seen.find("\n1,") == std::string::npos || seen.back() != '\n') {
        pollfd ready{output[0], POLLIN, 0};
        if (::poll(&ready, 1, 20000) != 1) break;
        char buffer[4096];
        const ssize_t got = ::read(output[0], buffer, sizeof buffer);
        if (got <= 0) break;
        seen.append(buffer, static_cast<std::size_t>(got));
    }
    EXPECT_EQ(seen.rfind(Csv_header, 0), 0u) << seen;
    EXPECT_NE(seen.find("\n1,40,"), std::string::npos) << seen;

    ::close(input[1]);
    series.join();
    ::close(output[0]);
    EXPECT_EQ(status, 0);
}
