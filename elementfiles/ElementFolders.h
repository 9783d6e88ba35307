#pragma once
// The folders a run saves into and the historic files it extends, as the run was asked for them.

#include <ctime>
#include <string>
#include <vector>

namespace elsetry {

struct TElementFolders {
    // The folder texts, "~" replaced. A file's path is the folder text followed directly by the
    // file name; nothing is inserted between them.
    std::string Group;
    std::string Historic;
    // The checked items of the historic satellite list, in list order.
    std::vector<std::string> CheckedHistoric;
    // Further historic files, one "catalogue number=historic file name" line each.
    std::vector<std::string> ExtraHistoric;
    // The time of the run, against which element-set epochs too far ahead are refused.
    std::time_t TimeOfRun = std::time(nullptr);

    bool operator==(const TElementFolders&) const = default;
};

} // namespace elsetry
