#pragma once

// Argument checks of the distribution library and the exception they raise.

#include <stdexcept>
#include <string>

#include "extended.h"

// Raised by every failed argument check; the id names the check that failed.
class EArgumentError : public std::runtime_error {
public:
    EArgumentError(int message_id, const std::string& message);
    int Message_id() const { return message_id_; }

private:
    int message_id_;
};

// The text of a message id; empty for an id without one.
std::string Message_text(int id);

// If `condition`, raises EArgumentError with the text of `id`; otherwise True.
bool Raise_if(bool condition, int id);

// Compares `value` with `bound` in the way `id` selects and raises
// EArgumentError (the text of `id` followed by the bound) when it fails.
// Ids without a comparison always pass.
bool Check_bound(int id, Extended value, Extended bound);

// At most twelve decimals, trailing zeros and a bare separator dropped.
std::string Format_number(Extended x);
