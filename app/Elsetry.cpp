// The program: the window, its start-up and, with "-AUTO" or "-START", one unattended run.
// Started that way without a display (from cron or a systemd timer), it runs on Qt's offscreen
// platform, writes the progress log to standard output and every box to standard error, and
// exits 0 only when a run completed.

#include "app/CommandLine.h"
#include "app/ElsetryForm.h"

#include <QApplication>
#include <QPointer>

#include <cstdlib>

namespace {

constexpr int RunNotCompleted = 1;

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

bool NobodyCanSee(const QString& Platform)
{
    return Platform == QLatin1String("offscreen") || Platform == QLatin1String("minimal");
}

} // namespace

int main(int argc, char* argv[])
{
    const elsetry::TArguments arguments(argv, argv + argc);
    const bool unattended = elsetry::WantsUnattendedRun(arguments);
    if (unattended && !HasDisplay())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const bool headless = unattended && NobodyCanSee(QGuiApplication::platformName());
    elsetry::TFormEnvironment environment = elsetry::ProgramEnvironment(arguments, headless);
    bool completed = false;
    environment.RunFinished = [&completed](elsetry::TDownloadOutcome Outcome) {
        completed = completed || Outcome == elsetry::TDownloadOutcome::Completed;
    };
    QPointer<elsetry::TFormMain> form = new elsetry::TFormMain(std::move(environment));
    form->show();
    const int status = application.exec();
    // A window closed just as the loop ended may still wait for its deferred deletion, which is
    // what writes the settings.
    delete form.data();
    if (status != 0)
        return status;
    return unattended && !completed ? RunNotCompleted : 0;
}
