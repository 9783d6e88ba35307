#include "gui/FormDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <cstdio>

namespace elsetry {

namespace {

class TScreenDialogs final : public TFormDialogs {
public:
    void ShowMessage(QWidget* Parent, const QString& Title, const QString& Text) override
    {
        QMessageBox(QMessageBox::NoIcon, Title, Text, QMessageBox::Ok, Parent).exec();
    }
    void ShowError(QWidget* Parent, const QString& Title, const QString& Text) override
    {
        QMessageBox(QMessageBox::Critical, Title, Text, QMessageBox::Ok, Parent).exec();
    }
    bool AskYesNo(QWidget* Parent, const QString& Caption, const QString& Text) override
    {
        QMessageBox box(QMessageBox::Question, Caption, Text, QMessageBox::Yes | QMessageBox::No, Parent);
        return box.exec() == QMessageBox::Yes;
    }
    std::optional<QString> ChooseFolder(QWidget* Parent, const QString& Start) override
    {
        QFileDialog dialog(Parent, QStringLiteral("Select folder"), Start);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Locate directory for Kepler data"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
    }
};

class TConsoleDialogs final : public TFormDialogs {
public:
    void ShowMessage(QWidget*, const QString& Title, const QString& Text) override { Write(Title, Text, ""); }
    void ShowError(QWidget*, const QString& Title, const QString& Text) override { Write(Title, Text, ""); }
    bool AskYesNo(QWidget*, const QString& Caption, const QString& Text) override
    {
        Write(Caption, Text, " [No]");
        return false;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return std::nullopt; }

private:
    static void Write(const QString& Title, const QString& Text, const char* Answer)
    {
        std::fprintf(stderr, "%s: %s%s\n", Title.toLocal8Bit().constData(), Text.toLocal8Bit().constData(), Answer);
        std::fflush(stderr);
    }
};

} // namespace

std::unique_ptr<TFormDialogs> MakeScreenDialogs()
{
    return std::make_unique<TScreenDialogs>();
}

std::unique_ptr<TFormDialogs> MakeConsoleDialogs()
{
    return std::make_unique<TConsoleDialogs>();
}

} // namespace elsetry
