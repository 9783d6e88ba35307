#include "platform/TextFile.h"
#include "settings/RegistryExport.h"
#include "settings/RegistryImport.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/StoreFixture.h"

#include <fstream>
#include <sys/stat.h>

namespace elsetry::test {
namespace {

constexpr const char* Company = "\\Software\\Corriebrook";

// The file as the Windows registry editor writes it: UTF-16LE with a byte-order mark, CR LF.
std::string WindowsFile(const std::string& Utf8Lines)
{
    std::string bytes = "\xFF\xFE";
    for (const char c : Utf8Lines) {
        if (c == '\n')
            bytes += std::string("\r\0", 2);
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

const std::string WindowsExport = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Corriebrook]

[HKEY_CURRENT_USER\Software\Corriebrook\App Paths]
"Orbivue"="C:\\Program Files\\Orbivue\\Orbivue.exe"
"Swathgrab"="D:\\HRPT\\Swathgrab.exe"

[HKEY_CURRENT_USER\Software\Corriebrook\Elsetry]
"KeplerPath"="C:\\Keps\\"
"NameWeather"="Weather.txt"
"GetWeather"=dword:00000001
"GetAmateur"=dword:00000000
"WantedHistoric"="NOAA-15,NOAA-18,\"Two words\""
"Password"="p\"w"
"Blob"=hex:01,02,03,\
  04,05
"Paths"=hex(7):41,00,00,00,00,00

[HKEY_CURRENT_USER\Software\Corriebrook\Orbivue]
"TwoLineDataPath"="C:\\Keps\\"
)";

class RegistryFileTest : public StoreTest {
protected:
    std::string Export() const { return ExportRegistryText(*Store(), Company); }
    void Import(std::string_view Bytes) const { ApplyRegistryImport(*Store(), ReadRegistryFile(Bytes)); }
    std::string WriteFile(const std::string& Name, const std::string& Bytes) const
    {
        const std::string path = Folder.Path + "/" + Name;
        std::ofstream(path, std::ios::binary) << Bytes;
        return path;
    }
};

TEST_F(RegistryFileTest, ExportThenImportGivesTheSameStore)
{
    {
        auto store = Store();
        ASSERT_TRUE(store->OpenKey("\\Software\\Corriebrook\\Elsetry", true));
        store->WriteString("KeplerPath", "/home/me/Keps/");
        store->WriteString("Quotes", "say \"hi\" \\ back\\");
        store->WriteString("Empty", "");
        store->WriteString("", "the default value");
        store->WriteString("Météo", "été ✓");
        store->WriteString("MyFavouritesList", "25544\r\n33591\r\n");
        store->WriteBool("GetWeather", true);
        store->WriteString("FormWeather", "json");
        store->WriteString("LineEnds", "LF");
        store->WriteInteger("Max", 0xffffffffu);
        ASSERT_TRUE(store->OpenKey("\\Software\\Corriebrook\\App Paths", true));
        store->WriteString("Elsetry", "/usr/bin/Elsetry");
        ASSERT_TRUE(store->OpenKey("\\Software\\Corriebrook\\Empty Key", true));
        ASSERT_TRUE(store->OpenKey("\\Software\\Other", true));
        store->WriteString("Outside", "not exported");
    }
    const std::string exported = Export();
    EXPECT_NE(exported.find("\"Quotes\"=\"say \\\"hi\\\" \\\\ back\\\\\"\n"), std::string::npos) << exported;
    EXPECT_NE(exported.find("\"Max\"=dword:ffffffff\n"), std::string::npos);
    EXPECT_NE(exported.find("@=\"the default value\"\n"), std::string::npos);
    EXPECT_NE(exported.find("\"MyFavouritesList\"=hex(1):32,00,35,00"), std::string::npos);
    EXPECT_EQ(exported.find("Outside"), std::string::npos);

    ::setenv(SettingsStoreVariable, (Folder.Path + "/second.sqlite3").c_str(), 1);
    StoreFile = Folder.Path + "/second.sqlite3";
    Import(exported);
    EXPECT_EQ(Export(), exported);
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Elsetry", "MyFavouritesList"), "25544\r\n33591\r\n");
    EXPECT_TRUE(Store()->KeyExists("\\Software\\Corriebrook\\Empty Key"));
}

TEST_F(RegistryFileTest, TheWindowsProgramsExportIsImported)
{
    const TRegistryImport import = ReadRegistryFile(WindowsFile(WindowsExport));
    ASSERT_EQ(import.Warnings.size(), 2u);
    EXPECT_EQ(import.Warnings[0].rfind("line 16: value \"Blob\" of type hex skipped", 0), 0u) << import.Warnings[0];
    EXPECT_EQ(import.Warnings[1].rfind("line 18: value \"Paths\" of type hex(7)", 0), 0u) << import.Warnings[1];
    ApplyRegistryImport(*Store(), import);
    const std::string key = "\\Software\\Corriebrook\\Elsetry";
    EXPECT_EQ(StoredString(key, "KeplerPath"), "C:\\Keps\\");
    EXPECT_EQ(StoredString(key, "WantedHistoric"), "NOAA-15,NOAA-18,\"Two words\"");
    EXPECT_EQ(StoredString(key, "Password"), "p\"w");
    EXPECT_EQ(Stored(key, "GetWeather")->Integer, 1u);
    EXPECT_EQ(Stored(key, "GetAmateur")->Kind, TValueKind::Integer);
    EXPECT_FALSE(Stored(key, "Blob"));
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\App Paths", "Swathgrab"), "D:\\HRPT\\Swathgrab.exe");
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Orbivue", "TwoLineDataPath"), "C:\\Keps\\");
}

TEST_F(RegistryFileTest, DeletionsOfValuesAndKeys)
{
    Import(std::string(RegistryFileHeader) + R"(

[HKEY_CURRENT_USER\Software\Corriebrook\Elsetry]
"Keep"="1"
"Drop"="2"

[HKEY_CURRENT_USER\Software\Corriebrook\Old\Deeper]
"X"=dword:2
)");
    Import(std::string(RegistryFileHeader) + R"(
; retiring what is no longer used
[HKEY_CURRENT_USER\Software\Corriebrook\Elsetry]
"Drop"=-
"Never there"=-

[-HKEY_CURRENT_USER\Software\Corriebrook\Old]
)");
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Elsetry", "Keep"), "1");
    EXPECT_EQ(StoredString("\\Software\\Corriebrook\\Elsetry", "Drop"), "<missing>");
    EXPECT_FALSE(Store()->KeyExists("\\Software\\Corriebrook\\Old"));
    EXPECT_FALSE(Store()->KeyExists("\\Software\\Corriebrook\\Old\\Deeper"));
}

TEST_F(RegistryFileTest, MalformedFilesAreRejectedNamingTheLine)
{
    const std::string head = std::string(RegistryFileHeader) + "\n\n[HKEY_CURRENT_USER\\Software\\Corriebrook\\Elsetry]\n";
    const std::pair<std::string, int> cases[] = {
        {"", 1},
        {"REGEDIT4\n", 1},
        {"Windows Registry Editor Version 5.00\n\n\"Name\"=\"value before any key\"\n", 3},
        {head + "\"A\"=\"ok\"\n\"B\"=\"tab\\t\"\n", 5},
        {head + "\"A\"=\"not closed\n", 4},
        {head + "\"A\"=\"x\" trailing\n", 4},
        {head + "\"A\"=dword:123456789\n", 4},
        {head + "\"A\"=dword:xyz\n", 4},
        {head + "\"A\"=qword:1\n", 4},
        {head + "A=\"unquoted name\"\n", 4},
        {head + "\"A\"\"missing equals\"\n", 4},
        {head + "\"A\"=hex(1):41,00,\n", 4},
        {head + "\"A\"=hex(1):41,0g\n", 4},
        {head + "\"A\"=hex:01,\\\n", 4},
        {head + "\"A\"=hex(1):41\n", 4},
        {head + "\n[HKEY_LOCAL_MACHINE\\Software]\n", 5},
        {head + "[HKEY_CURRENT_USERS\\Software]\n", 4},
        {head + "[HKEY_CURRENT_USER\\Software\n", 4},
        {head + "[-HKEY_CURRENT_USER]\n", 4},
        {head + "[-HKEY_CURRENT_USER\\Software\\Corriebrook\\Elsetry]\n\"A\"=\"in a deleted key\"\n", 5},
        {head + "\"A\"=\"ok\"\n\"B\"=\"\xC3\x28\"\n", 5},
        {"\xFE\xFF", 1},
        {head + "\"A\"=\"ok\"\n\"B\"=\"nul" + std::string(1, '\0') + "\"\n", 5},
        {head + ";" + std::string(1, '\0') + "\n", 4},
        {head + "\"A\"=hex(1):41,00,00,00,42,00,00,00\n", 4},
        {head + "\"A\"=\"ok\"\n\"B\"=\"" + std::string(65537, 'x') + "\"\n", 5},
    };
    for (const auto& [text, line] : cases) {
        try {
            ReadRegistryFile(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ERegistryFileError& error) {
            EXPECT_EQ(error.Line, line) << error.what() << "\n" << text;
        }
    }
    try {
        ReadRegistryFile(WindowsFile(head + "\"A\"=\"ok\"\n") + std::string("\x00\xD8\x41\x00", 4));
        ADD_FAILURE() << "a lone surrogate was accepted";
    } catch (const ERegistryFileError& error) {
        EXPECT_EQ(error.Line, 5);
    }
}

TEST_F(RegistryFileTest, FileNamesMustBePlainAndFileOptionsKnown)
{
    const std::string head = std::string(RegistryFileHeader) + "\n\n[HKEY_CURRENT_USER\\Software\\Corriebrook\\Elsetry]\n"
                             "\"KeplerPath\"=\"/keps/\"\n";
    struct TCase {
        std::string Value;
        bool Refused;
    };
    const TCase cases[] = {
        {"\"NameWeather\"=\"../home/.bashrc\"", true},
        {"\"nameweather\"=\"/etc/passwd\"", true},
        {"\"NameFullCatalog\"=\"\"", true},
        {"\"NameVisible\"=\".hidden.txt\"", true},
        {"\"NameMyFavourites\"=\"..\"", true},
        {"\"NameAmateur\"=\"sub/Amateur.txt\"", true},
        {"\"NameGeo\"=hex(1):2e,00,2e,00,2f,00,78,00,00,00", true},
        {"\"NameWeather\"=\"Weather 2.txt\"", false},
        {"\"NameWeather\"=-", false},
        {"\"KeplerPath\"=\"../elsewhere/\"", false},
        {"\"FormWeather\"=\"xml\"", true},
        {"\"formmyfavourites\"=\"CSV\"", false},
        {"\"LongNumbersGeo\"=\"drop them\"", true},
        {"\"LongNumbersGeo\"=\"leave out\"", false},
        {"\"LineEnds\"=\"CR\"", true},
        {"\"LineEnds\"=\"LF\"", false},
    };
    for (const TCase& c : cases) {
        const std::string text = head + c.Value + "\n";
        try {
            ReadRegistryFile(text);
            EXPECT_FALSE(c.Refused) << c.Value;
        } catch (const ERegistryFileError& error) {
            EXPECT_TRUE(c.Refused) << c.Value << ": " << error.what();
            EXPECT_EQ(error.Line, 5) << c.Value;
        }
    }
    try {
        ReadRegistryFile(head + "\"FormWeather\"=\"xml\"\n");
        ADD_FAILURE() << "an unknown form was taken";
    } catch (const ERegistryFileError& error) {
        EXPECT_STREQ(error.what(), "line 5: \"FormWeather\" cannot be \"xml\": a file's form is one of \"three-line\", "
                                   "\"two-line\", \"csv\", \"json\"");
    }
    const std::string otherCompany = std::string(RegistryFileHeader)
                                     + "\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"NameWeather\"=\"../x\"\n";
    EXPECT_NO_THROW(ReadRegistryFile(otherCompany)) << "another maker's settings are not ours to judge";
    for (const char* key : {"[HKEY_CURRENT_USER\\\\Software\\Corriebrook\\Elsetry]",
                            "[HKEY_CURRENT_USER\\Software\\\\Corriebrook\\ELSETRY\\]"}) {
        const std::string spelt = std::string(RegistryFileHeader) + "\n\n" + key + "\n\"NameWeather\"=\"../x\"\n";
        EXPECT_THROW(ReadRegistryFile(spelt), ERegistryFileError) << key << ": the same key, spelt otherwise";
    }
}

TEST_F(RegistryFileTest, ToolRefusesAWholeImportWithAFileNameOutsideItsFolder)
{
    const std::string tool = ELSETRY_SETTINGS_TOOL;
    Import(WindowsFile(WindowsExport));
    const std::string before = Export();
    const std::string shared = WriteFile("shared.reg", std::string(RegistryFileHeader) +
        "\n\n[HKEY_CURRENT_USER\\Software\\Corriebrook\\Elsetry]\n\"Password\"=\"new\"\n"
        "\"NameWeather\"=\"../home/.bashrc\"\n");
    const TChildRun run = RunCommand(CommandLine(tool, {"import", shared}) + " 2>&1");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Output.find("shared.reg: line 5: \"NameWeather\" is not a plain file name"), std::string::npos)
        << run.Output;
    EXPECT_EQ(Export(), before) << "nothing of a refused file lands";
}

TEST_F(RegistryFileTest, ToolWarnsWhenTheExportGoesToAFileOthersCanRead)
{
    const std::string tool = ELSETRY_SETTINGS_TOOL;
    Import(WindowsFile(WindowsExport));
    const std::pair<::mode_t, bool> cases[] = {{0644, true}, {0640, true}, {0604, true}, {0600, false}};
    for (const auto& [mode, warned] : cases) {
        const std::string out = WriteFile("out.reg", "");
        ASSERT_EQ(::chmod(out.c_str(), mode), 0);
        const std::string err = Folder.Path + "/err.txt";
        const std::string command = CommandLine(tool, {"export"}) + " >>" + out + " 2>" + err;
        EXPECT_EQ(std::system(command.c_str()), 0);
        const std::string message = ReadWholeFile(err);
        EXPECT_EQ(message.find("other users can read") != std::string::npos, warned) << std::oct << mode << message;
        EXPECT_EQ(ReadWholeFile(out), Export()) << "the export is written all the same";
    }
    const std::string err = Folder.Path + "/pipe-err.txt";
    const std::string command = CommandLine(tool, {"export"}) + " 2>" + err + " | cat >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadWholeFile(err), "") << "a pipe is no file";
}

TEST_F(RegistryFileTest, ToolExportsPrivatelyAndRejectsABadImportWhole)
{
    const std::string tool = ELSETRY_SETTINGS_TOOL;
    Import(WindowsFile(WindowsExport));
    const std::string before = Export();
    EXPECT_EQ(RunChild(tool, {"export"}), before);

    for (const bool earlier : {false, true}) {
        const std::string file = Folder.Path + (earlier ? "/readable.reg" : "/backup.reg");
        if (earlier) {
            WriteFile("readable.reg", "old");
            ::chmod(file.c_str(), 0644);
        }
        RunChild(tool, {"export", file});
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << "the export holds passwords; earlier file: " << earlier;
    }

    const std::string bad = WriteFile("bad.reg", std::string(RegistryFileHeader) +
        "\n\n[-HKEY_CURRENT_USER\\Software\\Corriebrook]\n[HKEY_CURRENT_USER\\Software\\Corriebrook\\Elsetry]\n"
        "\"KeplerPath\"=\"/new/\"\n\"Broken\"=\"\n");
    const TChildRun run = RunCommand(CommandLine(tool, {"import", bad}) + " 2>&1");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Output.find("bad.reg: line 6: "), std::string::npos) << run.Output;
    EXPECT_EQ(Export(), before) << "nothing of a rejected file lands";

