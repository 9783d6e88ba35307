#include "gui/qvxEdit.h"

namespace elsetry {

TqvxEdit::TqvxEdit(QWidget* Parent) : QLineEdit(Parent) {}

TqvxEdit::~TqvxEdit() = default;

void TqvxEdit::Loaded()
{
    if (!BeginBinding(*this, FNamedAs, FSetting != nullptr))
        return;
    FSetting = std::make_unique<TRegistryString>(FNamedAs.toStdString(), text().toStdString());
    // Connected only now, after the window's own handlers, so those see a change first.
    connect(this, &QLineEdit::textChanged, this, &TqvxEdit::Change);
    setText(QString::fromStdString(FSetting->Value));
}

void TqvxEdit::Change()
{
    if (FSetting)
        FSetting->Value = text().toStdString();
}

} // namespace elsetry
