#pragma once
// An unattended start without a display: the start-up and one run straight from the settings
// store, logged to standard output and standard error, with no window and no Qt at all.

#include "download/CommandLine.h"
#include "download/DownloadRun.h"
#include "platform/InternetFunctions.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace elsetry {

// What the run takes from its surroundings; the program's own are gathered as for the window.
struct TWindowlessSetup {
    TArguments Arguments;
    TInternetFunctions Internet;
    std::function<bool()> ConnectionTest;
    // Where the settings file may be, in the order searched.
    std::vector<std::string> SettingsFiles;
    std::string TempFolder;
    std::string Home;
    std::chrono::milliseconds RunDeadline{};
};

TWindowlessSetup ProgramWindowlessSetup(TArguments Arguments);

// Puts the settings in order, removes the program's leftovers, and runs the start-up (PlanStartup)
// with one download when it plans one. The outcome of that run; nothing when none was made.
std::optional<TDownloadOutcome> RunWithoutWindow(const TWindowlessSetup& Setup);

} // namespace elsetry
