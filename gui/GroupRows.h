#pragma once
// The window's rows of the group table: each group's check box, captioned with its name and stored
// under its choice setting, and the edit of its file name, stored under its file name setting.

#include "settings/GroupTable.h"

#include <array>

class QGridLayout;
class QWidget;

namespace elsetry {

class TqvxCheckBox;
class TqvxEdit;

struct TGroupRow {
    TqvxCheckBox* Choice = nullptr;
    TqvxEdit* FileName = nullptr;
};

// Adds the rows of SpaceTrackGroups, in its order, below the heading row of Layout, whose parent
// widget owns them; in the tab order they come just before Next, each row's edit before its check box. They
// are named after their settings ("CheckBoxGetWeather", "EditNameWeather") and bind to them when
// the window loads its persisted controls.
std::array<TGroupRow, GroupCount> AddGroupRows(QGridLayout& Layout, QWidget& Next);

} // namespace elsetry
