#include "elementfiles/HistoricFolder.h"

#include <filesystem>

namespace elsetry {

namespace {

constexpr const char* UpdatesFolder = "Keps/Updates/";

std::string FullForm(const std::string& Folder)
{
    return std::filesystem::absolute(Folder).lexically_normal().string();
}

bool FolderExists(const std::string& Folder)
{
    std::error_code ignored;
    return std::filesystem::is_directory(Folder, ignored);
}

} // namespace

std::string WithTrailingSeparator(std::string Folder)
{
    if (!Folder.empty() && !Folder.ends_with('/'))
        Folder += '/';
    return Folder;
}

std::string ExpandHome(const std::string& Folder, const std::string& Home)
{
    if (Folder == "~")
        return Home;
    if (!Folder.starts_with("~/"))
        return Folder;
    std::string home = Home;
    while (home.ends_with('/'))
        home.pop_back();
    return home + Folder.substr(1);
}

std::string NearestExistingFolder(const std::string& Folder, const std::string& Home)
{
    const std::filesystem::path folder(ExpandHome(Folder, Home));
    if (!folder.is_absolute())
        return WithTrailingSeparator(Home);
    std::error_code error;
    for (std::filesystem::path at = folder.lexically_normal(); at.has_relative_path(); at = at.parent_path()) {
        if (!at.has_filename())
            continue;
        if (std::filesystem::is_directory(at, error))
            return WithTrailingSeparator(at.string());
    }
    return WithTrailingSeparator(Home);
}

std::string FolderOf(const std::string& Path)
{
    const std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}

std::string DefaultHistoricFolder(const std::string& SwathgrabPath)
{
    if (SwathgrabPath.empty())
        return std::string(DefaultHistoricDataFolder);
    const std::string swathgrabFolder = FolderOf(SwathgrabPath);
    std::string candidate = swathgrabFolder + UpdatesFolder;
    if (!FolderExists(candidate))
        candidate = FullForm(swathgrabFolder + "../" + UpdatesFolder);
    if (FolderExists(candidate))
        return FullForm(candidate);
    return std::string(DefaultHistoricDataFolder);
}

} // namespace elsetry
