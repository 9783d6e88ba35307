#include "gui/PersistedControl.h"
#include "gui/qvxCheckBox.h"
#include "gui/qvxCheckListBox.h"
#include "gui/qvxComboBox.h"
#include "gui/qvxEdit.h"

#include "tests/support/StoreFixture.h"
#include "ui_TestWindow.h"

#include <QApplication>
#include <QFocusEvent>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <optional>

namespace elsetry::test {
namespace {

// The test window built from its form as the main window is: setupUi, then the controls' Loaded.
class PersistedControlsTest : public StoreTest {
protected:
    void Open(const std::function<void()>& BeforeLoading = {})
    {
        Window = std::make_unique<QWidget>();
        Ui.setupUi(Window.get());
        if (BeforeLoading)
            BeforeLoading();
        LoadPersistedControls(*Window);
    }
    void Close() { Window.reset(); }

    void Put(const std::string& Name, const std::string& Text) const
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteString(Name, Text);
    }
    void Remove(const std::string& Name) const
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->DeleteValue(Name);
    }
    void PutInteger(const std::string& Name, std::uint32_t Value) const
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteInteger(Name, Value);
    }
    QStringList SourceItems() const
    {
        QStringList items;
        for (int row = 0; row < Ui.ComboBoxSource->count(); ++row)
            items.append(Ui.ComboBoxSource->itemText(row));
        return items;
    }
    QStringList CheckedCaptions() const
    {
        QStringList captions;
        for (int row = 0; row < Ui.CheckListBoxHistoric->count(); ++row)
            if (Ui.CheckListBoxHistoric->item(row)->checkState() == Qt::Checked)
                captions.append(Ui.CheckListBoxHistoric->item(row)->text());
        return captions;
    }
    QListWidgetItem* Item(const QString& Caption) const
    {
        return Ui.CheckListBoxHistoric->findItems(Caption, Qt::MatchExactly).value(0);
    }
    // A toggle by the user: the space key on the item.
    void ToggleByKey(const QString& Caption) const
    {
        Ui.CheckListBoxHistoric->setCurrentItem(Item(Caption));
        QTest::keyClick(Ui.CheckListBoxHistoric, Qt::Key_Space);
    }
    void FocusOut(Qt::FocusReason Reason) const
    {
        QFocusEvent event(QEvent::FocusOut, Reason);
        QApplication::sendEvent(Ui.CheckListBoxHistoric, &event);
    }

    std::string Key = ProgramKeyPath();
    std::unique_ptr<QWidget> Window;
    Ui::TestWindow Ui;
};

TEST_F(PersistedControlsTest, FirstRunShowsTheDesignedValuesAndWritesNothingUntouched)
{
    Open();
    EXPECT_EQ(Ui.EditNameWeather->text(), "Weather.txt");
    EXPECT_FALSE(Ui.CheckBoxGetWeather->isChecked());
    EXPECT_TRUE(CheckedCaptions().isEmpty());
    EXPECT_EQ(Ui.ComboBoxSource->currentText(), "Space-Track");
    Close();
    EXPECT_FALSE(Store()->KeyExists(Key)) << "a window that only showed values writes none";
}

TEST_F(PersistedControlsTest, StoredValuesReplaceTheDesignedOnesWithoutClickEvents)
{
    Put("NameWeather", "");
    PutInteger("GetWeather", 1);
    Put("WantedHistoric", "noaa-15,\"MetOp-A\"");
    Put("Password", "pa ss");
    Put("Source", "Space-Track legacy");
    int clicks = 0;
    int listSignals = 0;
    int choices = 0;
    Open([&] {
        QObject::connect(Ui.ComboBoxSource, &QComboBox::currentIndexChanged, [&] { ++choices; });
        QObject::connect(Ui.ComboBoxSource, &QComboBox::currentTextChanged, [&] { ++choices; });
        for (auto signal : {&QCheckBox::clicked, &QCheckBox::toggled})
            QObject::connect(Ui.CheckBoxGetWeather, signal, [&] { ++clicks; });
        QObject::connect(Ui.CheckBoxGetWeather, &QCheckBox::stateChanged, [&] { ++clicks; });
        QObject::connect(Ui.CheckListBoxHistoric, &QListWidget::itemChanged, [&] { ++listSignals; });
        QObject::connect(Ui.CheckListBoxHistoric, &TqvxCheckListBox::CheckClicked, [&] { ++listSignals; });
    });
    EXPECT_EQ(Ui.EditNameWeather->text(), "") << "a cleared edit stays empty";
    EXPECT_TRUE(Ui.CheckBoxGetWeather->isChecked());
    EXPECT_EQ(CheckedCaptions(), QStringList({"MetOp-A", "NOAA-15"}));
    EXPECT_EQ(Ui.EditPassword->text(), "pa ss");
    EXPECT_EQ(Ui.ComboBoxSource->currentText(), "Space-Track legacy");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(listSignals, 0);
    EXPECT_EQ(choices, 0);
}

