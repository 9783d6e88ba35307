#include "elements/SatelliteSetup.h"

#include "elements/ElementColumns.h"
#include "elements/SatelliteAttributes.h"
#include "elements/SatelliteIndex.h"
#include "orbit/SGP_Math.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

namespace elsetry {

namespace {

// Sets a thread takes at a time: enough to make handing them out cheap, few enough that the
// threads finish together although deep-space sets take longer.
constexpr std::size_t SetsPerTurn = 256;
// Below this many sets for each thread, starting threads costs more than it saves.
constexpr std::size_t SetsPerThread = 2048;

// Whether a text line reads as a name line: not blank, and not the "--" some files separate
// sets with.
bool IsNameLine(std::string_view Trimmed)
{
    return !Trimmed.empty() && Trimmed != "--";
}

std::string_view SatelliteName(std::string_view NameLine, TTextArena& Copies)
{
    const std::string_view name = Copies.UpperCased(Trim(NameLine.substr(0, NameLineLength)));
    if (name == "NOAA-L")
        return "NOAA 16";
    if (name == "NOAA-M")
        return "NOAA 17";
    if (name == "NOAA-N")
        return "NOAA 18";
    return name;
}

bool IsAcceptablePair(std::string_view L1, std::string_view L2)
{
    if (L1.empty() || L1.front() != '1' || L2.empty() || L2.front() != '2')
        return false;
    const std::string_view number = FieldText(L1, Line1::CatalogueNumber);
    return number == FieldText(L2, Line2::CatalogueNumber) && number.find_first_not_of(' ') != std::string_view::npos;
}

// What one thread keeps of the satellites it sets up.
struct TThreadStore {
    TTextArena Copies;
    TDeepSpaceStates DeepStates;
};

// Sets up S from Set; false when the set is no element set or does not decode.
bool SetUp(TSatellite& S, const TSetLines& Set, std::string_view FileName, TThreadStore& Store)
{
    TTextArena& Copies = Store.Copies;
    if (!IsAcceptablePair(Set.Line1, Set.Line2))
        return false;
    try {
        S.ParseElements(Copies.UpperCased(Set.Line1), Copies.UpperCased(Set.Line2));
    } catch (const EMathError&) {
        return false; // an element set that does not decode is dropped; the file reads on
    }
    if (S.DeepSpace != 0)
        S.UseDeepSpaceState(Store.DeepStates.Make());
    S.Name = SatelliteName(Set.NameLine, Copies);
    S.NameHash = KeyHash(S.Name);
    S.CatalogueNumberHash = KeyHash(S.CatalogueNumber);
    ApplyDefaultAttributes(S);
    S.SourceFileName = FileName;
    try {
        S.PropagateToOwnEpoch();
    } catch (const EMathError&) {
        // The satellite stays in the list with its revolution number as written.
    }
    return true;
}

unsigned ThreadCount(std::size_t Sets, unsigned Wanted)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t useful = std::max<std::size_t>(1, Sets / SetsPerThread);
    return static_cast<unsigned>(std::min<std::size_t>(Wanted == 0 ? cores : Wanted, useful));
}

// The sets handed out a turn at a time to the threads that share the work; the first failure
// stops every thread and is raised again once they have all ended.
class TSetupWork {
public:
    TSetupWork(const std::vector<TSetLines>& SetsToDo, TSatelliteBlock& Slots, std::string_view SourceName)
        : Sets(SetsToDo), Block(Slots), FileName(SourceName)
    {
    }

    void Run(TThreadStore& Store) noexcept
    {
        try {
            for (std::size_t first = Next.fetch_add(SetsPerTurn); first < Sets.size() && !Failed;
                 first = Next.fetch_add(SetsPerTurn))
                for (std::size_t i = first; i < std::min(first + SetsPerTurn, Sets.size()); ++i)
                    if (SetUp(Block.Make(i), Sets[i], FileName, Store))
                        Block.MarkDecoded(i);
        } catch (...) {
            // Passed on to the thread that asked for the work.
            Fail(std::current_exception());
        }
    }

    void RaiseFailure() const
    {
        if (Failure)
            std::rethrow_exception(Failure);
    }

private:
    void Fail(std::exception_ptr Error)
    {
        if (!Failed.exchange(true))
            Failure = std::move(Error);
    }

    const std::vector<TSetLines>& Sets;
    TSatelliteBlock& Block;
    const std::string_view FileName;
    std::atomic<std::size_t> Next{0};
    std::atomic<bool> Failed{false};
    std::exception_ptr Failure;
};

} // namespace

std::vector<TSetLines> FindElementSets(std::string_view Text)
{
    std::vector<TSetLines> sets;
    // Three lines of at least this much make a set, line ends included.
    sets.reserve(Text.size() / (2 * MinimumElementLineLength + 4) + 1);
    TLineReader lines(Text);
    while (!lines.AtEnd()) {
        TSetLines set;
        while (!lines.AtEnd() && !IsNameLine(set.NameLine))
            set.NameLine = Trim(lines.Read());
        if (lines.AtEnd())
            break;
        while (!lines.AtEnd() && set.Line1.size() < MinimumElementLineLength)
            set.Line1 = lines.Read();
        if (lines.AtEnd())
            break;
        while (!lines.AtEnd() && set.Line2.size() < MinimumElementLineLength)
            set.Line2 = lines.Read();
        sets.push_back(set);
    }
    return sets;
}

void SetUpSatellites(const std::vector<TSetLines>& Sets, TSatelliteBlock& Block, std::string_view FileName,
                     unsigned Threads, TTextArena& Copies, TDeepSpaceStates& DeepStates)
{
    TSetupWork work(Sets, Block, FileName);
    std::vector<TThreadStore> stores(ThreadCount(Sets.size(), Threads));
    {
        std::vector<std::jthread> helpers;
        try {
            for (std::size_t t = 1; t < stores.size(); ++t)
                helpers.emplace_back([&work, &store = stores[t]] { work.Run(store); });
        } catch (const std::system_error&) {
            // The threads that did start share the work between them and this one.
        }
        work.Run(stores.front());
    }
    for (TThreadStore& store : stores) {
        Copies.Adopt(store.Copies);
        DeepStates.Adopt(store.DeepStates);
    }
    work.RaiseFailure();
}

} // namespace elsetry
