// The program: the window, its start-up and, with "-AUTO" or "-START", one unattended run.
// Started that way without a display (from cron or a systemd timer), it runs from the settings
// store without a window, as it does on QT_QPA_PLATFORM=offscreen; with a display it cannot open,
// on Qt's offscreen platform. Either way it writes the progress log to standard output and every
// box to standard error, and tells by its exit status whether every chosen download was saved.

#include "download/CommandLine.h"
#include "download/LastRun.h"
#include "download/UserTimer.h"
#include "download/WindowlessRun.h"
#include "gui/ElsetryForm.h"
#include "gui/ProgramEnvironment.h"
#include "platform/ProcessSafety.h"
#include "settings/RegistryVariables.h"

#include <QApplication>
#include <QPointer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int RunNotCompleted = 1;
constexpr int DownloadsFailed = 3;

constexpr const char* HelpText =
    "Usage: elsetry [-AUTO | -START] [-DIAL]\n"
    "       elsetry --schedule | --unschedule | --status [--max-age HOURS]\n"
    "Keeps a folder of satellite two-line element sets current from Space-Track.\n"
    "\n"
    "  -AUTO, -START  run one download at once, then close (also /AUTO, /START; any letter case).\n"
    "                 Without a display the progress log goes to standard output, every message\n"
    "                 box to standard error. Exit status 0: every chosen download saved; 1: the\n"
    "                 run did not log in or did not run; 3: some downloads failed, the run\n"
    "                 deadline (setting RunDeadlineMinutes, 30 by default) passed, the\n"
    "                 service's limits stopped the run, a failure of its own ended it after\n"
    "                 the login, or it was cancelled (SIGTERM, SIGINT and SIGHUP cancel a run).\n"
    "  -DIAL          dial a connection at start-up where the system can (not on Linux)\n"
    "  --schedule     install a systemd user timer that runs \"elsetry -AUTO\" every six hours,\n"
    "                 at a random minute (the units go to $XDG_CONFIG_HOME/systemd/user)\n"
    "  --unschedule   remove that timer\n"
    "  --status [--max-age HOURS]\n"
    "                 print the last run's summary and its age; exit status 0 when it was\n"
    "                 complete and at most HOURS (26 by default) old, 3 otherwise\n"
    "  -h, --help     show this text\n"
    "  --version      show the program's version\n";

constexpr const char* NoDisplayText =
    "elsetry: there is no display to show the window on; start it with -AUTO for one download without a "
    "window\n";

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

// Without a display, standard error is for the boxes of the run: Qt's own notes about the
// missing desktop session would bury them in every cron mail.
void KeepOnlySeriousQtMessages(QtMsgType Type, const QMessageLogContext&, const QString& Message)
{
    if (Type == QtCriticalMsg || Type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", Message.toLocal8Bit().constData());
}

bool NobodyCanSee(const QString& Platform)
{
    return Platform == QLatin1String("offscreen") || Platform == QLatin1String("minimal");
}

// An unattended start without a display runs on the offscreen platform, as does one started
// on it by choice (QT_QPA_PLATFORM=offscreen). One with a display that cannot be opened (a stale
// DISPLAY in a cron job) falls back to it: Qt tries the platforms of the list in turn.
void PrepareUnattendedPlatform()
{
    if (!HasDisplay())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb;offscreen"
                                                                                   : "wayland;xcb;offscreen");
    qInstallMessageHandler(KeepOnlySeriousQtMessages);
}

// A window started with a display that cannot be opened falls back to the offscreen platform, so
// that the program can say so instead of Qt aborting.
void PrepareWindowPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb;offscreen"
                                                                                   : "wayland;xcb;offscreen");
    // Qt's notes on the display it could not open would only repeat the program's one line.
    qInstallMessageHandler(KeepOnlySeriousQtMessages);
}

// Whether nobody sees the window of this run: decided once Qt has chosen its platform.
bool RunsHeadless(bool Unattended)
{
    if (!Unattended)
        return false;
    if (NobodyCanSee(QGuiApplication::platformName()))
        return true;
    qInstallMessageHandler(nullptr);
    return false;
}

