#include "assessment/summary_form.h"

#include <cmath>

#include "assessment/analysis.h"
#include "assessment/number_lines.h"
#include "assessment/reading_advice.h"
#include "assessment/summary_file_reader.h"
#include "distributions/text_format.h"

namespace {

using tKind = tSummary_cell::tKind;

std::string Cell_name(const tSummary_cell& cell) {
    switch (cell.Kind) {
    case tKind::N:
        return "n";
    case tKind::Mean:
        return "The mean of " + Variable_label(cell.Variable);
    case tKind::SD:
        return "The standard deviation of " + Variable_label(cell.Variable);
    case tKind::Case_score:
        return "The case's score on " + Variable_label(cell.Variable);
    case tKind::Correlation:
        break;
    }
    return "The correlation between " + Variable_label(cell.Other) + " and " +
           Variable_label(cell.Variable);
}

// The one number a cell holds, or the refusal of what it holds.
std::optional<Extended> Read_cell(const std::string& text, const tSummary_cell& cell,
                                  std::string& refusal) {
    std::vector<std::string> words;
    For_each_word(text, 2, [&](std::string_view word, bool) { words.emplace_back(word); });
    if (words.empty()) {
        refusal = Cell_name(cell) + " is missing: type it.";
        return std::nullopt;
    }
    if (words.size() > 1) {
        refusal = Cell_name(cell) + " must be one number, not '" + text + "'.";
        return std::nullopt;
    }
    try {
        return Read_data_number(words.front(), 2);
    } catch (const EData_file_error&) {
        refusal = Cell_name(cell) + " must be a number, not '" + words.front() + "'.";
        // Line 2: a word in a cell is never a file's title row.
        const std::string advice = Invalid_number_advice(words.front(), 2, false);
        if (!advice.empty()) refusal += " " + advice;
        return std::nullopt;
    }
}

} // namespace

std::optional<tCell_refusal> Check_summary_cells(const tSummary_cells& cells, int k) {
    const int nvars = k + 1;
    std::string refusal;
    const auto refuse = [&](const tSummary_cell& cell) {
        return std::optional<tCell_refusal>(tCell_refusal{cell, refusal});
    };
    const auto cell_text = [](const std::vector<std::string>& row, int index) {
        return index < static_cast<int>(row.size()) ? row[index] : std::string();
    };

    const tSummary_cell n_cell{tKind::N, 0, 0};
    const std::optional<Extended> n = Read_cell(cells.N, n_cell, refusal);
    if (!n) return refuse(n_cell);
    if (*n != std::floor(*n) || *n < k + 2 || *n > Max_summary_sample_size) {
        refusal = Format_text("n must be a whole number from k + 2 = %d to %lld, not %s.", k + 2,
                              Max_summary_sample_size, Format_text("%.10Lg", *n).c_str());
        return refuse(n_cell);
    }
    for (int v = 1; v <= nvars; ++v) {
        const tSummary_cell mean{tKind::Mean, v, 0};
        if (!Read_cell(cell_text(cells.Means, v - 1), mean, refusal)) return refuse(mean);
        const tSummary_cell sd{tKind::SD, v, 0};
        const std::optional<Extended> sd_value =
            Read_cell(cell_text(cells.SDs, v - 1), sd, refusal);
        if (!sd_value) return refuse(sd);
        if (!(*sd_value > 0)) {
            refusal = Cell_name(sd) + " must be greater than 0.";
            return refuse(sd);
        }
        const tSummary_cell score{tKind::Case_score, v, 0};
        if (!Read_cell(cell_text(cells.Case_scores, v - 1), score, refusal)) return refuse(score);
    }
    for (int i = 2; i <= nvars; ++i)
        for (int j = 1; j < i; ++j) {
            const tSummary_cell r_cell{tKind::Correlation, i, j};
            const std::vector<std::string> row = i - 1 < static_cast<int>(cells.Correlations.size())
                                                     ? cells.Correlations[i - 1]
                                                     : std::vector<std::string>();
            const std::optional<Extended> r = Read_cell(cell_text(row, j - 1), r_cell, refusal);
            if (!r) return refuse(r_cell);
            if (*r < -1 || *r > 1) {
                refusal = Cell_name(r_cell) + " must lie between -1 and 1, not " +
                          Format_text("%.10Lg", *r) + ".";
                return refuse(r_cell);
            }
        }
    return std::nullopt;
}
