#pragma once
// A single-line edit whose text persists in the settings store under NamedAs. The text is
// written as soon as it changes: when code sets it, and when the user finishes typing (Return or
// leaving the edit), so a window that is killed loses nothing it showed as done.
//
// An edit stored under a file-name setting (IsFileNameSetting) takes only plain file names from
// the user: anything else is refused, the edit returns to its previous text and raises Refused.

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
    // Records typing not yet finished when it is acceptable; destroying the setting writes it.
    ~TqvxEdit() override;

    QString NamedAs() const { return FNamedAs; }
    // Takes effect only before Loaded: a bound edit keeps the name it was bound under.
    void SetNamedAs(const QString& Name) { FNamedAs = Name; }
    // The bound variable; null until Loaded.
    TRegistryString* Setting() const { return FSetting.get(); }

    // Binds to a string setting with the designed text as default and shows the stored text.
    // The text change this causes is an ordinary change: it raises textChanged.
    void Loaded() override;

    // Whether the user may leave Text in this edit.
    bool Accepts(const QString& Text) const;

signals:
    // The user typed Text, which the edit does not take; it shows its previous text again.
    void Refused(const QString& Text);

private:
    // A change by code is recorded and written at once; the user's typing waits for Finish.
    void Change();
    void Finish();
    void Record();

    QString FNamedAs;
    bool FFileName = false;
    std::unique_ptr<TRegistryString> FSetting;
};

} // namespace elsetry
