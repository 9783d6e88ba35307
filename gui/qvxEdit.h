#pragma once
// A single-line edit whose text persists in the settings store under NamedAs.

#include "gui/PersistedControl.h"
#include "settings/RegistryVariables.h"

#include <QLineEdit>

#include <memory>

namespace elsetry {

class TqvxEdit : public QLineEdit, public IPersistedControl {
    Q_OBJECT
    Q_PROPERTY(QString NamedAs READ NamedAs WRITE SetNamedAs)

public:
    explicit TqvxEdit(QWidget* Parent = nullptr);
    // Destroying the setting writes the last recorded text.
    ~TqvxEdit() override;

    QString NamedAs() const { return FNamedAs; }
    // Takes effect only before Loaded: a bound edit keeps the name it was bound under.
    void SetNamedAs(const QString& Name) { FNamedAs = Name; }
    // The bound variable; null until Loaded.
    TRegistryString* Setting() const { return FSetting.get(); }

    // Binds to a string setting with the designed text as default and shows the stored text.
    // The text change this causes is an ordinary change: it raises textChanged.
    void Loaded() override;

private:
    // Every text change, by the user or by code, is recorded in the setting.
    void Change();

    QString FNamedAs;
    std::unique_ptr<TRegistryString> FSetting;
};

} // namespace elsetry
