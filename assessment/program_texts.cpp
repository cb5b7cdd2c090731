#include "program_texts.h"

const std::string ProgramDescription =
    "Pavona.exe: Builds a multiple regression equation and uses it to make inferences "
    "concerning a case";
const std::string StateFileName = "Pavona.txt";

const std::string PredictorsCaption = "Number of predictor (i.e., X) variables : ";
const std::string SampleSizeCaption = "Sample size (N) of sample providing the summary data:";
const std::string NotesCaption = "User's Notes:";

const std::vector<std::string> MethodReferenceLines = {
    " A regression-based method for comparing a single case with a normative or control",
    " sample: the case's predicted score, a t test on its discrepancy, the percentage of the",
    " population more extreme with non-central t confidence limits, and the Z-OP effect size.",
};
