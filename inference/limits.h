#pragma once

// The kind of limits wanted for the case, in the order of the worksheet's
// radio items (and of pavona-cli's --limits names): the analysis, the report,
// the CSV and the plot all take this one type.
enum class tLimits { Two_sided = 0, Lower = 1, Upper = 2 };
