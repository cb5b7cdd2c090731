#include "assessment/case_series.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <semaphore>
#include <thread>

#include "assessment/json_report.h"
#include "assessment/report.h"
#include "distributions/text_format.h"
#include "platform/platform.h"
#include "platform/system_error_message.h"

const char* const Csv_header = "case,obtained,predicted,discrepancy,se_additional,t,df,"
                               "p_one_tailed,p_two_tailed,pct_more_extreme,pct_lower,pct_upper,"
                               "zop,zop_lower,zop_upper,error\n";

std::string Csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

namespace {

using tClock = std::chrono::steady_clock;

// WebAssembly without shared memory cannot start a thread.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool Threads_can_start = false;
#else
constexpr bool Threads_can_start = true;
#endif

// Enough digits to carry every bit of an extended real back.
std::string Csv_number(Extended value) {
    return Format_text("%.21Lg", value);
}

std::string Csv_line(long long number, const tCase_analysis* c, tLimits limits,
                     const std::string& error) {
    std::string line = std::to_string(number);
    const auto add = [&](const std::string& field) { line += "," + field; };
    if (!c) {
        line += std::string(14, ',');
    } else {
        const tCase_results& r = c->Results;
        // The limit that the one-sided choice does not show stays empty.
        const bool lower = limits != tLimits::Upper;
        const bool upper = limits != tLimits::Lower;
        add(Csv_number(c->Case.Case_Y));
        add(Csv_number(c->Predicted));
        add(Csv_number(c->Case.Case_Y - c->Predicted));
        add(Csv_number(c->SE_additional));
        add(Csv_number(r.T_value));
        add(Csv_number(r.DF));
        add(Csv_number(r.P_one_tailed));
        add(Csv_number(r.P_two_tailed));
        add(Csv_number(r.Pct_more_extreme));
        add(lower ? Csv_number(r.Pct_lower) : "");
        add(upper ? Csv_number(r.Pct_upper) : "");
        add(Csv_number(r.ZOP));
        add(lower ? Csv_number(r.ZOP_lower) : "");
        add(upper ? Csv_number(r.ZOP_upper) : "");
    }
    add(Csv_field(error));
    return line + "\n";
}

// A case not analysed keeps its place among the reports, so that the m-th
// report is always the m-th case's.
std::string Refused_report(long long number, const std::string& error) {
    std::string text = number > 1 ? Report_separator + "\n" : "";
    return text + "\n" + Format_text(" Case %lld was not analysed: ", number) + error + "\n\n";
}

std::string Duration_text(double seconds) {
    const long long whole = std::llround(seconds);
    if (whole >= 3600) return Format_text("%lld h %02lld min", whole / 3600, whole % 3600 / 60);
    if (whole >= 60) return Format_text("%lld min %02lld s", whole / 60, whole % 60);
    if (whole == 0) return "under 1 s";
    return Format_text("%lld s", whole);
}

// The cases in hand, in a ring of slots: case i (from 0) goes to slot i mod
// size. A worker takes a ticket before reading a row and the writer gives one
// back for each case written, so no case is read until its slot is free.
class tPipeline {
public:
    tPipeline(const tControl_analysis& controls, tCase_series_reader& reader,
              const tSeries_settings& settings)
        : controls_(controls), reader_(reader), settings_(settings),
          slots_(static_cast<std::size_t>(4 * settings.Jobs + 4)),
          tickets_(static_cast<std::ptrdiff_t>(slots_.size())) {}

    // Writes every case in order; returns 0, or 1 after any refusal.
    int Run(std::FILE* out, std::FILE* errors);

private:
    void Work();
    // Reads and analyses one case into its slot; false once there is none.
    bool Work_one();
    void Clear_progress(std::FILE* errors);
    void Show_progress(std::FILE* errors, long long done, tClock::time_point start);

    const tControl_analysis& controls_;
    tCase_series_reader& reader_;
    const tSeries_settings& settings_;

    std::mutex read_mutex_; // the reader and the numbering
    long long next_number_ = 1;
    bool input_ended_ = false;

    std::mutex mutex_; // the slots and the end of the input
    std::condition_variable ready_;
    std::vector<std::optional<tCase_outcome>> slots_;
    std::optional<long long> cases_read_; // known once the input has ended
    std::string read_failure_;
    bool stopping_ = false;

