#include "floating_point_faults.h"

#include "distributions/text_format.h"

void Raise_floating_point_fault(int flags) {
    Clear_fault_flags(tFloating_point_scope::Fault_flags);
    if (flags & Fault_division_by_zero)
        throw EFloating_point_error("Floating point division by zero");
    if (flags & Fault_overflow) throw EFloating_point_error("Floating point overflow");
    throw EFloating_point_error("Invalid floating point operation");
}

std::string Not_converged_message(const char* routine, const char* loop, long count,
                                  const char* unit, const std::vector<tNamed_argument>& arguments) {
    std::string message = std::string(routine) + ": " + loop + " did not converge after " +
                          std::to_string(count) + " " + unit;
    const char* separator = " (";
    for (const tNamed_argument& argument : arguments) {
        message +=
            separator + std::string(argument.Name) + " = " + Format_text("%.10Lg", argument.Value);
        separator = ", ";
    }
    if (!arguments.empty()) message += ")";
    return message;
}

void Raise_not_converged(const char* routine, const char* loop, long count, const char* unit,
                         const std::vector<tNamed_argument>& arguments) {
    throw EFloating_point_error(Not_converged_message(routine, loop, count, unit, arguments));
}
