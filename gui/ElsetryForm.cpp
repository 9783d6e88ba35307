#include "gui/ElsetryForm.h"

#include "download/sources/FavouritesList.h"
#include "elementfiles/FolderFreshness.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/HistoricFolder.h"
#include "download/LastRun.h"
#include "download/ProgramSettings.h"
#include "download/RunRequestStore.h"
#include "download/RunFolders.h"
#include "download/RunSummary.h"
#include "download/SourceChoice.h"
#include "gui/FileOptionsDialog.h"
#include "gui/GroupRows.h"
#include "gui/PersistedControl.h"
#include "gui/ProgramIcon.h"
#include "gui/qvxCheckBox.h"
#include "gui/qvxComboBox.h"
#include "gui/qvxEdit.h"
#include "platform/ConnectionTest.h"
#include "platform/LeftoverSweep.h"
#include "settings/CommaText.h"
#include "settings/FileNameSettings.h"
#include "settings/SettingsFile.h"
#include "ui_ElsetryForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QProxyStyle>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>

namespace elsetry {

namespace {

constexpr int StartupDelayMs = 100;
constexpr int PopupMessageDelayMs = 15000;
constexpr int LastRunAgeRefreshMs = 60000;
constexpr int FrameAllowance = 16;

QString Q(const std::string& Text)
{
    return QString::fromStdString(Text);
}

std::string Text(const QLineEdit& Edit)
{
    return Edit.text().toStdString();
}

// The paths of the exchanges begin with "/".
std::string WithoutTrailingSlashes(std::string Address)
{
    while (Address.ends_with('/'))
        Address.pop_back();
    return Address;
}

// An address the user emptied is the default one.
std::string AddressOr(const QLineEdit& Edit, std::string_view Default)
{
    std::string address = WithoutTrailingSlashes(Text(Edit));
    return address.empty() ? std::string(Default) : address;
}

// The edit at least as wide as Text needs to show in full, in the edit's own font and style.
void FitTextWidth(QLineEdit& Edit, const QString& Text)
{
    // QLineEdit's own margin beside the text, which its style does not report.
    constexpr int InnerMargin = 2;
    const QMargins margins = Edit.textMargins() + Edit.contentsMargins();
    QStyleOptionFrame option;
    option.initFrom(&Edit);
    option.lineWidth = Edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &Edit);
    const QSize text(Edit.fontMetrics().horizontalAdvance(Text) + 2 * InnerMargin + margins.left() + margins.right(),
                     Edit.fontMetrics().height());
    Edit.setMinimumWidth(Edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, &Edit).width());
}

// Focus moving to another window, or to a pop-up, does not enter or leave a control.
bool MovesWithinWindow(const QEvent& Event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(Event).reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// Password edits show what is typed as "*", whatever the desktop style's own mask character.
class TAsteriskPasswordStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* ReturnData) const override
    {
        if (Hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }
};

} // namespace

