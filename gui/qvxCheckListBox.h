#pragma once
// A list of checkable items whose checked captions persist in the settings store under NamedAs,
// as comma text ("NOAA-15,NOAA-18,NOAA-19"). Every item of the list has a check box.
//
// The setting follows the checks only at the moments the user acts: when the user toggles an
// item's check and when focus leaves the list; each time it is written at once if it changed.
// Checks changed by code alone are not recorded.

#include "gui/PersistedControl.h"
#include "settings/RegistryVariables.h"

#include <QListWidget>

#include <memory>

namespace elsetry {

class TqvxCheckListBox : public QListWidget, public IPersistedControl {
    Q_OBJECT
    Q_PROPERTY(QString NamedAs READ NamedAs WRITE SetNamedAs)
    Q_PROPERTY(QString CheckedList READ CheckedList WRITE SetCheckedList)

public:
    explicit TqvxCheckListBox(QWidget* Parent = nullptr);
    ~TqvxCheckListBox() override;

    QString NamedAs() const { return FNamedAs; }
    // Takes effect only before Loaded: a bound list keeps the name it was bound under.
    void SetNamedAs(const QString& Name) { FNamedAs = Name; }
    // The bound variable; null until Loaded.
    TRegistryString* Setting() const { return FSetting.get(); }

    // The recorded comma text; empty while unbound.
    QString CheckedList() const;
    // Records the comma text and checks exactly the items it names. Ignored while unbound.
    void SetCheckedList(const QString& Text);

    // Binds to a string setting whose default is the designed checks and applies the stored list
    // without raising any signal: loading is not a click.
    void Loaded() override;

    // The captions of the checked items, in item order, as comma text.
    QString BuildCheckedList() const;

signals:
    // The user toggled the item's check (raised before the new checks are recorded).
    void CheckClicked(QListWidgetItem* Item);
    // Focus moved from the list to another control (raised after the checks are recorded).
    void Exited();

protected:
    void focusOutEvent(QFocusEvent* Event) override;

private:
    class TCheckClickDelegate;
    friend class TCheckClickDelegate;

    void ClickCheck(QListWidgetItem* Item);
    // The checks as they are now become the setting, written if they changed.
    void Record();
    // Checks the items named in the setting's value, letter case ignored, and unchecks the rest.
    void ApplyCheckedList();
    void MakeRowsCheckable(int First, int Last);

    QString FNamedAs;
    std::unique_ptr<TRegistryString> FSetting;
};

} // namespace elsetry
