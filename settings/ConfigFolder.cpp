#include "settings/ConfigFolder.h"

#include "settings/SettingsStore.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace elsetry {

namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    throw ESettingsError("Cannot find the home folder for the settings store");
}

} // namespace

std::string UserConfigFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    return HomeFolder() + "/.config";
}

} // namespace elsetry
