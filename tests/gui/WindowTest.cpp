// The window under the offscreen platform: its form, its handlers and its start-up.

#include "tests/gui/WindowSupport.h"
#include "tools/catalogue-service/CatalogueService.h"

#include "platform/TextFile.h"
#include "gui/PersistedControl.h"
#include "gui/qvxCheckListBox.h"
#include "download/RunRequestStore.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QScreen>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <utime.h>
#include <sys/stat.h>
#include <functional>
#include <map>
#include <set>

namespace elsetry::test {
namespace {

using TLines = std::vector<std::string>;

void SendFocus(QWidget& Control, QEvent::Type Type, ::Qt::FocusReason Reason)
{
    QFocusEvent event(Type, Reason);
    QApplication::sendEvent(&Control, &event);
}

std::set<std::string> PersistedNames(const QWidget& Form)
{
    std::set<std::string> names;
    for (const QWidget* child : Form.findChildren<QWidget*>())
        if (dynamic_cast<const IPersistedControl*>(child))
            names.insert(child->property("NamedAs").toString().toStdString());
    return names;
}

TEST_F(WindowTest, FormAsDesigned)
{
    TFormMain& form = Open();
    const std::pair<const char*, const char*> groups[GroupCount] = {
        {"FullCatalog", "Full Satellite Catalog"}, {"Amateur", "Amateur"},   {"Geo", "Geosynchronous"},
        {"Globstar", "Globstar"}, {"Inmarsat", "Inmarsat"}, {"Intelsat", "Intelsat"}, {"Iridium", "Iridium"},
        {"Navigation", "Navigation"}, {"Orbcomm", "Orbcomm"}, {"SpecialInterest", "Special Interest"},
        {"Weather", "Weather"}, {"Visible", "Visible"}};
    std::set<std::string> persisted{
        "NameMyFavourites", "WantedHistoric", "KeplerPath",        "HistoricDataPath",
        "Username",         "Password",       "ProxyServer",       "ProxyPort",
        "ProxyUserName",    "ProxyPassword",  "SpaceTrackAddress", "Source",
        "CelesTrakAddress", "LineEnds",       "FormMyFavourites",  "LongNumbersMyFavourites"};
    TLines tabOrder;
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const std::string key = groups[row].first;
        SCOPED_TRACE(key);
        auto& box = Child<QCheckBox>(("CheckBoxGet" + key).c_str());
        EXPECT_EQ(box.text().toStdString(), groups[row].second);
        EXPECT_FALSE(box.isChecked());
        box.setChecked(true);
        const TDownloadInputs inputs = form.DownloadInputs();
        box.setChecked(false);
        for (std::size_t other = 0; other < GroupCount; ++other)
            EXPECT_EQ(inputs.Groups[other].Checked, other == row) << "the run's table has the same order";
        EXPECT_EQ(inputs.Groups[row].FileName, key + ".txt");
        persisted.insert({"Get" + key, "Name" + key, "Form" + key, "LongNumbers" + key});
        tabOrder.insert(tabOrder.end(), {"EditName" + key, "CheckBoxGet" + key});
    }
    EXPECT_EQ(PersistedNames(form), persisted);
    QTest::mouseClick(&Child<QPushButton>("ButtonFileOptions"), ::Qt::LeftButton);
    EXPECT_TRUE(Child<QWidget>("FileOptionsDialog").isVisible());
    QTest::mouseClick(&Child<QPushButton>("ButtonCloseFileOptions"), ::Qt::LeftButton);
    EXPECT_FALSE(Child<QWidget>("FileOptionsDialog").isVisible());
    EXPECT_EQ(Child<QLineEdit>("EditNameMyFavourites").text(), "MyFavourites.txt");
    EXPECT_EQ(form.DownloadInputs().SpaceTrackAddress, DefaultSpaceTrackAddress);
    Child<QLineEdit>("EditSpaceTrackAddress").setText("http://127.0.0.1:8080/");
    EXPECT_EQ(form.DownloadInputs().SpaceTrackAddress, "http://127.0.0.1:8080") << "the paths begin with /";

    tabOrder.insert(
        tabOrder.end(),
        {"ButtonFileOptions",     "EditNameMyFavourites",   "MemoMyFavourites",     "CheckListBoxHistoric",
         "EditKeplerPath",        "ButtonBrowseKeplerPath", "EditHistoricDataPath", "ButtonBrowseHistoricPath",
         "MemoProgress",          "ComboBoxSource",         "EditUsername",         "EditPassword",
         "EditSpaceTrackAddress", "EditProxyServer",        "EditProxyPort",        "EditProxyUserName",
         "EditProxyPassword",     "EditCelesTrakAddress",   "ButtonGetSpaceTrack",  "ButtonClose"});
    TLines chain;
    const std::set<std::string> named(tabOrder.begin(), tabOrder.end());
    QWidget* widget = &Child<QWidget>(tabOrder.front().c_str());
    for (int step = 0; step < 1000 && chain.size() < named.size(); ++step, widget = widget->nextInFocusChain())
        if (named.count(widget->objectName().toStdString()))
            chain.push_back(widget->objectName().toStdString());
    EXPECT_EQ(chain, tabOrder);

    QStringList historic;
    auto& list = Child<TqvxCheckListBox>("CheckListBoxHistoric");
    for (int row = 0; row < list.count(); ++row)
        historic << list.item(row)->text();
    EXPECT_EQ(historic.join(","), "FY1C,FY1D,ISS-Zarya,MetOp-A,NOAA-12,NOAA-14,NOAA-15,NOAA-16,NOAA-17,NOAA-18,NOAA-19");

