#pragma once
// The program's own icon, the SVG it is installed with, drawn for the window's title and task bar.

#include <QIcon>

namespace elsetry {

// The icon drawn from the embedded SVG at the sizes desktops ask for. Raises std::logic_error
// when the SVG is missing from the program or does not read: a fault of the build.
QIcon ProgramIcon();

} // namespace elsetry
