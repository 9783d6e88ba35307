#pragma once
// The user's configuration folder, where the settings store and the settings file live.

#include <string>

namespace elsetry {

// $XDG_CONFIG_HOME when it is an absolute path; otherwise ".config" in the home folder. A relative
// $XDG_CONFIG_HOME is not valid and is ignored, as the XDG Base Directory rules require. The home
// folder is $HOME, or the user's entry in the password database when HOME is unset or empty.
// Raises ESettingsError when there is no home folder either.
std::string UserConfigFolder();

} // namespace elsetry
