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
#include "assessment/notes.h"
#include "assessment/reading_advice.h"
#include "assessment/request.h"
#include "assessment/summary_file_reader.h"
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

tLimits Limits_named(const std::string& name) {
    if (name == "lower") return tLimits::Lower;
    if (name == "upper") return tLimits::Upper;
    return tLimits::Two_sided;
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
// series as well. Only reads; a fault here leaves the report alone.
bool More_case_rows(const tRequest& request, const tEntry_check& entries, const std::string& data) {
    try {
        tCase_row row;
        if (request.Summary) {
            tSummary_reader reader(std::string_view(data), entries.K);
            return reader.Cases().Next(row) && reader.Cases().Next(row);
        }
        tData_matrix controls;
        tCase_series_reader reader(std::string_view(data), entries.N, entries.K + 1, controls);
        return reader.Next(row) && reader.Next(row);
    } catch (const std::exception&) {
        return false;
    }
}

// pavona-cli --cases all --csv over the same request and data.
val Series(const tRequest& request, const tData_source& source) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    char* error_text = nullptr;
    std::size_t error_size = 0;
    std::FILE* errors = open_memstream(&error_text, &error_size);
    if (!out || !errors) {
        if (out) std::fclose(out);
        if (errors) std::fclose(errors);
        std::free(text);
        std::free(error_text);
        return val::null();
    }
    tSeries_settings settings;
    settings.Format = tSeries_format::Csv;
    settings.Cases = 0;
    settings.Jobs = 1;
    settings.Notes = request.Notes;
    Run_series_request(request, source, settings, out, errors);
    std::fclose(out);
    std::fclose(errors);
    const std::string csv(text, size);
    std::free(text);
    std::free(error_text);
    long long cases = 0;
    for (const char c : csv)
        cases += c == '\n';
    val series = val::object();
    series.set("csv", csv);
    series.set("cases", static_cast<double>(cases > 0 ? cases - 1 : 0));
    return series;
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

// The page's request: { predictors, controls, limits ("two-sided", "lower",
// "upper"), notes (lines joined by "\n"), summary (bool), data (Uint8Array),
// name (the data's shown name), viewerHasText (bool) }.
val Analyse(const val& page) {
    tRequest request;
    request.Predictors = page["predictors"].as<std::string>();
    request.Sample_size = page["controls"].as<std::string>();
    request.Limits = Limits_named(page["limits"].as<std::string>());
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

    const tOutcome outcome = Run_request(request, source);
    if (!outcome.Done)
        return Refusal(Field_name(outcome.Field),
                       outcome.Failure ? With_full_stop(outcome.Message) : outcome.Message,
                       outcome.Kind);

    val result = val::object();
    result.set("ok", true);
    std::string report;
    for (const std::string& line : outcome.Report)
        report += line + "\n";
    result.set("report", report);
    result.set("warnings", Array_of(outcome.Warnings));
    result.set("plot", outcome.Plot ? Plot_object(*outcome.Plot) : val::null());
    const tEntry_check entries = Check_request(request);
    const bool series = More_case_rows(request, entries, source.Text);
    result.set("series", series ? Series(request, source) : val::null());
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
