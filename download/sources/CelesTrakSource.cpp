#include "download/sources/CelesTrakSource.h"

#include "download/sources/CelesTrakQueries.h"
#include "download/sources/FavouritesList.h"
#include "download/sources/RunStops.h"
#include "elements/OmmRecord.h"
#include "elements/OmmWriter.h"
#include "text/Strings.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace elsetry {

namespace {

using TTime = TRunClock::TTime;

constexpr const char* NotUpdatedText = "CelesTrak says it has not updated since the last download";
constexpr std::size_t BodyShown = 80;

std::string CountText(std::size_t Count, const char* One, const char* Many)
{
    return std::to_string(Count) + " " + (Count == 1 ? One : Many);
}

// The start of an error answer, on one line, for the log.
std::string BodyStart(const std::string& Body)
{
    std::string_view text = Trim(Body);
    text = text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
    std::string shown(text.substr(0, BodyShown));
    if (text.size() > BodyShown)
        shown += "...";
    return shown.empty() ? std::string() : " \"" + shown + "\"";
}

// The list's sets as element lines. With objects past element lines among them, the sets are also
// the CSV text a CSV or JSON file is written from, each set a row made of its lines, then those
// objects' rows.
TSourceAnswer ListAnswer(const std::vector<const TKeptSet*>& Sets)
{
    std::vector<std::string> lines;
    lines.reserve(Sets.size() * 3);
    std::string rows;
    for (const TKeptSet* set : Sets)
        if (set->CsvRow.empty())
            lines.insert(lines.end(), set->Lines.begin(), set->Lines.end());
        else
            rows += set->CsvRow + "\r\n";
    if (rows.empty())
        return TSourceAnswer::Sets(std::move(lines));
    std::string csv = std::string(OmmCsvHeader) + "\r\n";
    for (std::size_t set = 0; set + 2 < lines.size(); set += 3)
        csv += OmmCsvRow(OmmRecordOf(lines[set], lines[set + 1], lines[set + 2]));
    TSourceAnswer answer = TSourceAnswer::Sets(std::move(lines));
    answer.OmmText = csv + rows;
    answer.OmmKind = TOmmKind::Csv;
    return answer;
}

void NoteOnList(const TRunChannel& Channel, const std::string& Text)
{
    Channel.Note("   Individual list: " + Text);
}

void NoteNotFound(const TRunChannel& Channel, const std::vector<long>& Numbers)
{
    if (!Numbers.empty())
        NoteOnList(Channel, "not found at CelesTrak: " + NumbersText(Numbers));
}

} // namespace

TCelesTrakSource::TCelesTrakSource(std::string ServiceAddress, TRunClock& RunClock, TCelesTrakRules Rules,
                                   const std::string& StorePath)
    : Address(std::move(ServiceAddress)), Clock(RunClock), Ledger(StorePath, Rules),
      KeptSets(StorePath, Rules.UpdateCycle)
{
}

void TCelesTrakSource::Probe(TRunChannel&)
{
    if (const std::optional<TTime> room = Ledger.SpentUntil(Clock.Now()))
        throw ERunStopped(SpentBudgetText(Ledger.Rules(), *room));
}

TSourceAnswer TCelesTrakSource::GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm Form)
{
    Pending = {};
    const TTime asked = Clock.Now();
    TGpReply reply = Ask(Channel, std::string(Group.CelesTrakQuery));
    if (reply.Kind == TGpReply::TKind::Unchanged)
        return TSourceAnswer::Unchanged(reply.Text);
    if (reply.Kind == TGpReply::TKind::NoData)
        return TSourceAnswer::Failed(reply.Text);
    TCsvElementSets answer = CsvElementSets(reply.Text);
    if (answer.PastLargest > 0)
        Channel.Note("   " + std::string(Group.Name) + ": "
                     + CountText(static_cast<std::size_t>(answer.PastLargest), "object", "objects") + " numbered past "
                     + std::to_string(LargestElementLineNumber)
                     + " left out (element lines cannot hold their numbers)");
    // Objects past element lines alone are sets of a CSV or JSON file still; the save judges them.
    const bool omm = OmmKindFor(Form) != TOmmKind::None;
    if (answer.Sets.empty() && !(omm && answer.PastLargest > 0))
        return TSourceAnswer::Failed("no element sets");
    std::vector<std::string> lines;
    lines.reserve(answer.Sets.size() * 3);
    for (std::size_t index = 0; index < answer.Sets.size(); ++index) {
        if (ForTheList(answer.Numbers[index]))
            Pending.Sets.insert_or_assign(answer.Numbers[index], TKeptSet{answer.Sets[index], asked});
        lines.insert(lines.end(), std::make_move_iterator(answer.Sets[index].begin()),
                     std::make_move_iterator(answer.Sets[index].end()));
    }
    TSourceAnswer sets = TSourceAnswer::Sets(std::move(lines));
    // Its CSV answer is the OMM text of a CSV or JSON file, objects past element lines included.
    if (omm) {
        sets.OmmText = std::move(reply.Text);
        sets.OmmKind = TOmmKind::Csv;
    }
    return sets;
}

