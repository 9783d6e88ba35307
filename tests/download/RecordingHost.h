#pragma once
// A host for saving and checking that records what it is told, with the scheduling policy and
// I/O priority class the calling thread had at each call, and the element texts the tests feed it.

#include "elementfiles/ElementFolders.h"
#include "elementfiles/RunLog.h"
#include "platform/ProcessPriority.h"
#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestElementSets.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace elsetry::test {

class TRecordingHost : public TRunLog {
public:
    std::string Kepler;
    std::string Historic;
    std::vector<std::string> Checked;
    std::vector<std::string> Extra;
    // "log ..." ("log! ..." when repainted at once) and "status ...", in the order they came.
    std::vector<std::string> Events;
    std::vector<int> Policies;
    std::vector<int> IoClasses;
    std::time_t RunTime = std::time(nullptr);

    TElementFolders Folders() const { return {Kepler, Historic, Checked, Extra, RunTime}; }
    void Log(const std::string& Line, bool RepaintNow) override { Record((RepaintNow ? "log! " : "log ") + Line); }
    void ShowStatus(const std::string& Text) override { Record("status " + Text); }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& event : Events)
            if (event.starts_with("log"))
                lines.push_back(event.substr(event.find(' ') + 1));
        return lines;
    }

private:
    void Record(std::string Event)
    {
        Events.push_back(std::move(Event));
        Policies.push_back(CurrentSchedulingPolicy());
        IoClasses.push_back(CurrentIoPriorityClass());
    }
};

// A temporary folder with a group data folder "keps/" and a historic folder "hist/".
struct TSaveFolders {
    TTempFolder Root;
    TRecordingHost Host;

    TSaveFolders()
    {
        std::filesystem::create_directory(Root.Path + "/keps");
        std::filesystem::create_directory(Root.Path + "/hist");
        Host.Kepler = Root.Path + "/keps/";
        Host.Historic = Root.Path + "/hist/";
    }
    std::string Group(const std::string& Name) const { return Host.Kepler + Name; }
    std::string History(const std::string& Name) const { return Host.Historic + Name; }
};

// The three lines of one element set.
inline std::vector<std::string> Set(const std::string& Name, const std::string& Number,
                                    const std::string& Epoch = "08264.51782528")
{
    return {Name, LineOne(Number, Epoch), LineTwo(Number)};
}

inline std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> Parts)
{
    std::vector<std::string> lines;
    for (const auto& part : Parts)
        lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}

inline std::string CrLf(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

inline void WriteFile(const std::string& Path, const std::string& Contents)
{
    std::ofstream(Path, std::ios::binary) << Contents;
}

inline std::vector<std::string> FolderNames(const std::string& Folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace elsetry::test