    std::set<std::string> texts;
    for (const QLabel* label : form.findChildren<QLabel*>())
        texts.insert(label->text().toStdString());
    for (const QGroupBox* box : form.findChildren<QGroupBox*>())
        texts.insert(box->title().toStdString());
    auto& pages = Child<QTabWidget>("PageControl");
    for (int page = 0; page < pages.count(); ++page)
        texts.insert("page " + pages.tabText(page).toStdString());
    for (const QPushButton* button : form.findChildren<QPushButton*>())
        texts.insert(button->text().toStdString() + " " + button->toolTip().toStdString());
    for (const char* text :
         {"Select group to download",
          "Save file name",
          "Catalog numbers",
          "Save group data to folder",
          "Save historic Kepler data to folder",
          "Progress log",
          "Username",
          "Password",
          "Server",
          "Port",
          "Proxy authentication",
          "&Source:",
          " Select satellite groups ",
          " Individual satellite list ",
          " Update historic data ",
          " Save to ",
          " Space-Track login ",
          " Proxy server ",
          " CelesTrak ",
          "&Browse... Browse for Kepler folder",
          "Br&owse... Browse for historical Kepler folder",
          "&Download ",
          "&Close ",
          "C&reate missing files Create an empty historic file for each ticked satellite that has none",
          "page S&etup",
          "page Do&wnload"})
        EXPECT_TRUE(texts.count(text)) << text;
    auto& source = Child<QComboBox>("ComboBoxSource");
    QStringList sources;
    for (int row = 0; row < source.count(); ++row)
        sources << source.itemText(row);
    EXPECT_EQ(sources, QStringList({QString::fromUtf8(SpaceTrackApiSource), QString::fromUtf8(SpaceTrackLegacySource),
                                    QString::fromUtf8(CelesTrakSource)}))
        << "the names the run knows, the default first";
    EXPECT_EQ(source.property("NamedAs").toString().toStdString(), SourceSetting);
    EXPECT_EQ(Child<QLabel>("LabelSource").buddy(), &source);
    EXPECT_EQ(form.DownloadInputs().Source, SpaceTrackApiSource);
    EXPECT_EQ(form.DownloadInputs().CelesTrakAddress, DefaultCelesTrakAddress);
    EXPECT_EQ(Child<QPlainTextEdit>("MemoMyFavourites").toolTip(), "Enter a list of catalog numbers to retrieve");
    EXPECT_EQ(Child<QLabel>("LabelProxyAuthentication").toolTip(),
              "Leave these fields blank unless your proxy requires authentication");
    EXPECT_TRUE(Child<QPlainTextEdit>("MemoProgress").isReadOnly());
    for (const char* password : {"EditPassword", "EditProxyPassword"}) {
        Child<QLineEdit>(password).setText("pa ss");
        EXPECT_EQ(Child<QLineEdit>(password).displayText(), "*****") << password;
    }
}

TEST_F(WindowTest, EveryButtonAndPageHasItsOwnMnemonic)
{
    TFormMain& form = Open();
    std::vector<QString> captions;
    // The file options are a window of their own, with keys of their own.
    for (const QPushButton* button : form.findChildren<QPushButton*>())
        if (button->window() == &form)
            captions.push_back(button->text());
    auto& pages = Child<QTabWidget>("PageControl");
    for (int page = 0; page < pages.count(); ++page)
        captions.push_back(pages.tabText(page));
    for (const QLabel* label : form.findChildren<QLabel*>())
        if (label->buddy() && label->window() == &form)
            captions.push_back(label->text());
    std::map<QChar, QString> taken;
    for (const QString& caption : captions) {
        SCOPED_TRACE(caption.toStdString());
        const qsizetype at = caption.indexOf('&');
        ASSERT_TRUE(at >= 0 && at + 1 < caption.size() && caption[at + 1].isLetter());
        const QChar key = caption[at + 1].toLower();
        EXPECT_FALSE(taken.count(key)) << "the key of " << taken[key].toStdString();
        taken[key] = caption;
    }
}

TEST_F(WindowTest, OwnIconAndAddressesShownInFull)
{
    TFormMain& form = Open();
    const QImage icon = form.windowIcon().pixmap(64, 64).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixelColor(32, 8).name(), "#0b2545") << "the disc of the program's SVG";
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);

    Child<QTabWidget>("PageControl").setCurrentWidget(&Child<QWidget>("TabSheetDownload"));
    const QFont desktop = form.font();
    QFont larger = desktop;
    larger.setPointSizeF(desktop.pointSizeF() * 4 / 3);
    for (const QFont& font : {desktop, larger}) {
        for (const auto& [name, text] : {std::pair{"EditSpaceTrackAddress", DefaultSpaceTrackAddress},
                                         std::pair{"EditCelesTrakAddress", DefaultCelesTrakAddress}}) {
            SCOPED_TRACE(font.toString().toStdString() + " " + name);
            form.setFont(font);
            QApplication::processEvents();
            auto& address = Child<QLineEdit>(name);
            address.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
            address.end(false);
            // With the cursor at the end, a text wider than the edit is scrolled to show its end.
            EXPECT_LE(address.cursorPositionAt(QPoint(0, address.height() / 2)), 1) << "the start is not scrolled away";
        }
    }
}

// Whether every label, button and edit of the page has at least the room it asks for, and every
// item of the historic list can be seen whole.
void ExpectNothingClipped(QWidget& Page)
{
    for (const QWidget* control : Page.findChildren<QWidget*>()) {
        if (!control->isVisible()
            || !(qobject_cast<const QLabel*>(control) || qobject_cast<const QAbstractButton*>(control)
                 || qobject_cast<const QLineEdit*>(control)))
            continue;
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_GE(control->width(), control->minimumSizeHint().width());
        const int height = control->hasHeightForWidth() ? control->heightForWidth(control->width())
                                                        : control->minimumSizeHint().height();
        EXPECT_GE(control->height(), height);
    }
    // A list too narrow for its columns scrolls to them.
    if (auto* list = Page.findChild<TqvxCheckListBox*>("CheckListBoxHistoric")) {
        for (int row = 0; row < list->count(); ++row)
            EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(row)))
                        || list->horizontalScrollBar()->isVisible())
                << list->item(row)->text().toStdString();
    }
}

