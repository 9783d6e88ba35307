// What the window tells of a run: a failure's reason, the summary in the log, the last successful
// run and the age of the folder's sets on the Download page.

#include "tests/gui/WindowSupport.h"
#include "tests/support/TestElementSets.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <fstream>
#include <regex>
#include <sstream>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

class RunReportTest : public ServiceWindowTest {
protected:
    TLines LogLines() const
    {
        TLines lines;
        std::istringstream text(Child<QPlainTextEdit>("MemoProgress").toPlainText().toStdString());
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }
    std::string LastRunText() const { return Child<QLabel>("LabelLastRun").text().toStdString(); }
};

TEST_F(RunReportTest, RefusedLoginSaysWhyEndsTheRunAndLeadsToThePassword)
{
    Put("Password", "wrong");
    TFormMain& form = Open();
    Child<QPushButton>("ButtonGetSpaceTrack").click();

    const std::string reason = Service->Address() + ": the service did not accept the username and password";
    EXPECT_EQ(
        Dialogs->Events,
        TLines{"message Error entering username and password, or in logging into the Space-Track Web site\n" + reason});
    const TLines log = LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), reason), log.end()) << form.windowTitle().toStdString();
    EXPECT_EQ(Child<QStatusBar>("StatusBar").currentMessage().toStdString(),
              "Run ended: the service did not accept the username and password");
    EXPECT_EQ(form.focusWidget(), &Child<QWidget>("EditPassword"));
    EXPECT_EQ(Stored("LastSuccessfulRun"), "<missing>");
}

TEST_F(RunReportTest, UnreachableServiceSaysWhyInTheBoxAndTheLog)
{
    const std::string address = "http://127.0.0.1:1";
    Put("SpaceTrackAddress", address);
    TFormMain& form = Open();
    Child<QPushButton>("ButtonGetSpaceTrack").click();

    EXPECT_EQ(Dialogs->Events,
              TLines{"message Error connecting to the Space-Track Web site\n" + address + ": connection refused"});
    const TLines log = LogLines();
    ASSERT_GE(log.size(), 2U);
    EXPECT_EQ(log[1], address + ": connection refused");
    EXPECT_EQ(Child<QStatusBar>("StatusBar").currentMessage().toStdString(), "Run ended: connection refused");
    EXPECT_NE(form.focusWidget(), &Child<QWidget>("EditPassword")) << "the password was never judged";

    // A run that does not start leaves no word of the one before.
    Child<QLineEdit>("EditKeplerPath").setText("");
    Child<QPushButton>("ButtonGetSpaceTrack").click();
    EXPECT_EQ(Child<QStatusBar>("StatusBar").currentMessage().toStdString(), "Run not started");
}

TEST_F(RunReportTest, CompletedRunEndsTheLogWithItsSummaryAndIsShownAtTheNextStart)
{
    Open();
    EXPECT_EQ(LastRunText(), "No successful run yet");
    Child<QPushButton>("ButtonGetSpaceTrack").click();
    ASSERT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::Completed});

    const TLines log = LogLines();
    ASSERT_GE(log.size(), 3U);
    EXPECT_EQ(log[log.size() - 3], "Logged out of Space-Track");
    EXPECT_TRUE(std::regex_match(log[log.size() - 2], std::regex("Run of [-0-9]{10} [0-9:]{5} UTC into .*/keps/")))
        << log[log.size() - 2];
    EXPECT_TRUE(std::regex_match(log.back(), std::regex("   Weather\\.txt: saved, [0-9]+ satellites"))) << log.back();
    const std::string stored = Stored("LastSuccessfulRun");
    EXPECT_TRUE(std::regex_match(stored, std::regex("[-0-9]{10} [0-9:]{5} UTC"))) << stored;
    // Stored to the minute: a run late in a minute may be a minute old already.
    const std::regex shown("Last successful run: " + stored + " \\((just now|1 min ago)\\)");
    EXPECT_TRUE(std::regex_match(LastRunText(), shown)) << LastRunText();
    Close();

    Open();
    EXPECT_TRUE(std::regex_match(LastRunText(), shown)) << "the folder's sets were just fetched: " << LastRunText();
    Child<QPushButton>("ButtonGetSpaceTrack").click();
    EXPECT_TRUE(std::regex_match(LogLines().back(),
                                 std::regex("   Weather\\.txt: saved, [0-9]+ satellites \\(0 newer, 0 new, 0 gone\\)")))
        << "compared with the file it replaced: " << LogLines().back();
}

TEST_F(RunReportTest, DownloadPageSaysWhenTheFolderHoldsOnlyOldSets)
{
    Put("LastSuccessfulRun", "2025-01-02 03:04 UTC");
    std::ofstream(Files.Path + "/keps/Weather.txt", std::ios::binary) << "OLD\r\n"
                                                                      << LineOne("25544", "25001.00000000") << "\r\n"
                                                                      << LineTwo("25544") << "\r\n";
    Open();
    const std::string text = LastRunText();
    EXPECT_TRUE(std::regex_search(text, std::regex("^Last successful run: 2025-01-02 03:04 UTC \\([0-9]+ days ago\\)\\n"
                                                   "The newest element sets in the folder are ")))
        << text;
    EXPECT_TRUE(text.ends_with(" days old")) << text;
}

} // namespace
} // namespace elsetry::test
