#include "gui/qvxComboBox.h"

#include <QSignalBlocker>

namespace elsetry {

TqvxComboBox::TqvxComboBox(QWidget* Parent) : QComboBox(Parent) {}

TqvxComboBox::~TqvxComboBox()
{
    // A choice still as loaded is not written, so that an empty stored value is not replaced by
    // the designed choice it stood for.
    if (FSetting && currentText() != FLoadedText)
        FSetting->Value = currentText().toStdString();
}

void TqvxComboBox::Loaded()
{
    if (!BeginBinding(*this, FNamedAs, FSetting != nullptr))
        return;
    FSetting = std::make_unique<TRegistryString>(FNamedAs.toStdString(), currentText().toStdString());
    {
        const QSignalBlocker quiet(this);
        ShowStored();
    }
    FLoadedText = currentText();
    connect(this, &QComboBox::currentTextChanged, this, &TqvxComboBox::Record);
}

void TqvxComboBox::ShowStored()
{
    const QString stored = QString::fromStdString(FSetting->Value);
    if (stored.isEmpty())
        return;
    int index = findText(stored, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        addItem(stored);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void TqvxComboBox::Record(const QString& Text)
{
    FSetting->Value = Text.toStdString();
    FSetting->Save();
}

} // namespace elsetry
