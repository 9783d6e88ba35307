#include "download/RunRequestStore.h"

#include "download/sources/FavouritesList.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/HistoricFolder.h"
#include "settings/CommaText.h"
#include "settings/MakerSettings.h"
#include "settings/RegistryVariables.h"
#include "settings/SettingsFile.h"
#include "text/Strings.h"

namespace elsetry {

namespace {

// The value stored under Name, or Default; read once and never written back.
std::string Stored(std::string_view Name, std::string_view Default)
{
    return TRegistryString(std::string(Name), std::string(Default)).Value;
}

bool StoredFlag(std::string_view Name)
{
    return TRegistryBoolean(std::string(Name), false).Value;
}

std::string WithoutTrailingSlashes(std::string Address)
{
    while (Address.ends_with('/'))
        Address.pop_back();
    return Address;
}

// The file name each group's row shows where none is stored.
std::string DefaultGroupFileName(std::string_view FileNameSetting)
{
    return std::string(FileNameSetting.substr(std::string_view("Name").size())) + ".txt";
}

std::vector<std::string> StoredFavourites()
{
    if (ProgramValueExists(FavouritesSetting))
        return MemoLines(MemoText(ReadCommaText(Stored(FavouritesSetting, ""))));
    return MemoLines(MemoText(MemoLines(Stored(EarlierFavouritesSetting, ""))));
}

// The list's items whose captions the stored comma text names, letter case ignored, in list order.
std::vector<std::string> StoredHistoricItems()
{
    const std::vector<std::string> wanted = ReadCommaText(Stored(WantedHistoricSetting, ""));
    std::vector<std::string> items;
    for (const std::string& item : HistoricItems())
        for (const std::string& name : wanted)
            if (SameText(name, item)) {
                items.push_back(item);
                break;
            }
    return items;
}

TDownloadInputs StoredInputs()
{
    TDownloadInputs inputs;
    const std::string source = Stored(SourceSetting, SpaceTrackApiSource);
    inputs.Source = source.empty() ? std::string(SpaceTrackApiSource) : source;
    inputs.SpaceTrackAddress = WithoutTrailingSlashes(Stored("SpaceTrackAddress", DefaultSpaceTrackAddress));
    const std::string celesTrak = WithoutTrailingSlashes(Stored(CelesTrakAddressSetting, DefaultCelesTrakAddress));
    inputs.CelesTrakAddress = celesTrak.empty() ? std::string(DefaultCelesTrakAddress) : celesTrak;
    inputs.Username = Stored("Username", "");
    inputs.Password = Stored("Password", "");
    inputs.ProxyServer = Stored("ProxyServer", "");
    inputs.ProxyPort = Stored("ProxyPort", "");
    inputs.ProxyUserName = Stored("ProxyUserName", "");
    inputs.ProxyPassword = Stored("ProxyPassword", "");
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const TSpaceTrackGroup& group = SpaceTrackGroups[row];
        inputs.Groups[row] = {StoredFlag(group.ChoiceSetting),
                              Stored(group.FileNameSetting, DefaultGroupFileName(group.FileNameSetting))};
    }
    inputs.Favourites = CleanFavourites(StoredFavourites());
    inputs.FavouritesFileName = Stored("NameMyFavourites", "MyFavourites.txt");
    return inputs;
}

} // namespace

std::string DefaultGroupFolder()
{
    const std::string orbivue = ReadMakerProgramSetting("Orbivue", "TwoLineDataPath");
    return orbivue.empty() ? std::string(DefaultKeplerFolder) : orbivue;
}

TRunRequest RunRequestFromStore(const std::string& Home, const std::vector<std::string>& SettingsFiles,
                                std::time_t TimeOfRun)
{
    TRunRequest request;
    request.Inputs = StoredInputs();
    const std::string group = ProgramValueExists(KeplerPathSetting) ? Stored(KeplerPathSetting, "")
                                                                    : DefaultGroupFolder();
    const std::string historic = ProgramValueExists(HistoricDataPathSetting)
                                     ? Stored(HistoricDataPathSetting, "")
                                     : DefaultHistoricFolder(ReadAppPath("Swathgrab"));
    request.Folders = {ExpandHome(group, Home), ExpandHome(historic, Home), StoredHistoricItems(),
                       ReadSettingsSection(SettingsFiles, "historic"), TimeOfRun};
    return request;
}

} // namespace elsetry
