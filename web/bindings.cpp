// The page's way into the calculator: the entries and the data go through the
// same checks, readers and analysis as in the window and pavona-cli, and what
// comes back is plain JavaScript data (report text, plot figures, the CSV of a
// series, or a refusal with the field it concerns).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "app/data_file_reader.h"
#include "app/input_validation.h"
#include "app/notes.h"
#include "app/report.h"
#include "app/summary_file_reader.h"
#include "cli/case_series.h"
#include "distributions/floating_point_faults.h"
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

val Curve(const std::vector<tCurve_point>& points) {
    val xs = val::array();
    val ys = val::array();
    for (const tCurve_point& p : points) {
        xs.call<void>("push", p.X);
        ys.call<void>("push", p.Y);
    }
    val curve = val::object();
    curve.set("x", xs);
    curve.set("y", ys);
    return curve;
}

val Plot_object(const tPlot_points& points) {
    val plot = val::object();
    val predicted = val::array();
    val obtained = val::array();
    for (const tScore_point& control : points.Controls) {
        predicted.call<void>("push", control.Predicted);
        obtained.call<void>("push", control.Obtained);
    }
    val controls = val::object();
    controls.set("predicted", predicted);
    controls.set("obtained", obtained);
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
    plot.set("interval", interval);
    plot.set("scoreLow", points.Score_low);
    plot.set("scoreHigh", points.Score_high);
    plot.set("t", points.T);
    plot.set("df", points.DF);
    plot.set("tailBelow", points.Tail_below);
    plot.set("tRange", points.T_range);
    plot.set("density", Curve(points.Density));
    plot.set("tail", Curve(points.Tail));
    plot.set("title", Plot_title(points));
    plot.set("tailArea", Tail_area_text(points));
    val legends = val::object();
    legends.set("interval", Interval_legend_text(points.Limits));
    legends.set("density", Density_legend_text(points));
    legends.set("caseT", Case_t_legend_text(points));
    legends.set("tail", Tail_legend_text(points));
    plot.set("legends", legends);
    return plot;
}

tPlot_limits Plot_limits(tLimit_choice limits) {
    switch (limits) {
    case tLimit_choice::One_sided_lower:
        return tPlot_limits::Lower;
    case tLimit_choice::One_sided_upper:
        return tPlot_limits::Upper;
    case tLimit_choice::Two_sided:
        break;
    }
    return tPlot_limits::Two_sided;
}

