#include "download/UserTimer.h"

#include "platform/AtomicFile.h"
#include "platform/TextFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace elsetry {

namespace {

constexpr int RandomDelayMinutes = 5;
constexpr const char* EnableByHand = "systemctl --user daemon-reload && systemctl --user enable --now elsetry.timer";

// A word of an ExecStart line: quoted, with the characters systemd reads specially escaped.
std::string UnitWord(const std::string& Text)
{
    std::string word = "\"";
    for (const char c : Text) {
        if (c == '"' || c == '\\')
            word += '\\';
        if (c == '%')
            word += '%';
        word += c;
    }
    return word + "\"";
}

// "systemctl --user ARGS...": its exit status, or -1 when it could not be started.
int Systemctl(std::vector<std::string> Arguments)
{
    Arguments.insert(Arguments.begin(), {"systemctl", "--user"});
    std::vector<char*> argv;
    for (std::string& argument : Arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawnp(&child, "systemctl", nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool SystemctlWanted()
{
    const char* value = std::getenv(NoSystemctlVariable);
    return value == nullptr || *value == '\0';
}

std::string SystemctlFailure(int Status)
{
    return Status < 0 ? "systemctl was not found"
                      : "systemctl --user answered with exit status " + std::to_string(Status);
}

} // namespace

std::string UserUnitFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/')
        return std::string(config) + "/systemd/user";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/systemd/user";
}

TTimerTime RandomTimerTime()
{
    std::random_device seed;
    std::uniform_int_distribution<int> hour(0, 5);
    // Two windows of 24 minutes: 1-24 and 31-54.
    std::uniform_int_distribution<int> slot(0, 47);
    const int minute = slot(seed);
    return {hour(seed), minute < 24 ? minute + 1 : minute - 24 + 31};
}

std::string TimerUnitText(TTimerTime Time)
{
    char calendar[32];
    std::snprintf(calendar, sizeof calendar, "*-*-* %02d/6:%02d:00", Time.FirstHour, Time.Minute);
    return std::string("[Unit]\n"
                       "Description=Bring the element sets up to date every six hours\n"
                       "\n"
                       "[Timer]\n"
                       "OnCalendar=")
           + calendar + "\nRandomizedDelaySec=" + std::to_string(RandomDelayMinutes * 60)
           + "\nPersistent=true\n"
             "\n"
             "[Install]\n"
             "WantedBy=timers.target\n";
}

std::string ServiceUnitText(const std::string& Program)
{
    return "[Unit]\n"
           "Description=Bring the element sets up to date\n"
           "\n"
           "[Service]\n"
           "Type=oneshot\n"
           "ExecStart="
           + UnitWord(Program) + " -AUTO\n";
}

TTimerReport InstallTimer(const std::string& Program)
{
    TTimerReport report;
    const std::string folder = UserUnitFolder();
    const TTimerTime time = RandomTimerTime();
    try {
        std::filesystem::create_directories(folder);
        ReplaceRegularFile(folder + "/" + ServiceUnitName, ServiceUnitText(Program));
        ReplaceRegularFile(folder + "/" + TimerUnitName, TimerUnitText(time));
    } catch (const std::exception& Error) {
        // A folder or file that cannot be written: said as it is.
        report.Lines.push_back("The timer was not installed: " + std::string(Error.what()));
        return report;
    }
    char when[64];
    std::snprintf(when, sizeof when, "every six hours from %02d:%02d, up to %d minutes later", time.FirstHour,
                  time.Minute, RandomDelayMinutes);
    report.Lines.push_back("Wrote " + folder + "/" + ServiceUnitName + " and " + TimerUnitName + ": \"" + Program
                           + " -AUTO\" " + when);
    if (!SystemctlWanted()) {
        report.Lines.push_back(std::string("systemctl not called (") + NoSystemctlVariable
                               + " is set); to start the timer: " + EnableByHand);
        report.Done = true;
        return report;
    }
    int status = Systemctl({"daemon-reload"});
    if (status == 0)
        status = Systemctl({"enable", "--now", TimerUnitName});
    if (status != 0) {
        report.Lines.push_back("The timer is written but not enabled: " + SystemctlFailure(status)
                               + " (is a user service manager running?); to start it: " + EnableByHand);
        return report;
    }
    report.Lines.push_back("The timer is enabled; \"systemctl --user list-timers\" shows its next run");
    report.Done = true;
    return report;
}

TTimerReport RemoveTimer()
{
    TTimerReport report;
    const std::string folder = UserUnitFolder();
    const bool systemctl = SystemctlWanted();
    int status = 0;
    if (systemctl && FileExists(folder + "/" + TimerUnitName))
        status = Systemctl({"disable", "--now", TimerUnitName});
    bool removed = false;
    for (const char* unit : {TimerUnitName, ServiceUnitName}) {
        const std::string path = folder + "/" + unit;
        if (::unlink(path.c_str()) == 0) {
            removed = true;
        } else if (errno != ENOENT) {
            report.Lines.push_back("Cannot remove " + path + ": " + std::strerror(errno));
            return report;
        }
    }
    report.Lines.push_back(removed ? "Removed the timer's units from " + folder
                                   : "No timer was installed in " + folder);
    if (systemctl && removed && status == 0)
        status = Systemctl({"daemon-reload"});
    if (systemctl && removed && status != 0) {
        report.Lines.push_back("systemctl was not told: " + SystemctlFailure(status)
                               + "; the timer ends when the user's service manager next reloads");
        return report;
    }
    report.Done = true;
    return report;
}

} // namespace elsetry