    std::counting_semaphore<> tickets_;
    bool progress_shown_ = false;
};

void tPipeline::Work() {
    while (Work_one()) {
    }
}

bool tPipeline::Work_one() {
    tickets_.acquire();
    long long number = 0;
    tCase_row row;
    {
        const std::lock_guard read_lock(read_mutex_);
        bool got = false;
        std::string failure;
        if (!input_ended_ && (settings_.Cases == 0 || next_number_ <= settings_.Cases)) {
            try {
                got = reader_.Next(row);
            } catch (const std::exception& error) {
                failure = With_full_stop(error.what());
            }
        }
        if (!got) {
            if (!input_ended_) {
                input_ended_ = true;
                const std::lock_guard lock(mutex_);
                cases_read_ = next_number_ - 1;
                read_failure_ = failure;
                ready_.notify_all();
            }
            tickets_.release(); // for the next worker to see the end
            return false;
        }
        number = next_number_++;
    }
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) {
            tickets_.release();
            return false;
        }
    }
    tCase_outcome outcome;
    try {
        outcome = Run_case(controls_, number, row, settings_);
    } catch (const std::exception& error) {
        // Only a failure to hold the text gets here; the case is refused.
        outcome = tCase_outcome{};
        outcome.Error = With_full_stop(error.what());
    }
    const std::lock_guard lock(mutex_);
    slots_[static_cast<std::size_t>((number - 1) % static_cast<long long>(slots_.size()))] =
        std::move(outcome);
    ready_.notify_all();
    return true;
}

void tPipeline::Clear_progress(std::FILE* errors) {
    if (!progress_shown_) return;
    std::fputs("\r\033[K", errors);
    std::fflush(errors);
    progress_shown_ = false;
}

void tPipeline::Show_progress(std::FILE* errors, long long done, tClock::time_point start) {
    const double seconds = std::chrono::duration<double>(tClock::now() - start).count();
    if (!settings_.Show_progress || seconds < 1) return;
    std::fputs(("\r" + Progress_text(done, settings_.Cases, seconds) + "\033[K").c_str(), errors);
    std::fflush(errors);
    progress_shown_ = true;
}

int tPipeline::Run(std::FILE* out, std::FILE* errors) {
    const auto start = tClock::now();
    auto last_progress = start;
    bool refused = false;
    bool write_failed = false;
    long long written = 0;

    const auto write = [&](const std::string& text) {
        if (write_failed) return;
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) write_failed = true;
    };
    const auto message = [&](const std::string& text) {
        Clear_progress(errors);
        std::fputs((text + "\n").c_str(), errors);
        std::fflush(errors);
    };

    if (settings_.Format == tSeries_format::Csv) write(Csv_header);
    if (settings_.Format == tSeries_format::Json)
        write(Json_series_head(controls_, {settings_.Data_file, settings_.Notes}));

    // Every way out, a thread that cannot be started or a failed write
    // included, stops the workers and waits for them: none is left waiting
    // for a slot that is never given back.
    struct tWorkers {
        tPipeline& pipeline;
        std::vector<std::thread> threads;
        ~tWorkers() { Stop(); }
        void Stop() {
            if (threads.empty()) return;
            {
                const std::lock_guard read_lock(pipeline.read_mutex_);
                pipeline.input_ended_ = true;
            }
            {
                const std::lock_guard lock(pipeline.mutex_);
                pipeline.stopping_ = true;
            }
            pipeline.tickets_.release(static_cast<std::ptrdiff_t>(threads.size()));
            for (std::thread& thread : threads)
                thread.join();
            threads.clear();
        }
    } workers{*this, {}};
    if (Threads_can_start)
        for (int j = 0; j < settings_.Jobs; ++j)
            workers.threads.emplace_back([this] { Work(); });

    std::string read_failure;
    for (;;) {
        std::optional<tCase_outcome> outcome;
        {
            std::unique_lock lock(mutex_);
            auto& slot = slots_[static_cast<std::size_t>(written % slots_.size())];
            if (!slot && !(cases_read_ && written == *cases_read_) && !Threads_can_start) {
                // Without threads the writer analyses the next case itself.
                lock.unlock();
                Work_one();
                lock.lock();
            } else if (!slot && !(cases_read_ && written == *cases_read_)) {
                // Whatever is written so far goes out before the wait.
                lock.unlock();
                if (!write_failed && std::fflush(out) != 0) write_failed = true;
                lock.lock();
                ready_.wait_for(lock, std::chrono::milliseconds(250), [&] {
                    return slot.has_value() || (cases_read_ && written == *cases_read_);
                });
            }
            if (slot) {
                outcome = std::move(slot);
                slot.reset();
            } else if (cases_read_ && written == *cases_read_) {
                read_failure = read_failure_;
                break;
            }
        }
        if (outcome) {
            ++written;
            for (const std::string& warning : outcome->Warnings)
                message(Format_text("Case %lld: ", written) + warning);
            if (!outcome->Error.empty()) {
                refused = true;
                message(Format_text("Case %lld: ", written) + outcome->Error);
            }
            write(outcome->Text);
            if (write_failed) {
                const std::lock_guard lock(mutex_);
                stopping_ = true;
            }
            tickets_.release();
        }
        if (tClock::now() - last_progress >= std::chrono::milliseconds(250)) {
            last_progress = tClock::now();
            Show_progress(errors, written, start);
        }
        if (write_failed) break;
    }
    workers.Stop();

    if (settings_.Format == tSeries_format::Json) write(Json_series_tail(written));
    if (!write_failed && std::fflush(out) != 0) write_failed = true;
    Clear_progress(errors);
    if (write_failed) {
        message(System_error_message(Last_error_or_io()));
        return 1;
    }
    if (!read_failure.empty()) {
        message(read_failure);
        return 1;
    }
    if (settings_.Cases == 0 && written == 0) {
        message(Format_text("The data file holds no case row after the %d controls.", controls_.N));
        return 1;
    }
    if (settings_.Cases > 0 && written < settings_.Cases) {
        message(Format_text("The data file holds %lld case row(s) after the %d controls, but "
                            "%lld were asked for.",
                            written, controls_.N, settings_.Cases));
        return 1;
    }
    return refused ? 1 : 0;
}

} // namespace

