#pragma once
// The boxes the window shows, on the screen or, where nobody can answer them, on standard error.

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace elsetry {

// The boxes the window shows. In a run without a display nobody can answer them.
class TFormDialogs {
public:
    virtual ~TFormDialogs() = default;

    // One OK button; Title is the application title.
    virtual void ShowMessage(QWidget* Parent, const QString& Title, const QString& Text) = 0;
    // The box of a failure that ended a run, with the failure's own text.
    virtual void ShowError(QWidget* Parent, const QString& Title, const QString& Text) = 0;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* Parent, const QString& Caption, const QString& Text) = 0;
    // The folder chooser preset to Start; none when the user cancels.
    virtual std::optional<QString> ChooseFolder(QWidget* Parent, const QString& Start) = 0;

protected:
    TFormDialogs() = default;
    TFormDialogs(const TFormDialogs&) = default;
    TFormDialogs& operator=(const TFormDialogs&) = default;
};

// Modal boxes and the folder chooser on the screen.
std::unique_ptr<TFormDialogs> MakeScreenDialogs();
// Each box is written to standard error and answered as dismissed: OK, or No for a question.
std::unique_ptr<TFormDialogs> MakeConsoleDialogs();

} // namespace elsetry
