#pragma once

// The worksheet's state file: the two entries (number of predictors, sample
// size) kept from one run to the next in "<folder>/Pavona.txt". The folder is a
// parameter so that the program passes the executable's folder and the tests a
// temporary one. Failures are raised as std::runtime_error with the texts
// "File access denied", "Disk full", "I/O error <n>" or "Invalid numeric input".

#include <functional>
#include <string>

#include "platform/state_folder.h"

// "<folder><separator>Pavona.txt".
std::string StateFilePath(const std::string& folder);

// Restores the entries when the file exists: each line's leading number is
// handed on as text formatted like "%1.6g" ('30.' comes back as '30', '2.50' as
// '2.5'; a number cut off by the end of the file as '0'). The second is read
// only after the first has been handed on, so a setter that raises stops the
// restore there. Returns false when there is no file.
bool LoadPreviousData(const std::string& folder,
                      const std::function<void(const std::string&)>& set_predictors,
                      const std::function<void(const std::string&)>& set_sample_size);

// Replaces the file with the two texts exactly as typed, each ended by CR LF;
// a failure leaves the file as it was. A missing folder is made first (the
// configuration folder does not exist before the first save).
void SaveCurrentData(const std::string& folder, const std::string& predictors,
                     const std::string& sample_size);

// Deletes the file if it exists; a failure to delete is ignored.
void DeleteStateFile(const std::string& folder);

// "%1.6g" independent of the locale (the windows switch the C locale to the
// user's, which may use a decimal comma).
std::string FormatStateNumber(double value);
