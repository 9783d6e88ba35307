#pragma once
// What the program puts in order in its settings at every start, before the window or a run
// without one reads them, and what a run leaves there.

#include <string>

namespace elsetry {

// The time of the last run that saved every chosen file, as "2026-12-08 17:40 UTC".
inline constexpr const char* LastSuccessfulRunSetting = "LastSuccessfulRun";

// Records the program's path for the maker's other programs; stores the default group data and
// historic folders where none is stored (a folder the user emptied stays empty: the run then
// asks for one rather than guess); moves an individual list of an earlier version, one number
// per line under "MyFavouritesList", to comma text under "MyFavourites".
void PrepareProgramSettings();

// Stores now as the last successful run.
void RecordSuccessfulRun();

} // namespace elsetry
