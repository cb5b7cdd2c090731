#include "app/worksheet_form.h"

// The Continue button: reads and checks the entries, saves them, reads the raw
// data file, runs the analysis and shows the report.
void TfrmTemplate::cmdComputeClick() {}
