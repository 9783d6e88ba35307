#include "download/CommandLine.h"

#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

bool IsUnattendedSwitch(const std::string& Parameter)
{
    if (Parameter.size() < 2 || (Parameter.front() != '-' && Parameter.front() != '/'))
        return false;
    const std::string name = UpperCase(Parameter.substr(1));
    return name == "AUTO" || name == "START";
}

} // namespace

bool WantsDial(const TArguments& Arguments)
{
    std::string commandLine;
    for (const std::string& argument : Arguments)
        commandLine += argument + " ";
    return UpperCase(commandLine).find("-DIAL") != std::string::npos;
}

bool WantsUnattendedRun(const TArguments& Arguments)
{
    return Arguments.size() > 1 && std::any_of(Arguments.begin() + 1, Arguments.end(), IsUnattendedSwitch);
}

} // namespace elsetry