TEST_F(PersistedControlsTest, EditLoadingIsAnOrdinaryChange)
{
    Put("NameWeather", "Wx.txt");
    QStringList changes;
    Open([&] {
        QObject::connect(Ui.EditNameWeather, &QLineEdit::textChanged, [&](const QString& Text) { changes << Text; });
    });
    EXPECT_EQ(changes, QStringList{"Wx.txt"});
}

TEST_F(PersistedControlsTest, ChangesAreWrittenAsTheyHappenSoAKilledWindowLosesNothing)
{
    Open();
    Ui.EditNameWeather->setText("Meteo.txt");
    EXPECT_EQ(StoredString(Key, "NameWeather"), "Meteo.txt") << "a change by code";
    Ui.EditUsername->setFocus();
    QTest::keyClicks(Ui.EditUsername, "alice");
    EXPECT_EQ(StoredString(Key, "EditUsername"), "<missing>") << "typing is recorded when it is finished";
    QTest::keyClick(Ui.EditUsername, Qt::Key_Return);
    EXPECT_EQ(StoredString(Key, "EditUsername"), "alice");
    QTest::mouseClick(Ui.CheckBoxGetWeather, Qt::LeftButton);
    EXPECT_TRUE(Ui.CheckBoxGetWeather->isChecked());
    ASSERT_TRUE(Stored(Key, "GetWeather"));
    EXPECT_EQ(Stored(Key, "GetWeather")->Integer, 1u) << "a toggle";
    ToggleByKey("NOAA-15");
    EXPECT_EQ(StoredString(Key, "WantedHistoric"), "NOAA-15") << "a toggle of a list item";
    Ui.ComboBoxSource->setFocus();
    QTest::keyClick(Ui.ComboBoxSource, Qt::Key_Down);
    EXPECT_EQ(StoredString(Key, "Source"), "Space-Track legacy") << "a choice";
    // Destroyed without closing, as when the program is killed: what is stored stays.
    Window.release();
    EXPECT_EQ(StoredString(Key, "NameWeather"), "Meteo.txt");
    EXPECT_EQ(StoredString(Key, "EditUsername"), "alice");
    EXPECT_EQ(Stored(Key, "GetWeather")->Integer, 1u);
    EXPECT_EQ(StoredString(Key, "Source"), "Space-Track legacy");
}

TEST_F(PersistedControlsTest, UnfinishedTypingIsWrittenAtClose)
{
    Open();
    Ui.EditPassword->setFocus();
    QTest::keyClicks(Ui.EditPassword, "secret");
    Close();
    EXPECT_EQ(StoredString(Key, "Password"), "secret");
    Open();
    EXPECT_EQ(Ui.EditPassword->text(), "secret");
}

// Values another writer (an import, a second window) stored while the window was open survive
// its close, unless the window's user changed them.
TEST_F(PersistedControlsTest, AValueStoredMeanwhileIsNotRolledBackAtClose)
{
    Put("Password", "old");
    Put("NameWeather", "Old.txt");
    Put("WantedHistoric", "NOAA-15");
    PutInteger("GetWeather", 0);
    Put("Source", "Space-Track");
    Open();
    Put("Password", "imported");
    Put("Source", "Space-Track legacy");
    Put("WantedHistoric", "MetOp-A");
    PutInteger("GetWeather", 1);
    Ui.EditNameWeather->setText("Mine.txt");
    Put("NameWeather", "imported.txt");
    Close();
    EXPECT_EQ(StoredString(Key, "Password"), "imported");
    EXPECT_EQ(StoredString(Key, "WantedHistoric"), "MetOp-A");
    EXPECT_EQ(Stored(Key, "GetWeather")->Integer, 1u);
    EXPECT_EQ(StoredString(Key, "Source"), "Space-Track legacy");
    EXPECT_EQ(StoredString(Key, "NameWeather"), "imported.txt") << "the window's change was written when made";
}