TFormMain::TFormMain(TFormEnvironment FormEnvironment, QWidget* Parent)
    : QMainWindow(Parent), Ui(std::make_unique<Ui::TFormMain>()), Environment(std::move(FormEnvironment)),
      Session(Environment.TempFolder), TimerStartup(new QTimer(this)), TimerPopupMessage(new QTimer(this)),
      LabelLastRun(new QLabel(this)), ProgressRequest(new QProgressBar(this)), LabelRunProgress(new QLabel(this))
{
    Ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* passwordStyle = new TAsteriskPasswordStyle;
    passwordStyle->setParent(this);
    Ui->EditPassword->setStyle(passwordStyle);
    Ui->EditProxyPassword->setStyle(passwordStyle);
    Ui->EditSpaceTrackAddress->setText(Q(std::string(DefaultSpaceTrackAddress)));
    Ui->EditCelesTrakAddress->setText(Q(std::string(DefaultCelesTrakAddress)));
    setWindowIcon(ProgramIcon());
    PrepareProgramSettings();
    FGroupRows = AddGroupRows(*Ui->GroupsLayout, *Ui->ButtonFileOptions);
    FFileOptions = new TFileOptionsDialog(this);
    LoadPersistedControls(*this);

    TimerStartup->setObjectName(QStringLiteral("TimerStartup"));
    TimerStartup->setInterval(StartupDelayMs);
    TimerPopupMessage->setObjectName(QStringLiteral("TimerPopupMessage"));
    TimerPopupMessage->setInterval(PopupMessageDelayMs);
    ConnectControls();
    ShowLoginForSource();
    FormCreate();
    // Under the progress log, so that the form itself stays as designed.
    LabelLastRun->setObjectName(QStringLiteral("LabelLastRun"));
    LabelLastRun->setWordWrap(true);
    Ui->ProgressLayout->addWidget(LabelLastRun);
    ProgressRequest->setObjectName(QStringLiteral("ProgressRequest"));
    ProgressRequest->setTextVisible(false);
    ProgressRequest->setRange(0, 1);
    ProgressRequest->setValue(0);
    Ui->ProgressLayout->addWidget(ProgressRequest);
    LabelRunProgress->setObjectName(QStringLiteral("LabelRunProgress"));
    Ui->ProgressLayout->addWidget(LabelRunProgress);
    ShowLastRun();
    auto* timerLastRun = new QTimer(this);
    connect(timerLastRun, &QTimer::timeout, this, &TFormMain::ShowLastRunAge);
    timerLastRun->start(LastRunAgeRefreshMs);
    TimerStartup->start();
    FitScreen();
}

// The designed size, or less on a small screen: the pages scroll rather than the window leave the
// screen, and the log takes any room the user gives the window.
void TFormMain::FitScreen()
{
    const QScreen* desktop = screen();
    if (!desktop)
        return;
    const QRect available = desktop->availableGeometry();
    // Room for the frame the window manager draws around the window.
    const QSize frame(FrameAllowance, 2 * FrameAllowance);
    resize(size().boundedTo(available.size() - frame).expandedTo(minimumSizeHint()));
    move(available.center() - rect().center());
}

TFormMain::~TFormMain()
{
    // The controls are destroyed after this body: none of their signals may reach the window then.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        disconnect(child, nullptr, this, nullptr);
    }
    Environment.Internet = {};
    // Only a list the user changed is written back: a run must not undo a list imported meanwhile.
    if (const std::string shown = CommaTextOf(FavouritesLines()); shown != FShownFavourites)
        FavouritesSetting->Value = shown;
    FavouritesSetting.reset();
    FExtraHistoric.clear();
}

void TFormMain::ConnectControls()
{
    connect(TimerStartup, &QTimer::timeout, this, &TFormMain::TimerStartupTimer);
    connect(TimerPopupMessage, &QTimer::timeout, this, &TFormMain::TimerPopupMessageTimer);
    connect(Ui->PageControl, &QTabWidget::currentChanged, this, [this](int Index) {
        if (Ui->PageControl->widget(Index) == Ui->TabSheetDownload)
            TabSheetDownloadShow();
    });
    connect(Ui->ButtonBrowseKeplerPath, &QPushButton::clicked, this, [this] { BrowseForFolder(*Ui->EditKeplerPath); });
    connect(Ui->ButtonBrowseHistoricPath, &QPushButton::clicked, this,
            [this] { BrowseForFolder(*Ui->EditHistoricDataPath); });
    connect(Ui->ButtonGetSpaceTrack, &QPushButton::clicked, this, &TFormMain::ButtonGetSpaceTrackClick);
    connect(Ui->ButtonCreateHistoric, &QPushButton::clicked, this, &TFormMain::ButtonCreateHistoricClick);
    connect(Ui->ButtonFileOptions, &QPushButton::clicked, FFileOptions, &QDialog::open);
    connect(Ui->ComboBoxSource, &QComboBox::currentTextChanged, this, &TFormMain::ShowLoginForSource);
    connect(Ui->ButtonClose, &QPushButton::clicked, this, &TFormMain::CloseWindow);
    connect(Ui->ButtonCancel, &QPushButton::clicked, this, &TFormMain::CancelRun);
    for (TqvxEdit* edit : findChildren<TqvxEdit*>())
        connect(edit, &TqvxEdit::Refused, this, [this](const QString& Typed) {
            ShowMessage("\"" + Typed.toStdString() + "\" is not a plain file name: "
                        + std::string(PlainFileNameRule()));
        });
    for (QWidget* control : {static_cast<QWidget*>(Ui->MemoMyFavourites), static_cast<QWidget*>(Ui->EditKeplerPath),
                             static_cast<QWidget*>(Ui->EditHistoricDataPath)})
        control->installEventFilter(this);
}

