#pragma once

// The answer a clinician came for, apart from the report: the case's key
// figures with the report's own rounding, read from the same figures, and a
// plain sentence on which way the case lies from its prediction.

#include <string>
#include <vector>

#include "assessment/analysis.h"

struct tKey_figure {
    std::string Label;
    std::string Value;
};

struct tKey_results {
    std::vector<tKey_figure> Figures;
    std::string Direction; // one sentence
};

tKey_results Key_results(const tControl_analysis& controls, const tCase_analysis& c);

// One case's figures in the CSV's column order (obtained to zop_upper), each
// rounded as the report prints it; a limit the choice of limits does not
// show is empty, as in the CSV.
std::vector<std::string> Rounded_case_figures(const tCase_analysis& c, tLimits limits);
