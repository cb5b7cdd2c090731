#include "assessment/json_report.h"

#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "distributions/text_format.h"

std::string Json_number(Extended value) {
    if (!std::isfinite(value)) return "null";
    return Format_text("%.21Lg", value);
}

namespace {

// The length of the well-formed UTF-8 sequence that starts at `at`, or 0 when
// the byte there starts none (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF, a sequence cut short).
std::size_t Utf8_sequence_length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    const unsigned lead = byte(0);
    // The range of the second byte depends on the lead; the others are 80..BF.
    unsigned low = 0x80, high = 0xBF;
    std::size_t length;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (lead == 0xE0) low = 0xA0;  // overlong below U+0800
    if (lead == 0xED) high = 0x9F; // surrogates U+D800..U+DFFF
    if (lead == 0xF0) low = 0x90;  // overlong below U+10000
    if (lead == 0xF4) high = 0x8F; // past U+10FFFF
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

} // namespace

std::string Json_string(const std::string& text) {
    // U+FFFD REPLACEMENT CHARACTER
    static const char* const Replacement = "\xEF\xBF\xBD";
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // A JSON text is UTF-8: a name or notes from a Latin-1 system
            // keep every valid character, and each byte that is not one
            // becomes the replacement character.
            const std::size_t length = Utf8_sequence_length(text, i);
            quoted += length > 0 ? text.substr(i, length) : Replacement;
            i += length > 0 ? length : 1;
            continue;
        }
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            quoted += Format_text("\\u%04x", static_cast<unsigned>(byte));
        } else {
            quoted += c;
        }
        ++i;
    }
    return quoted + "\"";
}

namespace {

// In the order of tLimits.
const char* const Limit_names[] = {"two-sided", "lower", "upper"};

} // namespace

const char* Limit_name(tLimits limits) {
    return Limit_names[static_cast<int>(limits)];
}

std::optional<tLimits> Limits_named(const std::string& name) {
    for (int i = 0; i < 3; ++i)
        if (name == Limit_names[i]) return static_cast<tLimits>(i);
    return std::nullopt;
}

namespace {

using tFields = std::vector<std::pair<const char*, std::string>>;

std::string Json_vector(const tVector& v, int count) {
    std::string text = "[";
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? ", " : "") + Json_number(v[i]);
    return text + "]";
}

void Origin_fields(tFields& fields, const tJson_origin& origin) {
    fields.emplace_back("data_file", Json_string(origin.Data_file));
    std::string notes = "[";
    for (const std::string& line : origin.Notes)
        notes += (notes.size() > 1 ? ", " : "") + Json_string(line);
    fields.emplace_back("notes", notes + "]");
}

// The keys of the control sample before the case's scores.
void Sample_fields(tFields& fields, const tControl_analysis& a) {
    fields.emplace_back("k", std::to_string(a.K));
    fields.emplace_back("n", std::to_string(a.N));
    fields.emplace_back("limits", std::string("\"") + Limit_name(a.Limits) + "\"");
    fields.emplace_back("means", Json_vector(a.Means, a.NVars));
    fields.emplace_back("SDs", Json_vector(a.SDs, a.NVars));
    std::string corr = "[";
    for (int i = 1; i <= a.NVars; ++i) {
        corr += i > 1 ? ", [" : "[";
        for (int j = 1; j <= a.NVars; ++j)
            corr += (j > 1 ? ", " : "") + Json_number(a.Corr(i, j));
        corr += "]";
    }
    fields.emplace_back("corr", corr + "]");
}