// The test runs again on an 800x600 screen with QT_SCALE_FACTOR=1.25, where the window has 640x480
// to fit in; a page taller than that scrolls.
TEST_F(WindowTest, WindowFitsTheScreenGrowsAndShowsEverythingWhole)
{
    TFormMain& form = Open();
    const QSize screen = form.screen()->availableGeometry().size();
    EXPECT_TRUE(form.windowFlags() & ::Qt::WindowMaximizeButtonHint);
    EXPECT_LE(form.width(), screen.width());
    EXPECT_LE(form.height(), screen.height() - 32) << "room for a title bar";
    EXPECT_LT(form.minimumSize().width(), form.maximumSize().width());
    auto& pages = Child<QTabWidget>("PageControl");
    auto& note = Child<QLabel>("LabelFavouritesNote");
    auto& memo = Child<QPlainTextEdit>("MemoMyFavourites");
    memo.setPlainText("abc\ndef\nghi\njkl\nmno\npqr\n25544\n25544\n7530\n7530\n33591\n33591\n28654\n28654");
    SendFocus(memo, QEvent::FocusOut, ::Qt::TabFocusReason);
    ASSERT_FALSE(note.isHidden());
    for (QWidget* page : {&Child<QWidget>("TabSheetSetup"), &Child<QWidget>("TabSheetDownload")}) {
        SCOPED_TRACE(page->objectName().toStdString());
        pages.setCurrentWidget(page);
        QApplication::processEvents();
        ExpectNothingClipped(*page);
    }

    auto& log = Child<QPlainTextEdit>("MemoProgress");
    auto& panel = Child<QWidget>("PanelConnection");
    // From a size at which the page needs no scrolling.
    form.resize(900, 700);
    QApplication::processEvents();
    const QSize logBefore = log.size();
    const int panelBefore = panel.width();
    form.resize(form.size() + QSize(300, 200));
    QApplication::processEvents();
    EXPECT_EQ(log.size(), logBefore + QSize(300, 200)) << "the log takes the room";
    EXPECT_EQ(panel.width(), panelBefore);
}

TEST_F(WindowTest, SourceChoiceIsKeptAndReachesTheRun)
{
    TFormMain& form = Open();
    auto& source = Child<QComboBox>("ComboBoxSource");
    source.setFocus();
    QTest::keyClick(&source, Qt::Key_Down);
    EXPECT_EQ(form.DownloadInputs().Source, SpaceTrackLegacySource);
    EXPECT_EQ(Stored("Source"), SpaceTrackLegacySource) << "stored as soon as it is chosen";
    Close();
    EXPECT_EQ(Stored("Source"), SpaceTrackLegacySource);
    TFormMain& again = Open();
    EXPECT_EQ(Child<QComboBox>("ComboBoxSource").currentText().toStdString(), SpaceTrackLegacySource);
    EXPECT_EQ(again.DownloadInputs().Source, SpaceTrackLegacySource);
    Close();

    // A name the window does not offer: the run is given it to refuse, and the store keeps it.
    Put("Source", "Elsewhere");
    TFormMain& unknown = Open();
    EXPECT_EQ(unknown.DownloadInputs().Source, "Elsewhere");
    EXPECT_EQ(Child<QComboBox>("ComboBoxSource").count(), 4);
    Close();
    EXPECT_EQ(Stored("Source"), "Elsewhere");
}

TEST_F(WindowTest, CelesTrakNeedsNoLogin)
{
    Put("Source", std::string(CelesTrakSource));
    TFormMain& form = Open();
    auto& pages = Child<QTabWidget>("PageControl");
    EXPECT_EQ(pages.currentWidget()->objectName(), "TabSheetDownload") << "nothing is missing for a run";
    EXPECT_FALSE(Child<QGroupBox>("GroupBoxLogin").isEnabled());
    EXPECT_EQ(form.focusWidget(), &Child<QWidget>("ButtonGetSpaceTrack"));

    auto& source = Child<QComboBox>("ComboBoxSource");
    source.setCurrentText(QString::fromUtf8(SpaceTrackApiSource));
    EXPECT_TRUE(Child<QGroupBox>("GroupBoxLogin").isEnabled());
    pages.setCurrentIndex(0);
    pages.setCurrentIndex(1);
    EXPECT_EQ(Dialogs->Events, TLines{"message Please eneter your username and password for Space-Track"});
}

TEST_F(WindowTest, CelesTrakAddressIsAFieldUsedWithoutTrailingSlashes)
{
    TFormMain& form = Open();
    auto& edit = Child<QLineEdit>("EditCelesTrakAddress");
    EXPECT_EQ(edit.text().toStdString(), DefaultCelesTrakAddress) << "absent";
    EXPECT_EQ(form.DownloadInputs().CelesTrakAddress, DefaultCelesTrakAddress);
    struct TCase {
        const char* Typed;
        std::string_view Used;
    };
    const TCase cases[] = {
        {"", DefaultCelesTrakAddress},
        {"/", DefaultCelesTrakAddress},
        {"http://127.0.0.1:8081/", "http://127.0.0.1:8081"},
        {"https://mirror.example.net/celestrak//", "https://mirror.example.net/celestrak"},
    };
    for (const TCase& c : cases) {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete);
        QTest::keyClicks(&edit, c.Typed);
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(form.DownloadInputs().CelesTrakAddress, c.Used) << c.Typed;
    }
    Close();
    EXPECT_EQ(Stored("CelesTrakAddress"), "https://mirror.example.net/celestrak//");
    Put("CelesTrakAddress", "https://other.example.net");
    Open();
    EXPECT_EQ(Child<QLineEdit>("EditCelesTrakAddress").text(), "https://other.example.net");
}

TEST_F(WindowTest, TypedFileNamesOutsideTheirFolderAreRefusedWithAMessage)
{
    struct TCase {
        const char* Edit;
        const char* Typed;
        const char* Kept;
    };
    const TCase cases[] = {
        {"NameWeather", "../home/.bashrc", "Weather.txt"},
        {"NameFullCatalog", "/etc/passwd", "FullCatalog.txt"},
        {"NameMyFavourites", ".profile", "MyFavourites.txt"},
    };
    Open();
    for (const TCase& c : cases) {
        Dialogs->Events.clear();
        auto& edit = Child<QLineEdit>(("Edit" + std::string(c.Edit)).c_str());
        EXPECT_EQ(edit.text(), c.Kept) << c.Edit;
        edit.setFocus();
        edit.selectAll();
        QTest::keyClicks(&edit, c.Typed);
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(edit.text(), c.Kept) << c.Edit;
        EXPECT_EQ(Dialogs->Events, TLines{"message \"" + std::string(c.Typed) + "\" is not a plain file name: a file "
                                          "name may not be empty, contain \"/\" or begin with \".\""}) << c.Edit;
        EXPECT_EQ(Stored(c.Edit), "<missing>") << c.Edit;
    }
}

