// Saving and checking benchmark: SaveAndCheck of a synthetic catalogue (write, reload, check and
// the eleven historic files of the fixed table, each a year of history that the run extends),
// printed beside a bare load of the same file, the write alone and the answer gate alone. "bomb"
// instead measures a 4 kB gzip answer that inflates to millions of blank lines, from reading it to the log ("bomb N"
// for N lines; run it alone, as it reports the process's peak memory).

#include "elementfiles/AnswerGate.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/SaveAndCheck.h"
#include "elementfiles/SetChanges.h"
#include "elements/SatelliteList.h"
#include "platform/AtomicFile.h"
#include "platform/Gunzip.h"
#include "platform/ProcessPriority.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <zlib.h>

using namespace elsetry;

namespace {

const std::vector<std::string> HistoricItems{"FY1C",    "FY1D",    "ISS-Zarya", "MetOp-A", "NOAA-12", "NOAA-14",
                                             "NOAA-15", "NOAA-16", "NOAA-17",   "NOAA-18", "NOAA-19"};
constexpr int HistoryDays = 365;

class TQuietHost : public TRunLog {
public:
    std::string Folder;
    int Lines = 0;

    TElementFolders Folders() const
    {
        return {Folder + "/keps/", Folder + "/hist/", HistoricItems, {}, std::time(nullptr)};
    }
    void Log(const std::string&, bool) override { ++Lines; }
    void ShowStatus(const std::string&) override {}
};

// A year of older sets of the satellite, one a day, as its historic file holds them.
std::string HistoryOf(const std::vector<std::string>& Catalogue, const std::string& Number)
{
    const std::string prefix = "1 " + Number;
    const auto line1 = std::find_if(Catalogue.begin(), Catalogue.end(),
                                    [&](const std::string& Line) { return Line.starts_with(prefix); });
    if (line1 == Catalogue.end() || line1 + 1 == Catalogue.end())
        return {};
    std::vector<std::string> lines;
    for (int day = 1; day <= HistoryDays; ++day) {
        char epoch[16];
        std::snprintf(epoch, sizeof epoch, "25%03d.50000000", day);
        lines.push_back(std::string(*line1).replace(18, 14, epoch));
        lines.push_back(*(line1 + 1));
    }
    return CrLfText(lines);
}

using THistories = std::vector<std::pair<std::string, std::string>>;

// Path and contents of each historic file of the fixed table.
THistories HistoriesOf(const std::string& Folder, const std::vector<std::string>& Catalogue)
{
    THistories histories;
    for (const std::string& item : HistoricItems)
        histories.emplace_back(Folder + "/hist/" + item + ".txt",
                               HistoryOf(Catalogue, std::string(HistoricCatalogueNumber(item).value_or(""))));
    return histories;
}

void ResetHistoricFiles(const THistories& Histories)
{
    for (const auto& [path, contents] : Histories)
        ReplaceFile(path, contents);
}

struct TFigures {
    double Best = 0;
    double Median = 0;
};

// Best and median of Repeats runs of Work, in milliseconds; Prepare runs untimed before each.
TFigures Measure(int Repeats, const std::function<void()>& Prepare, const std::function<void()>& Work)
{
    std::vector<double> times;
    for (int r = 0; r < Repeats; ++r) {
        Prepare();
        const auto start = std::chrono::steady_clock::now();
        Work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void Print(const char* What, const TFigures& Figures)
{
    std::printf("  %-48s best %8.2f ms  median %8.2f ms\n", What, Figures.Best, Figures.Median);
}

// Blank lines compressed as tightly as gzip allows, about 1000 to one.
void WriteNewlineBomb(const std::string& Path, std::size_t Lines)
{
    const gzFile gz = gzopen(Path.c_str(), "wb9");
    if (gz == nullptr)
        throw std::runtime_error("cannot write " + Path);
    const std::string block(65536, '\n');
    for (std::size_t left = Lines; left > 0;) {
        const std::size_t part = std::min(left, block.size());
        gzwrite(gz, block.data(), static_cast<unsigned>(part));
        left -= part;
    }
    gzclose(gz);
}

// One group answer of blank lines from the temporary file to the log, as a run takes it.
int BombRun(TQuietHost& Host, std::size_t Lines)
{
    const std::string path = Host.Folder + "/bomb.gz";
    WriteNewlineBomb(path, Lines);
    const auto compressed = std::filesystem::file_size(path);
    const auto start = std::chrono::steady_clock::now();
    std::string outcome = "saved";
    try {
        std::vector<std::string> lines = GunzipToLines(path);
        SaveAndCheck(Host, Host.Folders(), std::move(lines), "bomb.txt");
    } catch (const std::exception& Error) {
        outcome = std::string("failed: ") + Error.what();
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("newline bomb of %ju bytes (%zu blank lines): %s, %.0f ms, peak memory %ld MB, %d log lines\n",
                static_cast<std::uintmax_t>(compressed), Lines, outcome.c_str(), ms, usage.ru_maxrss / 1024, Host.Lines);
    std::filesystem::remove_all(Host.Folder);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "bomb") {
        TQuietHost host;
        const std::string name = "elsetry-bench-bomb-" + std::to_string(::getpid());
        host.Folder = (std::filesystem::temp_directory_path() / name).string();
        std::filesystem::create_directories(host.Folder + "/keps");
        std::filesystem::create_directories(host.Folder + "/hist");
        return BombRun(host, argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 4000000);
    }
    const int count = argc > 1 ? std::atoi(argv[1]) : 60000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 7;
    TCatalogueOptions options;
    options.Count = count;
    const std::vector<std::string> catalogue = GenerateCatalogue(options);

    TQuietHost host;
    host.Folder = (std::filesystem::temp_directory_path() / ("elsetry-bench-save-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(host.Folder + "/keps");
    std::filesystem::create_directories(host.Folder + "/hist");
    const std::string groupFile = host.Folders().Group + "catalogue.txt";
    const std::string text = CrLfText(catalogue);
    const THistories histories = HistoriesOf(host.Folder, catalogue);

    std::printf("%d sets (%.1f MB), eleven historic files of %d sets each, %d runs:\n", count,
                static_cast<double>(text.size()) / 1e6, HistoryDays, repeats);
    Print("write (beside, flush, rename)", Measure(repeats, [] {}, [&] { ReplaceFile(groupFile, text); }));
    Print("bare load of the written file", Measure(repeats, [] {}, [&] {
              TSatelliteList list;
              list.LoadFromFile(groupFile);
          }));
    Print("bare load at idle priority, as the check runs", Measure(repeats, [] {}, [&] {
              const TIdlePriority idle;
              TSatelliteList list;
              list.LoadFromFile(groupFile);
          }));
    Print("eleven historic files replaced", Measure(repeats, [] {}, [&] { ResetHistoricFiles(histories); }));
    std::vector<std::string> lines;
    Print("answer gate alone (one pass over the lines)", Measure(
              repeats, [&] { lines = catalogue; },
              [&] { PassGate(lines, 1, std::time(nullptr), {}); }));
    Print("SaveAndCheck, every historic file extended",
          Measure(
              repeats,
              [&] {
                  ResetHistoricFiles(histories);
                  lines = catalogue;
              },
              [&] { SaveAndCheck(host, host.Folders(), std::move(lines), "catalogue.txt"); }));
    Print("SaveAndCheck, historic files already current",
          Measure(
              repeats, [&] { lines = catalogue; },
              [&] { SaveAndCheck(host, host.Folders(), std::move(lines), "catalogue.txt"); }));
    Print("what changed against the earlier file",
          Measure(
              repeats, [] {},
              [&] {
                  if (!ChangesFrom(ReadEarlierFile(groupFile), SetEpochsOf(text)))
                      throw std::runtime_error("no earlier file");
              }));
    std::printf("  (%d log lines in all)\n", host.Lines);
    std::filesystem::remove_all(host.Folder);
    return 0;
}
