#pragma once
// How each file is written: for every group and the individual list its form and what becomes of
// its sets numbered past 99999, and the line ends of every file. Each choice is a persisted
// drop-down stored under the file's setting ("FormWeather", "LongNumbersWeather", "LineEnds"), so
// the window loads and writes them with its other controls; the dialog only shows them.

#include "settings/FileOptions.h"
#include "settings/GroupTable.h"

#include <QDialog>

#include <string>
#include <string_view>

class QGridLayout;

namespace elsetry {

class TqvxComboBox;

class TFileOptionsDialog final : public QDialog {
    Q_OBJECT

public:
    explicit TFileOptionsDialog(QWidget* Parent);

    // The text a choice shows, by the setting it is stored under (empty for no such choice), for
    // the run request to read as it reads the store.
    std::string ChoiceText(const std::string& Setting) const;

private:
    void AddFileRow(QGridLayout& Layout, int Row, std::string_view Caption, std::string_view FileNameSetting);
};

} // namespace elsetry
