#pragma once
// CelesTrak's public element sets: no account, each group as one gp.php query answered in CSV, the
// individual list from what the run fetched already and otherwise one catalogue number at a time.
// The run keeps to CelesTrak's rules, persisted in the store: no query again within the update
// cycle, and never more error answers than CelesTrak bears before it blocks the client.

#include "download/sources/CelesTrakLedger.h"
#include "download/sources/KeptListSets.h"
#include "download/sources/Source.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace elsetry {

class TCelesTrakSource : public TSource {
public:
    // The most catalogue numbers a run asks for one at a time.
    static constexpr std::size_t MostNumberQueries = 50;

    TCelesTrakSource(std::string Address, TRunClock& Clock, TCelesTrakRules Rules = {},
                     const std::string& StorePath = SettingsStorePath());

    std::string ServiceName() const override { return "CelesTrak"; }
    bool NeedsLogin() const override { return false; }
    std::string LoginUrl() const override { return Address; }
    // Sends nothing. Raises ERunStopped when the error budget is spent, saying until when.
    void Probe(TRunChannel& Channel) override;
    bool LogIn(TRunChannel&, const std::string&, const std::string&) override { return true; }
    // A query answered within the update cycle is not sent again, and comes back unchanged. For
    // a CSV or JSON file the answer keeps CelesTrak's CSV as its OMM text.
    TSourceAnswer GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm Form) override;
    // Put together from sets of several answers and runs, as element lines. For a CSV or JSON
    // file the numbers past 339999 are asked for one at a time too, and the answer's OMM text then
    // holds their rows after those of the other sets, made of their lines.
    TSourceAnswer IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                       TFileForm Form) override;
    void LogOut(TRunChannel&) override {}
    void ExpectListNumbers(const std::vector<std::string>& Numbers) override;
    // Only now are the answers of the last group or list counted as fetched, and their sets kept.
    void FileSaved() override;

private:
    // What became of one gp.php query.
    struct TGpReply {
        enum class TKind {
            Data,      // Text is the answer's body
            Unchanged, // answered within the update cycle, or CelesTrak says nothing changed
            NoData,    // CelesTrak has no element sets for the query
        };
        TKind Kind = TKind::Data;
        // The body of Data, the reason otherwise.
        std::string Text;
    };
    // CelesTrak's reply to the gp.php query. Raises ERunStopped for any failure but the two
    // answers it reads and when the error budget allows no request.
    TGpReply Ask(TRunChannel& Channel, const std::string& Query);
    // The reply the last answer within the update cycle stands for; nothing when it may be asked.
    std::optional<TGpReply> RepeatReply(const std::string& Query, TRunClock::TTime Now);
    TGpReply FailureReply(TRunChannel& Channel, const std::string& Query, TRunClock::TTime Asked,
                          const EHttpError& Error);
    // The set of one catalogue number, asked for alone; nothing when CelesTrak has none now.
    std::optional<TKeptSet> AskForNumber(TRunChannel& Channel, long Number, std::vector<long>& NotFound);

    std::string Address;
    TRunClock& Clock;
    TCelesTrakLedger Ledger;
    TKeptListSets KeptSets;
    // Whether the individual list may want the set of Number.
    bool ForTheList(long Number) const;

    // Every set this run fetched and saved, by catalogue number, for the individual list: of the
    // list's numbers only, once the run has told them.
    std::map<long, TKeptSet> RunSets;
    std::optional<std::unordered_set<long>> ListNumbers;
    // What the download under way brought, until its file is saved.
    struct TPending {
        std::vector<std::pair<std::string, TRunClock::TTime>> Answers; // target, when asked
        std::map<long, TKeptSet> Sets;
        std::map<long, TKeptSet> ListSets;
        TRunClock::TTime ListAsked;
    };
    TPending Pending;
};

} // namespace elsetry
