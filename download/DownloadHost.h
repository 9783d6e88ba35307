#pragma once
// What a download run needs from the window that starts it.

#include "elementfiles/SaveAndCheckHost.h"
#include "download/sources/SourceNames.h"
#include "download/sources/SpaceTrackGroups.h"
#include "platform/ConnectionTest.h"

#include <array>
#include <string>
#include <vector>

namespace elsetry {

struct TGroupChoice {
    bool Checked = false;
    std::string FileName;
};

// The window's controls as the run reads them.
struct TDownloadInputs {
    // The value of the "Source" setting; empty means the default, Space-Track's API.
    std::string Source{SpaceTrackApiSource};
    std::string SpaceTrackAddress{DefaultSpaceTrackAddress};
    // Where the membership of the groups Space-Track no longer publishes is read.
    std::string CelesTrakAddress{DefaultCelesTrakAddress};
    std::string Username;
    std::string Password;
    std::string ProxyServer;
    std::string ProxyPort;
    std::string ProxyUserName;
    std::string ProxyPassword;
    // One per row of SpaceTrackGroups, in the same order.
    std::array<TGroupChoice, GroupCount> Groups;
    // The individual list: catalogue numbers in the memo's order, and its file name.
    std::vector<std::string> Favourites;
    std::string FavouritesFileName;
};

class TDownloadHost : public TSaveAndCheckHost {
public:
    virtual TDownloadInputs DownloadInputs() const = 0;
    // True when the run may let its two error boxes close themselves.
    virtual bool Unattended() const = 0;

    virtual void ClearLog() = 0;
    // A modal box with one OK button, captioned with the application title.
    virtual void ShowMessage(const std::string& Text) = 0;
    // The box that shows a failure which ended the run, with the failure's own text.
    virtual void ShowError(const std::string& Text) = 0;
    virtual void SetCloseEnabled(bool Enabled) = 0;
    // Arms or disarms the timer that closes a waiting message box after 15 s.
    virtual void SetPopupTimerArmed(bool Armed) = 0;

    virtual bool ConnectionTest() { return MachineNameResolves(); }
    // The service refused the username and password; the window leads the user to the password.
    virtual void LoginRefused() {}
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
    // A Yes/No question; a host that cannot ask answers No.
    virtual bool AskYesNo(const std::string& /*Caption*/, const std::string& /*Text*/) { return false; }
};

} // namespace elsetry