TSourceAnswer TCelesTrakSource::IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                                     TFileForm Form)
{
    Pending = {};
    const TListNumbers listed = elsetry::ListNumbers(Numbers);
    // A CSV or JSON file keeps objects past element lines: they are asked for as the others are.
    const bool omm = OmmKindFor(Form) != TOmmKind::None;
    std::vector<long> wanted = listed.Writable;
    if (omm)
        wanted.insert(wanted.end(), listed.PastElementLines.begin(), listed.PastElementLines.end());
    else if (!listed.PastElementLines.empty())
        Channel.Note(PastElementLinesNote(listed.PastElementLines));
    if (wanted.empty())
        return TSourceAnswer::Failed("no catalogue numbers");

    const TTime now = Clock.Now();
    const std::map<long, TKeptSet> kept = KeptSets.Fresh(now);
    std::map<long, TKeptSet> found;
    std::vector<long> toAsk;
    std::optional<TTime> oldestKept;
    for (const long number : wanted) {
        if (const auto fetched = RunSets.find(number); fetched != RunSets.end()) {
            found.emplace(number, fetched->second);
        } else if (const auto keptSet = kept.find(number); keptSet != kept.end()) {
            found.emplace(number, keptSet->second);
            oldestKept = std::min(oldestKept.value_or(keptSet->second.Fetched), keptSet->second.Fetched);
        } else {
            toAsk.push_back(number);
        }
    }
    if (oldestKept)
        NoteOnList(Channel, "sets fetched since " + TimeOfDayText(*oldestKept) + " used again (CelesTrak updates every "
                                + SpanText(Ledger.Rules().UpdateCycle) + ")");
    if (toAsk.size() > MostNumberQueries) {
        const std::vector<long> leftOut(toAsk.begin() + MostNumberQueries, toAsk.end());
        toAsk.resize(MostNumberQueries);
        NoteOnList(Channel, CountText(leftOut.size(), "number", "numbers")
                                + " left out, CelesTrak is asked for at most " + std::to_string(MostNumberQueries)
                                + " single numbers a run: " + NumbersText(leftOut));
    }

    std::map<long, TKeptSet> fresh;
    std::vector<long> notFound;
    try {
        for (const long number : toAsk)
            if (std::optional<TKeptSet> set = AskForNumber(Channel, number, notFound))
                fresh.emplace(number, std::move(*set));
    } catch (const ERunStopped&) {
        NoteNotFound(Channel, notFound);
        throw;
    }
    for (const long number : wanted)
        if (const auto fetched = RunSets.find(number); fetched != RunSets.end())
            fresh.emplace(number, fetched->second);
    found.insert(fresh.begin(), fresh.end());
    Pending.ListSets = std::move(fresh);
    Pending.ListAsked = now;

    NoteNotFound(Channel, notFound);
    std::vector<const TKeptSet*> sets;
    for (const long number : wanted)
        if (const auto set = found.find(number); set != found.end())
            sets.push_back(&set->second);
    if (sets.empty())
        return TSourceAnswer::Failed("no element sets");
    TSourceAnswer answer = ListAnswer(sets);
    if (!omm)
        answer.NotAsked = listed.PastElementLines;
    return answer;
}

void TCelesTrakSource::ExpectListNumbers(const std::vector<std::string>& Numbers)
{
    const std::vector<long> wanted = elsetry::ListNumbers(Numbers).Writable;
    ListNumbers.emplace(wanted.begin(), wanted.end());
}

bool TCelesTrakSource::ForTheList(long Number) const
{
    return !ListNumbers || ListNumbers->contains(Number);
}

