#pragma once
// What the last run left for a monitor to read ("elsetry --status"): when it ended, its outcome
// and its summary, kept small in the program's key of the settings store.

#include "download/DownloadRun.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace elsetry {

struct TLastRun {
    std::time_t Ended = 0;
    bool Complete = false;
    std::string Outcome; // "complete", or what kept the run from being so
    std::vector<std::string> Summary;
};

TLastRun LastRunOf(TDownloadOutcome Outcome, const std::vector<std::string>& Summary, std::time_t Ended);
// Stores Run in place of the one before; a summary past 8 KiB is cut at a line.
void StoreLastRun(const TLastRun& Run);
// The run stored last; failing that, a complete one at "LastSuccessfulRun" as earlier versions
// stored only that; nothing when no run is known.
std::optional<TLastRun> ReadLastRun();

struct TRunStatus {
    std::vector<std::string> Lines;
    // Complete and no older than the age asked for.
    bool Fresh = false;
};

// "Last run: 2026-12-09 04:10 UTC (3 h ago), complete" and the run's summary; a run that is
// complete but older than MaxAge says so.
TRunStatus RunStatus(const std::optional<TLastRun>& Run, std::time_t Now, std::chrono::seconds MaxAge);
// "25 min ago", "3 h ago", "2 d ago"; "in the future" for a time past Now.
std::string AgeText(std::chrono::seconds Age);

} // namespace elsetry
