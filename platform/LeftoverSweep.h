#pragma once
// Temporary files that a killed or crashed run left behind: the hidden replacements written
// beside their targets (AtomicFile: ".<name>-<8 hex digits>.tmp") and the downloads in the
// temporary folder (TKepTempFile: "Kep<hex digits>.gz").

#include <ctime>
#include <string>
#include <string_view>

namespace elsetry {

// A day: no run of the program lasts that long, so an older temporary is nobody's.
inline constexpr std::time_t LeftoverAge = 24 * 60 * 60;

bool IsReplacementLeftover(std::string_view Name);
bool IsDownloadLeftover(std::string_view Name);

// Removes the entries of Folder whose names Matches and that are regular files of this user last
// changed before Before, never following a link; returns how many went. An empty Folder, or one
// that cannot be read, is left alone: the sweep is housekeeping, not part of a run.
int SweepLeftovers(const std::string& Folder, bool (*Matches)(std::string_view), std::time_t Before);

} // namespace elsetry