void Equation_fields(tFields& fields, const tControl_analysis& a) {
    const tRegression_results& reg = a.Regression;
    fields.emplace_back("Beta", Json_vector(reg.Beta, a.K));
    fields.emplace_back("Coef", Json_vector(reg.Coef, a.K));
    fields.emplace_back("Intercept", Json_number(reg.Intercept));
    fields.emplace_back("Mult_R", Json_number(reg.Mult_R));
    fields.emplace_back("R_squared", Json_number(reg.R_squared));
    fields.emplace_back("Adj_R_squared", Json_number(reg.Adj_R_squared));
    fields.emplace_back("F_value", Json_number(reg.F_value));
    fields.emplace_back("F_prob", Json_number(reg.F_prob));
    fields.emplace_back("DF1", Json_number(reg.DF1));
    fields.emplace_back("DF2", Json_number(reg.DF2));
    fields.emplace_back("SEE", Json_number(reg.SEE));
    fields.emplace_back("SD_residual", Json_number(reg.SD_residual));
}

// The case's figures after its scores; all null for a case not analysed.
void Inference_fields(tFields& fields, const tCase_analysis* c) {
    const auto number = [&](Extended tCase_analysis::*member) {
        return c ? Json_number(c->*member) : "null";
    };
    const auto result = [&](Extended tCase_results::*member) {
        return c ? Json_number(c->Results.*member) : "null";
    };
    fields.emplace_back("Predicted", number(&tCase_analysis::Predicted));
    fields.emplace_back("SE_additional", number(&tCase_analysis::SE_additional));
    fields.emplace_back("T_value", result(&tCase_results::T_value));
    fields.emplace_back("DF", result(&tCase_results::DF));
    fields.emplace_back("P_one_tailed", result(&tCase_results::P_one_tailed));
    fields.emplace_back("P_two_tailed", result(&tCase_results::P_two_tailed));
    fields.emplace_back("Pct_more_extreme", result(&tCase_results::Pct_more_extreme));
    fields.emplace_back("Pct_lower", result(&tCase_results::Pct_lower));
    fields.emplace_back("Pct_upper", result(&tCase_results::Pct_upper));
    fields.emplace_back("ZOP", result(&tCase_results::ZOP));
    fields.emplace_back("ZOP_lower", result(&tCase_results::ZOP_lower));
    fields.emplace_back("ZOP_upper", result(&tCase_results::ZOP_upper));
}

// One key a line, indented by two.
std::string Joined(const tFields& fields) {
    std::string text;
    for (const auto& [name, value] : fields)
        text += (text.empty() ? "  \"" : ",\n  \"") + std::string(name) + "\": " + value;
    return text;
}

} // namespace

std::string Json_report(const tAnalysis& a, const tJson_origin& origin) {
    tFields fields;
    Origin_fields(fields, origin);
    Sample_fields(fields, a);
    fields.emplace_back("case_scores", Json_vector(a.Case_scores, a.NVars));
    Equation_fields(fields, a);
    Inference_fields(fields, &a);
    return "{\n" + Joined(fields) + "\n}\n";
}

std::string Json_series_head(const tControl_analysis& controls, const tJson_origin& origin) {
    tFields fields;
    Origin_fields(fields, origin);
    Sample_fields(fields, controls);
    Equation_fields(fields, controls);
    return "{\n" + Joined(fields) + ",\n  \"cases\": [";
}

std::string Json_series_case(long long number, const tCase_analysis* analysis, int nvars,
                             const std::string& error) {
    tFields fields;
    fields.emplace_back("case", std::to_string(number));
    fields.emplace_back("case_scores",
                        analysis ? Json_vector(analysis->Case_scores, nvars) : "null");
    Inference_fields(fields, analysis);
    fields.emplace_back("error", error.empty() ? "null" : Json_string(error));
    std::string text = number > 1 ? ",\n    {" : "\n    {";
    for (std::size_t i = 0; i < fields.size(); ++i)
        text += (i > 0 ? ", \"" : "\"") + std::string(fields[i].first) + "\": " + fields[i].second;
    return text + "}";
}

std::string Json_series_tail(long long cases_written) {
    return cases_written > 0 ? "\n  ]\n}\n" : "]\n}\n";
}