TEST_F(WindowTest, StartSweepsOldTemporariesOfThisProgramOnly)
{
    Put("KeplerPath", Files.Path + "/keps/");
    Put("HistoricDataPath", Files.Path + "/keps/");
    const std::time_t old = std::time(nullptr) - 2 * 24 * 60 * 60;
    struct TCase {
        std::string Path;
        bool Stays;
    };
    const TCase cases[] = {
        {Files.Path + "/keps/.Weather.txt-0a1b2c3d.tmp", false},
        {Files.Path + "/keps/Weather.txt", true},
        {Files.Path + "/keps/Kep12AB.gz", true},
        {Files.Path + "/tmp/Kep12AB.gz", false},
        {Files.Path + "/tmp/.Weather.txt-0a1b2c3d.tmp", true},
    };
    for (const TCase& c : cases) {
        std::ofstream(c.Path) << "left";
        const ::utimbuf times{old, old};
        ASSERT_EQ(::utime(c.Path.c_str(), &times), 0);
    }
    Open();
    for (const TCase& c : cases)
        EXPECT_EQ(FileExists(c.Path), c.Stays) << c.Path;
}

TEST_F(WindowTest, TitleCaptionAndExtraHistoricFromTheSettingsFile)
{
    std::ofstream(Files.Path + "/bin/elsetry.ini") << "[historic]\n25544=ISS.txt\n40069=Meteor-M2.txt\n";
    TFormMain& form = Open();
    const std::string version = ELSETRY_VERSION;
    EXPECT_EQ(form.windowTitle().toStdString(), "Elsetry - V" + version);
    EXPECT_EQ(form.ApplicationTitle().toStdString(), "Elsetry from Corriebrook - V" + version);
    EXPECT_EQ(form.ExtraHistoric(), (TLines{"25544=ISS.txt", "40069=Meteor-M2.txt"}));
}

TEST_F(WindowTest, DefaultFoldersFromTheOtherProgramsAndTheAppPathsEntry)
{
    const std::string swathgrab = Files.Path + "/sg/bin/swathgrab";
    std::filesystem::create_directories(Files.Path + "/sg/Keps/Updates");
    Put("TwoLineDataPath", "/srv/orbivue/keps/", "\\Software\\Corriebrook\\Orbivue");
    Put("Swathgrab", swathgrab, "\\Software\\Corriebrook\\App Paths");
    Open();
    const std::string historic = Files.Path + "/sg/Keps/Updates/";
    EXPECT_EQ(Child<QLineEdit>("EditKeplerPath").text(), "/srv/orbivue/keps/");
    EXPECT_EQ(Child<QLineEdit>("EditKeplerPath").toolTip(), "/srv/orbivue/keps/");
    EXPECT_EQ(Child<QLineEdit>("EditHistoricDataPath").text().toStdString(), historic);
    EXPECT_EQ(Child<QGroupBox>("GroupBoxHistoric").toolTip().toStdString(), "Update HRPT Keplers in: " + historic);
    EXPECT_EQ(Stored(ProgramBaseNameOf(ExecutablePath()), "\\Software\\Corriebrook\\App Paths"), ExecutablePath());
    Close();

    Put("KeplerPath", "/home/me/keps/");
    Put("HistoricDataPath", "/home/me/historic/");
    Open();
    EXPECT_EQ(Child<QLineEdit>("EditKeplerPath").text(), "/home/me/keps/") << "the user's folders stay";
    EXPECT_EQ(Child<QLineEdit>("EditHistoricDataPath").text(), "/home/me/historic/");
}

TEST_F(WindowTest, FirstStartWithoutTheOtherProgramsKeepsItsFilesUnderTheHomeFolder)
{
    TFormMain& form = Open();
    auto& kepler = Child<QLineEdit>("EditKeplerPath");
    auto& historic = Child<QLineEdit>("EditHistoricDataPath");
    EXPECT_EQ(kepler.text(), "~/.local/share/elsetry/keps/");
    EXPECT_EQ(historic.text(), "~/.local/share/elsetry/historic/");
    EXPECT_EQ(form.KeplerPath(), Home + "/.local/share/elsetry/keps/");
    EXPECT_EQ(form.HistoricDataPath(), Home + "/.local/share/elsetry/historic/");
    kepler.setText("~/keps");
    SendFocus(kepler, QEvent::FocusOut, ::Qt::TabFocusReason);
    EXPECT_EQ(form.KeplerPath(), Home + "/keps/");
    Close();

    Put("KeplerPath", "");
    Put("HistoricDataPath", "");
    Open();
    EXPECT_EQ(Child<QLineEdit>("EditKeplerPath").text(), "") << "a folder the user emptied stays empty";
    EXPECT_EQ(Child<QLineEdit>("EditHistoricDataPath").text(), "");
}

TEST_F(WindowTest, DownloadChecksTheFoldersBeforeConnecting)
{
    Put("Username", "observer");
    Put("Password", "secret");
    const struct {
        std::string Folder;
        TLines Events;
    } cases[] = {
        {"", {"message The folder to save group data to is not set: choose a folder on the Setup page"}},
        {Files.Path + "/new/",
         {"ask Create folder: The folder to save group data to " + Files.Path + "/new/ does not exist. Create it?"}},
        {Files.Path + "/keps/x.txt/",
         {"message The folder to save group data to " + Files.Path + "/keps/x.txt/ is not a folder"}},
    };
    std::ofstream(Files.Path + "/keps/x.txt") << "";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Folder);
        Put("KeplerPath", c.Folder);
        Open();
        Dialogs->Events.clear();
        Child<QPushButton>("ButtonGetSpaceTrack").click();
        EXPECT_EQ(Dialogs->Events, c.Events);
        EXPECT_EQ(Outcomes.back(), TDownloadOutcome::NotStarted);
        EXPECT_TRUE(Child<QPushButton>("ButtonClose").isEnabled());
        EXPECT_FALSE(std::filesystem::exists(Files.Path + "/new")) << "declined";
        Close();
    }
}