// The exit status of an unattended start, from the outcome of its last run.
int UnattendedStatus(const std::optional<elsetry::TDownloadOutcome>& Outcome)
{
    using elsetry::TDownloadOutcome;
    if (Outcome == TDownloadOutcome::Completed)
        return 0;
    if (Outcome == TDownloadOutcome::PartlyFailed || Outcome == TDownloadOutcome::DeadlinePassed
        || Outcome == TDownloadOutcome::Stopped || Outcome == TDownloadOutcome::Cancelled
        || Outcome == TDownloadOutcome::FailedMidway)
        return DownloadsFailed;
    return RunNotCompleted;
}

constexpr int DefaultMaxAgeHours = 26;

void PrintLines(const std::vector<std::string>& Lines, std::FILE* To)
{
    for (const std::string& line : Lines)
        std::fprintf(To, "%s\n", line.c_str());
}

int Status(const elsetry::TArguments& Arguments)
{
    int hours = DefaultMaxAgeHours;
    if (Arguments.size() == 4 && Arguments[2] == "--max-age") {
        const std::string& text = Arguments[3];
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || value < 1 || value > 24 * 366) {
            std::fputs("elsetry: --max-age takes a number of hours from 1 to 8784\n", stderr);
            return RunNotCompleted;
        }
        hours = static_cast<int>(value);
    } else if (Arguments.size() != 2) {
        std::fputs(HelpText, stderr);
        return RunNotCompleted;
    }
    const elsetry::TRunStatus status = elsetry::RunStatus(elsetry::ReadLastRun(), std::time(nullptr),
                                                          std::chrono::hours(hours));
    PrintLines(status.Lines, stdout);
    return status.Fresh ? 0 : DownloadsFailed;
}

// --schedule, --unschedule and --status, which need no window; nothing for any other start.
std::optional<int> MaintenanceCommand(const elsetry::TArguments& Arguments)
{
    if (Arguments.size() < 2)
        return std::nullopt;
    const std::string& command = Arguments[1];
    if (command == "--status")
        return Status(Arguments);
    if (command != "--schedule" && command != "--unschedule")
        return std::nullopt;
    if (Arguments.size() != 2) {
        std::fputs(HelpText, stderr);
        return RunNotCompleted;
    }
    const elsetry::TTimerReport report = command == "--schedule" ? elsetry::InstallTimer(elsetry::ExecutablePath())
                                                                 : elsetry::RemoveTimer();
    PrintLines(report.Lines, report.Done ? stdout : stderr);
    return report.Done ? 0 : RunNotCompleted;
}

} // namespace

int main(int argc, char* argv[])
{
    const elsetry::TArguments arguments(argv, argv + argc);
    if (argc == 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    if (argc == 2 && arguments[1] == "--version") {
        std::puts("elsetry " ELSETRY_VERSION);
        return 0;
    }
    elsetry::DisableCoreDumps();
    elsetry::IgnoreFileSizeSignal();
    if (const std::optional<int> status = MaintenanceCommand(arguments))
        return *status;
    const bool unattended = elsetry::WantsUnattendedRun(arguments);
    // Nobody could see a window (no display, or a platform that shows none chosen): the run goes
    // straight from the settings, without one.
    if (unattended && (!HasDisplay() || NobodyCanSee(qEnvironmentVariable("QT_QPA_PLATFORM"))))
        return UnattendedStatus(elsetry::RunWithoutWindow(elsetry::ProgramWindowlessSetup(arguments)));
    const bool offscreenByChoice = qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen");
    if (unattended) {
        PrepareUnattendedPlatform();
    } else if (!HasDisplay()) {
        std::fputs(NoDisplayText, stderr);
        return RunNotCompleted;
    } else {
        PrepareWindowPlatform();
    }
    QApplication application(argc, argv);
    if (!unattended) {
        if (!offscreenByChoice && NobodyCanSee(QGuiApplication::platformName())) {
            std::fputs(NoDisplayText, stderr);
            return RunNotCompleted;
        }
        qInstallMessageHandler(nullptr);
    }
    const bool headless = RunsHeadless(unattended);

    elsetry::TFormEnvironment environment = elsetry::ProgramEnvironment(arguments, headless);
    std::optional<elsetry::TDownloadOutcome> outcome;
    environment.RunFinished = [&outcome](elsetry::TDownloadOutcome Outcome) { outcome = Outcome; };
    QPointer<elsetry::TFormMain> form = new elsetry::TFormMain(std::move(environment));
    form->show();
    const int status = application.exec();
    // A window closed just as the loop ended may still wait for its deferred deletion, which is
    // what writes the settings.
    delete form.data();
    if (status != 0)
        return status;
    return unattended ? UnattendedStatus(outcome) : 0;
}
