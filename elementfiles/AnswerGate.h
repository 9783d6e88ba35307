#pragma once
// The gate every downloaded element text passes before it may replace a file: whole, well-formed
// sets only, with plausible values, and only what was asked for. Files a user loads keep the
// list's own forgiving rules; this is for answers, and for "elsetry-tle verify".
//
// Lines are counted from 1 in the element text as its source handed it on, the leading comment
// lines included: for a 3le or gzip answer that is the line of the answer as received.

#include <cstddef>
#include <ctime>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

enum class TSetState {
    Sound,
    Damaged,     // not a whole, well-formed set: the answer it came in is not to be trusted
    Implausible, // well-formed, but with values no orbit has: left out
};

// One set as the scanner found it: a name line, line 1 and line 2, or the lines that should
// have been one.
struct TScannedSet {
    TSetState State = TSetState::Sound;
    // The set's first line, and the line its fault is on.
    std::size_t FirstLine = 0;
    std::size_t FaultLine = 0;
    // Short and plain, without the line number: "is cut short", "inclination 999.9999 outside
    // 0-180". Empty for a sound set.
    std::string Reason;
    // Of a set that is not damaged: its lines, and their places in the order they were taken
    // (from 0).
    std::string_view Name;
    std::string_view Line1;
    std::string_view Line2;
    std::size_t NameIndex = 0;
    std::size_t Line1Index = 0;
    std::size_t Line2Index = 0;
};

// Reads lines one by one, in one pass with no copies of them, and hands on every set it finds
// with its verdict. A damaged set ends where its fault shows; the scan goes on after it. Blank
// lines between and within sets are passed over.
class TElementSetScanner {
public:
    // Returns false to end the scan.
    using TVisitor = std::function<bool(const TScannedSet&)>;

    // Epochs more than a day after TimeOfRun are implausible. FirstLineNumber is the number of
    // the first line taken.
    TElementSetScanner(std::time_t TimeOfRun, std::size_t FirstLineNumber, TVisitor Visitor);

    // The next line, which must stay in place until its set has been handed on. False once the
    // visitor has ended the scan.
    bool Take(std::string_view Line);
    // The text has ended: a set still open is damaged.
    void Finish();
    // Lines seen so far that begin like an element line.
    std::size_t ElementLinesSeen() const { return ElementLines; }

private:
    enum class TExpect { Name, Line1, Line2 };

    void StartSet(std::string_view Line, std::string_view Trimmed, bool ElementLike);
    void TakeLine1(std::string_view Line);
    void TakeLine2(std::string_view Line);
    // Marks the open set damaged at Line, unless it is already.
    void Damage(std::size_t Line, std::string Reason);
    // Hands on the open set, judging its values first when it is whole and well-formed.
    void HandOn();
    void JudgeValues();

    double RunJulian;
    double FirstEpochJulian;
    std::size_t NextLine;
    std::size_t CurrentLine = 0;
    std::size_t LastLine = 0; // the last line that is not blank
    std::size_t Line1Number = 0;
    std::size_t Line2Number = 0;
    std::size_t Index = 0;
    std::size_t CurrentIndex = 0;
    std::size_t ElementLines = 0;
    TExpect Expect = TExpect::Name;
    bool Stopped = false;
    TScannedSet Set;
    TVisitor Visitor;
};

// The reason of a set as the log gives it: "line 30004 is cut short".
std::string FaultText(const TScannedSet& Set);

// What the question of an answer was. A group's answer should hold no fewer than a tenth of the
// sets of the earlier file; a list query's answer only the numbers it asked for.
struct TAnswerQuestion {
    // The catalogue numbers a list query asked for.
    std::set<int> Numbers;
    // Sets of the earlier file of that name (0 when there is none); counted by the save when the
    // caller has not read the file already.
    std::optional<std::size_t> EarlierSets;
    // A list query's answer rather than a group's.
    bool IsList = false;
};

// What the gate left out of an answer, for the log.
struct TGateReport {
    int Kept = 0;
    int Implausible = 0;
    std::string FirstImplausible; // "line 7, eccentricity ..." of the first one left out
    int NotAsked = 0;
    std::string FirstNotAsked;
    // The log lines for what was left out, six blanks indented.
    std::vector<std::string> LogLines() const;
};

// Passes the element text Lines (its comment lines removed, the first of them line
// FirstLineNumber) through the gate: leaves only its sound sets (name, line 1, line 2 each,
// blank lines gone) in Lines, and reports what it left out. Raises EGroupFailed, with Lines as
// they came, when the answer is damaged ("damaged answer: line 30004 is cut short"), when it
// holds no element line at all ("not element sets"), no plausible set, none of the numbers asked
// for, or a group's answer holds fewer than a tenth of the sets of an earlier file of at least
// 20 ("the answer holds 1 set, the earlier file 60000").
TGateReport PassGate(std::vector<std::string>& Lines, std::size_t FirstLineNumber, std::time_t TimeOfRun,
                     const TAnswerQuestion& Question);

// Raises EGroupFailed as PassGate does when a group's answer of Kept sets holds fewer than a tenth
// of the sets of an earlier file of at least 20.
void RefuseShrunkGroup(std::size_t Kept, const TAnswerQuestion& Question);

// Every damaged or implausible set of an element text, as "elsetry-tle verify" lists them.
struct TVerifyCounts {
    std::size_t Sets = 0;
    std::size_t Damaged = 0;
    std::size_t Implausible = 0;
};
TVerifyCounts VerifyElementText(std::string_view Text, std::time_t TimeOfRun,
                                const std::function<void(const TScannedSet&)>& Fault);

} // namespace elsetry
