#include "download/HistoricFolder.h"

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
    if (!Folder.ends_with('/'))
        Folder += '/';
    return Folder;
}

std::string FolderOf(const std::string& Path)
{
    const std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}

std::string DefaultHistoricFolder(const std::string& ExecutableFolder, const std::string& SwathgrabPath)
{
    const std::string swathgrabFolder = FolderOf(SwathgrabPath);
    std::string candidate = swathgrabFolder + UpdatesFolder;
    if (!FolderExists(candidate))
        candidate = FullForm(swathgrabFolder + "../" + UpdatesFolder);
    if (FolderExists(candidate))
        return FullForm(candidate);
    return ExecutableFolder + UpdatesFolder;
}

} // namespace elsetry