TEST_F(PersistedControlsTest, AFileNameEditTakesOnlyPlainFileNames)
{
    struct TCase {
        QString Typed;
        bool Taken;
    };
    const TCase cases[] = {
        {"../home/.bashrc", false}, {"/etc/passwd", false}, {"", false},   {".hidden", false},
        {"..", false},              {"a/b.txt", false},     {"Meteo 2.txt", true}, {"x..y", true},
    };
    Put("NameWeather", "Before.txt");
    Open();
    QStringList refused;
    QObject::connect(Ui.EditNameWeather, &TqvxEdit::Refused, [&](const QString& Text) { refused << Text; });
    for (const TCase& c : cases) {
        refused.clear();
        const QString before = Ui.EditNameWeather->text();
        Ui.EditNameWeather->setFocus();
        Ui.EditNameWeather->selectAll();
        if (c.Typed.isEmpty())
            QTest::keyClick(Ui.EditNameWeather, Qt::Key_Delete);
        else
            QTest::keyClicks(Ui.EditNameWeather, c.Typed);
        QTest::keyClick(Ui.EditNameWeather, Qt::Key_Return);
        const QString shown = c.Taken ? c.Typed : before;
        EXPECT_EQ(Ui.EditNameWeather->text(), shown) << c.Typed.toStdString();
        EXPECT_EQ(StoredString(Key, "NameWeather"), shown.toStdString()) << c.Typed.toStdString();
        EXPECT_EQ(refused, c.Taken ? QStringList() : QStringList{c.Typed}) << c.Typed.toStdString();
    }
    Ui.EditUsername->setFocus();
    QTest::keyClicks(Ui.EditUsername, "../not/a/file");
    QTest::keyClick(Ui.EditUsername, Qt::Key_Return);
    EXPECT_EQ(StoredString(Key, "EditUsername"), "../not/a/file") << "only file-name settings are judged";
}

TEST_F(PersistedControlsTest, EmptyNamedAsBecomesTheObjectName)
{
    Put("EditUsername", "bob");
    Open();
    EXPECT_EQ(Ui.EditUsername->NamedAs(), "EditUsername");
    EXPECT_EQ(Ui.EditUsername->text(), "bob");
}

// A stored text that is none of the items stays in the store and is shown as one more item, so
// that whoever reads the choice can refuse it by name.
TEST_F(PersistedControlsTest, AStoredChoiceIsShownAndKeptEvenWhenNoItemHasIt)
{
    struct TCase {
        std::optional<std::string> Stored;
        QString Shown;
        QStringList Extra;
        std::string Kept;
    };
    const TCase cases[] = {
        {std::nullopt, "Space-Track", {}, "<missing>"},
        {"", "Space-Track", {}, ""},
        {"Space-Track legacy", "Space-Track legacy", {}, "Space-Track legacy"},
        {"CelesTrak", "CelesTrak", {"CelesTrak"}, "CelesTrak"},
        {"space-track", "space-track", {"space-track"}, "space-track"},
    };
    for (const TCase& c : cases) {
        const std::string what = c.Stored.value_or("<absent>");
        if (c.Stored)
            Put("Source", *c.Stored);
        else
            Remove("Source");
        Open();
        EXPECT_EQ(Ui.ComboBoxSource->currentText(), c.Shown) << what;
        EXPECT_EQ(SourceItems(), QStringList({"Space-Track", "Space-Track legacy"}) + c.Extra) << what;
        Close();
        EXPECT_EQ(StoredString(Key, "Source"), c.Kept) << what;
    }
}

TEST_F(PersistedControlsTest, AChoiceAwayFromAnUnknownStoredTextReplacesIt)
{
    Put("Source", "CelesTrak");
    Open();
    Ui.ComboBoxSource->setCurrentIndex(0);
    EXPECT_EQ(StoredString(Key, "Source"), "Space-Track");
    Close();
    Open();
    EXPECT_EQ(SourceItems(), QStringList({"Space-Track", "Space-Track legacy"}));
}

TEST_F(PersistedControlsTest, AChoiceMadeQuietlyIsWrittenAtCloseAndShownAtTheNextStart)
{
    Open();
    {
        const QSignalBlocker quiet(Ui.ComboBoxSource);
        Ui.ComboBoxSource->setCurrentIndex(1);
    }
    EXPECT_EQ(StoredString(Key, "Source"), "<missing>");
    Close();
    EXPECT_EQ(StoredString(Key, "Source"), "Space-Track legacy");
    Open();
    EXPECT_EQ(Ui.ComboBoxSource->currentText(), "Space-Track legacy");
}

TEST_F(PersistedControlsTest, UnknownNamesStayUntilAToggleOrAnExit)
{
    struct TCase {
        const char* What;
        std::function<void()> Act;
        std::string Expected;
    };
    const TCase cases[] = {
        {"nothing", [] {}, "NOAA-15,Oscar-7"},
        {"window deactivated", [this] { FocusOut(Qt::ActiveWindowFocusReason); },
         "NOAA-15,Oscar-7"},
        {"checks set by code", [this] { Item("NOAA-19")->setCheckState(Qt::Checked); },
         "NOAA-15,Oscar-7"},
        {"exit", [this] { FocusOut(Qt::TabFocusReason); }, "NOAA-15"},
        {"toggle", [this] { ToggleByKey("NOAA-18"); }, "NOAA-15,NOAA-18"},
        {"code then exit",
         [this] {
             Item("NOAA-15")->setCheckState(Qt::Unchecked);
             FocusOut(Qt::MouseFocusReason);
         },
         ""},
    };
    for (const TCase& c : cases) {
        Put("WantedHistoric", "NOAA-15,Oscar-7");
        Open();
        c.Act();
        Close();
        EXPECT_EQ(StoredString(Key, "WantedHistoric"), c.Expected) << c.What;
    }
}

