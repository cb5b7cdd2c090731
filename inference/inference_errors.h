#pragma once

#include <stdexcept>
#include <string>

// The non-centrality that a confidence limit needs lies beyond the range in
// which the non-central t series can be evaluated in reasonable time (as after
// a data-entry slip such as 50000 for 50).
class EDiscrepancy_too_extreme : public std::runtime_error {
public:
    EDiscrepancy_too_extreme()
        : std::runtime_error("The case's discrepancy is too extreme: the confidence limits "
                             "cannot be computed (check the case's scores for entry errors)") {}
};
