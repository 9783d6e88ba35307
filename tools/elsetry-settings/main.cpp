// elsetry-settings: the settings store as a Windows registry export file, for backups, for moving
// settings between machines and for settings brought over from the Windows program.
//
//   elsetry-settings export [FILE]   the whole \Software\Corriebrook tree, to standard output
//                                    without FILE
//   elsetry-settings import FILE     a registry export file (UTF-8, or UTF-16LE as Windows
//                                    writes it; a regular file of at most 16 MiB); a file
//                                    with any error changes nothing

#include "platform/AtomicFile.h"
#include "platform/ProcessSafety.h"
#include "platform/TextFile.h"
#include "settings/RegistryExport.h"
#include "settings/RegistryImport.h"
#include "settings/RegistryVariables.h"
#include "settings/SqliteSettingsStore.h"
#include "text/Strings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace elsetry;

namespace {

constexpr const char* ToolName = "elsetry-settings";

void PrintUsage(std::ostream& Out)
{
    Out << "usage: " << ToolName << " export [FILE]\n"
        << "       " << ToolName << " import FILE\n"
        << "Exports the settings tree as a registry export file (to standard output without FILE),\n"
        << "or imports one, changing nothing when any line of it is not understood.\n"
        << "The store is " << SettingsStorePath() << " (set " << SettingsStoreVariable
        << " to use another file).\n";
}

int Usage()
{
    PrintUsage(std::cerr);
    return 2;
}

std::string CompanyKeyPath()
{
    return "\\Software\\" + CompanyKey;
}

// "export > file" makes the file with the shell's modes, often readable by everyone.
void WarnWhenOthersCanReadStandardOutput()
{
    struct stat info {};
    if (::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & (S_IRGRP | S_IROTH)) != 0)
        std::cerr << ToolName << ": warning: the export holds passwords and other users can read the file it goes "
                                 "to; use \"" << ToolName << " export FILE\", which makes a file only you can read\n";
}

int Export(const std::string* FileName)
{
    TSqliteSettingsStore store(SettingsStorePath());
    const std::string text = ExportRegistryText(store, CompanyKeyPath());
    if (!FileName) {
        WarnWhenOthersCanReadStandardOutput();
        std::cout << text << std::flush;
        return std::cout ? 0 : 1;
    }
    // The export holds passwords: it goes into a new file only its owner can read, renamed over
    // the earlier one; a link or a special file at the name is refused, never written through.
    ReplacePrivateFile(*FileName, text);
    return 0;
}

// Far more than any settings tree: a larger file is not an export.
constexpr std::size_t MostImportBytes = 16 << 20;

int Import(const std::string& FileName)
{
    TRegistryImport changes;
    try {
        // A FIFO or a device would be read forever.
        changes = ReadRegistryFile(ReadRegularFile(FileName, MostImportBytes));
    } catch (const ERegistryFileError& error) {
        std::cerr << ToolName << ": " << EscapeControls(FileName) << ": " << EscapeControls(error.what()) << "; nothing imported\n";
        return 1;
    } catch (const EFileError& error) {
        const std::string cause = error.Cause() == "too large" ? "larger than 16 MiB" : error.Cause();
        std::cerr << ToolName << ": " << EscapeControls(FileName) << ": " << EscapeControls(cause) << "; nothing imported\n";
        return 1;
    }
    for (const std::string& warning : changes.Warnings)
        std::cerr << ToolName << ": " << EscapeControls(FileName) << ": " << EscapeControls(warning) << '\n';
    TSqliteSettingsStore store(SettingsStorePath());
    ApplyRegistryImport(store, changes);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    DisableCoreDumps();
    IgnoreFileSizeSignal();
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") {
        PrintUsage(std::cout);
        return 0;
    }
    try {
        if (command == "export" && argc <= 3) {
            const std::string file = argc == 3 ? argv[2] : "";
            return Export(argc == 3 ? &file : nullptr);
        }
        if (command == "import" && argc == 3)
            return Import(argv[2]);
    } catch (const std::exception& error) {
        // The tool's one report of a failure: the store, a file or the export itself.
        std::cerr << ToolName << ": " << EscapeControls(error.what()) << '\n';
        return 1;
    }
    return Usage();
}
