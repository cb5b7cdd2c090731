#pragma once

// Failures of the sample statistics and of the equation built on them. They
// are raised before any arithmetic could turn the failure into a division by
// zero or a silently wrong equation; the caller turns them into a message.

#include <stdexcept>
#include <string>

// The control scores of one variable do not vary, so no correlation involving
// it exists.
class EZero_variance : public std::runtime_error {
public:
    explicit EZero_variance(int variable)
        : std::runtime_error("The control scores of variable " + std::to_string(variable) +
                             " do not vary"),
          variable_(variable) {}

    // 1-based index of the variable, in the order of the data columns.
    int Variable() const { return variable_; }

private:
    int variable_;
};

// A matrix that had to be inverted had no usable pivot in some column: the
// predictors are (nearly) linearly dependent.
class ENot_positive_definite : public std::runtime_error {
public:
    ENot_positive_definite()
        : std::runtime_error("The predictors' correlation matrix is not positive definite") {}
};