tLimit_choice Limit_choice(const std::string& name) {
    if (name == "lower") return tLimit_choice::One_sided_lower;
    if (name == "upper") return tLimit_choice::One_sided_upper;
    return tLimit_choice::Two_sided;
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

// pavona-cli --cases all --csv: the first case row (already read), then the
// rows that `reader` has left. Null when the data hold one case only.
val Series(const tControl_analysis& controls, const tCase_row& first, tCase_series_reader& reader,
           const std::vector<std::string>& notes) {
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    settings.Notes = notes;
    std::string csv = Csv_header;
    csv += Run_case(controls, 1, first, settings).Text;
    long long count = 1;
    tCase_row row;
    while (reader.Next(row))
        csv += Run_case(controls, ++count, row, settings).Text;
    if (count == 1) return val::null();
    val series = val::object();
    series.set("csv", csv);
    series.set("cases", static_cast<double>(count));
    return series;
}

struct tPage_request {
    std::string Predictors;
    std::string Controls;
    tLimit_choice Limits = tLimit_choice::Two_sided;
    std::string Notes;
    bool Summary = false;
    std::string Data;
    bool Viewer_has_text = false;
};

val Success(const tAnalysis& analysis, const tPage_request& request,
            const std::vector<std::string>& warnings) {
    val outcome = val::object();
    outcome.set("ok", true);
    std::string report;
    for (const std::string& line :
         Report_lines(analysis, Notes_lines(request.Notes), request.Viewer_has_text))
        report += line + "\n";
    outcome.set("report", report);
    outcome.set("warnings", Array_of(warnings));
    outcome.set("loaded", val::null());
    outcome.set("plot", val::null());
    outcome.set("series", val::null());
    return outcome;
}

// Published norms: the summary file's statistics, then its case rows.
val Run_summary(const tPage_request& request, int k, const tWarning_handler& warn,
                const std::vector<std::string>& warnings) {
    tSummary_reader reader(std::string_view(request.Data), k);
    tControl_analysis controls = Analyse_summary(reader.Summary(), request.Limits);
    tCase_row first;
    if (!reader.Cases().Next(first))
        throw EData_file_error(Format_text("The summary file ends before line %d, which must "
                                           "hold the case's %d scores, the criterion first.",
                                           k + 5, k + 1));
    if (!first.Error.empty()) throw EData_file_error(first.Error);
    const tAnalysis analysis = Analyse_with_case(std::move(controls), first.Scores, warn);
    val outcome = Success(analysis, request, warnings);
    outcome.set("series", Series(analysis, first, reader.Cases(), Notes_lines(request.Notes)));
    return outcome;
}

// Raw data: n control rows and the case, perhaps followed by more cases.
val Run_raw(const tPage_request& request, int k, int n, const tWarning_handler& warn,
            const std::vector<std::string>& warnings) {
    auto data = std::make_unique<tData_matrix>();
    const std::string loaded = Read_data_bytes(request.Data, n + 1, k + 1, *data);
    const tAnalysis analysis = Run_analysis(std::move(data), k, n, request.Limits, warn);
    val outcome = Success(analysis, request, warnings);
    outcome.set("loaded", loaded);
    try {
        outcome.set("plot",
                    Plot_object(Make_plot_points(*analysis.Data, n, k, analysis.Regression,
                                                 analysis.Predicted, analysis.SE_additional,
                                                 analysis.Results, Plot_limits(request.Limits))));
    } catch (const EFloating_point_error&) {
        // Scores beyond what a chart can hold still get their report.
    }
    tData_matrix controls_again;
    tCase_series_reader reader(std::string_view(request.Data), n, k + 1, controls_again);
    tCase_row first;
    if (reader.Next(first))
        outcome.set("series", Series(analysis, first, reader, Notes_lines(request.Notes)));
    return outcome;
}

val Run(const tPage_request& request) {
    const std::size_t notes_length = Notes_length(request.Notes);
    if (notes_length > Max_notes_length)
        return Refusal("notes", Notes_too_long_message(notes_length), tMessage_kind::Error);

    tPage_platform platform;
    std::vector<std::string> warnings;
    const tWarning_handler warn = [&warnings](const std::string& message) {
        warnings.push_back(message);
    };
    const std::string source = request.Summary ? "summary" : "data";
    try {
        if (request.Summary) {
            const tEntry_check k = Check_predictors(platform, request.Predictors);
            if (!k.Passed())
                return Refusal("predictors", platform.Messages.at(0).Text,
                               platform.Messages.at(0).Kind);
            return Run_summary(request, k.K, warn, warnings);
        }
        const tEntry_check entries = Check_entries(platform, request.Predictors, request.Controls);
        if (!entries.Passed()) {
            const std::string field =
                entries.Failed == tEntry_field::Predictors ? "predictors" : "controls";
            if (!entries.Error_message.empty())
                return Refusal(field, entries.Error_message, tMessage_kind::Error);
            return Refusal(field, platform.Messages.at(0).Text, platform.Messages.at(0).Kind);
        }
        return Run_raw(request, entries.K, entries.N, warn, warnings);
    } catch (const EAnalysis_refused& refusal) {
        if (refusal.Reason() == EAnalysis_refused::tReason::Not_positive_definite)
            return Refusal(source, refusal.what(), tMessage_kind::Error);
        return Refusal("run", With_full_stop(refusal.what()), tMessage_kind::Error);
    } catch (const EData_file_error& error) {
        return Refusal(source, With_full_stop(error.what()), tMessage_kind::Error);
    } catch (const std::exception& error) {
        return Refusal("run", With_full_stop(error.what()), tMessage_kind::Error);
    }
}

// The page's request: { predictors, controls, limits ("two-sided", "lower",
// "upper"), notes (lines joined by "\n"), summary (bool), data (Uint8Array),
// viewerHasText (bool) }.
val Analyse(const val& request) {
    tPage_request page;
    page.Predictors = request["predictors"].as<std::string>();
    page.Controls = request["controls"].as<std::string>();
    page.Limits = Limit_choice(request["limits"].as<std::string>());
    page.Notes = request["notes"].as<std::string>();
    page.Summary = request["summary"].as<bool>();
    page.Data = Bytes_of(request["data"]);
    page.Viewer_has_text = request["viewerHasText"].as<bool>();
    return Run(page);
}

// The predictors field as the window checks it while it is typed: the lenient
// parse, then the strict integer conversion of a text that is not 0.
val Predictors_typed(const std::string& text) {
    tPage_platform platform;
    const double value = ParseEntry(platform, text);
    if (!platform.Messages.empty()) return First_message(platform);
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
    emscripten::function("predictorsTyped", &Predictors_typed);
    emscripten::function("predictorsCapped", &Predictors_capped);
    emscripten::function("sampleSizeKey", &Sample_size_key);
    emscripten::function("sampleSizeTruncated", &Sample_size_truncated);
    emscripten::function("notesLength", &Notes_length_of);
    emscripten::constant("maxNotesLength", static_cast<double>(Max_notes_length));
}
