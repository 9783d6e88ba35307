#pragma once
// A recording host for download runs and a stand-in service with its folders, for the download tests.

#include "download/DownloadRun.h"
#include "download/RunRequest.h"
#include "elementfiles/RunLog.h"
#include "platform/TextFile.h"
#include "tests/support/TempFolder.h"
#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/CelesTrakGroups.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace elsetry::test {

// A loopback port that nothing listens on at the moment of asking.
inline int FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

using TLines = std::vector<std::string>;

class TDownloadRecordingHost : public TRunLog {
public:
    TDownloadInputs Inputs;
    bool IsUnattended = false;
    bool Connected = true;
    bool Answer = false; // to every question
    std::string Kepler;
    std::string Historic;
    TLines Extra;
    // "log ...", "status ...", "message ...", "closing message ..." (one that closes itself),
    // "error ...", "ask ...", "clear".
    TLines Events;
    // The block that ended the last run's log.
    TLines Summary;

    // The run's request from the fields above.
    TRunRequest Request(std::optional<std::chrono::milliseconds> Deadline = std::nullopt) const
    {
        return {Inputs, {Kepler, Historic, {}, Extra, std::time(nullptr)}, IsUnattended, Deadline, Connected};
    }
    void ClearLog() override { Events.push_back("clear"); }
    void ShowMessage(const std::string& Text) override { Events.push_back("message " + Text); }
    void ShowSelfClosingMessage(const std::string& Text) override { Events.push_back("closing message " + Text); }
    void ShowError(const std::string& Text) override { Events.push_back("error " + Text); }
    // Apart from Events, which the tests of the run's steps compare whole.
    void LogSummary(const TLines& Lines) override { Summary = Lines; }
    bool AskYesNo(const std::string& Caption, const std::string& Text) override
    {
        Events.push_back("ask " + Caption + ": " + Text);
        return Answer;
    }
    // Not in Events: how often a run would call it depends on the timing.
    void KeepAlive() override
    {
        ++KeepAlives;
        if (WhileAlive)
            WhileAlive();
    }
    int KeepAlives = 0;
    std::function<void()> WhileAlive;

    void Log(const std::string& Line, bool) override { Events.push_back("log " + Line); }
    void ShowStatus(const std::string& Text) override { Events.push_back("status " + Text); }

    // Events that start with Kind and a blank, without that prefix.
    TLines Only(const std::string& Kind) const
    {
        TLines lines;
        for (const std::string& event : Events)
            if (event.starts_with(Kind + " "))
                lines.push_back(event.substr(Kind.size() + 1));
        return lines;
    }
};

// The row of a group in the window's table.
inline std::size_t RowOf(int GroupId)
{
    for (std::size_t row = 0; row < GroupCount; ++row)
        if (SpaceTrackGroups[row].Id == GroupId)
            return row;
    return GroupCount;
}

inline TLines Catalogue(int Count, int FirstDay = 300)
{
    TCatalogueOptions options;
    options.Count = Count;
    options.FirstEpochDay = FirstDay;
    return GenerateCatalogue(options);
}

// The eleven known satellites, then six sets numbered from 148490 on, written in the letter form:
// the fifteenth set is "E8493".
inline TLines LetterFormCatalogue()
{
    TCatalogueOptions options;
    options.Count = 11 + 6;
    options.FirstNumber = 148490;
    options.Alpha5 = true;
    return GenerateCatalogue(options);
}

// Line 1 as CelesTrak writes it: a zero second derivative or drag term as "00000+0".
inline std::string CelesTrakForm(std::string Line)
{
    return service::CelesTrakLine(std::move(Line));
}

inline TLines CelesTrakForm(TLines Lines)
{
    for (std::string& line : Lines)
        line = CelesTrakForm(std::move(line));
    return Lines;
}

inline std::string LfText(const TLines& Lines)
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\n";
    return text;
}

// A temporary root with the service's data folder, the group data folder and a temporary folder,
// a stand-in service on loopback, a session and a host that logs in and fetches nothing yet.
struct TDownloadWorld {
    TTempFolder Root;
    std::string Data = Root.Path + "/data";
    std::string Temp = Root.Path + "/tmp";
    service::TServiceOptions Options;
    std::unique_ptr<service::TCatalogueService> Service;
    TDownloadSession Session;
    TDownloadRecordingHost Host;

    explicit TDownloadWorld(service::TServiceOptions ServiceOptions = {}, TDownloadTimeouts Timeouts = {},
                            TSourceChoice Choice = SourceFor)
        : Options(std::move(ServiceOptions)), Session(Temp, Timeouts, std::move(Choice))
    {
        for (const char* folder : {"/data", "/keps", "/hist", "/tmp"})
            std::filesystem::create_directory(Root.Path + folder);
        Options.DataFolder = Data;
        Options.RecordFile = Root.Path + "/requests.txt";
        Service = std::make_unique<service::TCatalogueService>(Options);
        Host.Kepler = Root.Path + "/keps/";
        Host.Historic = Root.Path + "/hist/";
        // The form exchange; the query API has tests of its own.
        Host.Inputs.Source = std::string(SpaceTrackLegacySource);
        Host.Inputs.SpaceTrackAddress = Service->Address();
        Host.Inputs.Username = Options.Username;
        Host.Inputs.Password = Options.Password;
    }

    void ServeGroup(int Id, const TLines& Lines) const { WriteText(Data + "/" + std::to_string(Id) + ".txt", LfText(Lines)); }
    void Choose(int Id, const std::string& FileName)
    {
        Host.Inputs.Groups[RowOf(Id)] = {true, FileName};
    }
    std::string Saved(const std::string& FileName) const { return Host.Kepler + FileName; }
    TDownloadOutcome Run() { return Session.RunDownload(Host, Host.Request()); }

    static void WriteText(const std::string& Path, const std::string& Text)
    {
        std::ofstream(Path, std::ios::binary) << Text;
    }
};

} // namespace elsetry::test
