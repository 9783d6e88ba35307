#include "gui/qvxEdit.h"

#include "settings/FileNameSettings.h"
#include "text/FileNames.h"

namespace elsetry {

TqvxEdit::TqvxEdit(QWidget* Parent) : QLineEdit(Parent) {}

TqvxEdit::~TqvxEdit()
{
    if (FSetting && isModified() && Accepts(text()))
        FSetting->Value = text().toStdString();
}

void TqvxEdit::Loaded()
{
    if (!BeginBinding(*this, FNamedAs, FSetting != nullptr))
        return;
    FFileName = IsFileNameSetting(FNamedAs.toStdString());
    FSetting = std::make_unique<TRegistryString>(FNamedAs.toStdString(), text().toStdString());
    // Connected only now, after the window's own handlers, so those see a change first.
    connect(this, &QLineEdit::textChanged, this, &TqvxEdit::Change);
    connect(this, &QLineEdit::editingFinished, this, &TqvxEdit::Finish);
    setText(QString::fromStdString(FSetting->Value));
}

bool TqvxEdit::Accepts(const QString& Text) const
{
    return !FFileName || IsPlainFileName(Text.toStdString());
}

void TqvxEdit::Change()
{
    // Setting the text by code clears the modified flag; typing sets it.
    if (!isModified())
        Record();
}

void TqvxEdit::Finish()
{
    if (!FSetting || !isModified())
        return;
    const QString typed = text();
    if (!Accepts(typed)) {
        setText(QString::fromStdString(FSetting->Value));
        emit Refused(typed);
        return;
    }
    setModified(false);
    Record();
}

void TqvxEdit::Record()
{
    if (!FSetting)
        return;
    FSetting->Value = text().toStdString();
    FSetting->Save();
}

} // namespace elsetry
