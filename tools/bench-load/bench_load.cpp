// Loading benchmark. First it times the whole of `elsetry-tle check` on synthetic element
// files of several sizes, each as element lines, as CSV and as JSON, with 1, 2 and all threads,
// as a child process per run: wall time, CPU time and peak memory of that child alone. Measured from outside, it works
// with any build of elsetry-tle (--tle), so that an older one gives the "before" figures. With --satellite-js the same
// files are loaded by satellite.js 5 under Node.js for comparison. Then it compares the load of one catalogue as
// element lines, as CSV and as JSON, in-process.

#include "elements/SatelliteList.h"
#include "text/Numbers.h"
#include "tools/catalogue/CatalogueGenerator.h"
#include "tools/catalogue/CatalogueOmm.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

using namespace elsetry;

namespace {

// A failed run or a wrong count: the figures would mean nothing, so the bench stops.
class EBenchFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const char* const UsageText =
    "Usage: elsetry-bench-load [--sizes N,N,...] [--repeats N] [--tle PATH] [--satellite-js DIR]\n"
    "                          [--forms N]\n"
    "  --sizes N,N,...     element sets per generated file (default 10000,30000,60000,120000)\n"
    "  --repeats N         timed runs per configuration, median and best shown (default 7)\n"
    "  --tle PATH          the elsetry-tle to measure (default: the one built beside this bench)\n"
    "  --satellite-js DIR  also load the files with satellite.js; DIR holds node_modules/satellite.js\n"
    "                      (npm install satellite.js@5 run in DIR)\n"
    "  --forms N           sets of the element lines, CSV and JSON comparison (default 60000; 0: none)\n";

struct TOptions {
    std::vector<int> Sizes{10000, 30000, 60000, 120000};
    int Repeats = 7;
    std::string Tle = ELSETRY_TLE_PATH;
    std::string SatelliteJs; // empty: no comparison
    int FormsCount = 60000;
    bool Help = false;
};

std::optional<int> ReadCount(const std::string& Text, int Least)
{
    const std::optional<int> value = ReadInteger(Text);
    if (!value || *value < Least)
        return std::nullopt;
    return value;
}

std::optional<std::vector<int>> ReadSizes(const std::string& Text)
{
    std::vector<int> sizes;
    std::size_t start = 0;
    while (start <= Text.size()) {
        const std::size_t comma = std::min(Text.find(',', start), Text.size());
        const std::optional<int> size = ReadCount(Text.substr(start, comma - start), 1);
        if (!size)
            return std::nullopt;
        sizes.push_back(*size);
        start = comma + 1;
    }
    return sizes;
}

std::optional<TOptions> ReadOptions(int argc, char** argv)
{
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            options.Help = true;
            continue;
        }
        if (i + 1 >= argc)
            return std::nullopt;
        const std::string value = argv[++i];
        if (option == "--sizes") {
            const auto sizes = ReadSizes(value);
            if (!sizes)
                return std::nullopt;
            options.Sizes = *sizes;
        } else if (option == "--repeats") {
            const auto repeats = ReadCount(value, 1);
            if (!repeats)
                return std::nullopt;
            options.Repeats = *repeats;
        } else if (option == "--forms") {
            const auto count = ReadCount(value, 0);
            if (!count)
                return std::nullopt;
            options.FormsCount = *count;
        } else if (option == "--tle") {
            options.Tle = value;
        } else if (option == "--satellite-js") {
            options.SatelliteJs = value;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// A folder of its own under /tmp for the element files, removed with everything in it.
class TTemporaryFolder {
public:
    TTemporaryFolder()
    {
        std::string pattern = "/tmp/elsetry-bench-load.XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw EBenchFailure(std::string("cannot make a temporary folder: ") + std::strerror(errno));
        Path = pattern;
    }
    ~TTemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    TTemporaryFolder(const TTemporaryFolder&) = delete;
    TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

    std::string Path;
};

// What one child process took.
struct TRun {
    double WallMs = 0;
    double CpuMs = 0;
    double PeakMiB = 0;
    int Status = 0; // as wait4 gives it
    std::string Output;
};

double Milliseconds(const timeval& Time)
{
    return static_cast<double>(Time.tv_sec) * 1000.0 + static_cast<double>(Time.tv_usec) / 1000.0;
}

std::string CommandText(const std::vector<std::string>& Command)
{
    std::string text;
    for (const std::string& word : Command)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// Runs Command (looked up on PATH) with Environment and waits for it. Its standard output goes
// to /dev/null, or is read back when Capture is set; standard error stays the bench's own so that
// the child's complaints are seen, unless Quiet. The wall time runs from the spawn to the end of
// the wait.
TRun Run(const std::vector<std::string>& Command, char* const* Environment, bool Capture, bool Quiet = false)
{
    std::vector<char*> argv;
    for (const std::string& word : Command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (Capture && ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw EBenchFailure(std::string("pipe: ") + std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (Capture)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (Quiet)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    TRun run;
    pid_t child = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), Environment);
    posix_spawn_file_actions_destroy(&actions);
    if (Capture)
        ::close(pipeEnds[1]);
    if (spawned != 0) {
        if (Capture)
            ::close(pipeEnds[0]);
        throw EBenchFailure("cannot start " + Command[0] + ": " + std::strerror(spawned));
    }
    if (Capture) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                run.Output.append(buffer, static_cast<std::size_t>(n));
        ::close(pipeEnds[0]);
    }
    rusage usage{};
    while (::wait4(child, &run.Status, 0, &usage) < 0)
        if (errno != EINTR)
            throw EBenchFailure(std::string("wait4: ") + std::strerror(errno));
    const auto end = std::chrono::steady_clock::now();
    run.WallMs = std::chrono::duration<double, std::milli>(end - start).count();
    run.CpuMs = Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime);
    run.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

bool Succeeded(const TRun& Run)
{
    return WIFEXITED(Run.Status) && WEXITSTATUS(Run.Status) == 0;
}

std::string StatusText(int Status)
{
    if (WIFEXITED(Status))
        return "exit status " + std::to_string(WEXITSTATUS(Status));
    if (WIFSIGNALED(Status))
        return std::string("killed by ") + ::strsignal(WTERMSIG(Status));
    return "status " + std::to_string(Status);
}

std::string Trimmed(const std::string& Text)
{
    const std::size_t first = Text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return Text.substr(first, Text.find_last_not_of(" \t\r\n") - first + 1);
}

// A run that checks what the timed runs of the same command will do: success, and the count of
// the sets (every set of a generated file is a satellite of its own).
void Check(const std::vector<std::string>& Command, char* const* Environment, int Count)
{
    const TRun run = Run(Command, Environment, true);
    const std::string expected = std::to_string(Count) + " satellites";
    if (!Succeeded(run))
        throw EBenchFailure(CommandText(Command) + ": " + StatusText(run.Status));
    if (Trimmed(run.Output) != expected)
        throw EBenchFailure(CommandText(Command) + ": printed \"" + Trimmed(run.Output) + "\", expected \"" + expected
                            + "\"");
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    const std::size_t n = Values.size();
    return n % 2 == 1 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2.0;
}

// Median and best wall time, median CPU time and the largest peak of the timed runs.
struct TFigures {
    double WallMs = 0;
    double BestWallMs = 0;
    double CpuMs = 0;
    double PeakMiB = 0;
};

TFigures Measure(const std::vector<std::string>& Command, char* const* Environment, int Count, int Repeats)
{
    Check(Command, Environment, Count);
    std::vector<double> wall;
    std::vector<double> cpu;
    TFigures figures;
    for (int r = 0; r < Repeats; ++r) {
        const TRun run = Run(Command, Environment, false);
        if (!Succeeded(run))
            throw EBenchFailure(CommandText(Command) + ": " + StatusText(run.Status));
        wall.push_back(run.WallMs);
        cpu.push_back(run.CpuMs);
        figures.PeakMiB = std::max(figures.PeakMiB, run.PeakMiB);
    }
    figures.WallMs = Median(wall);
    figures.BestWallMs = *std::min_element(wall.begin(), wall.end());
    figures.CpuMs = Median(cpu);
    return figures;
}

const char* const FiguresHeading = "  wall ms   (best)    CPU ms  peak MiB  wall us/set  CPU us/set";

void PrintFigures(const TFigures& Figures, int Count)
{
    std::printf("%9.1f %8.1f %9.1f %9.1f %12.2f %11.2f", Figures.WallMs, Figures.BestWallMs, Figures.CpuMs,
                Figures.PeakMiB, 1000.0 * Figures.WallMs / Count, 1000.0 * Figures.CpuMs / Count);
}

std::string ElementFileText(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

void WriteFile(const std::string& Path, const std::string& Text)
{
    std::ofstream file(Path, std::ios::binary);
    file << Text;
    file.close();
    if (!file)
        throw EBenchFailure("cannot write " + Path);
}

// The forms a catalogue is written in, each loaded by the same check.
struct TForm {
    const char* Label;
    const char* Extension;
};
constexpr TForm Forms[] = {{"lines", ".txt"}, {"CSV", ".csv"}, {"JSON", ".json"}};

std::string CatalogueFile(const std::string& Folder, int Count, const TForm& Form = Forms[0])
{
    return Folder + "/catalogue-" + std::to_string(Count) + Form.Extension;
}

// Runs Work in a child process and waits for it; the child's failure is the bench's.
template <typename TWork>
void InChild(const char* What, TWork Work)
{
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0)
        throw EBenchFailure(std::string("fork: ") + std::strerror(errno));
    if (child == 0) {
        int code = 0;
        try {
            Work();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "elsetry-bench-load: %s\n", error.what());
            code = 1;
        }
        std::fflush(stdout);
        std::_Exit(code);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            throw EBenchFailure(std::string("waitpid: ") + std::strerror(errno));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw EBenchFailure(std::string(What) + " failed: " + StatusText(status));
}

// The catalogues are generated in a child process: a spawned child's peak memory starts from
// this process's, which therefore stays small. Numbers past 99999 take the letter form so that
// every set is a satellite of its own at every size.
void WriteCatalogues(const std::string& Folder, const std::vector<int>& Sizes)
{
    InChild("writing the catalogues", [&] {
        for (const int count : Sizes) {
            TCatalogueOptions options;
            options.Count = count;
            options.Alpha5 = true;
            const std::vector<std::string> lines = GenerateCatalogue(options);
            WriteFile(CatalogueFile(Folder, count, Forms[0]), ElementFileText(lines));
            WriteFile(CatalogueFile(Folder, count, Forms[1]), CatalogueAsOmmCsv(lines));
            WriteFile(CatalogueFile(Folder, count, Forms[2]), CatalogueAsOmmJson(lines));
        }
    });
}

// Thread counts of the rows: 0 stands for "no --threads", for builds that do not know it.
struct TThreadRow {
    unsigned Threads = 0;
    std::string Label;
};

std::vector<std::string> TleCommand(const std::string& Tle, unsigned Threads, const std::string& File)
{
    if (Threads == 0)
        return {Tle, "check", File};
    return {Tle, "check", "--threads", std::to_string(Threads), File};
}

// Builds from before --threads turn it down as a usage error; they are measured with their own
// thread use, one row per size.
std::vector<TThreadRow> ThreadRows(const std::string& Tle, const std::string& File, unsigned Cores)
{
    if (!Succeeded(Run(TleCommand(Tle, 1, File), environ, true, true))) {
        const TRun plain = Run(TleCommand(Tle, 0, File), environ, true);
        if (!Succeeded(plain))
            throw EBenchFailure(CommandText(TleCommand(Tle, 0, File)) + ": " + StatusText(plain.Status));
        std::printf("threads option not supported; one row per size\n");
        return {{0, "default"}};
    }
    return {{1, "1"}, {2, "2"}, {Cores, "all (" + std::to_string(Cores) + ")"}};
}

// The environment with NODE_PATH set so that require('satellite.js') finds the package.
class TNodeEnvironment {
public:
    explicit TNodeEnvironment(const std::string& Folder)
    {
        if (!Folder.empty())
            Strings.push_back("NODE_PATH=" + (std::filesystem::absolute(Folder) / "node_modules").string());
        for (char** variable = environ; *variable != nullptr; ++variable)
            if (std::strncmp(*variable, "NODE_PATH=", 10) != 0)
                Strings.emplace_back(*variable);
        for (std::string& variable : Strings)
            Pointers.push_back(variable.data());
        Pointers.push_back(nullptr);
    }
    char* const* Get() const { return Pointers.data(); }

private:
    std::vector<std::string> Strings;
    std::vector<char*> Pointers;
};

std::string FirstLine(const TRun& Run)
{
    return Trimmed(Run.Output.substr(0, Run.Output.find('\n')));
}

// Node.js with satellite.js from Folder: its version, checked before anything is measured.
std::string NodeVersion(const std::string& Folder, const TNodeEnvironment& Node)
{
    if (!std::filesystem::is_directory(std::filesystem::path(Folder) / "node_modules" / "satellite.js"))
        throw EBenchFailure(Folder + " holds no node_modules/satellite.js");
    const TRun version = Run(
        {"node", "-p",
         "'Node.js ' + process.version + ', satellite.js ' + require('satellite.js/package.json').version"},
        Node.Get(), true);
    if (!Succeeded(version))
        throw EBenchFailure("node cannot load satellite.js from " + Folder);
    return FirstLine(version);
}

void MeasureProcesses(const TOptions& Options)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const TNodeEnvironment node(Options.SatelliteJs);
    const std::string nodeVersion = Options.SatelliteJs.empty() ? "" : NodeVersion(Options.SatelliteJs, node);
    std::printf("Loading element files with `elsetry-tle check`, a child process per run (median of %d runs)\n",
                Options.Repeats);
    std::printf("elsetry-tle: %s\n", Options.Tle.c_str());
    std::printf("cores: %u\n", cores);
    std::fflush(stdout);

    const TTemporaryFolder folder;
    WriteCatalogues(folder.Path, Options.Sizes);
    const std::vector<TThreadRow> rows = ThreadRows(Options.Tle, CatalogueFile(folder.Path, Options.Sizes.front()),
                                                    cores);

    std::printf("\nThe same sets as element lines, CelesTrak's CSV and its JSON; \"x lines\": wall time over that of"
                "\nthe element lines on as many threads\n");
    std::printf("\n    sets  form   threads %s  x lines\n", FiguresHeading);
    std::map<int, double> allThreadsMs; // by size, for the comparison
    for (const int count : Options.Sizes) {
        std::map<unsigned, double> linesMs; // by thread row
        for (const TForm& form : Forms)
            for (const TThreadRow& row : rows) {
                const std::string file = CatalogueFile(folder.Path, count, form);
                const TFigures figures = Measure(TleCommand(Options.Tle, row.Threads, file), environ, count,
                                                 Options.Repeats);
                std::printf("%8d  %-6s %-7s", count, form.Label, row.Label.c_str());
                PrintFigures(figures, count);
                if (&form == &Forms[0]) {
                    linesMs[row.Threads] = figures.WallMs;
                    allThreadsMs[count] = figures.WallMs;
                    std::printf("\n");
                } else {
                    std::printf("  %7.2f\n", figures.WallMs / linesMs[row.Threads]);
                }
                std::fflush(stdout);
            }
    }
    if (Options.SatelliteJs.empty())
        return;

    std::printf("\nThe same files, the same load with %s (%s)\n", nodeVersion.c_str(), ELSETRY_SATELLITE_JS_LOAD);
    std::printf("\n    sets %s  vs elsetry-tle %s\n", FiguresHeading, rows.back().Label.c_str());
    for (const int count : Options.Sizes) {
        const TFigures figures = Measure({"node", ELSETRY_SATELLITE_JS_LOAD, CatalogueFile(folder.Path, count)},
                                         node.Get(), count, Options.Repeats);
        std::printf("%8d ", count);
        PrintFigures(figures, count);
        std::printf("  %8.1fx\n", figures.WallMs / allThreadsMs[count]);
        std::fflush(stdout);
    }
}

// Best and median of several loads into a fresh list, in milliseconds.
std::pair<double, double> LoadMilliseconds(const std::string& Path, int Count, int Repeats)
{
    std::vector<double> times;
    for (int r = 0; r < Repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        TSatelliteList list;
        list.LoadFromFile(Path);
        const auto end = std::chrono::steady_clock::now();
        if (list.Count() != Count)
            throw EBenchFailure(Path + ": expected " + std::to_string(Count) + " entries, loaded "
                                + std::to_string(list.Count()));
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return {Median(times), *std::min_element(times.begin(), times.end())};
}

// The same catalogue as an element file, as CelesTrak's CSV and as its JSON, loaded in-process.
void MeasureForms(int Count, int Repeats)
{
    std::printf("\nLoading one catalogue in each form, in-process (median of %d loads)\n", Repeats);
    std::printf("\n    sets  form           file MiB   load ms   (best)  us/set\n");
    const TTemporaryFolder folder;
    InChild("loading each form", [&] {
        TCatalogueOptions options;
        options.Count = Count;
        const std::vector<std::string> lines = GenerateCatalogue(options);
        const std::pair<const char*, std::string> forms[] = {
            {"element lines", ElementFileText(lines)},
            {"CSV", CatalogueAsOmmCsv(lines)},
            {"JSON", CatalogueAsOmmJson(lines)},
        };
        for (const auto& [form, text] : forms) {
            const std::string path = folder.Path + "/catalogue";
            WriteFile(path, text);
            const auto [median, best] = LoadMilliseconds(path, Count, Repeats);
            std::printf("%8d  %-13s %9.1f %9.1f %8.1f %7.2f\n", Count, form,
                        static_cast<double>(text.size()) / (1024.0 * 1024.0), median, best, 1000.0 * median / Count);
            std::fflush(stdout);
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<TOptions> options = ReadOptions(argc, argv);
    if (!options) {
        std::fputs(UsageText, stderr);
        return 1;
    }
    if (options->Help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    try {
        MeasureProcesses(*options);
        if (options->FormsCount > 0)
            MeasureForms(options->FormsCount, options->Repeats);
    } catch (const EBenchFailure& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "elsetry-bench-load: FAILED: %s\n", error.what());
        return 1;
    }
    return 0;
}
