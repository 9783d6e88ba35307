#include "gui/FileOptionsDialog.h"

#include "gui/qvxComboBox.h"
#include "settings/FileNameSettings.h"
#include "text/Strings.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace elsetry {

namespace {

constexpr TFileForm Forms[] = {TFileForm::ThreeLine, TFileForm::TwoLine, TFileForm::Csv, TFileForm::Json};
constexpr TLongNumbers LongNumberChoices[] = {TLongNumbers::LetterForm, TLongNumbers::LeaveOut};
constexpr TLineEnds LineEndChoices[] = {TLineEnds::CrLf, TLineEnds::Lf};

QString Q(std::string_view Text)
{
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

// The default choice first: a box loaded with nothing stored shows it.
template <typename TValue, std::size_t Count, typename TTextOf>
TqvxComboBox* ChoiceBox(QWidget* Parent, const std::string& Setting, const TValue (&Choices)[Count], TTextOf TextOf,
                        const char* ToolTip)
{
    auto* box = new TqvxComboBox(Parent);
    box->setObjectName(QStringLiteral("ComboBox") + QString::fromStdString(Setting));
    box->SetNamedAs(QString::fromStdString(Setting));
    for (const TValue choice : Choices)
        box->addItem(Q(TextOf(choice)));
    box->setToolTip(QString::fromUtf8(ToolTip));
    return box;
}

} // namespace

TFileOptionsDialog::TFileOptionsDialog(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("FileOptionsDialog"));
    setWindowTitle(QStringLiteral("File options"));
    // The window's font, which the desktop may change, is the dialog's too.
    setAttribute(Qt::WA_WindowPropagation);
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(10);
    layout->addWidget(new QLabel(QStringLiteral("File"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Form"), this), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Sets numbered past 99999"), this), 0, 2);
    int row = 1;
    for (std::size_t group = 0; group < GroupCount; ++group, ++row)
        AddFileRow(*layout, row, SpaceTrackGroups[group].Name, SpaceTrackGroups[group].FileNameSetting);
    AddFileRow(*layout, row++, "Individual satellite list", FavouritesFileNameSetting);
    auto* lineEndsLabel = new QLabel(QStringLiteral("&Line ends of every file"), this);
    auto* lineEnds = ChoiceBox(this, std::string(LineEndsSetting), LineEndChoices, LineEndsText,
                               "CR LF as ever, or LF for programs that take only that");
    lineEndsLabel->setBuddy(lineEnds);
    layout->addWidget(lineEndsLabel, row, 0);
    layout->addWidget(lineEnds, row++, 1);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("ButtonCloseFileOptions"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, row, 2, Qt::AlignRight);
}

void TFileOptionsDialog::AddFileRow(QGridLayout& Layout, int Row, std::string_view Caption,
                                    std::string_view FileNameSetting)
{
    auto* form = ChoiceBox(
        this, FormSetting(FileNameSetting), Forms, FileFormText,
        "three-line: a name line and two element lines per set, as ever; two-line: element lines only; "
        "csv, json: every field of the service's answer, numbers past 99999 in full");
    auto* longNumbers = ChoiceBox(this, LongNumbersSetting(FileNameSetting), LongNumberChoices, LongNumbersText,
                                  "letter form: numbers 100000 to 339999 written as a letter and four digits (E8493); "
                                  "leave out: such sets are not written, for programs that cannot read them");
    Layout.addWidget(new QLabel(Q(Caption), this), Row, 0);
    Layout.addWidget(form, Row, 1);
    Layout.addWidget(longNumbers, Row, 2);
}

std::string TFileOptionsDialog::ChoiceText(const std::string& Setting) const
{
    for (const TqvxComboBox* box : findChildren<TqvxComboBox*>())
        if (SameText(box->NamedAs().toStdString(), Setting))
            return box->currentText().toStdString();
    return {};
}

} // namespace elsetry