void TFormMain::FormCreate()
{
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    LoadFavourites();
    Ui->EditKeplerPath->setToolTip(Ui->EditKeplerPath->text());
    Ui->EditHistoricDataPath->setToolTip(Ui->EditHistoricDataPath->text());
    Ui->GroupBoxHistoric->setToolTip(QStringLiteral("Update HRPT Keplers in: ") + Ui->EditHistoricDataPath->text());
    FExtraHistoric.clear();
    RemoveLeftoverTemporaries();
}

// What a killed or crashed run left in the folders the program writes to.
void TFormMain::RemoveLeftoverTemporaries() const
{
    const std::time_t before = std::time(nullptr) - LeftoverAge;
    SweepLeftovers(KeplerPath(), IsReplacementLeftover, before);
    SweepLeftovers(HistoricDataPath(), IsReplacementLeftover, before);
    SweepLeftovers(Environment.TempFolder, IsDownloadLeftover, before);
}

void TFormMain::ShowLastRun()
{
    FStaleFolderNote = StaleFolderNote(KeplerPath(), std::time(nullptr));
    ShowLastRunAge();
}

void TFormMain::ShowLastRunAge()
{
    std::string text = LastRunText(ReadProgramString(LastSuccessfulRunSetting), std::time(nullptr));
    if (!FStaleFolderNote.empty())
        text += "\n" + FStaleFolderNote;
    LabelLastRun->setText(Q(text));
}

// The individual list is stored as comma text under "MyFavourites" (PrepareProgramSettings moves
// an earlier version's list there).
void TFormMain::LoadFavourites()
{
    FavouritesSetting = std::make_unique<TRegistryString>(MyFavouritesSetting, "");
    Ui->MemoMyFavourites->setPlainText(Q(MemoText(ReadCommaText(FavouritesSetting->Value))));
    FShownFavourites = CommaTextOf(FavouritesLines());
}

// The font FormCreate chooses, and any the desktop changes to later, sets the address's width.
void TFormMain::changeEvent(QEvent* Event)
{
    QMainWindow::changeEvent(Event);
    if (Event->type() == QEvent::FontChange) {
        FitTextWidth(*Ui->EditSpaceTrackAddress, Q(std::string(DefaultSpaceTrackAddress)));
        FitTextWidth(*Ui->EditCelesTrakAddress, Q(std::string(DefaultCelesTrakAddress)));
    }
}

void TFormMain::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TFormMain::FormShow()
{
    if (HasLogin()) {
        Ui->PageControl->setCurrentWidget(Ui->TabSheetDownload);
        Ui->ButtonGetSpaceTrack->setFocus();
    } else {
        Ui->PageControl->setCurrentWidget(Ui->TabSheetSetup);
    }
    FExtraHistoric = ReadSettingsSection(Environment.SettingsFiles, "historic");
    const QString version = QStringLiteral(ELSETRY_VERSION);
    FApplicationTitle = QStringLiteral("Elsetry from Corriebrook - V") + version;
    setWindowTitle(QStringLiteral("Elsetry - V") + version);
}

void TFormMain::TimerStartupTimer()
{
    TimerStartup->stop();
    const TStartupPlan plan = PlanStartup(*this, Environment.Internet, Environment.Arguments);
    FUnattended = plan.Unattended;
    if (plan.Unattended) {
        showMinimized();
        if (FinishUnattendedRun(plan, RunDownload(), Environment.Internet))
            CloseWindow();
    }
    // Without a display nobody can take over a window left open.
    if (Environment.Headless)
        CloseWindow();
}

