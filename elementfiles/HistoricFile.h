#pragma once
// Historic files: one per satellite, extended with each newer element set that a download brings.

#include "elementfiles/ElementFolders.h"
#include "elementfiles/RunLog.h"
#include "settings/FileOptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

class TSatellite;

// The catalogue number of a historic list item ("NOAA-19" gives "33591"); letter case counts.
// Items that are not in the fixed table give nothing.
std::optional<std::string_view> HistoricCatalogueNumber(std::string_view Item);

// The items of the fixed table, in the order the window lists them.
std::vector<std::string> HistoricItems();

// An epoch field (two-digit year, day of year and fraction, "." as the decimal point) as a number
// that orders epochs in time: years below 57 are 20xx. Nothing for a text that is not an epoch.
std::optional<double> ChronologicalEpoch(std::string_view EpochText);

// Appends the element lines of Listed, the satellite the checked list holds for the file's
// catalogue number, to its historic file in the historic folder when they are newer than the last
// set of that satellite the file holds. A missing file is logged once a run (LogOnce);
// no satellite (nullptr: the list has none of that number) and an epoch that cannot be read leave
// the file as it was, without a log line. The set is not appended, with a
// "      Historic file not extended: " line, when its epoch lies more than a day after the folders'
// time of the run, or its orbit model does not set up and run at epoch and a day on. A name that
// is not a plain file name, a symbolic link, a special file or folder in the file's place, a
// file that cannot be read or is larger than an answer may be, and a file that cannot be written
// ("cannot write: No space left on device") are left alone with a "      Historic file not
// updated: " line, and false is returned: the run failed to keep that file. Names are logged
// with their control characters escaped. The whole file is written with LineEnds.
bool UpdateHistoricFile(TRunLog& Host, const TElementFolders& Folders, const std::string& HistoricFileName,
                        const TSatellite* Listed, TLineEnds LineEnds = TLineEnds::CrLf);

// Creates the empty historic file "<item>.txt" in Folder (given with its trailing "/") for each
// of Items that is in the fixed table and has no file yet; whatever stands in a file's place
// already, a file, a symbolic link or anything else, is left alone. One line per item, in order:
// "Created NOAA-19.txt", "NOAA-19.txt is there already", "NOAA-19.txt: a symbolic link, left
// alone", "NOAA-19.txt not created: <cause>".
std::vector<std::string> CreateHistoricFiles(const std::string& Folder, const std::vector<std::string>& Items);

} // namespace elsetry
