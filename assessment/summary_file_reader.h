#pragma once

// Reads a summary file: a control sample as test manuals and papers publish
// it, then the case rows.
//
//   line 1          the sample size n (a whole number, k + 2 to 1,000,000)
//   line 2          the k + 1 means, the criterion first
//   line 3          the k + 1 standard deviations (n - 1 denominator)
//   lines 4..k + 4  the k + 1 rows of the correlation matrix
//   then            the case rows: k + 1 scores each, the criterion first
//
// Numbers, line ends, the byte-order mark and Ctrl-Z follow the data file's
// rules, and numbers after the k + 1st on a line are ignored. Each refusal
// names its line and entry.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "assessment/data_file_reader.h"
#include "matrix/matrix_types.h"

inline constexpr long long Max_summary_sample_size = 1000000;

// The line of the first case row: after n, the means, the SDs and the k + 1
// rows of the correlation matrix.
inline constexpr int Summary_first_case_line(int k) {
    return k + 5;
}

// Entries of the correlation matrix this close are taken as equal (and
// replaced by their mean); a diagonal entry this close to 1 as 1.
inline constexpr Extended Correlation_tolerance = 1e-6L;

struct tSummary_statistics {
    int K = 0;
    int N = 0;
    tVector Means;
    tVector SDs;
    tMatrix Corr; // symmetric, with a diagonal of 1
};

class tSummary_reader {
public:
    // Reads the statistics of a control sample with k predictors from the
    // bytes of a file (pass a std::string_view: a std::string names a file). Raises
    // EData_file_error for a line or entry that is missing, not a number or
    // out of its range.
    tSummary_reader(std::string_view bytes, int k);
    tSummary_reader(std::FILE* stream, int k);
    // Opens the file, with the opening failures of Read_data_file.
    tSummary_reader(const std::string& path, int k);
    ~tSummary_reader();
    tSummary_reader(const tSummary_reader&) = delete;
    tSummary_reader& operator=(const tSummary_reader&) = delete;

    const tSummary_statistics& Summary() const { return summary_; }
    // The case rows after the matrix, read one at a time as a series of cases
    // is, with their line numbers in the file.
    tCase_series_reader& Cases() { return *cases_; }
    // What was not read: numbers after the k + 1st on a line of the matrix or
    // of a case row read, and the case reader's count of lines.
    tUnread Unread() const;

private:
    void Start(tLine_reader lines, int k);
    void Read(tLine_reader& lines);

    tSummary_statistics summary_;
    int most_numbers_ = 0; // on the lines of the statistics
    std::FILE* owned_ = nullptr;
    std::unique_ptr<tCase_series_reader> cases_;
};
