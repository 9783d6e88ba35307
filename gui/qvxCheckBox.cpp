#include "gui/qvxCheckBox.h"

#include <QSignalBlocker>

namespace elsetry {

TqvxCheckBox::TqvxCheckBox(QWidget* Parent) : QCheckBox(Parent) {}

TqvxCheckBox::~TqvxCheckBox()
{
    if (FSetting)
        FSetting->Value = isChecked();
}

void TqvxCheckBox::Loaded()
{
    if (!BeginBinding(*this, FNamedAs, FSetting != nullptr))
        return;
    FSetting = std::make_unique<TRegistryBoolean>(FNamedAs.toStdString(), isChecked());
    {
        const QSignalBlocker quiet(this);
        setChecked(FSetting->Value);
    }
    connect(this, &QCheckBox::toggled, this, [this](bool Checked) {
        FSetting->Value = Checked;
        FSetting->Save();
    });
}

} // namespace elsetry
