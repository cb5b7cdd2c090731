// The page's way into the calculator: the entries and the data go through the
// request sequence the window and pavona-cli run, and what comes back is plain
// JavaScript data (report text, plot figures, the CSV of a series, or a
// refusal with the field it concerns).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/case_series.h"
#include "assessment/data_file_reader.h"
#include "assessment/input_validation.h"
#include "assessment/key_results.h"
#include "assessment/notes.h"
#include "assessment/reading_advice.h"
#include "assessment/request.h"
#include "assessment/summary_file_reader.h"
#include "assessment/summary_form.h"
#include "distributions/text_format.h"
#include "inference/plot_points.h"

using emscripten::val;

namespace {

const char* Kind_name(tMessage_kind kind) {
    switch (kind) {
    case tMessage_kind::Warning:
        return "warning";
    case tMessage_kind::Error:
        return "error";
    case tMessage_kind::Information:
        return "information";
    case tMessage_kind::Confirmation:
        break;
    }
    return "confirmation";
}

// A platform for the page: boxes become messages the page shows beside their
// field; there are no dialogs, printer or cursor to drive from here.
class tPage_platform : public tPlatform {
public:
    struct tMessage {
        std::string Text;
        tMessage_kind Kind;
    };
    std::vector<tMessage> Messages;
    bool Beeped = false;

