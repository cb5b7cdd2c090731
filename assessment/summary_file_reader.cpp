#include "assessment/summary_file_reader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "assessment/analysis.h"
#include "assessment/input_validation.h"
#include "distributions/text_format.h"

namespace {

// What line `line` of the summary must hold, for the messages.
std::string Line_contents(long long line, int k) {
    const int nvars = k + 1;
    if (line == 1) return "the sample size n";
    if (line == 2) return Format_text("the %d means, the criterion's first", nvars);
    if (line == 3) return Format_text("the %d standard deviations, the criterion's first", nvars);
    return Format_text("row %lld of the correlation matrix (%d correlations)", line - 3, nvars);
}

std::string Entry_name(int variable) {
    return Variable_label(variable);
}

} // namespace

tSummary_reader::tSummary_reader(std::string_view bytes, int k) {
    Start(tLine_reader(bytes), k);
}

tSummary_reader::tSummary_reader(std::FILE* stream, int k) {
    Start(tLine_reader(stream), k);
}

tSummary_reader::tSummary_reader(const std::string& path, int k) {
    owned_ = Open_data_file(path);
    try {
        Start(tLine_reader(owned_), k);
    } catch (...) {
        std::fclose(owned_);
        throw;
    }
}

// The head, then the case rows from the lines after it.
void tSummary_reader::Start(tLine_reader lines, int k) {
    summary_.K = k;
    lines.Limit_text(Max_data_file_bytes);
    try {
        Read(lines);
    } catch (const tLimit_passed& passed) {
        throw EData_file_error(Format_text("Line %lld of the summary file is longer than %d MB: "
                                           "it is not a file of numbers.",
                                           passed.Line,
                                           static_cast<int>(Max_data_file_bytes >> 20)));
    }
    cases_ = std::make_unique<tCase_series_reader>(std::move(lines), k + 1);
}

tUnread tSummary_reader::Unread() const {
    tUnread unread = cases_->Unread();
    unread.Most_numbers = std::max(unread.Most_numbers, most_numbers_);
    return unread;
}

tSummary_reader::~tSummary_reader() {
    cases_.reset();
    if (owned_) std::fclose(owned_);
}

void tSummary_reader::Read(tLine_reader& lines) {
    const int k = summary_.K;
    const int nvars = k + 1;
    if (k < 1 || k > Max_predictors) throw std::invalid_argument("Summary reader: k outside 1..5");

    // The numbers of line `number`, at least `needed` of them.
    std::string text;
    const auto read_line = [&](long long number, int needed) {
        if (!lines.Next(text))
            throw EData_file_error(Format_text("The summary file ends before line %lld, which must "
                                               "hold %s.",
                                               number, Line_contents(number, k).c_str()));
        std::vector<Extended> values;
        const int tokens = For_each_word(text, needed, [&](std::string_view word, bool alone) {
            values.push_back(Read_data_number(word, number, alone));
        });
        // Line 1 holds one number, the others a variable's each.
        if (number > 1) most_numbers_ = std::max(most_numbers_, tokens);
        if (static_cast<int>(values.size()) < needed)
            throw EData_file_error(Format_text(
                "Line %lld of the summary file holds %d number(s), but %d are needed: %s.", number,
                static_cast<int>(values.size()), needed, Line_contents(number, k).c_str()));
        return values;
    };

    const Extended n = read_line(1, 1)[0];
    if (n != std::floor(n) || n < k + 2 || n > Max_summary_sample_size)
        throw EData_file_error(Format_text("Line 1 of the summary file: the sample size n must be "
                                           "a whole number from k + 2 = %d to %lld, not %s.",
                                           k + 2, Max_summary_sample_size,
                                           Format_text("%.10Lg", n).c_str()));
    summary_.N = static_cast<int>(n);

    const std::vector<Extended> means = read_line(2, nvars);
    const std::vector<Extended> sds = read_line(3, nvars);
    for (int i = 1; i <= nvars; ++i) {
        summary_.Means[i] = means[i - 1];
        summary_.SDs[i] = sds[i - 1];
        if (!(sds[i - 1] > 0))
            throw EData_file_error(Format_text("Line 3 of the summary file, entry %d: the "
                                               "standard deviation of %s must be greater than 0.",
                                               i, Entry_name(i).c_str()));
    }

    for (int i = 1; i <= nvars; ++i) {
        const std::vector<Extended> row = read_line(3 + i, nvars);
        for (int j = 1; j <= nvars; ++j) {
            const Extended r = row[j - 1];
            if (i == j && std::fabs(r - 1) > Correlation_tolerance)
                throw EData_file_error(Format_text("Line %d of the summary file, entry %d: the "
                                                   "correlation of %s with itself must be 1.",
                                                   3 + i, j, Entry_name(i).c_str()));
            if (i != j && (r < -1 || r > 1))
                throw EData_file_error(Format_text(
                    "Line %d of the summary file, entry %d: the correlation of %s with %s must "
                    "lie between -1 and 1.",
                    3 + i, j, Entry_name(i).c_str(), Entry_name(j).c_str()));
            summary_.Corr(i, j) = i == j ? 1 : r;
        }
    }
    // Published matrices are rounded: entries that agree to the tolerance are
    // one correlation, taken as their mean.
    for (int i = 1; i <= nvars; ++i)
        for (int j = i + 1; j <= nvars; ++j) {
            const Extended upper = summary_.Corr(i, j);
            const Extended lower = summary_.Corr(j, i);
            if (std::fabs(upper - lower) > Correlation_tolerance)
                throw EData_file_error(Format_text(
                    "Lines %d and %d of the summary file: the correlation of %s with %s is %s in "
                    "one and %s in the other, but the matrix must be symmetric.",
                    3 + i, 3 + j, Entry_name(i).c_str(), Entry_name(j).c_str(),
                    Format_text("%.10Lg", upper).c_str(), Format_text("%.10Lg", lower).c_str()));
            summary_.Corr(i, j) = summary_.Corr(j, i) = (upper + lower) / 2;
        }
}
