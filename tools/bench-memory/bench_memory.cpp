// Memory benchmark: the peak memory of one download run whose single group is one large answer,
// for each form the sources answer in, against the bound of three times the answer plus 100 MiB.
// The data is made, the stand-in service runs and each run is made in a process of its own, so
// that the figure (the run's maximum resident set) is the run's alone. Each case runs twice: into
// an empty folder, and again with the first run's file in place as the earlier file (a fresh
// store, so that no ledger holds the second run back).
//   usage: elsetry-bench-memory [--cap MIB] [csv] [csv-kept] [3le] [api] [api-csv] [api-json] [gzip] [linefeeds]
//          [blanks]
//     (all cases by default; --cap limits the address space of each run, to show that a run out
//     of memory fails its group instead of ending)
//     csv        CelesTrak, 339,000 sets as some 50 MB of OMM CSV
//     csv-kept   the same for a file written as CSV, which keeps the answer's text beside its lines
//     3le        the form exchange, the full catalogue as 64 MB of uncompressed element lines
//     api        the query API, 339,000 sets in the 3le form
//     api-csv    the query API, the same sets asked for as OMM CSV for a file written as CSV
//     api-json   the query API, 75,000 sets asked for as OMM JSON (some 57 MB) for a file written
//                as JSON, which keeps each object of the answer as it came
//     gzip       the form exchange, a 60,000-set catalogue compressed
//     linefeeds  the form exchange, 64 MB of line feeds uncompressed
//     blanks     the query API's reading of a 64 MB answer of line feeds

#include "download/sources/ApiQueries.h"
#include "download/DownloadRun.h"
#include "download/sources/RunStops.h"
#include "platform/TextFile.h"
#include "settings/SqliteSettingsStore.h"
#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/CelesTrakGroups.h"
#include "tools/catalogue-service/GpQuery.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace elsetry;

namespace {

constexpr double MiB = 1024.0 * 1024.0;

class TQuietHost : public TRunLog {
public:
    std::string Folder;
    TDownloadInputs Inputs;
    std::vector<std::string> Failures;

