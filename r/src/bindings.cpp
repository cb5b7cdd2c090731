// R's way into the calculator: the arguments and the data go through the
// request sequence the window, pavona-cli and the page run, and what comes
// back is plain R data (the figures, the report's lines, the series' table),
// or a refusal with the message pavona-cli would print. The R functions turn
// a refusal into a condition; nothing here calls back into R while the core
// runs.

#include <Rcpp.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "assessment/case_series.h"
#include "assessment/json_report.h"
#include "assessment/notes.h"
#include "assessment/reading_advice.h"
#include "assessment/request.h"
#include "platform/console_platform.h"

namespace {

// What a FILE* receives, in memory: the series and the console's boxes write
// to streams.
class tCaptured {
public:
    tCaptured() : file_(open_memstream(&text_, &size_)) {
        if (!file_) Rcpp::stop("pavona: cannot open a stream in memory");
    }
    ~tCaptured() {
        if (file_) std::fclose(file_);
        std::free(text_);
    }
    tCaptured(const tCaptured&) = delete;
    tCaptured& operator=(const tCaptured&) = delete;

    std::FILE* File() { return file_; }
    std::string Text() {
        std::fflush(file_);
        return std::string(text_, size_);
    }

private:
    char* text_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

std::string Without_line_end(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

// A message as pavona-cli's console shows it on standard error.
std::string Console_text(const std::string& message) {
    tCaptured captured;
    tConsole_platform(captured.File()).Message_box(message, tMessage_kind::Error, Ok_button);
    return Without_line_end(captured.Text());
}

Rcpp::String Utf8(const std::string& text) {
    return Rcpp::String(text, CE_UTF8);
}

Rcpp::CharacterVector Texts(const std::vector<std::string>& texts) {
    Rcpp::CharacterVector vector(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        vector[i] = Utf8(texts[i]);
    return vector;
}

// R's double nearest the extended figure; NA for a figure that is not finite
// (pavona-cli's null).
double Real(Extended value) {
    return std::isfinite(value) ? static_cast<double>(value) : NA_REAL;
}

Rcpp::NumericVector Reals(const tVector& v, int count) {
    Rcpp::NumericVector vector(count);
    for (int i = 1; i <= count; ++i)
        vector[i - 1] = Real(v[i]);
    return vector;
}

Rcpp::List Refusal(const std::string& message) {
    return Rcpp::List::create(Rcpp::Named("ok") = false,
                              Rcpp::Named("message") = Utf8(Console_text(message)));
}

tLimits Limits_of(const std::string& name) {
    const std::optional<tLimits> limits = Limits_named(name);
    if (!limits) Rcpp::stop("pavona: unknown limits '" + name + "'");
    return *limits;
}

std::vector<std::string> Notes_of(const Rcpp::CharacterVector& notes) {
    std::string text;
    for (R_xlen_t i = 0; i < notes.size(); ++i)
        text += (i > 0 ? "\n" : "") + std::string(Rcpp::as<std::string>(notes[i]));
    return Notes_lines(text);
}

// The figures of pavona-cli's JSON under its names, the report and the
// warnings; and the JSON text itself, every figure to its 21 digits.
Rcpp::List Figures(const tOutcome& outcome, const std::vector<std::string>& notes,
                   const std::string& data_file_name, const Rcpp::RObject& data_file) {
    const tAnalysis& a = *outcome.Analysis;
    const tRegression_results& reg = a.Regression;
    const tCase_results& r = a.Results;
    Rcpp::NumericMatrix corr(a.NVars, a.NVars);
    for (int i = 1; i <= a.NVars; ++i)
        for (int j = 1; j <= a.NVars; ++j)
            corr(i - 1, j - 1) = Real(a.Corr(i, j));

    // Each value is held (and so kept from R's garbage collector) as soon as
    // it is made.
    std::vector<std::pair<std::string, Rcpp::RObject>> fields;
    const auto add = [&](const char* name, Rcpp::RObject value) {
        fields.emplace_back(name, std::move(value));
    };
    add("data_file", data_file);
    add("notes", Texts(notes));
    add("k", Rcpp::wrap(a.K));
    add("n", Rcpp::wrap(a.N));
    add("limits", Rcpp::wrap(std::string(Limit_name(a.Limits))));
    add("means", Reals(a.Means, a.NVars));
    add("SDs", Reals(a.SDs, a.NVars));
    add("corr", corr);
    add("case_scores", Reals(a.Case_scores, a.NVars));
    add("Beta", Reals(reg.Beta, a.K));
    add("Coef", Reals(reg.Coef, a.K));
    add("Intercept", Rcpp::wrap(Real(reg.Intercept)));
    add("Mult_R", Rcpp::wrap(Real(reg.Mult_R)));
    add("R_squared", Rcpp::wrap(Real(reg.R_squared)));
    add("Adj_R_squared", Rcpp::wrap(Real(reg.Adj_R_squared)));
    add("F_value", Rcpp::wrap(Real(reg.F_value)));
    add("F_prob", Rcpp::wrap(Real(reg.F_prob)));
    add("DF1", Rcpp::wrap(Real(reg.DF1)));
    add("DF2", Rcpp::wrap(Real(reg.DF2)));
    add("SEE", Rcpp::wrap(Real(reg.SEE)));
    add("SD_residual", Rcpp::wrap(Real(reg.SD_residual)));
    add("Predicted", Rcpp::wrap(Real(a.Predicted)));
    add("SE_additional", Rcpp::wrap(Real(a.SE_additional)));
    add("T_value", Rcpp::wrap(Real(r.T_value)));
    add("DF", Rcpp::wrap(Real(r.DF)));
    add("P_one_tailed", Rcpp::wrap(Real(r.P_one_tailed)));
    add("P_two_tailed", Rcpp::wrap(Real(r.P_two_tailed)));
    add("Pct_more_extreme", Rcpp::wrap(Real(r.Pct_more_extreme)));
    add("Pct_lower", Rcpp::wrap(Real(r.Pct_lower)));
    add("Pct_upper", Rcpp::wrap(Real(r.Pct_upper)));
    add("ZOP", Rcpp::wrap(Real(r.ZOP)));
    add("ZOP_lower", Rcpp::wrap(Real(r.ZOP_lower)));
    add("ZOP_upper", Rcpp::wrap(Real(r.ZOP_upper)));
    // The CSV's discrepancy, taken in extended precision as it is there.
    add("discrepancy", Rcpp::wrap(Real(a.Case.Case_Y - a.Predicted)));
    add("report", Texts(outcome.Report));
    std::vector<std::string> warnings;
    for (const std::string& warning : outcome.Warnings)
        warnings.push_back(Console_text(warning));
    const std::string unread = Unread_notice(outcome.Unread);
    if (!unread.empty()) warnings.push_back(unread);
    add("warnings", Texts(warnings));
    Rcpp::List values(fields.size());
    Rcpp::CharacterVector names(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        values[i] = fields[i].second;
        names[i] = fields[i].first;
    }
    values.names() = names;
    return Rcpp::List::create(Rcpp::Named("ok") = true, Rcpp::Named("figures") = values,
                              Rcpp::Named("json") = Utf8(Json_report(a, {data_file_name, notes})));
}

tData_source Source_of(const std::string& path, const std::string& text) {
    return path.empty() ? tData_source::In_memory("data", text) : tData_source::File(path);
}

// The fields of one CSV record from `at`, which is left after its line end.
std::vector<std::string> Csv_record(const std::string& csv, std::size_t& at) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    while (at < csv.size()) {
        const char c = csv[at++];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (at < csv.size() && csv[at] == '"')
                fields.back() += csv[at++];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            break;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::vector<std::string> Csv_names() {
    std::string header = Csv_header;
    std::size_t at = 0;
    return Csv_record(header, at);
}

// Whether the line is the series' notice of columns not read, for a file of
// `columns` columns: the notice as the reader words it, for the count it names.
bool Is_unread_columns_notice(const std::string& line, int columns) {
    const std::size_t end = line.find_last_of("0123456789");
    if (end == std::string::npos) return false;
    const std::size_t start = line.find_last_not_of("0123456789", end) + 1;
    tUnread unread;
    unread.Columns = columns;
    unread.Most_numbers = std::atoi(line.substr(start, end - start + 1).c_str());
    return line == Unread_notice(unread);
}

} // namespace

// The numbers as a data file's lines: each the shortest decimal that R's
// double rounds back to, so that a matrix read from a file goes back to the
// core as the file's own numbers.
// [[Rcpp::export(.data_text)]]
std::string Data_text(const Rcpp::NumericMatrix& data) {
    std::string text;
    char buffer[32];
    for (int i = 0; i < data.nrow(); ++i) {
        for (int j = 0; j < data.ncol(); ++j) {
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, data(i, j));
            text += (j > 0 ? " " : "") + std::string(buffer, result.ptr);
        }
        text += "\n";
    }
    return text;
}

// An entry as it would be typed: plain digits, never an exponent, which the
// entry checks do not take (1e6 is 1000000).
// [[Rcpp::export(.entry_text)]]
std::string Entry_text(double value) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// [[Rcpp::export(.csv_names)]]
Rcpp::CharacterVector Csv_names_of() {
    return Texts(Csv_names());
}

// The pavona-cli report and JSON of one case: `path` names a data file, or
// when empty, `text` holds the data (summary statistics when `summary`).
// [[Rcpp::export(.run_case)]]
Rcpp::List Run_case_request(const std::string& predictors, const std::string& n,
                            const std::string& limits, const Rcpp::CharacterVector& notes,
                            const std::string& path, const std::string& text, bool summary) {
    tRequest request;
    request.Predictors = predictors;
    request.Sample_size = n;
    request.Limits = Limits_of(limits);
    request.Notes = Notes_of(notes);
    request.Summary = summary;
    const std::size_t notes_length = Notes_length(request.Notes);
    if (notes_length > Max_notes_length) return Refusal(Notes_too_long_message(notes_length));

    const tOutcome outcome = Run_request(request, Source_of(path, text));
    if (!outcome.Done) return Refusal(With_full_stop(outcome.Message));
    return Figures(outcome, request.Notes, path,
                   path.empty() ? Rcpp::CharacterVector::create(NA_STRING)
                                : Rcpp::CharacterVector::create(Utf8(path)));
}

// Only the entry checks, so that the R function can compare its data's size
// with k and n once they are known to be sound.
// [[Rcpp::export(.check_entries)]]
Rcpp::List Check_entries_of(const std::string& predictors, const std::string& n) {
    const tEntry_check check = Check_entries(predictors, n);
    if (!check.Passed()) return Refusal(With_full_stop(check.Message));
    return Rcpp::List::create(Rcpp::Named("ok") = true, Rcpp::Named("k") = check.K,
                              Rcpp::Named("n") = check.N);
}

// pavona-cli --csv --cases all: the table, one row a case (a refused case
// with its message and no figures), and the warnings; or the refusal of the
// whole run.
// [[Rcpp::export(.run_series)]]
Rcpp::List Run_series(const std::string& predictors, const std::string& n,
                      const std::string& limits, const std::string& path, const std::string& text) {
    tRequest request;
    request.Predictors = predictors;
    request.Sample_size = n;
    request.Limits = Limits_of(limits);
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    settings.Cases = 0;
    settings.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    settings.Data_file = path;

    tCaptured out;
    tCaptured errors;
    Run_series_request(request, Source_of(path, text), settings, out.File(), errors.File());
    const std::string csv = out.Text();
    const std::string messages = errors.Text();
    // Nothing written: the entries, the reading or the controls were refused.
    if (csv.empty()) return Refusal(Without_line_end(messages));

    std::size_t at = 0;
    const std::vector<std::string> names = Csv_record(csv, at);
    std::vector<std::vector<std::string>> rows;
    while (at < csv.size())
        rows.push_back(Csv_record(csv, at));

    Rcpp::List columns(names.size());
    Rcpp::IntegerVector cases(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        cases[i] = std::atoi(rows[i][0].c_str());
    columns[0] = cases;
    for (std::size_t j = 1; j + 1 < names.size(); ++j) {
        Rcpp::NumericVector column(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string& field = rows[i][j];
            column[i] = field.empty() ? NA_REAL : std::strtod(field.c_str(), nullptr);
        }
        columns[j] = column;
    }
    Rcpp::CharacterVector errors_column(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& error = rows[i].back();
        errors_column[i] = error.empty() ? Rcpp::String(NA_STRING) : Utf8(error);
    }
    columns[names.size() - 1] = errors_column;
    columns.names() = Rcpp::wrap(names);

    // Each case's refusal is in its row; its other messages are warnings, as
    // is the notice of columns not read. Anything else stopped the run.
    const int data_columns = Check_request(request).K + 1;
    std::vector<std::string> warnings;
    std::size_t start = 0;
    while (start < messages.size()) {
        const std::size_t end = messages.find('\n', start);
        const std::string line = messages.substr(start, end - start);
        start = end == std::string::npos ? messages.size() : end + 1;
        if (line.empty()) continue;
        // "Case 12: ..." concerns row 12 of the table.
        const long long number = line.rfind("Case ", 0) == 0 ? std::atoll(line.c_str() + 5) : 0;
        const std::string prefix = "Case " + std::to_string(number) + ": ";
        if (number >= 1 && number <= static_cast<long long>(rows.size()) &&
            line.rfind(prefix, 0) == 0) {
            if (line.substr(prefix.size()) != rows[static_cast<std::size_t>(number - 1)].back())
                warnings.push_back(line);
            continue;
        }
        if (Is_unread_columns_notice(line, data_columns))
            warnings.push_back(line);
        else
            return Refusal(line);
    }
    return Rcpp::List::create(Rcpp::Named("ok") = true, Rcpp::Named("table") = columns,
                              Rcpp::Named("warnings") = Texts(warnings));
}