void TFormMain::TimerPopupMessageTimer()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box && box->isVisible() && box->windowTitle() == FApplicationTitle) {
            TimerPopupMessage->stop();
            QCoreApplication::postEvent(box, new QCloseEvent);
            return;
        }
    }
}

void TFormMain::TabSheetDownloadShow()
{
    if (HasLogin()) {
        Ui->ButtonGetSpaceTrack->setFocus();
        return;
    }
    ShowMessage("Please eneter your username and password for Space-Track");
    Ui->EditUsername->setFocus();
}

bool TFormMain::eventFilter(QObject* Watched, QEvent* Event)
{
    const bool entering = Event->type() == QEvent::FocusIn && MovesWithinWindow(*Event);
    const bool leaving = Event->type() == QEvent::FocusOut && MovesWithinWindow(*Event);
    if (leaving && Watched == Ui->MemoMyFavourites)
        MemoMyFavouritesExit();
    else if (entering && Watched == Ui->EditHistoricDataPath)
        EditSetPathEnter(*Ui->EditHistoricDataPath);
    else if (leaving && (Watched == Ui->EditKeplerPath || Watched == Ui->EditHistoricDataPath))
        EditSetPathExit(*static_cast<QLineEdit*>(Watched));
    return QMainWindow::eventFilter(Watched, Event);
}

void TFormMain::MemoMyFavouritesExit()
{
    // Passing through the memo without an edit writes nothing, so that a list imported meanwhile
    // stays as imported.
    const bool edited = CommaTextOf(FavouritesLines()) != FShownFavourites;
    const std::string note = DroppedFavouritesNote(FavouritesLines());
    Ui->LabelFavouritesNote->setText(Q(note));
    Ui->LabelFavouritesNote->setVisible(!note.empty());
    Ui->MemoMyFavourites->setPlainText(Q(MemoText(CleanFavourites(FavouritesLines()))));
    FShownFavourites = CommaTextOf(FavouritesLines());
    if (!edited)
        return;
    FavouritesSetting->Value = FShownFavourites;
    FavouritesSetting->Save();
}

void TFormMain::EditSetPathEnter(QLineEdit& Edit)
{
    Edit.setToolTip(QString());
}

void TFormMain::EditSetPathExit(QLineEdit& Edit)
{
    // Setting the same text again would clear the mark of the user's typing before the edit
    // stores it.
    const QString folder = Q(WithTrailingSeparator(Text(Edit)));
    if (folder != Edit.text())
        Edit.setText(folder);
    Edit.setToolTip(Edit.text());
}

void TFormMain::BrowseForFolder(QLineEdit& Edit)
{
    const std::string start = NearestExistingFolder(Text(Edit), QDir::homePath().toStdString());
    if (const std::optional<QString> folder = Environment.Dialogs->ChooseFolder(this, Q(start)))
        Edit.setText(Q(WithTrailingSeparator(folder->toStdString())));
    Edit.setToolTip(Edit.text());
}

void TFormMain::ButtonGetSpaceTrackClick()
{
    if (!FRunning)
        RunDownload();
}

void TFormMain::SetRunning(bool Running)
{
    FRunning = Running;
    // The log stays readable: it can be scrolled and copied from during the run.
    Ui->PageControl->tabBar()->setEnabled(!Running);
    Ui->TabSheetSetup->setEnabled(!Running);
    Ui->PanelConnection->setEnabled(!Running);
    Ui->ButtonClose->setEnabled(!Running);
    Ui->ButtonCancel->setEnabled(Running);
}

// Cancel is seen to work at once; the run ends after the request or wait under way.
void TFormMain::CancelRun()
{
    Session.Cancel();
    Ui->ButtonCancel->setEnabled(false);
    ShowStatus("Cancelling");
}

void TFormMain::closeEvent(QCloseEvent* Event)
{
    if (!FRunning) {
        QMainWindow::closeEvent(Event);
        return;
    }
    Event->ignore();
    if (AskYesNo(FApplicationTitle.toStdString(), "A download run is under way. Cancel it and close?")) {
        FCloseAfterRun = true;
        CancelRun();
    }
}

