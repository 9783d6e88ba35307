#pragma once
// The settings whose values are names of files the program writes inside a folder of the user's
// choosing. Both the window and the settings import refuse values of these that are not plain
// file names.

#include "settings/GroupTable.h"

#include <string>
#include <string_view>

namespace elsetry {

// The individual list's file name setting; each group's is its row's FileNameSetting.
inline constexpr std::string_view FavouritesFileNameSetting = "NameMyFavourites";

// Whether ValueName (letter case ignored, as the store ignores it) holds a file name: a group's
// "Name<Group>" setting or the individual list's "NameMyFavourites".
bool IsFileNameSetting(std::string_view ValueName);

// Why Name cannot be such a file's name: the message the window and the import show.
std::string_view PlainFileNameRule();

// The name a group's file has where none is stored: "Weather.txt" for "NameWeather".
std::string DefaultFileName(const TSpaceTrackGroup& Group);

} // namespace elsetry
