#pragma once
// The systemd user timer that runs "elsetry -AUTO" every six hours: its unit files in the user's
// unit folder, and systemctl --user to load and enable it where the user's service manager runs.
// ELSETRY_NO_SYSTEMCTL set to anything but "" writes or removes the files without calling it.

#include <string>
#include <vector>

namespace elsetry {

inline constexpr const char* NoSystemctlVariable = "ELSETRY_NO_SYSTEMCTL";
inline constexpr const char* TimerUnitName = "elsetry.timer";
inline constexpr const char* ServiceUnitName = "elsetry.service";

// $XDG_CONFIG_HOME/systemd/user, or ~/.config/systemd/user.
std::string UserUnitFolder();

// The minute of each run: never on the hour or the half hour that everybody's timers pick, nor
// within the randomised delay before them.
struct TTimerTime {
    int FirstHour; // 0 to 5; then every six hours
    int Minute;    // 1 to 24 or 31 to 54
};
TTimerTime RandomTimerTime();
std::string TimerUnitText(TTimerTime Time);
std::string ServiceUnitText(const std::string& Program);

// What to print, and whether everything was done.
struct TTimerReport {
    std::vector<std::string> Lines;
    bool Done = false;
};
// Writes both units (replacing earlier ones) and enables the timer.
TTimerReport InstallTimer(const std::string& Program);
// Disables the timer and removes both units.
TTimerReport RemoveTimer();

} // namespace elsetry
