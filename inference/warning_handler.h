#pragma once

#include <functional>
#include <string>

// Where the numeric code sends a warning that does not stop the computation:
// the window shows it in a warning box, the command-line tool writes it to
// standard error. An empty handler drops the warning.
using tWarning_handler = std::function<void(const std::string& message)>;