void TFormMain::ButtonCreateHistoricClick()
{
    const std::vector<std::string> items = CheckedHistoricItems();
    if (items.empty()) {
        ShowMessage("Tick the satellites whose historic files are wanted");
        return;
    }
    if (!PrepareFolder(*this, FUnattended, std::string(HistoricFolderLabel), HistoricDataPath()))
        return;
    std::string text = "In " + HistoricDataPath() + ":";
    for (const std::string& line : CreateHistoricFiles(HistoricDataPath(), items))
        text += "\n" + line;
    ShowMessage(text);
}

bool TFormMain::HasLogin() const
{
    if (!SourceNeedsLogin(Ui->ComboBoxSource->currentText().toStdString()))
        return true;
    return !Ui->EditUsername->text().isEmpty() && !Ui->EditPassword->text().isEmpty();
}

// The login belongs to Space-Track; a source without one leaves it as it is, out of the way.
void TFormMain::ShowLoginForSource()
{
    Ui->GroupBoxLogin->setEnabled(SourceNeedsLogin(Ui->ComboBoxSource->currentText().toStdString()));
}

std::vector<std::string> TFormMain::FavouritesLines() const
{
    return MemoLines(Ui->MemoMyFavourites->toPlainText().toStdString());
}

TRunRequest TFormMain::RunRequest() const
{
    TRunRequest request;
    request.Inputs = DownloadInputs();
    request.Folders = {KeplerPath(), HistoricDataPath(), CheckedHistoricItems(), FExtraHistoric, std::time(nullptr)};
    request.Unattended = FUnattended;
    // Only an unattended run has a deadline: nobody watches it who could end it.
    if (FUnattended)
        request.Deadline = Environment.RunDeadline;
    return request;
}

TDownloadInputs TFormMain::DownloadInputs() const
{
    TDownloadInputs inputs;
    inputs.Source = Ui->ComboBoxSource->currentText().toStdString();
    inputs.SpaceTrackAddress = WithoutTrailingSlashes(Text(*Ui->EditSpaceTrackAddress));
    inputs.CelesTrakAddress = AddressOr(*Ui->EditCelesTrakAddress, DefaultCelesTrakAddress);
    inputs.Username = Text(*Ui->EditUsername);
    inputs.Password = Text(*Ui->EditPassword);
    inputs.ProxyServer = Text(*Ui->EditProxyServer);
    inputs.ProxyPort = Text(*Ui->EditProxyPort);
    inputs.ProxyUserName = Text(*Ui->EditProxyUserName);
    inputs.ProxyPassword = Text(*Ui->EditProxyPassword);
    for (std::size_t row = 0; row < GroupCount; ++row)
        inputs.Groups[row] = {FGroupRows[row].Choice->isChecked(), Text(*FGroupRows[row].FileName)};
    // One entry per satellite, also for a list stored by another program or an earlier version.
    inputs.Favourites = CleanFavourites(FavouritesLines());
    inputs.FavouritesFileName = Text(*Ui->EditNameMyFavourites);
    ReadFileOptions(inputs, [this](const std::string& Name) { return FFileOptions->ChoiceText(Name); });
    return inputs;
}

void TFormMain::ClearLog()
{
    Ui->MemoProgress->clear();
}

void TFormMain::ShowMessage(const std::string& Message)
{
    Environment.Dialogs->ShowMessage(this, FApplicationTitle, Q(Message));
}

void TFormMain::ShowError(const std::string& Message)
{
    Environment.Dialogs->ShowError(this, FApplicationTitle, Q(Message));
}

bool TFormMain::AskYesNo(const std::string& Caption, const std::string& Question)
{
    return Environment.Dialogs->AskYesNo(this, Q(Caption), Q(Question));
}

void TFormMain::ShowSelfClosingMessage(const std::string& Message)
{
    TimerPopupMessage->start();
    ShowMessage(Message);
    TimerPopupMessage->stop();
}

bool TFormMain::ConnectionTest()
{
    return Environment.ConnectionTest ? Environment.ConnectionTest() : MachineNameResolves();
}

