#pragma once
// File names the user or a settings file gives for files the program writes.

#include <string_view>

namespace elsetry {

// A plain file name stays inside the folder it is joined to: not empty, no "/" and no NUL, not
// "." or "..", and not hidden (no leading "."; the program's own temporaries are hidden files).
bool IsPlainFileName(std::string_view Name);

} // namespace elsetry
