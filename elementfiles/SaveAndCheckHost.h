#pragma once
// What saving and checking a downloaded element text needs from the window that runs it.

#include <ctime>
#include <set>
#include <string>
#include <vector>

namespace elsetry {

class TSaveAndCheckHost {
public:
    virtual ~TSaveAndCheckHost() = default;

    // The folder texts as the user left them. A file's path is the folder text followed directly
    // by the file name; nothing is inserted between them.
    virtual std::string KeplerPath() const = 0;
    virtual std::string HistoricDataPath() const = 0;
    // The texts of the checked items of the historic satellite list, in list order.
    virtual std::vector<std::string> CheckedHistoricItems() const = 0;
    // Further historic files, one "catalogue number=historic file name" line each.
    virtual std::vector<std::string> ExtraHistoric() const = 0;

    // Appends one line to the progress log; with RepaintNow the log shows it at once.
    virtual void Log(const std::string& Line, bool RepaintNow) = 0;
    // Sets the status line and shows it at once.
    virtual void ShowStatus(const std::string& Text) = 0;

    // The time of the run, against which element-set epochs too far ahead are refused.
    virtual std::time_t TimeOfRun() const { return std::time(nullptr); }

    // Logs Line unless it was logged so since the last ForgetLoggedOnce: a note about a file
    // that every saved group would repeat is said once a run.
    void LogOnce(const std::string& Line)
    {
        if (FLoggedOnce.insert(Line).second)
            Log(Line, false);
    }
    // A run starts afresh.
    void ForgetLoggedOnce() { FLoggedOnce.clear(); }

private:
    std::set<std::string> FLoggedOnce;
};

} // namespace elsetry