TEST_F(PersistedControlsTest, UserToggleRaisesCheckClickedThenRecords)
{
    Open();
    QSignalSpy clicked(Ui.CheckListBoxHistoric, &TqvxCheckListBox::CheckClicked);
    QString recordedWhenRaised = "unset";
    QObject::connect(Ui.CheckListBoxHistoric, &TqvxCheckListBox::CheckClicked,
                     [&] { recordedWhenRaised = Ui.CheckListBoxHistoric->CheckedList(); });
    ToggleByKey("ISS-Zarya");
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(recordedWhenRaised, "") << "the event comes before the list is recorded";
    EXPECT_EQ(Ui.CheckListBoxHistoric->CheckedList(), "ISS-Zarya");
    Item("FY1C")->setCheckState(Qt::Checked);
    EXPECT_EQ(clicked.count(), 1) << "a check set by code is no click";
}

TEST_F(PersistedControlsTest, CheckedListChecksExactlyTheNamedItems)
{
    Open();
    Ui.CheckListBoxHistoric->SetCheckedList("NOAA-15,FY1C");
    Ui.CheckListBoxHistoric->SetCheckedList("NOAA-18,NOAA-19");
    EXPECT_EQ(CheckedCaptions(), QStringList({"NOAA-18", "NOAA-19"}));
    EXPECT_EQ(Ui.CheckListBoxHistoric->CheckedList(), "NOAA-18,NOAA-19");
    Close();
    EXPECT_EQ(StoredString(Key, "WantedHistoric"), "NOAA-18,NOAA-19");
}

TEST_F(PersistedControlsTest, ItemsOfTheSameCaptionGoTogether)
{
    Put("WantedHistoric", "NOAA-18");
    Open([&] {
        Ui.CheckListBoxHistoric->addItem("NOAA-18");
        Ui.CheckListBoxHistoric->item(0)->setCheckState(Qt::Checked);
    });
    EXPECT_EQ(CheckedCaptions(), QStringList({"NOAA-18", "NOAA-18"}));
    EXPECT_TRUE(Ui.CheckListBoxHistoric->item(Ui.CheckListBoxHistoric->count() - 1)->flags() & Qt::ItemIsUserCheckable);
}

TEST_F(PersistedControlsTest, DesignedChecksAreTheDefault)
{
    Open([&] {
        Item("NOAA-19")->setCheckState(Qt::Checked);
        Item("FY1C")->setCheckState(Qt::Checked);
    });
    EXPECT_EQ(Ui.CheckListBoxHistoric->CheckedList(), "FY1C,NOAA-19");
}

TEST_F(PersistedControlsTest, ABoundControlKeepsItsNameAndBindsOnce)
{
    Open();
    Ui.EditNameWeather->SetNamedAs("Renamed");
    Put("NameWeather", "changed meanwhile");
    Ui.EditNameWeather->Loaded();
    EXPECT_EQ(Ui.EditNameWeather->text(), "Weather.txt");
    Close();
    EXPECT_EQ(StoredString(Key, "NameWeather"), "changed meanwhile");
    EXPECT_EQ(StoredString(Key, "Renamed"), "<missing>");
}

TEST_F(PersistedControlsTest, ControlsNeverLoadedStoreNothing)
{
    Put("Loose", "stored");
    {
        TqvxEdit edit;
        edit.SetNamedAs("Loose");
        edit.setText("typed");
        TqvxCheckBox box;
        box.SetNamedAs("LooseBox");
        TqvxCheckListBox list;
        list.SetNamedAs("LooseList");
        list.addItem("NOAA-15");
        list.SetCheckedList("NOAA-15");
        EXPECT_EQ(list.CheckedList(), "");
        EXPECT_EQ(list.item(0)->checkState(), Qt::Unchecked);
        TqvxComboBox combo;
        combo.SetNamedAs("LooseCombo");
        combo.addItems({"Space-Track", "Space-Track legacy"});
        combo.setCurrentIndex(1);
    }
    EXPECT_EQ(StoredString(Key, "Loose"), "stored");
    EXPECT_FALSE(Stored(Key, "LooseBox"));
    EXPECT_FALSE(Stored(Key, "LooseList"));
    EXPECT_FALSE(Stored(Key, "LooseCombo"));
}

} // namespace
} // namespace elsetry::test
