#include "download/ConsoleRunLog.h"

#include <cstdio>

#include <unistd.h>

namespace elsetry {

namespace {

void WriteBox(const std::string& Title, const std::string& Text, const char* Answer)
{
    std::fprintf(stderr, "%s: %s%s\n", Title.c_str(), Text.c_str(), Answer);
    std::fflush(stderr);
}

} // namespace

std::string ApplicationTitle()
{
    return "Elsetry from Corriebrook - V" ELSETRY_VERSION;
}

void TConsoleRunLog::Log(const std::string& Line, bool)
{
    std::fprintf(stdout, "%s\n", Line.c_str());
    std::fflush(stdout);
}

void TConsoleRunLog::ShowMessage(const std::string& Text)
{
    WriteBox(Title, Text, "");
}

void TConsoleRunLog::ShowError(const std::string& Text)
{
    WriteBox(Title, Text, "");
}

bool TConsoleRunLog::AskYesNo(const std::string& Caption, const std::string& Text)
{
    WriteBox(Caption, Text, " [No]");
    return false;
}

void TConsoleRunLog::LogSummary(const std::vector<std::string>& Lines)
{
    Summary = Lines;
    TRunLog::LogSummary(Lines);
}

void TConsoleRunLog::ShowRunProgress(int Index, int Count)
{
    if (Index > 0 && ::isatty(STDERR_FILENO) == 1) {
        std::fprintf(stderr, "Download %d of %d\n", Index, Count);
        std::fflush(stderr);
    }
}

} // namespace elsetry
