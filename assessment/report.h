#pragma once

// The text of the results report, line by line, as the viewer shows, saves
// and prints it in a fixed-pitch font.

#include <string>
#include <vector>

#include "assessment/analysis.h"
#include "matrix/matrix_printing.h"

// The report separator (102 underscores) and the table rule (a blank and 97
// underscores).
extern const std::string Report_separator;
extern const std::string Table_rule;
// Stands for the raw data when the analysis was built from summary statistics.
extern const std::string Summary_statistics_line;

// The lines of one report. `notes` are the lines of the user's notes (none:
// no notes section). `viewer_has_text` tells whether the viewer already holds
// at least one line, in which case the report begins with the separator.
// Numbers always use a decimal point, whatever the process locale.
std::vector<std::string> Report_lines(const tAnalysis& analysis,
                                      const std::vector<std::string>& notes, bool viewer_has_text);

// The same, each line handed to `put` as it is formed: a front end that
// writes the report out need not hold it whole.
void Report_lines(const tControl_analysis& controls, const tCase_analysis& case_analysis,
                  const std::vector<std::string>& notes, bool viewer_has_text,
                  const tLine_sink& put);

// The same for one case of a series against one control sample.
std::vector<std::string> Report_lines(const tControl_analysis& controls,
                                      const tCase_analysis& case_analysis,
                                      const std::vector<std::string>& notes, bool viewer_has_text);