TEST_F(WindowTest, EarlierMultiLineListMovesToCommaText)
{
    Put("MyFavouritesList", "25544\r\n7530\r\n33591\r\n");
    Open();
    EXPECT_EQ(Child<QPlainTextEdit>("MemoMyFavourites").toPlainText(), "25544\n7530\n33591");
    EXPECT_EQ(Stored("MyFavourites"), "25544,7530,33591") << "kept even if the program ends abnormally now";
    EXPECT_EQ(Stored("MyFavouritesList"), "<missing>");
    Close();
    EXPECT_EQ(Stored("MyFavourites"), "25544,7530,33591");
    EXPECT_EQ(Stored("MyFavouritesList"), "<missing>");

    Put("MyFavourites", "\"25544\" 7530,,33591");
    Open();
    EXPECT_EQ(Child<QPlainTextEdit>("MemoMyFavourites").toPlainText(), "25544\n7530\n\n33591");
    Close();

    Put("MyFavourites", "148493,E8493,25544,abc");
    EXPECT_EQ(Open().DownloadInputs().Favourites, (TLines{"25544", "148493"})) << "a run asks once per satellite";
}

TEST_F(WindowTest, LeavingTheMemoCleansAndSortsIt)
{
    Open();
    auto& memo = Child<QPlainTextEdit>("MemoMyFavourites");
    auto& note = Child<QLabel>("LabelFavouritesNote");
    EXPECT_TRUE(note.isHidden());
    memo.setPlainText("  25544  \n0\n340000\n100000\ne8493\nabc\n007\n4793\n100\n25544\n148493\n12,13\n1000000000\n");
    SendFocus(memo, QEvent::FocusOut, ::Qt::ActiveWindowFocusReason);
    EXPECT_EQ(memo.toPlainText().count('\n'), 13) << "another window taking the focus is no leaving";
    EXPECT_TRUE(note.isHidden());
    SendFocus(memo, QEvent::FocusOut, ::Qt::TabFocusReason);
    EXPECT_EQ(memo.toPlainText(), "007\n12\n13\n100\n4793\n25544\n100000\nE8493\n340000");
    EXPECT_FALSE(note.isHidden());
    EXPECT_EQ(note.text(), "Removed \"0\", \"abc\", \"1000000000\": not catalogue numbers (1 to 999999999, or E8493 "
                           "and the like); removed repeats of \"25544\", \"E8493\"");
    SendFocus(memo, QEvent::FocusOut, ::Qt::TabFocusReason);
    EXPECT_TRUE(note.isHidden()) << "a clean list needs no note";
    EXPECT_EQ(Form->DownloadInputs().Favourites,
              (TLines{"007", "12", "13", "100", "4793", "25544", "100000", "E8493", "340000"}));
    Close();
    EXPECT_EQ(Stored("MyFavourites"), "007,12,13,100,4793,25544,100000,E8493,340000");
}

TEST_F(WindowTest, SetupCreatesTheMissingHistoricFilesOfTheTickedSatellites)
{
    Open();
    auto& list = Child<TqvxCheckListBox>("CheckListBoxHistoric");
    auto& historic = Child<QLineEdit>("EditHistoricDataPath");
    auto& button = Child<QPushButton>("ButtonCreateHistoric");
    const std::string folder = Files.Path + "/keps/";
    std::ofstream(folder + "NOAA-19.txt") << "kept\n";

    historic.setText(QString::fromStdString(folder));
    button.click();
    for (int row = 0; row < list.count(); ++row)
        if (list.item(row)->text() == "NOAA-19" || list.item(row)->text() == "MetOp-A")
            list.item(row)->setCheckState(::Qt::Checked);
    historic.setText("");
    button.click();
    historic.setText(QString::fromStdString(folder));
    button.click();
    historic.setText(QString::fromStdString(Files.Path + "/new/"));
    button.click();
    Dialogs->Answers = {true};
    button.click();
    const std::string label = "The folder to save historic Kepler data to ";
    EXPECT_EQ(Dialogs->Events,
              (TLines{"message Tick the satellites whose historic files are wanted",
                      "message " + label + "is not set: choose a folder on the Setup page",
                      "message In " + folder + ":\nCreated MetOp-A.txt\nNOAA-19.txt is there already",
                      "ask Create folder: " + label + Files.Path + "/new/ does not exist. Create it?",
                      "ask Create folder: " + label + Files.Path + "/new/ does not exist. Create it?",
                      "message In " + Files.Path + "/new/:\nCreated MetOp-A.txt\nCreated NOAA-19.txt"}));
    EXPECT_EQ(ReadWholeFile(folder + "MetOp-A.txt"), "");
    EXPECT_EQ(ReadWholeFile(folder + "NOAA-19.txt"), "kept\n");
}

TEST_F(WindowTest, PassingThroughTheMemoKeepsAListImportedMeanwhile)
{
    Put("MyFavourites", "7530,25544");
    Open();
    Put("MyFavourites", "99999");
    SendFocus(Child<QPlainTextEdit>("MemoMyFavourites"), QEvent::FocusOut, ::Qt::TabFocusReason);
    Close();
    EXPECT_EQ(Stored("MyFavourites"), "99999");
}

TEST_F(WindowTest, FolderEditsKeepATrailingSeparatorAndShowTheirTextAsHint)
{
    Open();
    struct TCase {
        const char* Edit;
        const char* Text;
        QEvent::Type Event;
        ::Qt::FocusReason Reason;
        const char* ExpectedText;
        const char* ExpectedHint;
    };
    const TCase cases[] = {
        {"EditKeplerPath", "", QEvent::FocusOut, ::Qt::TabFocusReason, "", ""},
        {"EditKeplerPath", "/data/keps", QEvent::FocusOut, ::Qt::MouseFocusReason, "/data/keps/", "/data/keps/"},
        {"EditHistoricDataPath", "/data/hist", QEvent::FocusOut, ::Qt::ActiveWindowFocusReason, "/data/hist", "old"},
        {"EditHistoricDataPath", "/data/hist", QEvent::FocusIn, ::Qt::TabFocusReason, "/data/hist", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Edit) + " " + c.Text);
        auto& edit = Child<QLineEdit>(c.Edit);
        edit.setText(c.Text);
        edit.setToolTip("old");
        SendFocus(edit, c.Event, c.Reason);
        EXPECT_EQ(edit.text(), c.ExpectedText);
        EXPECT_EQ(edit.toolTip(), c.ExpectedHint);
    }
}

