// Download benchmark: a whole run of all twelve groups (the full catalogue among them) and a
// 50-number individual list from the stand-in service on loopback, beside the same transfers made
// by the curl command line followed by the same reading, saving and checking.
//   usage: elsetry-bench-download [FULL_CATALOGUE_SETS] [REPEATS]

#include "download/sources/DownloadExchange.h"
#include "download/DownloadRun.h"
#include "elementfiles/SaveAndCheck.h"
#include "elements/ElementColumns.h"
#include "platform/Gunzip.h"
#include "platform/TextFile.h"
#include "text/Lines.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace elsetry;

namespace {

constexpr int FavouriteCount = 50;

class TQuietHost : public TRunLog {
public:
    std::string Folder;
    TDownloadInputs Inputs;
    int LogLines = 0;
    std::vector<std::string> Messages;

    void ClearLog() override { LogLines = 0; }
    void ShowMessage(const std::string& Text) override { Messages.push_back(Text); }
    void ShowError(const std::string& Text) override { Messages.push_back(Text); }
    TElementFolders Folders() const { return {Folder + "/keps/", Folder + "/hist/", {}, {}, std::time(nullptr)}; }
    TRunRequest Request() const { return {Inputs, Folders(), true, std::nullopt, true}; }
    void Log(const std::string&, bool) override { ++LogLines; }
    void ShowStatus(const std::string&) override {}
};

double Seconds(const std::function<void()>& Work)
{
    const auto start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// Fifty catalogue numbers spread over the full catalogue.
std::vector<std::string> Favourites(const std::string& DataFolder)
{
    const TTextLines full = ReadTextLines(DataFolder + "/2.txt");
    const std::size_t sets = full.size() / 3;
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < FavouriteCount; ++i)
        numbers.emplace_back(FieldText(full[(i * sets / FavouriteCount) * 3 + 1], Line1::CatalogueNumber));
    return numbers;
}

std::string FileNameOfGroup(std::size_t Row)
{
    std::string name(SpaceTrackGroups[Row].Name);
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name + ".txt";
}

TDownloadInputs AllChosen(const std::string& Address, const std::string& DataFolder)
{
    TDownloadInputs inputs;
    // The form exchange: its gzip groups are what the curl command line fetches beside it, and
    // it knows no usage limits that repeats would run into.
    inputs.Source = std::string(SpaceTrackLegacySource);
    inputs.SpaceTrackAddress = Address;
    inputs.Username = "observer";
    inputs.Password = "secret";
    for (std::size_t row = 0; row < GroupCount; ++row)
        inputs.Groups[row] = {true, FileNameOfGroup(row), {}};
    inputs.Favourites = Favourites(DataFolder);
    inputs.FavouritesFileName = "MyFavourites.txt";
    return inputs;
}

void RunCurl(const std::vector<std::string>& Arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : Arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp("curl", argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("curl failed");
}

// One curl process for the whole exchange, its transfers sharing cookies and connections.
std::vector<std::string> CurlArguments(const TDownloadInputs& Inputs, const std::string& Folder)
{
    const std::string& base = Inputs.SpaceTrackAddress;
    std::vector<std::string> arguments{"curl"};
    const auto request = [&](const std::string& Url, const std::string& Output, const std::string* Form) {
        if (arguments.size() > 1)
            arguments.push_back("--next");
        for (const char* argument : {"-s", "-f", "-b", "", "-H", "Accept: text/html, */*", "-A",
                                     "Mozilla/3.0 (compatible; Indy Library)", "-o"})
            arguments.emplace_back(argument);
        arguments.push_back(Output);
        if (Form != nullptr) {
            arguments.emplace_back("--data-binary");
            arguments.push_back(*Form);
        }
        arguments.push_back(Url);
    };
    const std::string login = FormEncode(LoginForm(Inputs.Username, Inputs.Password));
    const std::string query = FormEncode(QueryForm(Inputs.Favourites));
    request(base + std::string(LogoutPath), "/dev/null", nullptr);
    request(base + std::string(LoginPath), "/dev/null", &login);
    for (std::size_t row = 0; row < GroupCount; ++row)
        request(base + std::string(GroupPathPrefix) + std::to_string(SpaceTrackGroups[row].Id),
                Folder + "/group" + std::to_string(row) + ".gz", nullptr);
    request(base + std::string(QueryPath), Folder + "/query.html", &query);
    request(base + std::string(LogoutPath), "/dev/null", nullptr);
    return arguments;
}

// What the run does with the answers, done to the files curl wrote.
void CheckCurlAnswers(TQuietHost& Host, const std::string& Folder)
{
    for (std::size_t row = 0; row < GroupCount; ++row) {
        std::vector<std::string> lines = GunzipToLines(Folder + "/group" + std::to_string(row) + ".gz");
        SaveAndCheck(Host, Host.Folders(), std::move(lines), Host.Inputs.Groups[row].FileName);
    }
    const std::string answer = ReadWholeFile(Folder + "/query.html");
    std::vector<std::string> lines = LineCopies(SplitLines(answer));
    if (lines.size() < 5)
        return;
    TrimPreformattedBlock(lines);
    if (lines.size() > 2)
        SaveAndCheck(Host, Host.Folders(), std::move(lines), Host.Inputs.FavouritesFileName);
}

// Our client alone: the same fifteen requests, the answers left unread.
void ClientTransfers(const TDownloadInputs& Inputs, const std::string& Folder)
{
    THttpClient client;
    const std::string& base = Inputs.SpaceTrackAddress;
    client.GetText(base + std::string(LogoutPath));
    client.PostForm(base + std::string(LoginPath), LoginForm(Inputs.Username, Inputs.Password));
    TKepTempFile file(Folder);
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const int fd = file.Create();
        client.GetToFile(base + std::string(GroupPathPrefix) + std::to_string(SpaceTrackGroups[row].Id), fd);
        ::close(fd);
    }
    client.PostForm(base + std::string(QueryPath), QueryForm(Inputs.Favourites));
    client.GetText(base + std::string(LogoutPath));
    ::unlink(file.Path().c_str());
}

struct TFigures {
    std::vector<double> Run, CurlWhole, CurlTransfers, ClientOnly;
};

void Measure(const std::string& Root, const std::string& Address, int Repeats, TFigures& Figures)
{
    TQuietHost host;
    host.Folder = Root;
    host.Inputs = AllChosen(Address, Root + "/data");
    TDownloadSession session(Root + "/tmp");
    const std::vector<std::string> curl = CurlArguments(host.Inputs, Root + "/curl");
    for (int i = 0; i < Repeats; ++i) {
        Figures.Run.push_back(Seconds([&] {
            if (session.RunDownload(host, host.Request()) != TDownloadOutcome::Completed || !host.Messages.empty())
                throw std::runtime_error("the run did not complete");
        }));
        double transfers = 0;
        Figures.CurlWhole.push_back(Seconds([&] {
            transfers = Seconds([&] { RunCurl(curl); });
            CheckCurlAnswers(host, Root + "/curl");
        }));
        Figures.CurlTransfers.push_back(transfers);
        Figures.ClientOnly.push_back(Seconds([&] { ClientTransfers(host.Inputs, Root + "/tmp"); }));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int fullCount = argc > 1 ? std::atoi(argv[1]) : 60000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    char pattern[] = "/tmp/elsetry-bench-download-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    const std::string root = pattern;
    for (const char* folder : {"/keps", "/hist", "/tmp", "/curl"})
        std::filesystem::create_directories(root + folder);
    TFigures figures;
    try {
        service::WriteDemoGroups(root + "/data", fullCount);
        service::TServiceOptions options;
        options.DataFolder = root + "/data";
        const service::TCatalogueService service(options);
        Measure(root, service.Address(), repeats, figures);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        std::filesystem::remove_all(root);
        return 1;
    }
    std::filesystem::remove_all(root);
    const double run = Median(figures.Run);
    const double curl = Median(figures.CurlWhole);
    std::printf("Twelve groups (full catalogue %d sets) and %d numbers, median of %d, loopback:\n", fullCount,
                FavouriteCount, repeats);
    std::printf("  download run                      %8.3f s\n", run);
    std::printf("  curl command line + same checking %8.3f s\n", curl);
    std::printf("  run / curl                        %8.3f\n", run / curl);
    std::printf("  transfers alone: our client %.3f s, curl %.3f s\n", Median(figures.ClientOnly),
                Median(figures.CurlTransfers));
    return run <= curl * 1.2 ? 0 : 3;
}
