#pragma once
// The program's window: every user choice in persisted controls, the default folders worked out
// from the maker's other programs, the start-up checks, and the download runs with their log.

#include "download/CommandLine.h"
#include "download/DownloadHost.h"
#include "download/DownloadRun.h"
#include "download/Startup.h"
#include "platform/InternetFunctions.h"
#include "settings/RegistryVariables.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QTimer;

namespace Ui {
class TFormMain;
}

namespace elsetry {

// The boxes the window shows. In a run without a display nobody can answer them.
class TFormDialogs {
public:
    virtual ~TFormDialogs() = default;

    // One OK button; Title is the application title.
    virtual void ShowMessage(QWidget* Parent, const QString& Title, const QString& Text) = 0;
    // The box of a failure that ended a run, with the failure's own text.
    virtual void ShowError(QWidget* Parent, const QString& Title, const QString& Text) = 0;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* Parent, const QString& Caption, const QString& Text) = 0;
    // The folder chooser preset to Start; none when the user cancels.
    virtual std::optional<QString> ChooseFolder(QWidget* Parent, const QString& Start) = 0;

protected:
    TFormDialogs() = default;
    TFormDialogs(const TFormDialogs&) = default;
    TFormDialogs& operator=(const TFormDialogs&) = default;
};

// Modal boxes and the folder chooser on the screen.
std::unique_ptr<TFormDialogs> MakeScreenDialogs();
// Each box is written to standard error and answered as dismissed: OK, or No for a question.
std::unique_ptr<TFormDialogs> MakeConsoleDialogs();

// What the window takes from its surroundings.
struct TFormEnvironment {
    TArguments Arguments;
    TInternetFunctions Internet;
    std::function<bool()> ConnectionTest;
    // Where the settings file may be, in the order searched.
    std::vector<std::string> SettingsFiles;
    // The executable's folder, with its trailing "/".
    std::string ExecutableFolder;
    // For the download's temporary file.
    std::string TempFolder;
    std::unique_ptr<TFormDialogs> Dialogs;
    // Without a display: the progress log is also written to standard output, and the program
    // closes itself where it would otherwise stay open for the user.
    bool Headless = false;
    // Told the outcome of every download run.
    std::function<void(TDownloadOutcome)> RunFinished;
};

// The surroundings of the real program.
TFormEnvironment ProgramEnvironment(TArguments Arguments, bool Headless);

// The window deletes itself when closed; destruction writes the settings.
class TFormMain final : public QMainWindow, public TDownloadHost, private TStartupHost {
    Q_OBJECT

public:
    explicit TFormMain(TFormEnvironment Environment, QWidget* Parent = nullptr);
    ~TFormMain() override;

    // The caption of every box with a single OK button.
    const QString& ApplicationTitle() const { return FApplicationTitle; }

    // TDownloadHost
    TDownloadInputs DownloadInputs() const override;
    bool Unattended() const override { return FUnattended; }
    void ClearLog() override;
    void ShowMessage(const std::string& Text) override;
    void ShowError(const std::string& Text) override;
    void SetCloseEnabled(bool Enabled) override;
    void SetPopupTimerArmed(bool Armed) override;
    bool ConnectionTest() override;
    std::string KeplerPath() const override;
    std::string HistoricDataPath() const override;
    std::vector<std::string> CheckedHistoricItems() const override;
    std::vector<std::string> ExtraHistoric() const override { return FExtraHistoric; }
    void Log(const std::string& Line, bool RepaintNow) override;
    void ShowStatus(const std::string& Text) override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // TStartupHost
    bool AskYesNo(const std::string& Caption, const std::string& Text) override;
    std::string ProxyServerText() const override;
    std::string ProxyPortText() const override;
    void SetProxyServer(const std::string& Host, const std::string& Port) override;
    void SetUnattended(bool Value) override { FUnattended = Value; }
    void MinimiseApplication() override;
    TDownloadOutcome RunDownload() override;
    void CloseWindow() override;

    void ConnectControls();
    void FormCreate();
    void LoadFavourites();
    void FormShow();
    void TimerStartupTimer();
    void TimerPopupMessageTimer();
    void TabSheetDownloadShow();
    void MemoMyFavouritesExit();
    void EditSetPathEnter(QLineEdit& Edit);
    void EditSetPathExit(QLineEdit& Edit);
    void BrowseForFolder(QLineEdit& Edit);
    void ButtonGetSpaceTrackClick();
    bool HasLogin() const;
    std::vector<std::string> FavouritesLines() const;

    std::unique_ptr<Ui::TFormMain> Ui;
    TFormEnvironment Environment;
    TDownloadSession Session;
    QTimer* TimerStartup;
    QTimer* TimerPopupMessage;
    std::unique_ptr<TRegistryString> FavouritesSetting;
    std::vector<std::string> FExtraHistoric;
    QString FApplicationTitle;
    bool FUnattended = false;
    bool FShown = false;
    bool FClosing = false;
};

} // namespace elsetry
