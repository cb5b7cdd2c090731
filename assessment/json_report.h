#pragma once

// Every figure of an analysis as one JSON object, at full precision.

#include <optional>
#include <string>
#include <vector>

#include "assessment/analysis.h"

// Where the figures came from, so that the output can be traced to its input:
// the data file as it was named ("-" for standard input) and the user's notes.
struct tJson_origin {
    std::string Data_file;
    std::vector<std::string> Notes;
};

// A number as JSON: 21 significant digits carry every bit of an extended
// real; a value that is not finite becomes null.
std::string Json_number(Extended value);

// A text as a JSON string, quotes, backslashes and control characters escaped.
// Valid UTF-8 passes unchanged; each byte that is not part of a valid UTF-8
// character becomes U+FFFD, so that the document is valid JSON whatever the
// bytes of a file's name or the notes.
std::string Json_string(const std::string& text);

// The name of each kind of limits in the JSON report and on the command line.
const char* Limit_name(tLimits limits);
// The kind of limits of that name, if any.
std::optional<tLimits> Limits_named(const std::string& name);

std::string Json_report(const tAnalysis& analysis, const tJson_origin& origin);

// A series of cases as one object written piece by piece, so that it can be
// streamed: the head (the control sample's keys and the opening of "cases"),
// one piece a case in order, and the tail. A case not analysed (`analysis`
// null) has null figures and its message in "error"; the others have a null
// "error".
std::string Json_series_head(const tControl_analysis& controls, const tJson_origin& origin);
std::string Json_series_case(long long number, const tCase_analysis* analysis, int nvars,
                             const std::string& error);
std::string Json_series_tail(long long cases_written);
