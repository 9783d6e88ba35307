// elsetry-tle: checks, lists and propagates element files from the shell.

#include "elementfiles/AnswerGate.h"
#include "elementfiles/ElementCheck.h"
#include "elements/OmmElementText.h"
#include "elements/SatelliteList.h"
#include "orbit/SGP_Constants.h"
#include "orbit/SGP_Math.h"
#include "platform/TextFile.h"
#include "text/Numbers.h"
#include "text/Strings.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace elsetry;

namespace {

constexpr int ExitUsage = 1;
constexpr int ExitBadFile = 2;
constexpr int ExitFaultySets = 3;

const char* const HelpText =
    "Usage: elsetry-tle COMMAND [OPTIONS] ARGUMENTS\n"
    "Reads element files (a name line followed by the two lines of each element set), and\n"
    "element sets in the CSV or JSON form the catalogue services answer in, as the element\n"
    "lines they make.\n"
    "\n"
    "Commands:\n"
    "  check FILE              load FILE as a freshly downloaded text and print the lines\n"
    "                          the download log shows for it: the satellite count and,\n"
    "                          when names did not load, the unique names and the missing ones\n"
    "  dump [--attributes] [--all] PATH...\n"
    "                          load the files (or every element file of a folder, with its\n"
    "                          TLEnotes.txt) into one list and print one tab-separated line\n"
    "                          per satellite: name, catalogue number, epoch (Julian date),\n"
    "                          deep-space flag, revolution number, argument of latitude at\n"
    "                          epoch, source file; --attributes adds downlink frequency,\n"
    "                          signed value, LD date, line rate, kind, NOAA series, half angle\n"
    "                          and notes\n"
    "  verify FILE...          check every set as a downloaded answer is checked and print\n"
    "                          each damaged or implausible one with its line number and\n"
    "                          reason, then \"N sets, K damaged, J implausible\"\n"
    "  propagate [--all] FILE MINUTES...\n"
    "                          print position (km) and velocity (km/s) of every satellite in\n"
    "                          FILE at the given minutes after its own epoch\n"
    "  --all                   dump and propagate print every set of the files, in file order,\n"
    "                          instead of one per satellite: sets of one name or one number are\n"
    "                          otherwise merged into the one of the latest epoch, and standard\n"
    "                          error says how many were\n"
    "  --threads N             set up the orbit models on N threads (default: one per core)\n"
    "  -h, --help              show this text\n"
    "Options may stand anywhere on the line; after \"--\" every word is a file.\n"
    "\n"
    "Exit status: 0 on success, 1 for a usage error, 2 when a file is missing or unreadable,\n"
    "or a CSV or JSON file does not read as element sets, 3 when verify found a damaged or\n"
    "implausible set.\n";

int Usage()
{
    std::fputs(HelpText, stderr);
    return ExitUsage;
}

// Paths, options and causes come from outside: shown with every byte that is not printable ASCII
// escaped, as the program's own log shows them.
void Say(const std::string& Text)
{
    std::fprintf(stderr, "elsetry-tle: %s\n", EscapeControls(Text).c_str());
}

void ReportNotElementSets(const std::string& Path, const EOmmFormat& Error)
{
    Say(Path + ": not element sets: " + Error.what());
}

// An element file read for the check: the text as read, which the list loads, and its element
// text (sets in the CSV or JSON form as the element lines they make), which the check counts,
// with the sets that form left out.
struct TCheckInput {
    std::shared_ptr<const std::string> Text;
    std::shared_ptr<const std::string> ElementText;
    int Unwritable = 0;
    int Unreadable = 0;
};

TCheckInput CheckInput(std::string Text)
{
    TCheckInput input;
    input.Text = std::make_shared<const std::string>(std::move(Text));
    const TElementTextForm form = ElementTextFormOf(*input.Text);
    if (form == TElementTextForm::ElementLines) {
        input.ElementText = input.Text;
        return input;
    }
    TOmmElementText sets = OmmElementText(*input.Text, form);
    input.ElementText = std::make_shared<const std::string>(std::move(sets.Lines));
    input.Unwritable = sets.SkippedUnwritable;
    input.Unreadable = sets.SkippedUnreadable;
    return input;
}

// A missing or unreadable input is the user's to fix: say which file and why.
std::optional<TCheckInput> ReadCheckInput(const std::string& Path)
{
    try {
        if (!std::filesystem::is_regular_file(Path)) {
            Say(Path + ": no such file");
            return std::nullopt;
        }
        return CheckInput(ReadWholeFile(Path));
    } catch (const EFileError& error) {
        Say(error.what());
        return std::nullopt;
    } catch (const EOmmFormat& error) {
        ReportNotElementSets(Path, error);
        return std::nullopt;
    }
}

// Sets that CSV and JSON files hold but element lines cannot, said on standard error so that
// what the commands print stays that of the equivalent element file.
void ReportSkippedSets(const std::string& Path, int Unwritable, int Unreadable)
{
    if (Unwritable != 0)
        Say(Path + ": " + std::to_string(Unwritable) + " sets past catalogue number "
            + std::to_string(LargestElementLineNumber) + " left out");
    if (Unreadable != 0)
        Say(Path + ": " + std::to_string(Unreadable) + " sets with fields that do not read left out");
}

bool LoadInto(TSatelliteList& List, const std::string& Path)
{
    try {
        if (!std::filesystem::is_regular_file(Path)) {
            Say(Path + ": no such file");
            return false;
        }
        const int unwritable = List.SkippedUnwritable();
        const int unreadable = List.SkippedUnreadable();
        List.LoadFromFile(Path);
        ReportSkippedSets(Path, List.SkippedUnwritable() - unwritable, List.SkippedUnreadable() - unreadable);
        return true;
    } catch (const EFileError& error) {
        Say(error.what());
        return false;
    } catch (const EOmmFormat& error) {
        ReportNotElementSets(Path, error);
        return false;
    }
}

// A command's list is never destroyed: the program ends right after using it, and the memory of
// tens of thousands of satellites goes back with the process at once instead of piece by piece.
TSatelliteList& KeptToTheEnd(std::unique_ptr<TSatelliteList> List)
{
    // Volatile, so that the pointer is really stored and a leak checker finds the list held.
    static TSatelliteList* volatile kept = nullptr;
    kept = List.release();
    return *kept;
}

TSatelliteList& NewList(unsigned Threads)
{
    TSatelliteList& list = KeptToTheEnd(std::make_unique<TSatelliteList>());
    list.SetLoadThreads(Threads);
    return list;
}

// A file loaded for the check, and the element text its sets make (the file's own text, or the
// element lines of its CSV or JSON sets), which the check counts: the list writes those lines
// once, on every core, for itself and for the count.
struct TCheckedLoad {
    TSatelliteList* List = nullptr;
    std::vector<std::string_view> ElementText; // runs of what the list keeps
};

std::optional<TCheckedLoad> LoadForCheck(const std::string& Path, unsigned Threads)
{
    TCheckedLoad load;
    try {
        if (!std::filesystem::is_regular_file(Path)) {
            Say(Path + ": no such file");
            return std::nullopt;
        }
        load.List = &NewList(Threads);
        load.List->LoadFromFile(Path, load.ElementText);
    } catch (const EFileError& error) {
        Say(error.what());
        return std::nullopt;
    } catch (const EOmmFormat& error) {
        ReportNotElementSets(Path, error);
        return std::nullopt;
    }
    return load;
}

// A single folder is loaded the way the program loads one: every element file and the notes.
TSatelliteList* LoadFolder(const std::string& Folder, unsigned Threads)
{
    try {
        return &KeptToTheEnd(std::make_unique<TSatelliteList>(Folder, Threads));
    } catch (const EFileError& error) {
        Say(error.what());
    } catch (const EOmmFormat& error) {
        ReportNotElementSets(Folder, error);
    }
    return nullptr;
}

TSatelliteList* LoadFiles(const std::vector<std::string>& Paths, unsigned Threads)
{
    TSatelliteList& list = NewList(Threads);
    for (const std::string& path : Paths)
        if (!LoadInto(list, path))
            return nullptr;
    return &list;
}

int Check(const std::vector<std::string>& Args, unsigned Threads)
{
    if (Args.size() != 1)
        return Usage();
    const std::optional<TCheckedLoad> load = LoadForCheck(Args[0], Threads);
    if (!load)
        return ExitBadFile;
    std::vector<std::string_view> text = load->ElementText;
    if (text.empty())
        return 0;
    text.front() = AfterCommentLines(text.front());
    if (!HoldsCompleteSet(text.front()))
        return 0;
    TSatelliteList& list = *load->List;
    ReportSkippedSets(Args[0], list.SkippedUnwritable(), list.SkippedUnreadable());
    for (const std::string& line : CountCheckLines(text, list))
        std::printf("%s\n", line.c_str());
    return 0;
}

// The rules a downloaded answer must pass, applied to files: every set that breaks them.
int Verify(const std::vector<std::string>& Args)
{
    if (Args.empty())
        return Usage();
    const std::time_t now = std::time(nullptr);
    TVerifyCounts total;
    for (const std::string& path : Args) {
        const std::optional<TCheckInput> input = ReadCheckInput(path);
        if (!input)
            return ExitBadFile;
        const std::string name = EscapeControls(path);
        const TVerifyCounts counts = VerifyElementText(*input->ElementText, now, [&](const TScannedSet& Set) {
            const char* kind = Set.State == TSetState::Damaged ? "damaged" : "implausible";
            std::printf("%s: %s: %s\n", name.c_str(), kind, FaultText(Set).c_str());
        });
        total.Sets += counts.Sets;
        total.Damaged += counts.Damaged;
        total.Implausible += counts.Implausible;
    }
    std::printf("%zu sets, %zu damaged, %zu implausible\n", total.Sets, total.Damaged, total.Implausible);
    return total.Damaged == 0 && total.Implausible == 0 ? 0 : ExitFaultySets;
}

// printf's precision and pointer for a text that is not terminated ("%.*s").
int Width(std::string_view Text)
{
    return static_cast<int>(Text.size());
}

const char* Data(std::string_view Text)
{
    return Text.empty() ? "" : Text.data();
}

// Names, file names and notes come from files: every byte that is not printable ASCII is shown
// escaped, so that none can steer the terminal.
void PrintEntry(const TSatellite& S, bool Attributes)
{
    const std::string name = EscapeControls(S.Name);
    const std::string file = EscapeControls(S.SourceFileName);
    std::printf("%s\t%.*s\t%.8f\t%d\t%.0f\t%.12f\t%s", name.c_str(), Width(S.CatalogueNumber),
                S.CatalogueNumber.data(), S.EpochJulian, S.DeepSpace, S.RevolutionNumber, S.ArgumentOfLatitude,
                file.c_str());
    if (Attributes)
        std::printf("\t%.4f\t%.4f\t%.6f\t%d\t%d\t%d\t%.4f\t%s", S.DownlinkFrequency, S.SignedValue, S.LdDateJulian,
                    static_cast<int>(S.LineRate), static_cast<int>(S.SatelliteKind), S.NoaaSeries ? 1 : 0,
                    S.HalfAngle, EscapeControls(S.Notes).c_str());
    std::printf("\n");
}

// What dump and propagate print: one set per satellite, each name and number once with its latest
// epoch, or with All every set read. Standard error says how many sets the list merged.
std::vector<TSatellite*> PrintedSets(const TSatelliteList& List, bool All)
{
    std::vector<TSatellite*> every = List.EverySet();
    if (All)
        return every;
    const std::size_t merged = every.size() - static_cast<std::size_t>(List.Count());
    if (merged > 0)
        std::fprintf(stderr,
                     "elsetry-tle: %zu of %zu sets merged by name or number (each into the set of the latest "
                     "epoch); --all prints every set\n",
                     merged, every.size());
    std::vector<TSatellite*> entries;
    for (int i = 0; i < List.Count(); ++i)
        entries.push_back(List.GetSatellite(i));
    return entries;
}

int Dump(const std::vector<std::string>& Args, bool Attributes, bool All, unsigned Threads)
{
    const bool attributes = Attributes;
    if (Args.empty())
        return Usage();
    const bool folder = Args.size() == 1 && std::filesystem::is_directory(Args[0]);
    const TSatelliteList* const list = folder ? LoadFolder(Args[0], Threads) : LoadFiles(Args, Threads);
    if (list == nullptr)
        return ExitBadFile;
    for (const TSatellite* satellite : PrintedSets(*list, All))
        PrintEntry(*satellite, attributes);
    return 0;
}

void PrintPosition(TSatellite& S, double Minutes)
{
    double position[3] = {};
    double velocity[3] = {};
    try {
        if (S.DeepSpace != 0)
            S.PropagateDeepSpace(position, velocity, Minutes);
        else
            S.PropagateNearEarth(position, velocity, Minutes);
    } catch (const EMathError& error) {
        std::printf("%.*s\t%.3f\terror: %s\n", Width(S.CatalogueNumber), Data(S.CatalogueNumber), Minutes,
                    error.what());
        return;
    }
    const double kmPerMinute = EarthRadiusKm / 60.0;
    std::printf("%.*s\t%.3f\t%.8f\t%.8f\t%.8f\t%.9f\t%.9f\t%.9f\n", Width(S.CatalogueNumber), Data(S.CatalogueNumber), Minutes,
                position[0] * EarthRadiusKm, position[1] * EarthRadiusKm, position[2] * EarthRadiusKm,
                velocity[0] * kmPerMinute, velocity[1] * kmPerMinute, velocity[2] * kmPerMinute);
}

int Propagate(const std::vector<std::string>& Args, bool All, unsigned Threads)
{
    if (Args.size() < 2)
        return Usage();
    std::vector<double> times;
    for (std::size_t i = 1; i < Args.size(); ++i) {
        const std::optional<double> minutes = ReadDecimal(Args[i]);
        if (!minutes) {
            Say("\"" + Args[i] + "\" is not a number of minutes");
            return ExitUsage;
        }
        times.push_back(*minutes);
    }
    const TSatelliteList* const list = LoadFiles({Args[0]}, Threads);
    if (list == nullptr)
        return ExitBadFile;
    for (TSatellite* satellite : PrintedSets(*list, All))
        for (const double minutes : times)
            PrintPosition(*satellite, minutes);
    return 0;
}

} // namespace

