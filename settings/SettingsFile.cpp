#include "settings/SettingsFile.h"

#include "settings/RegistryVariables.h"
#include "text/Strings.h"

#include <ini.h>

#include <cstdlib>
#include <filesystem>

namespace elsetry {

namespace {

std::string UserConfigFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return config;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

struct TSectionReader {
    std::string Section;
    std::vector<std::string> Entries;
};

int CollectEntry(void* User, const char* Section, const char* Name, const char* Value)
{
    auto* reader = static_cast<TSectionReader*>(User);
    if (Name && SameText(Section, reader->Section))
        reader->Entries.push_back(std::string(Name) + "=" + Value);
    return 1;
}

} // namespace

std::vector<std::string> SettingsFileCandidates(const std::string& ExecutablePath)
{
    const std::filesystem::path executable(ExecutablePath);
    const std::string fileName = ProgramBaseNameOf(ExecutablePath) + ".ini";
    return {(executable.parent_path() / fileName).string(), UserConfigFolder() + "/" + CompanyKey + "/" + fileName};
}

std::vector<std::string> ReadSettingsSection(const std::vector<std::string>& Files, std::string_view Section)
{
    for (const std::string& file : Files) {
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(file, ignored))
            continue;
        TSectionReader reader{std::string(Section), {}};
        // Lines the reader cannot parse are skipped; the other entries still count.
        ::ini_parse(file.c_str(), CollectEntry, &reader);
        return reader.Entries;
    }
    return {};
}

} // namespace elsetry
