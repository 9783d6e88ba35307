#pragma once
// A check box whose checked state persists in the settings store under NamedAs, written as soon
// as it is toggled.

#include "gui/PersistedControl.h"
#include "settings/RegistryVariables.h"

#include <QCheckBox>

#include <memory>

namespace elsetry {

class TqvxCheckBox : public QCheckBox, public IPersistedControl {
    Q_OBJECT
    Q_PROPERTY(QString NamedAs READ NamedAs WRITE SetNamedAs)

public:
    explicit TqvxCheckBox(QWidget* Parent = nullptr);
    // Records the checked state it has now; destroying the setting writes it if it changed.
    ~TqvxCheckBox() override;

    QString NamedAs() const { return FNamedAs; }
    // Takes effect only before Loaded: a bound box keeps the name it was bound under.
    void SetNamedAs(const QString& Name) { FNamedAs = Name; }
    // The bound variable; null until Loaded.
    TRegistryBoolean* Setting() const { return FSetting.get(); }

    // Binds to a boolean setting with the designed state as default and shows the stored state
    // without raising any signal: loading is not a click.
    void Loaded() override;

private:
    QString FNamedAs;
    std::unique_ptr<TRegistryBoolean> FSetting;
};

} // namespace elsetry
