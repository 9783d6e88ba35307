#pragma once
// Where a run reports: its log lines, its status, its progress, and the boxes and questions the
// user answers. The window shows them; a run without a window writes them to standard output
// and standard error.

#include <set>
#include <string>
#include <vector>

namespace elsetry {

class TRunLog {
public:
    virtual ~TRunLog() = default;

    // Appends one line to the progress log; with RepaintNow the log shows it at once.
    virtual void Log(const std::string& Line, bool RepaintNow) = 0;
    // Sets the status line and shows it at once.
    virtual void ShowStatus(const std::string& Text) = 0;

    // Logs Line unless it was logged so since the last ForgetLoggedOnce: a note about a file
    // that every saved group would repeat is said once a run.
    void LogOnce(const std::string& Line)
    {
        if (FLoggedOnce.insert(Line).second)
            Log(Line, false);
    }
    // A run starts afresh.
    void ForgetLoggedOnce() { FLoggedOnce.clear(); }

    virtual void ClearLog() {}
    // A modal box with one OK button, captioned with the application title.
    virtual void ShowMessage(const std::string& /*Text*/) {}
    // The same box in a run nobody may be watching: it closes itself after a while.
    virtual void ShowSelfClosingMessage(const std::string& Text) { ShowMessage(Text); }
    // The box that shows a failure which ended the run, with the failure's own text.
    virtual void ShowError(const std::string& /*Text*/) {}
    // A Yes/No question; a log that cannot ask answers No.
    virtual bool AskYesNo(const std::string& /*Caption*/, const std::string& /*Text*/) { return false; }
    // The block that ends the log of a run that started; it follows the run's last line.
    virtual void LogSummary(const std::vector<std::string>& Lines)
    {
        for (const std::string& line : Lines)
            Log(line, false);
    }
    // Called about every 75 ms while a request or a wait of the run is under way; a window handles
    // its events here, so that it repaints and its Cancel button works.
    virtual void KeepAlive() {}
    // How much of the current request's answer has come; Total is 0 while its length is unknown.
    virtual void ShowRequestProgress(long long /*Bytes*/, long long /*Total*/) {}
    // Download Index of Count is under way; 0 of Count before the first and after the last.
    virtual void ShowRunProgress(int /*Index*/, int /*Count*/) {}

private:
    std::set<std::string> FLoggedOnce;
};

} // namespace elsetry