    void ClearLog() override {}
    void ShowMessage(const std::string& Text) override { Failures.push_back(Text); }
    void ShowError(const std::string& Text) override { Failures.push_back(Text); }
    TElementFolders Folders() const { return {Folder + "/keps/", Folder + "/hist/", {}, {}, std::time(nullptr)}; }
    TRunRequest Request() const { return {Inputs, Folders(), true, std::nullopt, true}; }
    void Log(const std::string& Line, bool) override
    {
        if (Line.find("Failed") != std::string::npos)
            Failures.push_back(Line);
    }
    void ShowStatus(const std::string&) override {}
};

// What a case is made of: the data it serves and how the run asks for it.
struct TCase {
    const char* Name;
    const char* What;
    std::string_view Source;
    // Writes the data; gives the size of the answer it makes.
    std::size_t (*Write)(const std::string& Data);
    void (*Serve)(service::TServiceOptions&);
    // The form of the group's file, which decides what the answer keeps.
    TFileForm Form;
};

void NoSwitch(service::TServiceOptions&) {}

std::vector<std::string> Catalogue(int Count)
{
    TCatalogueOptions options;
    options.Count = Count;
    options.FirstNumber = 100;
    options.Alpha5 = true;
    // Recent epochs, as the query API answers only sets of the last 30 days.
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    options.EpochYear = utc.tm_year % 100;
    options.FirstEpochDay = std::max(1, utc.tm_yday - 9);
    return GenerateCatalogue(options);
}

// The sets once, or repeated until they fill Bytes; the size of the file.
std::size_t WriteSets(const std::string& Path, const std::vector<std::string>& Lines, std::size_t Bytes = 0)
{
    std::ofstream out(Path, std::ios::binary);
    std::size_t written = 0;
    for (std::size_t i = 0;; i = (i + 3) % Lines.size()) {
        if (Bytes == 0 && i == 0 && written > 0)
            break;
        std::size_t set = 0;
        for (std::size_t k = 0; k < 3; ++k)
            set += Lines[i + k].size() + 2;
        if (Bytes > 0 && written + set > Bytes)
            break;
        for (std::size_t k = 0; k < 3; ++k)
            out << Lines[i + k] << "\r\n";
        written += set;
    }
    return written;
}

std::size_t CsvAnswerSize(const std::string& Data)
{
    const auto sets = service::SelectedSets(Data, "GROUP", "active");
    return sets ? service::GpAnswerText(*sets, "CSV", "").value_or("").size() : 0;
}

std::size_t GzipAnswerSize(const std::string& Path)
{
    return service::GzipText(ReadWholeFile(Path)).size();
}

std::size_t WriteCsvCatalogue(const std::string& Data)
{
    WriteSets(Data + "/2.txt", Catalogue(339000));
    return CsvAnswerSize(Data);
}

// The query API's JSON answer, some 800 bytes an object, of as many sets as fit the largest
// answer a group may have.
std::size_t WriteJsonCatalogue(const std::string& Data)
{
    const std::vector<std::string> sets = Catalogue(75000);
    WriteSets(Data + "/2.txt", sets);
    std::vector<service::TGpRecord> records;
    for (std::size_t set = 0; set + 2 < sets.size(); set += 3)
        records.push_back(service::GpRecordOf(sets[set], sets[set + 1], sets[set + 2]));
    return service::GpAnswer(service::ParseGpQuery("/format/json"), records).size();
}

void ServeCelesTrak(service::TServiceOptions& Options)
{
    Options.CelesTrakGroups = true;
}

const std::vector<TCase>& Cases()
{
    static const std::vector<TCase> cases{
        {"csv", "CelesTrak, OMM CSV", CelesTrakSource, WriteCsvCatalogue, ServeCelesTrak, TFileForm::ThreeLine},
        {"csv-kept", "CelesTrak, OMM CSV kept", CelesTrakSource, WriteCsvCatalogue, ServeCelesTrak, TFileForm::Csv},
        {"3le", "form exchange, element lines", SpaceTrackLegacySource,
         [](const std::string& Data) { return WriteSets(Data + "/2.txt", Catalogue(200000), 64000000); },
         [](service::TServiceOptions& Options) { Options.Faults.PlainGroups.insert(2); }, TFileForm::ThreeLine},
        {"api", "query API, 3le", SpaceTrackApiSource,
         [](const std::string& Data) { return WriteSets(Data + "/2.txt", Catalogue(339000)); }, NoSwitch,
         TFileForm::ThreeLine},
        {"api-csv", "query API, OMM CSV kept", SpaceTrackApiSource, WriteCsvCatalogue, NoSwitch, TFileForm::Csv},
        {"api-json", "query API, OMM JSON kept", SpaceTrackApiSource, WriteJsonCatalogue, NoSwitch, TFileForm::Json},
        {"gzip", "form exchange, gzip", SpaceTrackLegacySource,
         [](const std::string& Data) {
             WriteSets(Data + "/2.txt", Catalogue(60000));
             return GzipAnswerSize(Data + "/2.txt");
         },
         NoSwitch, TFileForm::ThreeLine},
        {"linefeeds", "form exchange, line feeds", SpaceTrackLegacySource,
         [](const std::string& Data) {
             std::ofstream(Data + "/2.txt", std::ios::binary) << std::string(64000000, '\n');
             return std::size_t{64000000};
         },
         [](service::TServiceOptions& Options) { Options.Faults.PlainGroups.insert(2); }, TFileForm::ThreeLine},
    };
    return cases;
}

struct TChildEnd {
    int Status = 1;
    double Peak = 0;       // the maximum resident set, bytes
    std::size_t Value = 0; // what Work gave
};

// Runs Work in a child process, which sets Value and gives its exit status.
TChildEnd InChild(const std::function<int(std::size_t& Value)>& Work)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        throw std::runtime_error("pipe failed");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::close(pipe[0]);
        int status = 1;
        std::size_t value = 0;
        try {
            status = Work(value);
        } catch (const std::exception& Error) {
            std::fprintf(stderr, "%s\n", Error.what());
        }
        if (::write(pipe[1], &value, sizeof value) != sizeof value)
            status = 1;
        std::fflush(nullptr);
        ::_exit(status);
    }
    ::close(pipe[1]);
    TChildEnd end;
    if (::read(pipe[0], &end.Value, sizeof end.Value) != sizeof end.Value)
        end.Value = 0;
    ::close(pipe[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child)
        throw std::runtime_error("wait failed");
    end.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    end.Peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    return end;
}

// The stand-in in a process of its own; its port.
pid_t StartService(const service::TServiceOptions& Options, int& Port)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        throw std::runtime_error("pipe failed");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        const service::TCatalogueService service(Options);
        const int port = service.Port();
        if (::write(pipe[1], &port, sizeof port) != sizeof port)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(pipe[1]);
    if (::read(pipe[0], &Port, sizeof Port) != sizeof Port)
        throw std::runtime_error("the stand-in did not start");
    ::close(pipe[0]);
    return child;
}

struct TResult {
    double Answer = 0;
    double Peak = 0;
    std::string Outcome;
};

