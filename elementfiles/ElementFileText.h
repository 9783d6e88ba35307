#pragma once
// The text an element file is written as, in the form chosen for it: three-line or two-line
// element sets, or the CSV or JSON form of the Orbit Mean-Elements Message; with the chosen line
// ends, and without the sets numbered past 99999 where the reader of the file cannot take them.

#include "settings/FileOptions.h"

#include <ctime>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// How one file is written.
struct TFileWriting {
    TFileOptions Options;
    TLineEnds LineEnds = TLineEnds::CrLf;
    // The service's answer in the CSV or JSON form, when the sets came as one: a CSV or JSON file
    // keeps its objects, those whose numbers element lines cannot hold too. Empty when the sets
    // came as element lines: the file is then written from them. The check lets go of it once the
    // file is written.
    std::string OmmText;
    // For the individual list, the catalogue numbers it asked for: the objects of OmmText past
    // 339999 are written only when asked for, as the gate keeps the sets of the lines.
    const std::set<int>* AskedNumbers = nullptr;
};

// Removes the sets numbered past 99999 from Lines (a name line, line 1 and line 2 a set) and
// gives how many there were.
int LeaveOutLongNumbers(std::vector<std::string>& Lines);

struct TFileText {
    std::string Text;
    // Objects of the CSV or JSON form written: the sets of the lines, and those of OmmText whose
    // numbers element lines cannot hold.
    int Records = 0;
    // Of those, numbered past 339999.
    int PastElementLines = 0;
    // Objects of OmmText numbered past 339999 left out: by the choice of the file, or as
    // implausible.
    int LeftOut = 0;
    int Implausible = 0;
    int NotAsked = 0;
    // The catalogue numbers of the objects written numbered past 339999.
    std::vector<long> PastNumbers;
};

// The file of the sets of Lines (a name line, line 1 and line 2 a set, as the gate left them and
// with what the file's choice leaves out gone), written as Writing says. From OmmText the objects
// of those sets are written, in its order (CSV rows, and JSON objects with all their fields, as
// they stand but for their line ends), and those numbered past 339999 that are plausible at
// TimeOfRun (as the gate judges sets), not left out by the file's choice, and asked for where the
// list's numbers are given. Raises EOmmFormat when OmmText does not read, or a JSON object to be
// written is not JSON throughout.
TFileText ElementFileText(const std::vector<std::string>& Lines, const TFileWriting& Writing, std::time_t TimeOfRun);

} // namespace elsetry
