#pragma once

// Program-wide texts, fixed at start-up.

#include <string>
#include <vector>

extern const std::string ProgramDescription; // window caption and report heading
extern const std::string StateFileName;      // "Pavona.txt"

// Captions of the worksheet's two entry labels; the input checks quote them.
extern const std::string PredictorsCaption; // Label1
extern const std::string SampleSizeCaption; // Label2
extern const std::string NotesCaption;      // lblComments

// The published method that the statistics implement, as three report lines
// (each beginning with a blank). A maintainer replaces this one text to cite
// the paper; the worksheet's description opens with the same text.
extern const std::vector<std::string> MethodReferenceLines;
