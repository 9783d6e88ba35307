#pragma once
// The program's window: every user choice in persisted controls, the start-up checks, and the
// download runs with their log.

#include "download/ConsoleRunLog.h"
#include "download/DownloadRun.h"
#include "download/RunRequest.h"
#include "download/Startup.h"
#include "elementfiles/RunLog.h"
#include "gui/GroupRows.h"
#include "gui/ProgramEnvironment.h"
#include "settings/RegistryVariables.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;

namespace Ui {
class TFormMain;
}

namespace elsetry {

class TFileOptionsDialog;

// The window deletes itself when closed; its controls write each setting as it changes, and
// destruction writes what changed since and nothing else.
class TFormMain final : public QMainWindow, public TRunLog, private TStartupHost {
    Q_OBJECT

public:
    explicit TFormMain(TFormEnvironment Environment, QWidget* Parent = nullptr);
    ~TFormMain() override;

    // The caption of every box with a single OK button.
    const QString& ApplicationTitle() const { return FApplicationTitle; }

    // The request a run started now would make, from the controls as they stand.
    TRunRequest RunRequest() const;
    TDownloadInputs DownloadInputs() const;
    std::string KeplerPath() const;
    std::string HistoricDataPath() const;
    std::vector<std::string> CheckedHistoricItems() const;
    std::vector<std::string> ExtraHistoric() const { return FExtraHistoric; }

    // TRunLog; ShowMessage and AskYesNo answer TStartupHost too
    void ClearLog() override;
    void ShowMessage(const std::string& Text) override;
    // Closed by the popup timer after 15 s.
    void ShowSelfClosingMessage(const std::string& Text) override;
    void ShowError(const std::string& Text) override;
    void Log(const std::string& Line, bool RepaintNow) override;
    void ShowStatus(const std::string& Text) override;
    void KeepAlive() override;
    void ShowRequestProgress(long long Bytes, long long Total) override;
    void ShowRunProgress(int Index, int Count) override;
    void LogSummary(const std::vector<std::string>& Lines) override;

protected:
    void changeEvent(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    // During a run the close box offers to cancel it; the window closes once the run has ended.
    void closeEvent(QCloseEvent* Event) override;

private:
    // TStartupHost
    bool ConnectionTest() override;
    bool AskYesNo(const std::string& Caption, const std::string& Text) override;
    std::string ProxyServerText() const override;
    std::string ProxyPortText() const override;
    void SetProxyServer(const std::string& Host, const std::string& Port) override;

    TDownloadOutcome RunDownload();
    // Closes the window, which ends the program.
    void CloseWindow();

    void ConnectControls();
    void FormCreate();
    void LoadFavourites();
    void RemoveLeftoverTemporaries() const;
    // The last successful run and, when the folder's sets are old, a word about it.
    void ShowLastRun();
    // The last successful run's line with its age, which the window refreshes every minute.
    void ShowLastRunAge();
    void FitScreen();
    void FormShow();
    void TimerStartupTimer();
    void TimerPopupMessageTimer();
    void TabSheetDownloadShow();
    void MemoMyFavouritesExit();
    void EditSetPathEnter(QLineEdit& Edit);
    void EditSetPathExit(QLineEdit& Edit);
    void BrowseForFolder(QLineEdit& Edit);
    void ButtonGetSpaceTrackClick();
    // Every control but Cancel and the log is disabled during a run, so that no input waits for
    // its end.
    void SetRunning(bool Running);
    void CancelRun();
    void FocusPassword();
    // Empty historic files for the ticked satellites that have none, so that runs extend them.
    void ButtonCreateHistoricClick();
    // Whether the run has the login its source needs.
    bool HasLogin() const;
    void ShowLoginForSource();
    std::vector<std::string> FavouritesLines() const;

    std::unique_ptr<Ui::TFormMain> Ui;
    // The check box and file name edit of each row of SpaceTrackGroups, in its order.
    std::array<TGroupRow, GroupCount> FGroupRows{};
    TFileOptionsDialog* FFileOptions = nullptr;
    TFormEnvironment Environment;
    TDownloadSession Session;
    // Without a display, the log goes to standard output too, and the progress to a terminal.
    TConsoleRunLog Console{elsetry::ApplicationTitle()};
    QTimer* TimerStartup;
    QTimer* TimerPopupMessage;
    QLabel* LabelLastRun;
    QProgressBar* ProgressRequest;
    QLabel* LabelRunProgress;
    std::unique_ptr<TRegistryString> FavouritesSetting;
    std::string FShownFavourites; // the list as last loaded or recorded, as comma text
    std::vector<std::string> FExtraHistoric;
    std::string FStaleFolderNote;
    QString FApplicationTitle;
    bool FUnattended = false;
    bool FShown = false;
    bool FClosing = false;
    bool FRunning = false;
    bool FCloseAfterRun = false;
    // The summary of the run under way, kept for "elsetry --status".
    std::vector<std::string> FRunSummary;
};

} // namespace elsetry
