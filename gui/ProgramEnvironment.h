#pragma once
// The window's surroundings: what it takes from them, and how the real program gathers them.

#include "download/CommandLine.h"
#include "download/DownloadRun.h"
#include "download/sources/RunDeadline.h"
#include "gui/FormDialogs.h"
#include "platform/InternetFunctions.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace elsetry {

// What the window takes from its surroundings.
struct TFormEnvironment {
    TArguments Arguments;
    TInternetFunctions Internet;
    std::function<bool()> ConnectionTest;
    // Where the settings file may be, in the order searched.
    std::vector<std::string> SettingsFiles;
    // The executable's folder, with its trailing "/".
    std::string ExecutableFolder;
    // For the download's temporary file.
    std::string TempFolder;
    std::unique_ptr<TFormDialogs> Dialogs;
    // Without a display: the progress log is also written to standard output, and the program
    // closes itself where it would otherwise stay open for the user.
    bool Headless = false;
    // Told the outcome of every download run.
    std::function<void(TDownloadOutcome)> RunFinished;
    // How long an unattended run may take in all.
    std::chrono::milliseconds RunDeadline = DefaultRunDeadline;
};

// The surroundings of the real program.
TFormEnvironment ProgramEnvironment(TArguments Arguments, bool Headless);

} // namespace elsetry
