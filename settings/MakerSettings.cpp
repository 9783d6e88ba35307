#include "settings/MakerSettings.h"

#include "settings/RegistryVariables.h"
#include "settings/SqliteSettingsStore.h"

namespace elsetry {

std::string ReadMakerProgramSetting(const std::string& Program, const std::string& ValueName)
{
    const std::string key = "\\Software\\" + CompanyKey + "\\" + Program;
    try {
        const std::unique_ptr<TSettingsStore> store = OpenSettingsStore();
        store->SetRootKey(HKEY_CURRENT_USER);
        if (!store->KeyExists(key) || !store->OpenKey(key, false) || !store->ValueExists(ValueName))
            return {};
        return store->ReadString(ValueName);
    } catch (const ESettingsError&) {
        // An unreadable store, or a value of another kind, counts as no setting.
        return {};
    }
}

} // namespace elsetry
