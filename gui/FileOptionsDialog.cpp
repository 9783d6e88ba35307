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

// Blanks around a stored text do not count, as for the run without a window.
std::string Text(const TqvxComboBox& Box)
{
    return std::string(Trim(Box.currentText().toStdString()));
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
        FGroups[group] = AddFileRow(*layout, row, SpaceTrackGroups[group].Name,
                                    SpaceTrackGroups[group].FileNameSetting);
    FList = AddFileRow(*layout, row++, "Individual satellite list", FavouritesFileNameSetting);
    auto* lineEndsLabel = new QLabel(QStringLiteral("&Line ends of every file"), this);
    FLineEnds = ChoiceBox(this, std::string(LineEndsSetting), LineEndChoices, LineEndsText,
                          "CR LF as ever, or LF for programs that take only that");
    lineEndsLabel->setBuddy(FLineEnds);
    layout->addWidget(lineEndsLabel, row, 0);
    layout->addWidget(FLineEnds, row++, 1);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("ButtonCloseFileOptions"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, row, 2, Qt::AlignRight);
}

TFileOptionsDialog::TFileRow TFileOptionsDialog::AddFileRow(QGridLayout& Layout, int Row, std::string_view Caption,
                                                            std::string_view FileNameSetting)
{
    const TFileRow file{
        ChoiceBox(this, FormSetting(FileNameSetting), Forms, FileFormText,
                  "three-line: a name line and two element lines per set, as ever; two-line: element lines only; "
                  "csv, json: every field of the service's answer, numbers past 99999 in full"),
        ChoiceBox(this, LongNumbersSetting(FileNameSetting), LongNumberChoices, LongNumbersText,
                  "letter form: numbers 100000 to 339999 written as a letter and four digits (E8493); "
                  "leave out: such sets are not written, for programs that cannot read them")};
    Layout.addWidget(new QLabel(Q(Caption), this), Row, 0);
    Layout.addWidget(file.Form, Row, 1);
    Layout.addWidget(file.LongNumbers, Row, 2);
    return file;
}

TFileOptions TFileOptionsDialog::TFileRow::Options() const
{
    TFileOptions options;
    options.Form = FileFormOfText(Text(*Form)).value_or(options.Form);
    options.LongNumbers = LongNumbersOfText(Text(*LongNumbers)).value_or(options.LongNumbers);
    return options;
}

TFileOptions TFileOptionsDialog::GroupOptions(std::size_t Row) const
{
    return FGroups.at(Row).Options();
}

TFileOptions TFileOptionsDialog::ListOptions() const
{
    return FList.Options();
}

TLineEnds TFileOptionsDialog::LineEnds() const
{
    return LineEndsOfText(Text(*FLineEnds)).value_or(TLineEnds::CrLf);
}

} // namespace elsetry