    tButton Message_box(const std::string& text, tMessage_kind kind, const std::vector<tButton>&,
                        const std::string& = {}) override {
        Messages.push_back({text, kind});
        return tButton::Ok;
    }
    void Beep() override { Beeped = true; }
    std::optional<std::string> Open_file(const tOpen_file_request&) override { return {}; }
    std::optional<std::string> Save_file(const tSave_file_request&) override { return {}; }
    void Print_text(const std::string&, const std::string&, int) override {}
    void Set_busy_cursor(bool) override {}
    void Process_events() override {}
};

val Message(const std::string& text, tMessage_kind kind) {
    val message = val::object();
    message.set("text", text);
    message.set("kind", std::string(Kind_name(kind)));
    return message;
}

// The first message the platform was given, or none.
val First_message(const tPage_platform& platform) {
    if (platform.Messages.empty()) return val::null();
    return Message(platform.Messages.front().Text, platform.Messages.front().Kind);
}

// A refusal: the field it concerns ("predictors", "controls", "notes",
// "data", "summary" or "run") and the message the window would show.
val Refusal(const std::string& field, const std::string& text, tMessage_kind kind) {
    val outcome = val::object();
    outcome.set("ok", false);
    outcome.set("field", field);
    outcome.set("message", Message(text, kind));
    return outcome;
}

template <typename T> val Array_of(const std::vector<T>& items) {
    val array = val::array();
    for (const T& item : items)
        array.call<void>("push", item);
    return array;
}

// Numbers are handed over in one call, not one call each: a plot has
// hundreds of them, and each call out of WebAssembly costs.
val Array_of(const std::vector<double>& numbers) {
    return val::global("Array").call<val>(
        "from", val(emscripten::typed_memory_view(numbers.size(), numbers.data())));
}

template <typename T, typename F> val Numbers_of(const std::vector<T>& items, F field) {
    std::vector<double> numbers;
    numbers.reserve(items.size());
    for (const T& item : items)
        numbers.push_back(static_cast<double>(field(item)));
    return Array_of(numbers);
}

val Curve(const std::vector<tCurve_point>& points) {
    val curve = val::object();
    curve.set("x", Numbers_of(points, [](const tCurve_point& p) { return p.X; }));
    curve.set("y", Numbers_of(points, [](const tCurve_point& p) { return p.Y; }));
    return curve;
}

val Axis_object(const tPlot_axis& axis) {
    val object = val::object();
    object.set("title", axis.Title);
    object.set("low", axis.Low);
    object.set("high", axis.High);
    object.set("ticks", Array_of(axis.Ticks));
    object.set("labels", Array_of(axis.Labels));
    return object;
}

const char* Mark_name(tPlot_mark mark) {
    switch (mark) {
    case tPlot_mark::Controls:
        return "controls";
    case tPlot_mark::Case:
        return "case";
    case tPlot_mark::Equal_scores:
        return "equalScores";
    case tPlot_mark::Interval:
        return "interval";
    case tPlot_mark::Density:
        return "density";
    case tPlot_mark::Case_t:
        return "caseT";
    case tPlot_mark::Tail:
        break;
    }
    return "tail";
}

// A chart's frame: { caption, x, y, legend: [{ mark, text }] }.
val Frame_object(const tChart_frame& frame) {
    val object = val::object();
    object.set("caption", frame.Caption);
    object.set("x", Axis_object(frame.X));
    object.set("y", Axis_object(frame.Y));
    val legend = val::array();
    for (const tLegend_entry& entry : frame.Legend) {
        val item = val::object();
        item.set("mark", std::string(Mark_name(entry.Mark)));
        item.set("text", entry.Text);
        legend.call<void>("push", item);
    }
    object.set("legend", legend);
    return object;
}

// The plot as the core lays it out: the page only draws it. Without scores
// (summary statistics) `scores` is null and the t chart stands alone.
val Plot_object(const tPlot_points& points) {
    val plot = val::object();
    plot.set("title", points.Title);
    if (points.Has_scores) {
        plot.set("scores", Frame_object(points.Scores));
        val controls = val::object();
        controls.set("predicted", Numbers_of(points.Controls, [](const tScore_point& control) {
                         return control.Predicted;
                     }));
        controls.set("obtained", Numbers_of(points.Controls, [](const tScore_point& control) {
                         return control.Obtained;
                     }));
        plot.set("controls", controls);
        val case_point = val::object();
        case_point.set("predicted", points.Case.Predicted);
        case_point.set("obtained", points.Case.Obtained);
        plot.set("case", case_point);
        const tInterval_ends ends = Chosen_interval(points);
        val interval = val::object();
        interval.set("low", ends.Low);
        interval.set("high", ends.High);
        interval.set("lowOpen", ends.Low_open);
        interval.set("highOpen", ends.High_open);
        interval.set("capHalfWidth", points.Cap_half_width);
        plot.set("interval", interval);
    } else {
        plot.set("scores", val::null());
    }
    plot.set("discrepancy", Frame_object(points.Discrepancy));
    plot.set("t", points.T);
    plot.set("tailBelow", points.Tail_below);
    plot.set("density", Curve(points.Density));
    plot.set("tail", Curve(points.Tail));
    plot.set("caseTTop", points.Case_t_top);
    plot.set("tailArea", points.Tail_area);
    return plot;
}

// The page's names of the limits; any other name is refused, never guessed.
std::optional<tLimits> Limits_named(const std::string& name) {
    if (name == "two-sided") return tLimits::Two_sided;
    if (name == "lower") return tLimits::Lower;
    if (name == "upper") return tLimits::Upper;
    return std::nullopt;
}

std::string Unknown_limits_message(const std::string& name) {
    return "The kind of limits '" + name +
           "' is not known: the limits are two-sided, one-sided lower or one-sided upper.";
}

// The bytes of a Uint8Array, unchanged (a data file need not be UTF-8).
std::string Bytes_of(const val& array) {
    const unsigned length = array["length"].as<unsigned>();
    std::string bytes(length, '\0');
    if (length > 0)
        val(emscripten::typed_memory_view(length, reinterpret_cast<unsigned char*>(bytes.data())))
            .call<void>("set", array);
    return bytes;
}

// Whether the data hold a case row after the first: then the page shows the
// series as well. Raw scores: the analysis counted the lines holding anything
// after its case row, and each such line is a case row of the series. A
// summary file is read again. Only reads; a fault here leaves the report alone.
bool More_case_rows(const tRequest& request, const tEntry_check& entries, const std::string& data,
                    const tOutcome& outcome) {
    if (!request.Summary) return outcome.Unread.Lines > 0;
    try {
        tCase_row row;
        tSummary_reader reader(std::string_view(data), entries.K);
        return reader.Cases().Next(row) && reader.Cases().Next(row);
    } catch (const std::exception&) {
        return false;
    }
}

const char* Field_name(tEntry_field field) {
    switch (field) {
    case tEntry_field::Predictors:
        return "predictors";
    case tEntry_field::Sample_size:
        return "controls";
    case tEntry_field::None:
        break;
    }
    return "data";
}

// A series of cases, shared out among the page's workers: each worker opens
// the series once (the controls analysed, the case rows counted) and is then
// handed runs of cases in rising order, so its reader only moves forward.
struct tOpen_series {
    std::string Bytes;
    bool Summary = false;
    int K = 0;
    int N = 0;
    tLimits Limits = tLimits::Two_sided;
    std::unique_ptr<tSummary_reader> Summary_reader;
    std::unique_ptr<tCase_series_reader> Raw_reader;
    std::unique_ptr<tControl_analysis> Controls;
    long long Next = 1; // the number of the case row the reader hands out next