std::optional<TKeptSet> TCelesTrakSource::AskForNumber(TRunChannel& Channel, long Number, std::vector<long>& NotFound)
{
    const TTime asked = Clock.Now();
    const TGpReply reply = Ask(Channel, CatalogueNumberQuery(Number));
    if (reply.Kind == TGpReply::TKind::Unchanged) {
        NoteOnList(Channel, std::to_string(Number) + " not asked for again (" + reply.Text + ")");
        return std::nullopt;
    }
    if (reply.Kind == TGpReply::TKind::Data && Number > LargestElementLineNumber) {
        if (std::optional<std::string> row = CsvRowOfNumber(reply.Text, Number))
            return TKeptSet{{}, asked, std::move(*row)};
    } else if (reply.Kind == TGpReply::TKind::Data) {
        const TCsvElementSets answer = CsvElementSets(reply.Text);
        const auto at = std::find(answer.Numbers.begin(), answer.Numbers.end(), Number);
        if (at != answer.Numbers.end())
            return TKeptSet{answer.Sets[static_cast<std::size_t>(at - answer.Numbers.begin())], asked};
    }
    NotFound.push_back(Number);
    return std::nullopt;
}

// The rules go by the query, whichever of CelesTrak's addresses it is sent to.
TCelesTrakSource::TGpReply TCelesTrakSource::Ask(TRunChannel& Channel, const std::string& Query)
{
    const TTime now = Clock.Now();
    if (std::optional<TGpReply> repeat = RepeatReply(Query, now))
        return std::move(*repeat);
    try {
        std::string body = CountedGet(Ledger, Clock, Channel, GpUrl(Address, Query));
        if (SaysNotUpdated(body)) {
            Ledger.RecordAnswer(GpTarget(Query), {TCelesTrakAnswer::TKind::Unchanged, now});
            return {TGpReply::TKind::Unchanged, NotUpdatedText};
        }
        // Counted as fetched only once what it brought is saved: an answer that fails the check
        // is asked for again by the next run.
        Pending.Answers.emplace_back(GpTarget(Query), now);
        return {TGpReply::TKind::Data, std::move(body)};
    } catch (const ECelesTrakBudgetSpent& Spent) {
        throw ERunStopped(Spent.what(), "CelesTrak's error budget is spent");
    } catch (const EHttpError& Error) {
        return FailureReply(Channel, Query, now, Error);
    }
}

void TCelesTrakSource::FileSaved()
{
    for (const auto& [target, asked] : Pending.Answers)
        Ledger.RecordAnswer(target, {TCelesTrakAnswer::TKind::Data, asked});
    for (auto& [number, set] : Pending.Sets)
        RunSets.insert_or_assign(number, std::move(set));
    if (!Pending.ListSets.empty())
        KeptSets.Keep(Pending.ListSets, Pending.ListAsked);
    Pending = {};
}

std::optional<TCelesTrakSource::TGpReply> TCelesTrakSource::RepeatReply(const std::string& Query, TTime Now)
{
    const std::optional<TCelesTrakAnswer> last = Ledger.LastAnswer(GpTarget(Query), Now);
    const std::chrono::minutes cycle = Ledger.Rules().UpdateCycle;
    if (!last || Now - last->When >= cycle)
        return std::nullopt;
    const std::string every = "CelesTrak updates every " + SpanText(cycle);
    const std::string when = TimeOfDayText(last->When);
    switch (last->Kind) {
    case TCelesTrakAnswer::TKind::Data:
        return TGpReply{TGpReply::TKind::Unchanged, every + "; last fetched " + when};
    case TCelesTrakAnswer::TKind::Unchanged:
        return TGpReply{TGpReply::TKind::Unchanged, every + "; at " + when + " it had nothing new"};
    case TCelesTrakAnswer::TKind::NoData:
        return TGpReply{TGpReply::TKind::NoData,
                        "no data at CelesTrak at " + when + "; it updates every " + SpanText(cycle)};
    }
    return std::nullopt;
}

TCelesTrakSource::TGpReply TCelesTrakSource::FailureReply(TRunChannel& Channel, const std::string& Query, TTime Asked,
                                                          const EHttpError& Error)
{
    // A request the run deadline cut off is the deadline's failure, not CelesTrak's.
    if (Channel.DeadlinePassed())
        throw Error;
    if (Error.Status() == 403 && SaysNotUpdated(Error.Body())) {
        Ledger.RecordAnswer(GpTarget(Query), {TCelesTrakAnswer::TKind::Unchanged, Asked});
        return {TGpReply::TKind::Unchanged, NotUpdatedText};
    }
    if (Error.Status() == 404 && SaysNoData(Error.Body())) {
        Ledger.RecordAnswer(GpTarget(Query), {TCelesTrakAnswer::TKind::NoData, Asked});
        return {TGpReply::TKind::NoData, "no data at CelesTrak: No GP data found"};
    }
    const std::string reason = Error.what() + BodyStart(Error.Body());
    throw ERunStopped("asking CelesTrak for " + Query + " failed: " + reason
                          + "; nothing more is asked of CelesTrak in this run, every file is kept",
                      reason);
}

} // namespace elsetry
