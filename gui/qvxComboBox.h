#pragma once
// A drop-down list whose chosen item's text persists in the settings store under NamedAs,
// written as soon as the choice changes.
//
// A stored text that is none of the items is shown as an extra item and left in the store as it
// is: what reads the choice judges it, and the user sees what is stored rather than a silent
// replacement. An absent or empty stored value shows the designed choice.

#include "gui/PersistedControl.h"
#include "settings/RegistryVariables.h"

#include <QComboBox>

#include <memory>

namespace elsetry {

class TqvxComboBox : public QComboBox, public IPersistedControl {
    Q_OBJECT
    Q_PROPERTY(QString NamedAs READ NamedAs WRITE SetNamedAs)

public:
    explicit TqvxComboBox(QWidget* Parent = nullptr);
    // Records a choice made since loading; destroying the setting writes it if it changed.
    ~TqvxComboBox() override;

    QString NamedAs() const { return FNamedAs; }
    // Takes effect only before Loaded: a bound box keeps the name it was bound under.
    void SetNamedAs(const QString& Name) { FNamedAs = Name; }
    // The bound variable; null until Loaded.
    TRegistryString* Setting() const { return FSetting.get(); }

    // Binds to a string setting with the designed choice as default and shows the stored choice
    // without raising any signal: loading is not a choice.
    void Loaded() override;

private:
    void ShowStored();
    void Record(const QString& Text);

    QString FNamedAs;
    QString FLoadedText; // the choice shown by Loaded
    std::unique_ptr<TRegistryString> FSetting;
};

} // namespace elsetry
