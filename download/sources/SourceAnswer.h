#pragma once
// What a source's answer for a group or the individual list came to: element sets to save, or
// why there are none this time. The run logs and counts each outcome; only stopping the run,
// cancelling it and faults of the platform under the source are raised instead.

#include "settings/FileOptions.h"

#include <string>
#include <utility>
#include <vector>

namespace elsetry {

enum class TAnswerOutcome {
    Lines,     // element sets, to be saved and checked
    Skipped,   // not asked for this time, by a rule of the service's; not a failure, the file stays
    Unchanged, // nothing new since the last fetch, or the service says so; not a failure, the file stays
    Failed,    // nothing to save: an answer that is not element sets, or none the source could ask for
};

// The form of the service's own text kept beside the lines, for a file written as OMM.
enum class TOmmKind { None, Csv, Json };

// The OMM text a file of Form is written from; none for element lines.
constexpr TOmmKind OmmKindFor(TFileForm Form)
{
    return Form == TFileForm::Csv ? TOmmKind::Csv : Form == TFileForm::Json ? TOmmKind::Json : TOmmKind::None;
}

struct TSourceAnswer {
    TAnswerOutcome Outcome = TAnswerOutcome::Lines;
    // Why, short and plain, for every outcome but Lines: "no element sets".
    std::string Reason;
    // The element sets as element-file lines (a name line and two element lines each), for Lines.
    std::vector<std::string> Lines;
    // The service's OMM answer as it came, only when the file is written as CSV or JSON and the
    // source has one; empty otherwise. It may hold objects Lines cannot carry.
    std::string OmmText;
    TOmmKind OmmKind = TOmmKind::None;
    // Numbers of the individual list the source did not ask for, having noted why (those past
    // element lines, for a file the answer's form cannot carry them in): not counted as not found.
    std::vector<long> NotAsked;

    static TSourceAnswer Sets(std::vector<std::string> Lines)
    {
        TSourceAnswer answer;
        answer.Lines = std::move(Lines);
        return answer;
    }
    static TSourceAnswer Skipped(std::string Why) { return Without(TAnswerOutcome::Skipped, std::move(Why)); }
    static TSourceAnswer Unchanged(std::string Why) { return Without(TAnswerOutcome::Unchanged, std::move(Why)); }
    static TSourceAnswer Failed(std::string Why) { return Without(TAnswerOutcome::Failed, std::move(Why)); }

private:
    static TSourceAnswer Without(TAnswerOutcome Outcome, std::string Why)
    {
        TSourceAnswer answer;
        answer.Outcome = Outcome;
        answer.Reason = std::move(Why);
        return answer;
    }
};

} // namespace elsetry
