#pragma once
// A run request read from the settings store, by the names under which the window's controls
// keep their values, with the values the window shows where nothing is stored.

#include "download/RunRequest.h"

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

// The value names of the controls that are not a group's row.
inline constexpr const char* KeplerPathSetting = "KeplerPath";
inline constexpr const char* HistoricDataPathSetting = "HistoricDataPath";
inline constexpr const char* WantedHistoricSetting = "WantedHistoric";
inline constexpr const char* MyFavouritesSetting = "MyFavourites";
// Where an earlier version kept the individual list, one number per line.
inline constexpr const char* EarlierMyFavouritesSetting = "MyFavouritesList";

// The value stored under Name in the program's key, or Default; read and never written back.
std::string StoredSetting(std::string_view Name, std::string_view Default);

// The text a setting holds, by its name: the store's, or the window's control's.
using TSettingText = std::function<std::string(const std::string& Name)>;

// Each file's form and long numbers, and the line ends, read from TextOf the same way for the
// store and the window. A text that does not read is the file's OptionsFault (every file's, for
// the line ends): such a file is not written.
void ReadFileOptions(TDownloadInputs& Inputs, const TSettingText& TextOf);

// The group data folder where none is stored: the one the maker's orbit program reads, or the
// program's own.
std::string DefaultGroupFolder();

// The request a run started now from the window would make, Home replacing "~", the settings
// files (SettingsFileCandidates) giving the extra historic entries. Unattended, Deadline and
// Connected are the caller's to set. Reads only: nothing is written to the store.
TRunRequest RunRequestFromStore(const std::string& Home, const std::vector<std::string>& SettingsFiles,
                                std::time_t TimeOfRun);

} // namespace elsetry
