#include "gui/PersistedControl.h"

#include <QWidget>

namespace elsetry {

bool IPersistedControl::BeginBinding(const QWidget& Control, QString& NamedAs, bool Bound)
{
    // There is no form designer hosting these controls, so they are never in design mode.
    if (Bound)
        return false;
    if (NamedAs.isEmpty())
        NamedAs = Control.objectName();
    return true;
}

void LoadPersistedControls(QWidget& Form)
{
    for (QWidget* child : Form.findChildren<QWidget*>())
        if (auto* control = dynamic_cast<IPersistedControl*>(child))
            control->Loaded();
}

} // namespace elsetry
