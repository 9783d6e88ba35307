#pragma once
// How each file is written: for every group and the individual list its form and what becomes of
// its sets numbered past 99999, and the line ends of every file. Each choice is a persisted
// drop-down stored under the file's setting ("FormWeather", "LongNumbersWeather", "LineEnds"), so
// the window loads and writes them with its other controls; the dialog only shows them.

#include "settings/FileOptions.h"
#include "settings/GroupTable.h"

#include <QDialog>

#include <array>
#include <string_view>

class QGridLayout;

namespace elsetry {

class TqvxComboBox;

class TFileOptionsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit TFileOptionsDialog(QWidget* Parent);

    // The choices as they stand; a stored text the program does not know counts as the default.
    TFileOptions GroupOptions(std::size_t Row) const;
    TFileOptions ListOptions() const;
    TLineEnds LineEnds() const;

private:
    struct TFileRow {
        TqvxComboBox* Form = nullptr;
        TqvxComboBox* LongNumbers = nullptr;

        TFileOptions Options() const;
    };

    TFileRow AddFileRow(QGridLayout& Layout, int Row, std::string_view Caption, std::string_view FileNameSetting);

    std::array<TFileRow, GroupCount> FGroups;
    TFileRow FList;
    TqvxComboBox* FLineEnds;
};

} // namespace elsetry
