#include "gui/GroupRows.h"

#include "gui/qvxCheckBox.h"
#include "gui/qvxEdit.h"
#include "settings/FileNameSettings.h"

#include <QGridLayout>

#include <string>
#include <string_view>

namespace elsetry {

namespace {

QString Q(std::string_view Text)
{
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

// The last widget before Next that Tab stops at. One made of others (a tab page control) is passed
// over: Qt would place what follows it after its last part.
QWidget* TabStopBefore(QWidget& Next)
{
    for (QWidget* widget = Next.previousInFocusChain(); widget && widget != &Next;
         widget = widget->previousInFocusChain())
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())
            return widget;
    return nullptr;
}

} // namespace

std::array<TGroupRow, GroupCount> AddGroupRows(QGridLayout& Layout, QWidget& Next)
{
    QWidget* owner = Layout.parentWidget();
    std::array<TGroupRow, GroupCount> rows{};
    QWidget* previous = TabStopBefore(Next);
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const TSpaceTrackGroup& group = SpaceTrackGroups[row];
        auto* choice = new TqvxCheckBox(owner);
        choice->setObjectName(QStringLiteral("CheckBox") + Q(group.ChoiceSetting));
        choice->setText(Q(group.Name));
        choice->SetNamedAs(Q(group.ChoiceSetting));
        auto* fileName = new TqvxEdit(owner);
        fileName->setObjectName(QStringLiteral("Edit") + Q(group.FileNameSetting));
        fileName->setText(QString::fromStdString(DefaultFileName(group)));
        fileName->SetNamedAs(Q(group.FileNameSetting));
        const int gridRow = static_cast<int>(row) + 1;
        Layout.addWidget(choice, gridRow, 0);
        Layout.addWidget(fileName, gridRow, 1);
        if (previous)
            QWidget::setTabOrder(previous, fileName);
        QWidget::setTabOrder(fileName, choice);
        previous = choice;
        rows[row] = {choice, fileName};
    }
    return rows;
}

} // namespace elsetry