    tCase_series_reader& Cases() { return Summary ? Summary_reader->Cases() : *Raw_reader; }

    // Reads the controls afresh and analyses them; the case rows follow.
    void Open() {
        Next = 1;
        if (Summary) {
            Summary_reader = std::make_unique<tSummary_reader>(std::string_view(Bytes), K);
            Controls = std::make_unique<tControl_analysis>(
                Analyse_summary(Summary_reader->Summary(), Limits));
            return;
        }
        auto data = std::make_unique<tData_matrix>();
        Raw_reader =
            std::make_unique<tCase_series_reader>(std::string_view(Bytes), N, K + 1, *data);
        Controls =
            std::make_unique<tControl_analysis>(Analyse_controls(std::move(data), K, N, Limits));
    }
};

std::unique_ptr<tOpen_series> Series_opened;

std::vector<std::string> Csv_columns() {
    std::vector<std::string> columns(1);
    for (const char* c = Csv_header; *c && *c != '\n'; ++c) {
        if (*c == ',')
            columns.emplace_back();
        else
            columns.back() += *c;
    }
    return columns;
}

// { ok, cases, failure, header } or a refusal: how many case rows the data
// hold, and the message of a row the reader could not read (the rows
// before it are the series).
val Series_open(const val& page) {
    Series_opened.reset();
    tRequest request;
    request.Predictors = page["predictors"].as<std::string>();
    request.Sample_size = page["controls"].as<std::string>();
    const std::string limits_name = page["limits"].as<std::string>();
    const std::optional<tLimits> limits = Limits_named(limits_name);
    if (!limits) return Refusal("run", Unknown_limits_message(limits_name), tMessage_kind::Error);
    request.Summary = page["summary"].as<bool>();
    const tEntry_check entries = Check_request(request);
    if (!entries.Passed())
        return Refusal(Field_name(entries.Failed), entries.Message, entries.Kind);
    auto series = std::make_unique<tOpen_series>();
    series->Bytes = Bytes_of(page["data"]);
    series->Summary = request.Summary;
    series->K = entries.K;
    series->N = entries.N;
    series->Limits = *limits;
    long long cases = 0;
    std::string failure;
    try {
        series->Open();
        tCase_row row;
        try {
            while (series->Cases().Next(row))
                ++cases;
        } catch (const std::exception& error) {
            failure = With_full_stop(error.what());
        }
        series->Open();
    } catch (const std::exception& error) {
        return Refusal("data", With_full_stop(error.what()), tMessage_kind::Error);
    }
    Series_opened = std::move(series);
    val outcome = val::object();
    outcome.set("ok", true);
    outcome.set("cases", static_cast<double>(cases));
    outcome.set("failure", failure.empty() ? val::null() : val(failure));
    outcome.set("header", Array_of(Csv_columns()));
    return outcome;
}

// Cases `from` to `to` (counted from 1) of the opened series: { csv, rows,
// messages }, each row { number, figures (rounded as the report), error },
// the CSV at full precision, and the messages pavona-cli writes for them.
val Series_cases(double from_value, double to_value) {
    val outcome = val::object();
    val rows = val::array();
    val messages = val::array();
    std::string csv;
    tOpen_series* const series = Series_opened.get();
    const long long from = static_cast<long long>(from_value);
    const long long to = static_cast<long long>(to_value);
    if (series && from >= series->Next) {
        tSeries_settings settings;
        settings.Format = tSeries_format::Csv;
        try {
            tCase_row row;
            while (series->Next < from && series->Cases().Next(row))
                ++series->Next;
            while (series->Next <= to && series->Cases().Next(row)) {
                const long long number = series->Next++;
                const tCase_outcome done = Run_case(*series->Controls, number, row, settings);
                csv += done.Text;
                val shown = val::object();
                shown.set("number", static_cast<double>(number));
                shown.set("figures", done.Analysis ? Array_of(Rounded_case_figures(*done.Analysis,
                                                                                   series->Limits))
                                                   : val::array());
                shown.set("error", done.Error);
                rows.call<void>("push", shown);
                for (const std::string& warning : done.Warnings)
                    messages.call<void>("push", Format_text("Case %lld: ", number) + warning);
                if (!done.Error.empty())
                    messages.call<void>("push", Format_text("Case %lld: ", number) + done.Error);
            }
        } catch (const std::exception&) {
            // The row the count stopped at: its message came with the opening.
        }
    }
    outcome.set("csv", csv);
    outcome.set("rows", rows);
    outcome.set("messages", messages);
    return outcome;
}

// The refusals whose remedy is to copy the cells instead: a spreadsheet's
// export with commas, semicolons, quotes or a title row.
bool Is_spreadsheet_refusal(const std::string& message) {
    const std::string advice[] = {
        Invalid_number_advice("1,2", 2, true), Invalid_number_advice("1;2", 2, true),
        Invalid_number_advice("\"1\"", 2, false), Invalid_number_advice("Score", 1, false)};
    for (const std::string& text : advice)
        if (!text.empty() && message.find(text) != std::string::npos) return true;
    return false;
}

const std::string Paste_cells_advice =
    "Or select the cells in the spreadsheet, copy them and paste them into the box for rows on "
    "this page.";

// Which row the case was taken from, when the data hold more rows than the
// controls and the case: a too small N makes a control the case.
std::string Rows_notice(int controls, const tUnread& unread, bool series) {
    if (unread.Lines <= 0) return {};
    std::string text =
        Format_text("The case is row %d, the row after the %d controls", controls + 1, controls);
    if (unread.Last_line != controls + 1)
        text += Format_text(" (line %lld of the data)", unread.Last_line);
    text +=
        Format_text(unread.Lines == 1 ? "; %lld more row follows it" : "; %lld more rows follow it",
                    unread.Lines);
    if (series)
        return text + (unread.Lines == 1 ? ", analysed as a further case in the series table "
                                           "below. If it belongs to the controls, correct N."
                                         : ", analysed as further cases in the series table "
                                           "below. If they belong to the controls, correct N.");
    return text + (unread.Lines == 1 ? ", which was not read." : ", which were not read.");
}

val Key_results_object(const tAnalysis& analysis) {
    const tKey_results key = Key_results(analysis, analysis);
    val figures = val::array();
    for (const tKey_figure& figure : key.Figures) {
        val item = val::object();
        item.set("label", figure.Label);
        item.set("value", figure.Value);
        figures.call<void>("push", item);
    }
    val object = val::object();
    object.set("figures", figures);
    object.set("direction", key.Direction);
    return object;
}

std::vector<std::string> Strings_of(const val& array) {
    std::vector<std::string> strings;
    const unsigned length = array["length"].as<unsigned>();
    for (unsigned i = 0; i < length; ++i)
        strings.push_back(array[i].as<std::string>());
    return strings;
}

// The id of a cell of the page's summary form.
std::string Cell_id(const tSummary_cell& cell) {
    using tKind = tSummary_cell::tKind;
    const std::string v = std::to_string(cell.Variable);
    switch (cell.Kind) {
    case tKind::N:
        return "summary-n";
    case tKind::Mean:
        return "summary-mean-" + v;
    case tKind::SD:
        return "summary-sd-" + v;
    case tKind::Case_score:
        return "summary-case-" + v;
    case tKind::Correlation:
        break;
    }
    return "summary-r-" + v + "-" + std::to_string(cell.Other);
}

// A refusal of the summary form, at its cell (or "correlations": the grid).
val Cell_refusal(const std::string& cell, const std::string& text) {
    val outcome = Refusal("summary", text, tMessage_kind::Error);
    outcome.set("cell", cell);
    return outcome;
}

// The page's form, { n, means, sds, cases, r } (r[i][j] below the diagonal),
// checked cell by cell.
std::optional<tCell_refusal> Check_form(const val& form, int k) {
    tSummary_cells cells;
    cells.N = form["n"].as<std::string>();
    cells.Means = Strings_of(form["means"]);
    cells.SDs = Strings_of(form["sds"]);
    cells.Case_scores = Strings_of(form["cases"]);
    const val rows = form["r"];
    const unsigned count = rows["length"].as<unsigned>();
    for (unsigned i = 0; i < count; ++i)
        cells.Correlations.push_back(Strings_of(rows[i]));
    return Check_summary_cells(cells, k);
}

// The page's request: { predictors, controls, limits ("two-sided", "lower",
// "upper"), notes (lines joined by "\n"), summary (bool), data (Uint8Array),
// name (the data's shown name), pasted (bool: rows pasted, not a file),
// form (the summary form's cells, when they are the data), viewerHasText
// (bool) }.
val Analyse(const val& page) {
    tRequest request;
    request.Predictors = page["predictors"].as<std::string>();
    request.Sample_size = page["controls"].as<std::string>();
    const std::string limits_name = page["limits"].as<std::string>();
    const std::optional<tLimits> limits = Limits_named(limits_name);
    if (!limits) return Refusal("run", Unknown_limits_message(limits_name), tMessage_kind::Error);
    request.Limits = *limits;
    const std::string notes = page["notes"].as<std::string>();
    request.Notes = Notes_lines(notes);
    request.Summary = page["summary"].as<bool>();
    request.After_earlier_report = page["viewerHasText"].as<bool>();
    const tData_source source =
        tData_source::In_memory(page["name"].as<std::string>(), Bytes_of(page["data"]));

    // The window's notes memo takes no more; pavona-cli refuses more.
    const std::size_t notes_length = Notes_length(notes);
    if (notes_length > Max_notes_length)
        return Refusal("notes", Notes_too_long_message(notes_length), tMessage_kind::Error);

    // The form's cells are checked as cells, once k is known to be right.
    const bool form = request.Summary && !page["form"].isUndefined() && !page["form"].isNull();
    if (form) {
        const tEntry_check entries = Check_request(request);
        if (entries.Passed())
            if (const std::optional<tCell_refusal> refusal = Check_form(page["form"], entries.K))
                return Cell_refusal(Cell_id(refusal->Cell), refusal->Message);
    }

    const tOutcome outcome = Run_request(request, source);
    if (!outcome.Done && form && outcome.Message == Not_positive_definite_message)
        return Cell_refusal("correlations", With_full_stop(outcome.Message));
    if (!outcome.Done) {
        std::string message = outcome.Failure ? With_full_stop(outcome.Message) : outcome.Message;
        const bool pasted = page["pasted"].isTrue();
        if (!request.Summary && !pasted && Is_spreadsheet_refusal(message))
            message += " " + Paste_cells_advice;
        return Refusal(Field_name(outcome.Field), message, outcome.Kind);
    }

    val result = val::object();
    result.set("ok", true);
    std::string report;
    for (const std::string& line : outcome.Report)
        report += line + "\n";
    result.set("report", report);
    result.set("warnings", Array_of(outcome.Warnings));
    result.set("plot", outcome.Plot ? Plot_object(*outcome.Plot) : val::null());
    const tEntry_check entries = Check_request(request);
    const bool series = More_case_rows(request, entries, source.Text, outcome);
    result.set("series", series);
    result.set("key", Key_results_object(*outcome.Analysis));
    const std::string rows =
        request.Summary ? std::string() : Rows_notice(entries.N, outcome.Unread, series);
    result.set("rows", rows.empty() ? val::null() : val(rows));
    // The loaded message and, apart, what was not read: the window's message
    // box puts it on a line of its own. Rows the series table analyses were
    // read, so with a series only columns are named, as pavona-cli does.
    const std::string& loaded = outcome.Load_message;
    result.set("loaded", loaded.empty() ? val::null() : val(loaded.substr(0, loaded.find('\r'))));
    tUnread unread = outcome.Unread;
    if (series) unread.Lines = 0;
    const std::string notice = Unread_notice(unread);
    result.set("unread", notice.empty() ? val::null() : val(notice));
    return result;
}

// The predictors field as the window checks it while it is typed: the lenient
// parse, then the strict integer conversion of a text that is not 0.
val Predictors_typed(const std::string& text) {
    tPage_platform platform;
    const double value = ParseEntry(platform, text);
    if (!platform.Messages.empty()) {
        // The page has no box to click: the field is marked at once.
        std::string shown = platform.Messages.front().Text;
        const std::string box = " once you click 'OK', please re-enter.";
        if (const std::size_t at = shown.find(box); at != std::string::npos)
            shown.replace(at, box.size(), ": please re-enter.");
        return Message(shown, platform.Messages.front().Kind);
    }
    try {
        if (value != 0) ConvertStrictInteger(text);
    } catch (const std::exception& error) {
        return Message(With_full_stop(error.what()), tMessage_kind::Error);
    }
    return val::null();
}

// The predictors field's cap on a key release: null, or { text, message }
// when the value was above the cap.
val Predictors_capped(const std::string& text) {
    tPage_platform platform;
    if (!(ParseEntry(platform, text) > Max_predictors_typed)) return val::null();
    val outcome = val::object();
    outcome.set("text", Format_text("%.0f", Max_predictors_typed));
    outcome.set("message", Message(Predictors_capped_message, tMessage_kind::Warning));
    return outcome;
}

// The sample-size field's character filter: { key, message, beep }.
val Sample_size_key(const std::string& key) {
    tPage_platform platform;
    val outcome = val::object();
    const char entered =
        key.size() == 1 ? FilterNumericKey(platform, key[0]) : FilterNumericKey(platform, '\0');
    outcome.set("key", entered ? std::string(1, entered) : std::string());
    outcome.set("message", First_message(platform));
    outcome.set("beep", platform.Beeped);
    return outcome;
}

// The sample-size field's length cap: { text, message }.
val Sample_size_truncated(const std::string& text) {
    tPage_platform platform;
    val outcome = val::object();
    outcome.set("text", TruncateEntry(platform, text));
    outcome.set("message", First_message(platform));
    return outcome;
}

double Notes_length_of(const std::string& text) {
    return static_cast<double>(Notes_length(text));
}

} // namespace

EMSCRIPTEN_BINDINGS(pavona) {
    emscripten::function("analyse", &Analyse);
    emscripten::function("seriesOpen", &Series_open);
    emscripten::function("seriesCases", &Series_cases);
    emscripten::constant("version", std::string(PAVONA_VERSION));
    emscripten::function("predictorsTyped", &Predictors_typed);
    emscripten::function("predictorsCapped", &Predictors_capped);
    emscripten::function("sampleSizeKey", &Sample_size_key);
    emscripten::function("sampleSizeTruncated", &Sample_size_truncated);
    emscripten::function("notesLength", &Notes_length_of);
    emscripten::constant("maxNotesLength", static_cast<double>(Max_notes_length));
}