// The run into an empty folder, then the same run with its file in place.
std::vector<TResult> RunCase(const TCase& Case, const std::string& Root, const std::string& Store, std::size_t CapBytes)
{
    const std::string data = Root + "/data";
    for (const char* folder : {"/data", "/keps", "/hist", "/tmp"})
        std::filesystem::create_directories(Root + folder);
    // Made in a child, so that the generator's memory is not the run's.
    const TChildEnd made = InChild([&](std::size_t& Answer) {
        Answer = Case.Write(data);
        return 0;
    });
    if (made.Status != 0)
        throw std::runtime_error("the data could not be made");
    service::TServiceOptions served;
    served.DataFolder = data;
    Case.Serve(served);
    int port = 0;
    const pid_t service = StartService(served, port);
    const std::string address = "http://127.0.0.1:" + std::to_string(port);
    const auto runOnce = [&] {
        std::filesystem::remove(Store);
        return InChild([&](std::size_t&) {
            if (CapBytes > 0) {
                const rlimit cap{CapBytes, CapBytes};
                ::setrlimit(RLIMIT_AS, &cap);
            }
            TQuietHost host;
            host.Folder = Root;
            host.Inputs.Source = std::string(Case.Source);
            host.Inputs.SpaceTrackAddress = address;
            host.Inputs.CelesTrakAddress = address;
            host.Inputs.Username = "observer";
            host.Inputs.Password = "secret";
            host.Inputs.Groups[0] = {true, "FullCatalog.txt", {Case.Form}};
            TDownloadTimeouts timeouts;
            timeouts.GroupMs = 120000;
            timeouts.QueryMs = 120000;
            TDownloadSession session(Root + "/tmp", timeouts);
            const TDownloadOutcome outcome = session.RunDownload(host, host.Request());
            for (const std::string& failure : host.Failures)
                std::fprintf(stderr, "  %s: %s\n", Case.Name, failure.c_str());
            return outcome == TDownloadOutcome::Completed ? 0 : 3;
        });
    };
    std::vector<TResult> results;
    for (int run = 0; run < 2; ++run) {
        const TChildEnd end = runOnce();
        results.push_back({static_cast<double>(made.Value), end.Peak,
                           end.Status == 0   ? "saved"
                           : end.Status == 3 ? "failed"
                                             : "ended"});
    }
    ::kill(service, SIGKILL);
    ::waitpid(service, nullptr, 0);
    std::filesystem::remove_all(Root);
    return results;
}

// The query API's reading of an answer of nothing but line feeds, alone.
TResult BlankAnswer()
{
    constexpr std::size_t bytes = 64000000;
    const TChildEnd end = InChild([](std::size_t&) {
        const std::string body(bytes, '\n');
        try {
            ThreeLineElementLines(body);
        } catch (const EGroupFailed&) {
            return 3;
        }
        return 0;
    });
    return {static_cast<double>(bytes), end.Peak, end.Status == 3 ? "refused" : end.Status == 0 ? "read" : "ended"};
}

void Print(const char* Name, const char* What, const TResult& Result)
{
    const double bound = 3 * Result.Answer + 100 * MiB;
    std::printf("%-10s %-30s %9.1f %9.1f %9.1f  %-7s %s\n", Name, What, Result.Answer / MiB, Result.Peak / MiB,
                bound / MiB, Result.Outcome.c_str(), Result.Peak <= bound ? "within" : "OVER");
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> wanted(argv + 1, argv + argc);
    std::size_t cap = 0;
    if (wanted.size() >= 2 && wanted[0] == "--cap") {
        cap = static_cast<std::size_t>(std::atol(wanted[1].c_str())) << 20;
        wanted.erase(wanted.begin(), wanted.begin() + 2);
    }
    const auto wants = [&wanted](const std::string& Name) {
        return wanted.empty() || std::find(wanted.begin(), wanted.end(), Name) != wanted.end();
    };
    char pattern[] = "/tmp/elsetry-bench-memory-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return 1;
    const std::string root = pattern;
    // The sources keep their ledgers in the store: a fresh one, never the user's.
    ::setenv(SettingsStoreVariable, (root + "/registry.sqlite3").c_str(), 1);
    std::printf("%-10s %-30s %9s %9s %9s  %-7s\n", "case", "answer", "MiB", "peak MiB", "bound MiB", "run");
    bool within = true;
    try {
        for (const TCase& c : Cases()) {
            if (!wants(c.Name))
                continue;
            const std::vector<TResult> results = RunCase(c, root + "/" + c.Name, root + "/registry.sqlite3", cap);
            for (std::size_t run = 0; run < results.size(); ++run) {
                Print(run == 0 ? c.Name : "  again", run == 0 ? c.What : "  with the earlier file", results[run]);
                within = within && results[run].Peak <= 3 * results[run].Answer + 100 * MiB;
            }
        }
        if (wants("blanks")) {
            const TResult result = BlankAnswer();
            Print("blanks", "query API reading, line feeds", result);
            within = within && result.Peak <= 3 * result.Answer + 100 * MiB;
        }
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        std::filesystem::remove_all(root);
        return 1;
    }
    std::filesystem::remove_all(root);
    return within ? 0 : 3;
}
