#pragma once
// The settings whose values are names of files the program writes inside a folder of the user's
// choosing. Both the window and the settings import refuse values of these that are not plain
// file names.

#include <string_view>

namespace elsetry {

// Whether ValueName (letter case ignored, as the store ignores it) holds a file name: a group's
// "Name<Group>" setting or the individual list's "NameMyFavourites".
bool IsFileNameSetting(std::string_view ValueName);

// Why Name cannot be such a file's name: the message the window and the import show.
std::string_view PlainFileNameRule();

} // namespace elsetry