TEST_F(WindowTest, TypedFolderIsStoredWhenTheEditIsLeft)
{
    Open();
    for (const char* typed : {"/new/keps/", "/other/keps"}) {
        SCOPED_TRACE(typed);
        auto& edit = Child<QLineEdit>("EditKeplerPath");
        edit.setFocus();
        edit.selectAll();
        QTest::keyClicks(&edit, typed);
        SendFocus(edit, QEvent::FocusOut, ::Qt::TabFocusReason);
        const std::string folder = std::string(typed).ends_with("/") ? typed : std::string(typed) + "/";
        EXPECT_EQ(edit.text().toStdString(), folder);
        EXPECT_EQ(Stored("KeplerPath"), folder) << "stored at once, not only at a clean close";
    }
}

TEST_F(WindowTest, FolderChooserForTheEditOfThePressedButton)
{
    Open();
    auto& kepler = Child<QLineEdit>("EditKeplerPath");
    auto& historic = Child<QLineEdit>("EditHistoricDataPath");
    kepler.setText("/data/keps/");
    historic.setText(QString::fromStdString(Files.Path + "/keps/new/deeper/"));

    kepler.setToolTip("old");
    Dialogs->Folder = std::nullopt;
    Child<QPushButton>("ButtonBrowseKeplerPath").click();
    EXPECT_EQ(kepler.text(), "/data/keps/") << "cancelled";
    EXPECT_EQ(kepler.toolTip(), "/data/keps/");

    Dialogs->Folder = "/srv/historic";
    Child<QPushButton>("ButtonBrowseHistoricPath").click();
    EXPECT_EQ(historic.text(), "/srv/historic/");
    EXPECT_EQ(historic.toolTip(), "/srv/historic/");
    EXPECT_EQ(kepler.text(), "/data/keps/");
    EXPECT_EQ(Dialogs->Events, (TLines{"choose " + Home + "/", "choose " + Files.Path + "/keps/"}))
        << "the nearest folder that exists, or the home folder";
}

TEST_F(WindowTest, DownloadPageWantsTheLogin)
{
    TFormMain& form = Open();
    auto& pages = Child<QTabWidget>("PageControl");
    EXPECT_EQ(pages.currentWidget()->objectName(), "TabSheetSetup");
    pages.setCurrentIndex(1);
    EXPECT_EQ(Dialogs->Events, TLines{"message Please eneter your username and password for Space-Track"});
    EXPECT_EQ(form.focusWidget(), &Child<QWidget>("EditUsername"));
    Close();

    Put("Username", "observer");
    Put("Password", "secret");
    Dialogs->Events.clear();
    TFormMain& again = Open();
    EXPECT_EQ(Child<QTabWidget>("PageControl").currentWidget()->objectName(), "TabSheetDownload");
    EXPECT_EQ(again.focusWidget(), &Child<QWidget>("ButtonGetSpaceTrack"));
    EXPECT_TRUE(Dialogs->Events.empty());
}

// A run without a window reads the store by the controls' names: it asks for what the window would,
// as designed and as typed.
TEST_F(WindowTest, RequestFromTheStoreIsTheOneTheWindowMakes)
{
    std::ofstream(Files.Path + "/bin/elsetry.ini") << "[historic]\n25544=ISS.txt\n";
    Put("MyFavourites", "25544,148493,25544,E8493");
    Put("FormVisible", " two-line");
    Put("LongNumbersWeather", "drop"); // no value of it: the file is held back by both
    TFormMain& form = Open();
    const std::time_t now = std::time(nullptr);
    const auto same = [&] {
        TRunRequest window = form.RunRequest();
        window.Folders.TimeOfRun = now;
        EXPECT_EQ(RunRequestFromStore(QDir::homePath().toStdString(), {Files.Path + "/bin/elsetry.ini"}, now), window);
    };
    same();
    Child<QCheckBox>("CheckBoxGetGeo").setChecked(true);
    Child<QComboBox>("ComboBoxSource").setCurrentText("CelesTrak");
    Child<TqvxCheckListBox>("CheckListBoxHistoric").SetCheckedList("noaa-19,FY1C");
    const std::pair<const char*, const char*> typed[] = {
        {"EditNameGeo", "geo sats.txt"},
        {"EditUsername", "u"},
        {"EditPassword", "p"},
        {"EditProxyServer", "proxy"},
        {"EditProxyPort", "3128"},
        {"EditProxyUserName", "pu"},
        {"EditProxyPassword", "pp"},
        {"EditSpaceTrackAddress", "http://127.0.0.1:8080/"},
        {"EditCelesTrakAddress", ""},
        {"EditKeplerPath", "~/keps/"},
        {"EditHistoricDataPath", "~/hist"},
        {"EditNameMyFavourites", "mine.txt"},
    };
    for (const auto& [edit, text] : typed)
        Child<QLineEdit>(edit).setText(QString::fromUtf8(text));
    const std::pair<const char*, const char*> chosen[] = {
        {"ComboBoxFormGeo", "csv"},
        {"ComboBoxLongNumbersGeo", "leave out"},
        {"ComboBoxFormMyFavourites", "json"},
        {"ComboBoxLineEnds", "LF"},
    };
    for (const auto& [box, text] : chosen)
        Child<QComboBox>(box).setCurrentText(QString::fromUtf8(text));
    const TDownloadInputs inputs = form.RunRequest().Inputs;
    EXPECT_EQ(inputs.Groups[2].Options, (TFileOptions{TFileForm::Csv, TLongNumbers::LeaveOut}));
    EXPECT_EQ(inputs.Groups[11].Options.Form, TFileForm::TwoLine);
    EXPECT_EQ(inputs.FavouritesOptions.Form, TFileForm::Json);
    EXPECT_EQ(inputs.LineEnds, TLineEnds::Lf);
    EXPECT_NE(inputs.Groups[10].OptionsFault.find("\"LongNumbersWeather\" holds \"drop\""), std::string::npos);
    same();
}

