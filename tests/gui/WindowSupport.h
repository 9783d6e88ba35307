#pragma once
// The window under the offscreen platform with a private store, temporary folders and boxes
// answered by the test.

#include "gui/ElsetryForm.h"
#include "gui/FormDialogs.h"
#include "gui/ProgramEnvironment.h"
#include "tests/support/StoreFixture.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <memory>

namespace elsetry::test {

// What the window asked; "message <text>", "error <text>", "ask <caption>: <text>", "choose <start>".
struct TDialogRecord {
    std::vector<std::string> Events;
    std::deque<bool> Answers; // for questions, in turn; No when none is left
    std::optional<QString> Folder;
};

class TRecordingDialogs final : public TFormDialogs {
public:
    explicit TRecordingDialogs(std::shared_ptr<TDialogRecord> Into) : Record(std::move(Into)) {}

    void ShowMessage(QWidget*, const QString&, const QString& Text) override { Add("message ", Text); }
    void ShowError(QWidget*, const QString&, const QString& Text) override { Add("error ", Text); }
    bool AskYesNo(QWidget*, const QString& Caption, const QString& Text) override
    {
        Add("ask ", Caption + ": " + Text);
        if (Record->Answers.empty())
            return false;
        const bool answer = Record->Answers.front();
        Record->Answers.pop_front();
        return answer;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& Start) override
    {
        Add("choose ", Start);
        return Record->Folder;
    }

private:
    void Add(const char* Kind, const QString& Text) const { Record->Events.push_back(Kind + Text.toStdString()); }
    std::shared_ptr<TDialogRecord> Record;
};

class WindowTest : public elsetry::test::StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        for (const char* folder : {"/bin", "/keps", "/tmp"})
            std::filesystem::create_directories(Files.Path + folder);
        Internet.QueryProxyOption = [] { return std::optional<TProxyOption>(TProxyOption{}); };
    }
    void TearDown() override
    {
        Close();
        StoreTest::TearDown();
    }

    TFormEnvironment Environment(TArguments Arguments)
    {
        TFormEnvironment environment;
        environment.Arguments = std::move(Arguments);
        environment.Internet = Internet;
        environment.ConnectionTest = [] { return true; };
        environment.SettingsFiles = {Files.Path + "/bin/elsetry.ini"};
        environment.ExecutableFolder = Files.Path + "/bin/";
        environment.TempFolder = Files.Path + "/tmp";
        environment.Dialogs = std::make_unique<TRecordingDialogs>(Dialogs);
        environment.RunFinished = [this](TDownloadOutcome Outcome) { Outcomes.push_back(Outcome); };
        environment.Headless = Headless;
        return environment;
    }

    // Builds and shows the window; the start-up timer runs only when asked for.
    TFormMain& Open(TArguments Arguments = {"window_tests"}, bool Startup = false)
    {
        return Open(Environment(std::move(Arguments)), Startup);
    }
    TFormMain& Open(TFormEnvironment FormEnvironment, bool Startup)
    {
        Form = new TFormMain(std::move(FormEnvironment));
        StartupTimer = Form->findChild<QTimer*>("TimerStartup");
        if (!Startup)
            StartupTimer->stop();
        Form->show();
        return *Form;
    }
    // Waits until the start-up has run; the window may have closed itself meanwhile.
    void WaitForStartup()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !StartupTimer || !StartupTimer->isActive(); }, 10000));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Closes the window as the user would; destroying it writes the settings.
    void Close()
    {
        if (Form)
            Form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(Form.isNull());
    }

    template <typename T>
    T& Child(const char* Name) const
    {
        T* child = Form->findChild<T*>(Name);
        if (!child)
            throw std::runtime_error(std::string("no control ") + Name);
        return *child;
    }

    // A string value, or with Flag a boolean one, in the key (the program's by default).
    void Put(const std::string& Name, const std::string& Text, const std::string& KeyPath = ProgramKeyPath(),
             std::optional<bool> Flag = std::nullopt) const
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey(KeyPath, true));
        if (Flag)
            store->WriteBool(Name, *Flag);
        else
            store->WriteString(Name, Text);
    }
    std::string Stored(const std::string& Name, const std::string& KeyPath = ProgramKeyPath()) const
    {
        return StoredString(KeyPath, Name);
    }

    elsetry::test::TTempFolder Files;
    std::shared_ptr<TDialogRecord> Dialogs = std::make_shared<TDialogRecord>();
    TInternetFunctions Internet;
    bool Headless = false;
    std::vector<TDownloadOutcome> Outcomes;
    QPointer<TFormMain> Form;
    QPointer<QTimer> StartupTimer;
};

// A stand-in service with demo groups and the window's login stored for it, speaking the form
// exchange, whose groups the stand-in can make fail one by one.
class ServiceWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        service::TServiceOptions options;
        options.DataFolder = Files.Path + "/data";
        service::WriteDemoGroups(options.DataFolder, 60);
        Service = std::make_unique<service::TCatalogueService>(options);
        Put("SpaceTrackAddress", Service->Address());
        Put("Source", std::string(SpaceTrackLegacySource));
        Put("Username", options.Username);
        Put("Password", options.Password);
        Put("KeplerPath", Files.Path + "/keps/");
        Put("GetWeather", "", ProgramKeyPath(), true);
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        Service.reset();
    }

    std::unique_ptr<service::TCatalogueService> Service;
};

} // namespace elsetry::test