void TFormMain::FocusPassword()
{
    Ui->PageControl->setCurrentWidget(Ui->TabSheetDownload);
    Ui->EditPassword->setFocus(Qt::OtherFocusReason);
    Ui->EditPassword->selectAll();
}

std::string TFormMain::KeplerPath() const
{
    return ExpandHome(Text(*Ui->EditKeplerPath), QDir::homePath().toStdString());
}

std::string TFormMain::HistoricDataPath() const
{
    return ExpandHome(Text(*Ui->EditHistoricDataPath), QDir::homePath().toStdString());
}

std::vector<std::string> TFormMain::CheckedHistoricItems() const
{
    std::vector<std::string> items;
    for (int row = 0; row < Ui->CheckListBoxHistoric->count(); ++row)
        if (const QListWidgetItem* item = Ui->CheckListBoxHistoric->item(row); item->checkState() == Qt::Checked)
            items.push_back(item->text().toStdString());
    return items;
}

void TFormMain::LogSummary(const std::vector<std::string>& Lines)
{
    FRunSummary = Lines;
    TRunLog::LogSummary(Lines);
}

void TFormMain::Log(const std::string& Line, bool RepaintNow)
{
    Ui->MemoProgress->appendPlainText(Q(Line));
    if (RepaintNow)
        Ui->MemoProgress->viewport()->repaint();
    if (Environment.Headless)
        Console.Log(Line, RepaintNow);
}

void TFormMain::KeepAlive()
{
    QCoreApplication::processEvents();
}

// Tenths of a percent, so that the bar's int range holds any length.
void TFormMain::ShowRequestProgress(long long Bytes, long long Total)
{
    constexpr int steps = 1000;
    if (Total <= 0) {
        ProgressRequest->setRange(0, 0);
        return;
    }
    ProgressRequest->setRange(0, steps);
    ProgressRequest->setValue(static_cast<int>(std::min(Bytes, Total) * steps / Total));
}

void TFormMain::ShowRunProgress(int Index, int Count)
{
    ProgressRequest->setRange(0, 1);
    ProgressRequest->setValue(0);
    LabelRunProgress->setText(Index > 0 ? QStringLiteral("Download %1 of %2").arg(Index).arg(Count) : QString());
    if (Environment.Headless)
        Console.ShowRunProgress(Index, Count);
}

void TFormMain::ShowStatus(const std::string& Status)
{
    Ui->StatusBar->showMessage(Q(Status));
    Ui->StatusBar->repaint();
}

std::string TFormMain::ProxyServerText() const
{
    return Text(*Ui->EditProxyServer);
}

std::string TFormMain::ProxyPortText() const
{
    return Text(*Ui->EditProxyPort);
}

void TFormMain::SetProxyServer(const std::string& Host, const std::string& Port)
{
    Ui->EditProxyServer->setText(Q(Host));
    Ui->EditProxyPort->setText(Q(Port));
}

TDownloadOutcome TFormMain::RunDownload()
{
    FRunSummary.clear();
    // Disabling the controls moves the focus away; it comes back after the run.
    const QPointer<QWidget> focused = focusWidget();
    SetRunning(true);
    TRunRequest request = RunRequest();
    request.Connected = ConnectionTest();
    const TDownloadOutcome outcome = Session.RunDownload(*this, request);
    SetRunning(false);
    ShowStatus(Session.IdleStatus(outcome));
    // The password is the likelier mistake; typing over it starts at once. The controls are
    // disabled until the run ends, and a disabled edit takes no focus.
    if (Session.PasswordRefused())
        FocusPassword();
    else if (focused)
        focused->setFocus(Qt::OtherFocusReason);
    if (outcome == TDownloadOutcome::Completed) {
        RecordSuccessfulRun();
        ShowLastRun();
    }
    StoreLastRun(LastRunOf(outcome, FRunSummary, std::time(nullptr)));
    if (Environment.RunFinished)
        Environment.RunFinished(outcome);
    if (FCloseAfterRun)
        CloseWindow();
    return outcome;
}

void TFormMain::CloseWindow()
{
    if (FClosing)
        return;
    FClosing = true;
    close();
}

} // namespace elsetry