TEST_F(WindowTest, PopupTimerClosesTheWaitingBox)
{
    TFormEnvironment environment = Environment({"window_tests"});
    environment.Dialogs = MakeScreenDialogs();
    TFormMain& form = Open(std::move(environment), false);
    auto* popup = form.findChild<QTimer*>("TimerPopupMessage");
    EXPECT_EQ(popup->interval(), 15000);
    EXPECT_FALSE(popup->isActive());
    popup->setInterval(50);
    // Should the box stay, close it so that the test fails instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    bool rescued = false;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        rescued = true;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(window))
                box->done(0);
    });
    guard.start(10000);
    form.ShowSelfClosingMessage("Error connecting to the Space-Track Web site");
    EXPECT_FALSE(rescued);
    EXPECT_FALSE(popup->isActive()) << "the timer disarms itself once it has closed the box";
}

class StartupTest : public ServiceWindowTest {
protected:
    std::vector<std::string> Calls;
};

TEST_F(StartupTest, LowerCaseAutoRunsOnceAndCloses)
{
    Open({"window_tests", "/auto"}, true);
    Put("Password", "imported meanwhile");
    Put("MyFavourites", "7530");
    WaitForStartup();
    EXPECT_TRUE(Form.isNull()) << "the window closed itself";
    EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::Completed});
    EXPECT_TRUE(FileExists(Files.Path + "/keps/Weather.txt"));
    EXPECT_EQ(Stored("Password"), "imported meanwhile") << "the run does not undo an import";
    EXPECT_EQ(Stored("MyFavourites"), "7530");
    EXPECT_EQ(Stored("NameWeather"), "<missing>") << "values the run did not change are not written";
    EXPECT_TRUE(Dialogs->Events.empty());
}

// The weather group trickles in for about a second and a half, past a deadline of half a second.
TEST_F(StartupTest, OnlyAnUnattendedRunHasADeadline)
{
    service::TServiceFaults faults;
    faults.TrickledGroups = {8};
    faults.PlainGroups = {8};
    faults.TrickleBytes = std::filesystem::file_size(Files.Path + "/data/8.txt") / 15 + 1;
    faults.TricklePause = std::chrono::milliseconds(100);
    Service->SetFaults(faults);
    TFormEnvironment unattended = Environment({"window_tests", "-AUTO"});
    unattended.RunDeadline = std::chrono::milliseconds(500);
    Open(std::move(unattended), true);
    WaitForStartup();
    EXPECT_TRUE(Form.isNull()) << "the window closed itself";
    EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::DeadlinePassed});
    EXPECT_FALSE(FileExists(Files.Path + "/keps/Weather.txt"));

    Outcomes.clear();
    TFormEnvironment attended = Environment({"window_tests"});
    attended.RunDeadline = std::chrono::milliseconds(500);
    Open(std::move(attended), false);
    Child<QPushButton>("ButtonGetSpaceTrack").click();
    EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::Completed});
    EXPECT_TRUE(FileExists(Files.Path + "/keps/Weather.txt"));
}

TEST_F(StartupTest, DifferingSystemProxyAsksAndStaysOpenWithoutDownloading)
{
    Internet.QueryProxyOption = [] {
        return std::optional<TProxyOption>({InternetOpenTypeProxy, "http=proxy.lan:3128;https=proxy.lan:3129"});
    };
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        Dialogs->Events.clear();
        Dialogs->Answers = {yes};
        Open({"window_tests", "-START"}, true);
        WaitForStartup();
        ASSERT_FALSE(Form.isNull());
        EXPECT_EQ(Dialogs->Events, TLines{"ask Proxy may be required: Your system is currently set to access the "
                                          "Internet via a proxy server: proxy.lan on port 3128.  Would you like the "
                                          "Elsetry to use this connection?"});
        EXPECT_EQ(Child<QLineEdit>("EditProxyServer").text(), yes ? "proxy.lan" : "");
        EXPECT_EQ(Child<QLineEdit>("EditProxyPort").text(), yes ? "3128" : "");
        EXPECT_TRUE(Outcomes.empty());
        EXPECT_TRUE(Service->Requests().empty());
        Close();
    }
}

TEST_F(StartupTest, WithoutADisplayAWindowThatWouldStayOpenCloses)
{
    Headless = true;
    Internet.QueryProxyOption = [] { return std::optional<TProxyOption>({InternetOpenTypeProxy, "proxy.lan:3128"}); };
    Open({"window_tests", "-AUTO"}, true);
    WaitForStartup();
    EXPECT_TRUE(Form.isNull());
    EXPECT_EQ(Dialogs->Events.size(), 1u);
    EXPECT_TRUE(Outcomes.empty());
}

TEST_F(StartupTest, LowerCaseDialAloneDialsAndNeverHangsUp)
{
    Internet.Autodial = [this](unsigned long Flags) {
        Calls.push_back("dial " + std::to_string(Flags));
        return true;
    };
    Internet.AutodialHangup = [this](unsigned long) {
        Calls.push_back("hang up");
        return true;
    };
    Open({"window_tests", "-dial"}, true);
    WaitForStartup();
    ASSERT_FALSE(Form.isNull());
    EXPECT_EQ(Calls, TLines{"dial 2"});
    Child<QPushButton>("ButtonGetSpaceTrack").click();
    EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::Completed});
    EXPECT_EQ(Child<QStatusBar>("StatusBar").currentMessage(), "Run complete");
    EXPECT_TRUE(Child<QPlainTextEdit>("MemoProgress").toPlainText().contains("   Saved: Weather.txt"));
    Close();
    EXPECT_EQ(Calls, TLines{"dial 2"});
}

// Counts the paint events a widget gets while During says so.
class TPaintCounter final : public QObject {
public:
    explicit TPaintCounter(std::function<bool()> When) : During(std::move(When)) {}
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint && During())
            ++Count;
        return false;
    }

private:
    std::function<bool()> During;
};

// Runs with the weather group stalling halfway; Step is called every 20 ms of the event loop
// while the Download click runs, which is only when the run keeps the window alive.
class AliveRunTest : public StartupTest {
protected:
    void Stall(int Milliseconds) const
    {
        service::TServiceFaults faults;
        faults.StalledGroups = {8};
        faults.StallTime = std::chrono::milliseconds(Milliseconds);
        Service->SetFaults(faults);
    }
    void ClickDownloadWhile(const std::function<void()>& Step)
    {
        QTimer tick;
        tick.setInterval(20);
        QObject::connect(&tick, &QTimer::timeout, Step);
        tick.start();
        Child<QPushButton>("ButtonGetSpaceTrack").click();
        tick.stop();
    }
    bool GettingWeather() const
    {
        return Child<QStatusBar>("StatusBar").currentMessage() == "Getting Weather.txt";
    }
    std::string WeatherFile() const { return Files.Path + "/keps/Weather.txt"; }
};

