#include "gui/qvxCheckListBox.h"

#include "settings/CommaText.h"

#include <QFocusEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace elsetry {

// Every toggle of a check by the user (mouse or keyboard) passes through the item delegate, while
// checks set by code do not: this is where a user's toggle is told apart.
class TqvxCheckListBox::TCheckClickDelegate : public QStyledItemDelegate {
public:
    explicit TCheckClickDelegate(TqvxCheckListBox& List) : QStyledItemDelegate(&List), Owner(List) {}

    bool editorEvent(QEvent* Event, QAbstractItemModel* Model, const QStyleOptionViewItem& Option,
                     const QModelIndex& Index) override
    {
        const QPersistentModelIndex index(Index);
        const QVariant before = index.data(Qt::CheckStateRole);
        const bool handled = QStyledItemDelegate::editorEvent(Event, Model, Option, Index);
        if (handled && index.isValid() && index.data(Qt::CheckStateRole) != before)
            Owner.ClickCheck(Owner.item(index.row()));
        return handled;
    }

private:
    TqvxCheckListBox& Owner;
};

TqvxCheckListBox::TqvxCheckListBox(QWidget* Parent) : QListWidget(Parent)
{
    setItemDelegate(new TCheckClickDelegate(*this));
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int First, int Last) { MakeRowsCheckable(First, Last); });
}

TqvxCheckListBox::~TqvxCheckListBox() = default;

void TqvxCheckListBox::MakeRowsCheckable(int First, int Last)
{
    for (int row = First; row <= Last; ++row) {
        QListWidgetItem* entry = item(row);
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        if (!entry->data(Qt::CheckStateRole).isValid())
            entry->setCheckState(Qt::Unchecked);
    }
}

QString TqvxCheckListBox::CheckedList() const
{
    return FSetting ? QString::fromStdString(FSetting->Value) : QString();
}

void TqvxCheckListBox::SetCheckedList(const QString& Text)
{
    if (!FSetting)
        return;
    FSetting->Value = Text.toStdString();
    FSetting->Save();
    ApplyCheckedList();
}

void TqvxCheckListBox::Loaded()
{
    if (!BeginBinding(*this, FNamedAs, FSetting != nullptr))
        return;
    FSetting = std::make_unique<TRegistryString>(FNamedAs.toStdString(), BuildCheckedList().toStdString());
    ApplyCheckedList();
}

QString TqvxCheckListBox::BuildCheckedList() const
{
    std::vector<std::string> captions;
    for (int row = 0; row < count(); ++row)
        if (item(row)->checkState() == Qt::Checked)
            captions.push_back(item(row)->text().toStdString());
    return QString::fromStdString(CommaTextOf(captions));
}

void TqvxCheckListBox::ApplyCheckedList()
{
    const QSignalBlocker quiet(this);
    QStringList wanted;
    for (const std::string& name : ReadCommaText(FSetting->Value))
        wanted.append(QString::fromStdString(name));
    for (int row = 0; row < count(); ++row) {
        const bool check = wanted.contains(item(row)->text(), Qt::CaseInsensitive);
        item(row)->setCheckState(check ? Qt::Checked : Qt::Unchecked);
    }
}

void TqvxCheckListBox::ClickCheck(QListWidgetItem* Item)
{
    emit CheckClicked(Item);
    Record();
}

void TqvxCheckListBox::Record()
{
    if (!FSetting)
        return;
    FSetting->Value = BuildCheckedList().toStdString();
    FSetting->Save();
}

void TqvxCheckListBox::focusOutEvent(QFocusEvent* Event)
{
    // Another window taking the focus, or a pop-up of the list's own, is no leaving of the list.
    const bool leaving = Event->reason() != Qt::ActiveWindowFocusReason && Event->reason() != Qt::PopupFocusReason;
    if (leaving)
        Record();
    QListWidget::focusOutEvent(Event);
    if (leaving)
        emit Exited();
}

} // namespace elsetry