tCase_outcome Run_case(const tControl_analysis& controls, long long number, const tCase_row& row,
                       const tSeries_settings& settings) {
    tCase_outcome outcome;
    std::optional<tCase_analysis>& analysis = outcome.Analysis;
    if (!row.Error.empty()) {
        outcome.Error = With_full_stop(row.Error);
    } else {
        try {
            analysis = Analyse_case(controls, row.Scores, [&](const std::string& warning) {
                outcome.Warnings.push_back(warning);
            });
        } catch (const std::exception& error) {
            // The window's text, which does not name the line by itself.
            outcome.Error = Format_text("Line %lld: ", row.Line) + With_full_stop(error.what());
        }
    }
    const tCase_analysis* const c = analysis ? &*analysis : nullptr;
    switch (settings.Format) {
    case tSeries_format::Csv:
        outcome.Text = Csv_line(number, c, controls.Limits, outcome.Error);
        break;
    case tSeries_format::Json:
        outcome.Text = Json_series_case(number, c, controls.NVars, outcome.Error);
        break;
    case tSeries_format::Report:
        if (!c) {
            outcome.Text = Refused_report(number, outcome.Error);
        } else {
            std::vector<std::string> lines = Report_lines(controls, *c, settings.Notes, number > 1);
            // After the separator and the empty line that open a report.
            const auto at = lines.begin() + (number > 1 ? 2 : 1);
            lines.insert(at,
                         {Format_text(" Case %lld (line %lld of the file)", number, row.Line), ""});
            for (const std::string& line : lines)
                outcome.Text += line + "\n";
        }
        break;
    }
    return outcome;
}

std::string Progress_text(long long done, long long total, double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    std::string text = Format_text("%lld case(s) done, %.1f a second", done, rate);
    if (total > 0 && rate > 0 && done < total)
        text += ", about " + Duration_text(static_cast<double>(total - done) / rate) + " left";
    return text;
}

int Run_case_series(const tControl_analysis& controls, tCase_series_reader& reader,
                    const tSeries_settings& settings, std::FILE* out, std::FILE* errors) {
    tSeries_settings checked = settings;
    checked.Jobs = std::max(1, settings.Jobs);
    tPipeline pipeline(controls, reader, checked);
    return pipeline.Run(out, errors);
}