TEST_F(AliveRunTest, DuringARunOnlyCancelTakesInputAndTheWindowRepaints)
{
    Stall(1500);
    Open();
    auto& download = Child<QPushButton>("ButtonGetSpaceTrack");
    auto& cancel = Child<QPushButton>("ButtonCancel");
    EXPECT_FALSE(cancel.isEnabled());
    TPaintCounter painted([&cancel] { return cancel.isEnabled(); });
    Form->installEventFilter(&painted);
    auto& bar = Child<QProgressBar>("ProgressRequest");
    int ticks = 0;
    bool barMoved = false;
    std::set<std::string> enabledDuring;
    bool logReadOnly = true;
    download.setFocus();
    ClickDownloadWhile([&] {
        ++ticks;
        // Busy (no range) without a length, else how much of the answer has come.
        barMoved = barMoved || bar.maximum() == 0 || bar.value() > 0;
        for (const char* name : {"ButtonGetSpaceTrack", "ButtonClose", "ButtonCancel", "TabSheetSetup", "EditPassword",
                                 "CheckBoxGetWeather", "EditCelesTrakAddress", "MemoProgress"})
            if (QWidget* control = Form->findChild<QWidget*>(name); control && control->isEnabled())
                enabledDuring.insert(name);
        if (Child<QTabWidget>("PageControl").tabBar()->isEnabled())
            enabledDuring.insert("tabs");
        logReadOnly = logReadOnly && Child<QPlainTextEdit>("MemoProgress").isReadOnly();
        QTest::mouseClick(&download, Qt::LeftButton);
        QTest::keyClick(Form, Qt::Key_D, Qt::AltModifier);
        Form->update();
    });
    QTest::qWait(200);
    EXPECT_GT(ticks, 1);
    EXPECT_EQ(enabledDuring, (std::set<std::string>{"ButtonCancel", "MemoProgress"})) << "the log stays readable";
    EXPECT_TRUE(logReadOnly);
    EXPECT_GT(painted.Count, 0);
    EXPECT_TRUE(barMoved);
    EXPECT_EQ(bar.value(), 0) << "idle after the run";
    EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::Completed}) << "one run only";
    Form->removeEventFilter(&painted);
    for (const char* name : {"ButtonGetSpaceTrack", "ButtonClose", "TabSheetSetup", "PanelConnection"})
        EXPECT_TRUE(Child<QWidget>(name).isEnabled()) << name;
    EXPECT_TRUE(Child<QTabWidget>("PageControl").tabBar()->isEnabled());
    EXPECT_EQ(Child<QStatusBar>("StatusBar").currentMessage(), "Run complete") << "not the run's last step";
    EXPECT_EQ(Form->focusWidget(), &download) << "the focus comes back, so that Space runs again";
    EXPECT_FALSE(cancel.isEnabled());
    EXPECT_EQ(Child<QLabel>("LabelRunProgress").text(), "");
}

TEST_F(AliveRunTest, CancelEndsTheRunKeepsTheFileAndLogsOut)
{
    Stall(20000);
    std::ofstream(WeatherFile(), std::ios::binary) << "earlier\r\n";
    Open();
    std::string runProgress;
    std::string statusAfterClick;
    bool cancelGreyed = false;
    ClickDownloadWhile([&] {
        if (!GettingWeather() || !Child<QPushButton>("ButtonCancel").isEnabled())
            return;
        runProgress = Child<QLabel>("LabelRunProgress").text().toStdString();
        QTest::mouseClick(&Child<QPushButton>("ButtonCancel"), Qt::LeftButton);
        cancelGreyed = !Child<QPushButton>("ButtonCancel").isEnabled();
        statusAfterClick = Child<QStatusBar>("StatusBar").currentMessage().toStdString();
    });
    EXPECT_TRUE(cancelGreyed) << "at once";
    EXPECT_EQ(statusAfterClick, "Cancelling");
    EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{TDownloadOutcome::Cancelled});
    EXPECT_EQ(runProgress, "Download 1 of 1");
    EXPECT_EQ(ReadWholeFile(WeatherFile()), "earlier\r\n");
    EXPECT_TRUE(Child<QPlainTextEdit>("MemoProgress").toPlainText().contains("Logged out of Space-Track\nCancelled\n"));
    EXPECT_EQ(Child<QStatusBar>("StatusBar").currentMessage(), "Cancelled");
    EXPECT_TRUE(Dialogs->Events.empty()) << "a cancelled run asks nothing";
}

// The close box asks; Yes cancels the run and closes the window once it has ended, No lets the
// run go on and the window stay.
TEST_F(AliveRunTest, CloseBoxDuringARunAsksWhetherToCancelIt)
{
    struct TCase {
        bool Answer;
        int StallMs;
        TDownloadOutcome Outcome;
        bool Closed;
    };
    for (const TCase& c : {TCase{true, 20000, TDownloadOutcome::Cancelled, true},
                           TCase{false, 1500, TDownloadOutcome::Completed, false}}) {
        SCOPED_TRACE(c.Answer ? "Yes" : "No");
        Stall(c.StallMs);
        Outcomes.clear();
        Dialogs->Events.clear();
        Dialogs->Answers = {c.Answer};
        Open();
        bool asked = false;
        ClickDownloadWhile([&] {
            if (asked || !GettingWeather())
                return;
            asked = true;
            Form->close();
            EXPECT_FALSE(Form.isNull()) << "not while the run is under way";
        });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(Outcomes, std::vector<TDownloadOutcome>{c.Outcome});
        ASSERT_EQ(Dialogs->Events.size(), 1u);
        EXPECT_TRUE(Dialogs->Events[0].starts_with("ask ")) << Dialogs->Events[0];
        EXPECT_EQ(Form.isNull(), c.Closed);
        Close();
    }
}

} // namespace
} // namespace elsetry::test
