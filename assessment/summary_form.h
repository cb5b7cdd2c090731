#pragma once

// Summary statistics typed cell by cell into a form (the page's), checked
// before they are read as a summary file, so that a refusal names its cell
// in the form's words rather than a line and entry of a file.

#include <optional>
#include <string>
#include <vector>

struct tSummary_cells {
    std::string N;
    std::vector<std::string> Means;       // k + 1, the criterion first
    std::vector<std::string> SDs;         // k + 1
    std::vector<std::string> Case_scores; // k + 1
    // Correlations[i][j] for variable i + 1 with variable j + 1, j < i: the
    // cells below the diagonal (row 0 is empty).
    std::vector<std::vector<std::string>> Correlations;
};

struct tSummary_cell {
    enum class tKind { N, Mean, SD, Case_score, Correlation };
    tKind Kind = tKind::N;
    int Variable = 0; // from 1; for a correlation, the row's variable
    int Other = 0;    // a correlation's column variable (below the row's)
};

struct tCell_refusal {
    tSummary_cell Cell;
    std::string Message;
};

// The first cell, in the form's order (n; each variable's mean, SD and the
// case's score; the correlations row by row), that is empty, not one number,
// or out of its range; none when every cell can be read.
std::optional<tCell_refusal> Check_summary_cells(const tSummary_cells& cells, int k);
