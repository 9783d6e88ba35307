#include "download/RunFolders.h"

#include "elementfiles/HistoricFolder.h"
#include "text/Strings.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace elsetry {

namespace {

namespace fs = std::filesystem;

// The folder the program's own defaults lie in; folders below it are the program's to create.
std::string ProgramDataFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? ExpandHome("~/.local/share/elsetry/", home) : std::string();
}

bool IsProgramFolder(const std::string& Folder)
{
    const std::string own = ProgramDataFolder();
    return !own.empty() && fs::path(Folder).lexically_normal().string().starts_with(own);
}

bool CreateFolder(TRunLog& Host, bool Unattended, const std::string& Label, const std::string& Folder)
{
    const std::string shown = EscapeControls(Folder);
    const bool ask = !Unattended && !IsProgramFolder(Folder);
    if (ask && !Host.AskYesNo("Create folder", Label + " " + shown + " does not exist. Create it?"))
        return false;
    std::error_code error;
    fs::create_directories(Folder, error);
    if (error) {
        Host.ShowMessage("Cannot create " + shown + ": " + error.message());
        return false;
    }
    Host.Log("Created folder " + shown, false);
    return true;
}

bool WantsHistoricFiles(const TElementFolders& Folders)
{
    return !Folders.CheckedHistoric.empty() || !Folders.ExtraHistoric.empty();
}

} // namespace

TFolderState FolderStateOf(const std::string& Folder)
{
    if (Folder.empty())
        return TFolderState::CurrentDirectory;
    // Without its trailing "/", so that a file of that name shows as one rather than as missing.
    std::string entry = Folder;
    while (entry.size() > 1 && entry.ends_with('/'))
        entry.pop_back();
    std::error_code error;
    const fs::file_status status = fs::status(entry, error);
    if (status.type() == fs::file_type::not_found)
        return TFolderState::Missing;
    if (!fs::is_directory(status))
        return TFolderState::NotAFolder;
    if (fs::equivalent(Folder, fs::current_path(error), error))
        return TFolderState::CurrentDirectory;
    return ::access(Folder.c_str(), W_OK | X_OK) == 0 ? TFolderState::Ready : TFolderState::NotWritable;
}

bool PrepareFolder(TRunLog& Host, bool Unattended, const std::string& Label, const std::string& Folder)
{
    const std::string shown = EscapeControls(Folder);
    switch (FolderStateOf(Folder)) {
    case TFolderState::Ready:
        return true;
    case TFolderState::Missing:
        return CreateFolder(Host, Unattended, Label, Folder);
    case TFolderState::CurrentDirectory:
        Host.ShowMessage(Label + (Folder.empty() ? " is not set" : " " + shown + " is the current directory")
                         + ": choose a folder on the Setup page");
        return false;
    case TFolderState::NotAFolder:
        Host.ShowMessage(Label + " " + shown + " is not a folder");
        return false;
    case TFolderState::NotWritable:
        Host.ShowMessage(Label + " " + shown + " cannot be written");
        return false;
    }
    return false;
}

bool PrepareRunFolders(TRunLog& Host, const TRunRequest& Request)
{
    const TElementFolders& folders = Request.Folders;
    if (!PrepareFolder(Host, Request.Unattended, std::string(KeplerFolderLabel), folders.Group))
        return false;
    return !WantsHistoricFiles(folders)
           || PrepareFolder(Host, Request.Unattended, std::string(HistoricFolderLabel), folders.Historic);
}

} // namespace elsetry
