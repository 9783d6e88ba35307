#pragma once
// The log of a run nobody watches: its lines go to standard output, its boxes and questions to
// standard error ("Title: text"), a question answered No, as the window does without a display.

#include "elementfiles/RunLog.h"

#include <string>
#include <utility>
#include <vector>

namespace elsetry {

class TConsoleRunLog final : public TRunLog {
public:
    // Title captions the boxes with one OK button.
    explicit TConsoleRunLog(std::string BoxTitle) : Title(std::move(BoxTitle)) {}

    void Log(const std::string& Line, bool RepaintNow) override;
    void ShowStatus(const std::string&) override {}
    void ShowMessage(const std::string& Text) override;
    void ShowError(const std::string& Text) override;
    bool AskYesNo(const std::string& Caption, const std::string& Text) override;
    void LogSummary(const std::vector<std::string>& Lines) override;
    // Someone watching at a terminal sees how far the run is; a log file does not.
    void ShowRunProgress(int Index, int Count) override;

    // The summary of the last run, kept for "elsetry --status".
    std::vector<std::string> Summary;

private:
    std::string Title;
};

// The caption of the program's boxes with one OK button.
std::string ApplicationTitle();

} // namespace elsetry
