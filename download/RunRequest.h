#pragma once
// Everything a download run needs, gathered once before it starts: from the window's controls,
// or, for a run without a window, from the settings the controls keep.

#include "download/sources/SourceNames.h"
#include "download/sources/SpaceTrackGroups.h"
#include "elementfiles/ElementFolders.h"
#include "settings/FileOptions.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace elsetry {

struct TGroupChoice {
    TGroupChoice() = default;
    TGroupChoice(bool IsChecked, std::string Name, TFileOptions FileOptions = {})
        : Checked(IsChecked), FileName(std::move(Name)), Options(FileOptions)
    {
    }

    bool Checked = false;
    std::string FileName;
    TFileOptions Options;
    // Why the stored options are none the file may be written with; the file is then not
    // downloaded and the earlier one stays. Empty when they are.
    std::string OptionsFault;

    bool operator==(const TGroupChoice&) const = default;
};

// What the run asks the service for, and how it reaches it.
struct TDownloadInputs {
    // The value of the "Source" setting; empty means the default, Space-Track's API.
    std::string Source{SpaceTrackApiSource};
    std::string SpaceTrackAddress{DefaultSpaceTrackAddress};
    // Where the membership of the groups Space-Track no longer publishes is read.
    std::string CelesTrakAddress{DefaultCelesTrakAddress};
    std::string Username;
    std::string Password;
    std::string ProxyServer;
    std::string ProxyPort;
    std::string ProxyUserName;
    std::string ProxyPassword;
    // One per row of SpaceTrackGroups, in the same order.
    std::array<TGroupChoice, GroupCount> Groups;
    // The individual list: catalogue numbers in the memo's order, and its file name.
    std::vector<std::string> Favourites;
    std::string FavouritesFileName;
    TFileOptions FavouritesOptions;
    std::string FavouritesOptionsFault;
    // The line ends of every file the run writes.
    TLineEnds LineEnds = TLineEnds::CrLf;

    bool operator==(const TDownloadInputs&) const = default;
};

struct TRunRequest {
    TDownloadInputs Inputs;
    TElementFolders Folders;
    // Nobody may be watching: missing folders are created without a question, and the run's boxes
    // close themselves.
    bool Unattended = false;
    // No request is sent once this much time has passed since the start.
    std::optional<std::chrono::milliseconds> Deadline;
    // Whether the connection test passed just before the run.
    bool Connected = true;

    bool operator==(const TRunRequest&) const = default;
};

} // namespace elsetry
