#pragma once
// The command-line switches: "-DIAL" anywhere asks for a dial at start-up; "AUTO" or "START"
// after "-" or "/" asks for one unattended run, after which the program closes itself.

#include <string>
#include <vector>

namespace elsetry {

// Arguments as the program received them, the program's own path first.
using TArguments = std::vector<std::string>;

// Whether the whole command line, upper-cased, holds "-DIAL" anywhere (the program's path too).
bool WantsDial(const TArguments& Arguments);

// Whether a parameter after the program's path is "-AUTO", "/AUTO", "-START" or "/START",
// in any letter case.
bool WantsUnattendedRun(const TArguments& Arguments);

} // namespace elsetry