// The command line with its options taken out: they may stand anywhere, and after "--" every
// word is a file. Minutes such as "-90" are no options.
struct TCommandLine {
    std::vector<std::string> Words;
    bool Help = false;
    bool Attributes = false;
    bool All = false;
    unsigned Threads = 0; // 0: one per core
    bool BadThreads = false;
    std::string Unknown; // the first option the tool does not know
};

// A thread count is a whole number from 1 to MaxThreads.
bool ReadThreadCount(const std::string& Text, unsigned& Count)
{
    constexpr int MaxThreads = 256;
    const std::optional<int> value = ReadInteger(Text);
    if (!value || *value < 1 || *value > MaxThreads)
        return false;
    Count = static_cast<unsigned>(*value);
    return true;
}

TCommandLine ReadCommandLine(const std::vector<std::string>& Args)
{
    TCommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (options && arg == "--")
            options = false;
        else if (options && arg == "--threads")
            line.BadThreads = !ReadThreadCount(i + 1 < Args.size() ? Args[++i] : std::string(), line.Threads);
        else if (options && (arg == "--help" || arg == "-h"))
            line.Help = true;
        else if (options && arg == "--attributes")
            line.Attributes = true;
        else if (options && arg == "--all")
            line.All = true;
        else if (options && arg.starts_with("--") && line.Unknown.empty())
            line.Unknown = arg;
        else
            line.Words.push_back(arg);
    }
    return line;
}

int main(int argc, char** argv)
{
    const TCommandLine line = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.Help || (!line.Words.empty() && line.Words.front() == "help")) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (!line.Unknown.empty()) {
        Say("unknown option \"" + line.Unknown + "\"");
        return Usage();
    }
    if (line.BadThreads) {
        std::fprintf(stderr, "elsetry-tle: --threads takes a number of threads from 1 to 256\n");
        return Usage();
    }
    if (line.Words.empty())
        return Usage();
    const std::string& command = line.Words.front();
    const std::vector<std::string> rest(line.Words.begin() + 1, line.Words.end());
    if (line.Attributes && command != "dump") {
        std::fprintf(stderr, "elsetry-tle: --attributes goes with dump only\n");
        return Usage();
    }
    if (line.All && command != "dump" && command != "propagate") {
        std::fprintf(stderr, "elsetry-tle: --all goes with dump and propagate only\n");
        return Usage();
    }
    if (command == "check")
        return Check(rest, line.Threads);
    if (command == "dump")
        return Dump(rest, line.Attributes, line.All, line.Threads);
    if (command == "propagate")
        return Propagate(rest, line.All, line.Threads);
    if (command == "verify")
        return Verify(rest);
    Say("unknown command \"" + command + "\"");
    return Usage();
}
