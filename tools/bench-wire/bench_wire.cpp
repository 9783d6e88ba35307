// Bytes on the wire: the demo's run (twelve groups from a catalogue of 60,000 generated sets and
// an individual list of 36 numbers) from the stand-in service on loopback, with the query API and
// with the CelesTrak source, each once accepting gzip-compressed answers and once not. Prints what
// crossed the network, headers included, as the HTTP client counted it.
//   usage: elsetry-bench-wire [FULL_CATALOGUE_SETS]

#include "download/sources/CelesTrakSource.h"
#include "download/DownloadRun.h"
#include "download/sources/SourceNames.h"
#include "download/sources/SpaceTrackApiSource.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <ctime>
#include <string>
#include <vector>

using namespace elsetry;

namespace {

class TQuietHost : public TRunLog {
public:
    std::string Folder;
    TDownloadInputs Inputs;
    std::vector<std::string> Messages;

    void ClearLog() override {}
    void ShowMessage(const std::string& Text) override { Messages.push_back(Text); }
    void ShowError(const std::string& Text) override { Messages.push_back(Text); }
    TElementFolders Folders() const { return {Folder + "/", Folder + "/", {}, {}, std::time(nullptr)}; }
    TRunRequest Request() const { return {Inputs, Folders(), true, std::nullopt, true}; }
    void Log(const std::string&, bool) override {}
    void ShowStatus(const std::string&) override {}
};

// The demo's choices: every group and its individual list.
TDownloadInputs DemoInputs(const std::string& Address, bool CelesTrak)
{
    TDownloadInputs inputs;
    inputs.Source = std::string(CelesTrak ? CelesTrakSource : SpaceTrackApiSource);
    inputs.SpaceTrackAddress = Address;
    inputs.CelesTrakAddress = Address;
    inputs.Username = "observer";
    inputs.Password = "secret";
    for (std::size_t row = 0; row < GroupCount; ++row)
        inputs.Groups[row] = {true, std::string(SpaceTrackGroups[row].FileNameSetting) + ".txt", {}};
    for (const char* number : {"25544", "25338", "28654", "33591", "29499", "27453", "26536", "23455", "21263",
                               "25730", "27431"})
        inputs.Favourites.emplace_back(number);
    for (int number = 40001; number <= 40025; ++number)
        inputs.Favourites.push_back(std::to_string(number));
    inputs.FavouritesFileName = "MyFavourites.txt";
    return inputs;
}

// One run into a folder and store of its own, so that no usage limit or update cycle of another
// run holds it back.
long long WireBytesOfRun(const std::string& Root, const std::string& Address, bool CelesTrak, bool Gzip)
{
    const std::string name = std::string(CelesTrak ? "celestrak" : "api") + (Gzip ? "-gzip" : "-plain");
    const std::string store = Root + "/" + name + ".sqlite3";
    TQuietHost host;
    host.Folder = Root + "/" + name;
    std::filesystem::create_directories(host.Folder);
    host.Inputs = DemoInputs(Address, CelesTrak);
    TDownloadSession session(Root + "/tmp", {}, [&](const TDownloadInputs& Inputs) -> std::unique_ptr<TSource> {
        if (CelesTrak)
            return std::make_unique<TCelesTrakSource>(Inputs.CelesTrakAddress, SystemRunClock(), TCelesTrakRules{},
                                                      store);
        return std::make_unique<TSpaceTrackApiSource>(Inputs.SpaceTrackAddress, Inputs.CelesTrakAddress,
                                                      SystemRunClock(), TUsageRules{}, store);
    });
    session.Client().SetAcceptGzip(Gzip);
    if (session.RunDownload(host, host.Request()) != TDownloadOutcome::Completed || !host.Messages.empty())
        throw std::runtime_error("the " + name + " run did not complete");
    return session.Client().WireBytes();
}

} // namespace

int main(int argc, char** argv)
{
    const int fullCount = argc > 1 ? std::atoi(argv[1]) : 60000;
    char pattern[] = "/tmp/elsetry-bench-wire-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    const std::string root = pattern;
    std::filesystem::create_directories(root + "/tmp");
    try {
        service::WriteDemoGroups(root + "/data", fullCount);
        service::TServiceOptions options;
        options.DataFolder = root + "/data";
        options.CelesTrakGroups = true;
        const service::TCatalogueService service(options);
        std::printf("The demo's run (full catalogue %d sets, every group, 36 numbers), bytes on the wire:\n",
                    fullCount);
        for (const bool celesTrak : {false, true}) {
            const long long plain = WireBytesOfRun(root, service.Address(), celesTrak, false);
            const long long gzip = WireBytesOfRun(root, service.Address(), celesTrak, true);
            std::printf("  %-26s plain %11lld   gzip %10lld   %5.1f %%\n",
                        celesTrak ? "CelesTrak (CSV)" : "Space-Track query API", plain, gzip,
                        100.0 * static_cast<double>(gzip) / static_cast<double>(plain));
        }
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        std::filesystem::remove_all(root);
        return 1;
    }
    std::filesystem::remove_all(root);
    return 0;
}
