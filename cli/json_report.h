#pragma once

// Every figure of an analysis as one JSON object, at full precision.

#include <string>

#include "app/analysis.h"

// A number as JSON: 21 significant digits carry every bit of an extended
// real; a value that is not finite becomes null.
std::string Json_number(Extended value);

std::string Json_report(const tAnalysis& analysis);
