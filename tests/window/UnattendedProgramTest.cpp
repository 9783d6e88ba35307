// The program itself, started as cron would start it: "-AUTO", no display, a stand-in service.

#include "platform/TextFile.h"
#include "tests/settings/StoreFixture.h"
#include "tools/catalogue-service/CatalogueService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace elsetry::test {
namespace {

struct TProgramRun {
    int Status = -1;
    bool TimedOut = false;
    std::string Out;
    std::string Err;
};

bool Inherited(const std::string& Entry)
{
    const std::string name = Entry.substr(0, Entry.find('='));
    for (const char* removed : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "http_proxy", "https_proxy",
                                "ftp_proxy", "HTTP_PROXY", "HTTPS_PROXY", "FTP_PROXY", "ALL_PROXY", "all_proxy",
                                "ELSETRY_REGISTRY", "XDG_CONFIG_HOME", "TMPDIR", "HOME", "PATH"})
        if (name == removed)
            return false;
    return true;
}

std::vector<char*> Pointers(std::vector<std::string>& Texts)
{
    std::vector<char*> pointers;
    for (std::string& text : Texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs the program with the given arguments and environment variables on top of this process's
// environment without its display and proxy variables; killed after a minute.
TProgramRun RunProgram(std::vector<std::string> Arguments, const std::map<std::string, std::string>& Variables,
                       const std::string& Folder)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        if (Inherited(*entry))
            environment.emplace_back(*entry);
    for (const auto& [name, value] : Variables)
        environment.push_back(name + "=" + value);
    Arguments.insert(Arguments.begin(), ELSETRY_PROGRAM);
    std::vector<char*> argv = Pointers(Arguments);
    std::vector<char*> envp = Pointers(environment);
    const std::string out = Folder + "/stdout.txt";
    const std::string err = Folder + "/stderr.txt";

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    TProgramRun run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.TimedOut = true;
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = ReadWholeFile(out);
    run.Err = ReadWholeFile(err);
    return run;
}

class UnattendedProgramTest : public elsetry::testing::StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        for (const char* folder : {"/keps", "/tmp", "/home", "/config", "/path"})
            std::filesystem::create_directories(Files.Path + folder);
        service::TServiceOptions options;
        options.DataFolder = Files.Path + "/data";
        service::WriteDemoGroups(options.DataFolder, 60);
        Service = std::make_unique<service::TCatalogueService>(options);
        const std::string full = ReadWholeFile(options.DataFolder + "/2.txt");
        FirstNumber = full.substr(full.find("\n1 ") + 3, 5);

        auto store = Store();
        ASSERT_TRUE(store->OpenKey(Key, true));
        store->WriteString("SpaceTrackAddress", Service->Address());
        store->WriteString("Username", options.Username);
        store->WriteString("Password", options.Password);
        store->WriteString("KeplerPath", Files.Path + "/keps/");
        store->WriteString("MyFavourites", FirstNumber);
        store->WriteBool("GetWeather", true);
        store->WriteBool("GetAmateur", true);
    }

    TProgramRun Run(const std::string& Switch)
    {
        return RunProgram({Switch}, {{"ELSETRY_REGISTRY", StoreFile}, {"XDG_CONFIG_HOME", Files.Path + "/config"},
                                     {"HOME", Files.Path + "/home"}, {"TMPDIR", Files.Path + "/tmp"},
                                     {"PATH", Files.Path + "/path"}},
                          Files.Path);
    }

    elsetry::testing::TTempFolder Files;
    std::unique_ptr<service::TCatalogueService> Service;
    std::string FirstNumber;
    const std::string Key = "\\Software\\Corriebrook\\elsetry";
};

TEST_F(UnattendedProgramTest, RunWritesTheGroupFilesAndTheSettingsAndExitsZero)
{
    const TProgramRun run = Run("-AUTO");
    ASSERT_FALSE(run.TimedOut);
    EXPECT_EQ(run.Status, 0) << run.Err;
    for (const char* file : {"Weather.txt", "Amateur.txt", "MyFavourites.txt"})
        EXPECT_TRUE(FileExists(Files.Path + "/keps/" + file)) << file;
    for (const char* line : {"Connecting to Space-Track\n", "Logged into Space-Track\n", "   Saved: Weather.txt\n",
                             "   Saved: MyFavourites.txt\n", "Logged out of Space-Track\n"})
        EXPECT_NE(run.Out.find(line), std::string::npos) << line << "\n" << run.Out;
    EXPECT_EQ(StoredString(Key, "NameWeather"), "Weather.txt") << "written as the window went";
    EXPECT_EQ(StoredString(Key, "MyFavourites"), FirstNumber);
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\App Paths", "elsetry"), ELSETRY_PROGRAM);
}

TEST_F(UnattendedProgramTest, RunThatDoesNotCompleteExitsNonZeroWithTheBoxOnStandardError)
{
    struct TCase {
        const char* What;
        std::string Value;
        std::string Address;
        const char* Box;
    };
    const TCase cases[] = {
        {"refused login", "wrong", Service->Address(),
         "Error entering username and password, or in logging into the Space-Track Web site"},
        {"no service", "secret", "http://127.0.0.1:1", "Error connecting to the Space-Track Web site"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        {
            auto store = Store();
            ASSERT_TRUE(store->OpenKey(Key, false));
            store->WriteString("Password", c.Value);
            store->WriteString("SpaceTrackAddress", c.Address);
        }
        const TProgramRun run = Run("/start");
        ASSERT_FALSE(run.TimedOut);
        EXPECT_NE(run.Status, 0);
        EXPECT_NE(run.Err.find(c.Box), std::string::npos) << run.Err;
        EXPECT_FALSE(FileExists(Files.Path + "/keps/Weather.txt"));
    }
}

} // namespace
} // namespace elsetry::test
