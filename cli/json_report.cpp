#include "cli/json_report.h"

#include <cmath>

#include "cli/cli_options.h"
#include "distributions/text_format.h"

std::string Json_number(Extended value) {
    if (!std::isfinite(value)) return "null";
    return Format_text("%.21Lg", value);
}

namespace {

std::string Json_vector(const tVector& v, int count) {
    std::string text = "[";
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? ", " : "") + Json_number(v[i]);
    return text + "]";
}

} // namespace

std::string Json_report(const tAnalysis& a) {
    const tRegression_results& reg = a.Regression;
    const tCase_results& res = a.Results;
    std::string text = "{\n";
    const auto field = [&](const char* name, const std::string& value) {
        if (text.size() > 2) text += ",\n";
        text += std::string("  \"") + name + "\": " + value;
    };
    field("k", std::to_string(a.K));
    field("n", std::to_string(a.N));
    field("limits", std::string("\"") + Limit_name(a.Limits) + "\"");
    field("means", Json_vector(a.Means, a.NVars));
    field("SDs", Json_vector(a.SDs, a.NVars));
    std::string corr = "[";
    for (int i = 1; i <= a.NVars; ++i) {
        corr += i > 1 ? ", [" : "[";
        for (int j = 1; j <= a.NVars; ++j)
            corr += (j > 1 ? ", " : "") + Json_number(a.Corr(i, j));
        corr += "]";
    }
    field("corr", corr + "]");
    field("case_scores", Json_vector(a.Case_scores, a.NVars));
    field("Beta", Json_vector(reg.Beta, a.K));
    field("Coef", Json_vector(reg.Coef, a.K));
    field("Intercept", Json_number(reg.Intercept));
    field("Mult_R", Json_number(reg.Mult_R));
    field("R_squared", Json_number(reg.R_squared));
    field("Adj_R_squared", Json_number(reg.Adj_R_squared));
    field("F_value", Json_number(reg.F_value));
    field("F_prob", Json_number(reg.F_prob));
    field("DF1", Json_number(reg.DF1));
    field("DF2", Json_number(reg.DF2));
    field("SEE", Json_number(reg.SEE));
    field("SD_residual", Json_number(reg.SD_residual));
    field("Predicted", Json_number(a.Predicted));
    field("SE_additional", Json_number(a.SE_additional));
    field("T_value", Json_number(res.T_value));
    field("DF", Json_number(res.DF));
    field("P_one_tailed", Json_number(res.P_one_tailed));
    field("P_two_tailed", Json_number(res.P_two_tailed));
    field("Pct_more_extreme", Json_number(res.Pct_more_extreme));
    field("Pct_lower", Json_number(res.Pct_lower));
    field("Pct_upper", Json_number(res.Pct_upper));
    field("ZOP", Json_number(res.ZOP));
    field("ZOP_lower", Json_number(res.ZOP_lower));
    field("ZOP_upper", Json_number(res.ZOP_upper));
    return text + "\n}\n";
}