    RunChild(tool, {"import", Folder.Path + "/backup.reg"});
    EXPECT_EQ(Export(), before);
}

// The export never writes through what stands at its name; the import reads regular files only.
TEST_F(RegistryFileTest, ToolWritesAndReadsOnlyRegularFiles)
{
    const std::string tool = ELSETRY_SETTINGS_TOOL;
    Import(WindowsFile(WindowsExport));
    const std::string target = WriteFile("target.txt", "precious");
    const std::string link = Folder.Path + "/link.reg";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const std::string fifo = Folder.Path + "/fifo.reg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = WriteFile("large.reg",
                                        std::string(RegistryFileHeader) + "\n" + std::string(16 << 20, ';'));
    for (const std::string& path : {link, fifo}) {
        const TChildRun run = RunCommand(CommandLine(tool, {"export", path}) + " 2>&1");
        EXPECT_EQ(run.Status, 1) << path;
        EXPECT_NE(run.Output.find(path), std::string::npos) << run.Output;
    }
    EXPECT_EQ(ReadWholeFile(target), "precious");
    const std::pair<std::string, const char*> imports[] = {{link, "a symbolic link"},
                                                           {fifo, "not a regular file"},
                                                           {"/dev/zero", "not a regular file"},
                                                           {large, "larger than 16 MiB"}};
    for (const auto& [path, reason] : imports) {
        const TChildRun run = RunCommand(CommandLine(tool, {"import", path}) + " 2>&1");
        EXPECT_EQ(run.Status, 1) << path;
        EXPECT_NE(run.Output.find(path + ": " + reason + "; nothing imported"), std::string::npos) << run.Output;
    }
}

} // namespace
} // namespace elsetry::test
