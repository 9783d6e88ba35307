#include "download/RunRequestStore.h"

#include "download/sources/FavouritesList.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/HistoricFolder.h"
#include "settings/CommaText.h"
#include "settings/FileOptions.h"
#include "settings/MakerSettings.h"
#include "settings/RegistryVariables.h"
#include "settings/SettingsFile.h"
#include "text/Strings.h"

namespace elsetry {

std::string StoredSetting(std::string_view Name, std::string_view Default)
{
    // A copy: a value moved out of the variable would be written back, emptied, as it goes.
    const TRegistryString setting{std::string(Name), std::string(Default)};
    return setting.Value;
}

namespace {

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
    if (ProgramValueExists(MyFavouritesSetting))
        return MemoLines(MemoText(ReadCommaText(StoredSetting(MyFavouritesSetting, ""))));
    return MemoLines(MemoText(MemoLines(StoredSetting(EarlierMyFavouritesSetting, ""))));
}

// The list's items whose captions the stored comma text names, letter case ignored, in list order.
std::vector<std::string> StoredHistoricItems()
{
    const std::vector<std::string> wanted = ReadCommaText(StoredSetting(WantedHistoricSetting, ""));
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
    const std::string source = StoredSetting(SourceSetting, SpaceTrackApiSource);
    inputs.Source = source.empty() ? std::string(SpaceTrackApiSource) : source;
    inputs.SpaceTrackAddress = WithoutTrailingSlashes(StoredSetting("SpaceTrackAddress", DefaultSpaceTrackAddress));
    const std::string celesTrak = WithoutTrailingSlashes(
        StoredSetting(CelesTrakAddressSetting, DefaultCelesTrakAddress));
    inputs.CelesTrakAddress = celesTrak.empty() ? std::string(DefaultCelesTrakAddress) : celesTrak;
    inputs.Username = StoredSetting("Username", "");
    inputs.Password = StoredSetting("Password", "");
    inputs.ProxyServer = StoredSetting("ProxyServer", "");
    inputs.ProxyPort = StoredSetting("ProxyPort", "");
    inputs.ProxyUserName = StoredSetting("ProxyUserName", "");
    inputs.ProxyPassword = StoredSetting("ProxyPassword", "");
    for (std::size_t row = 0; row < GroupCount; ++row) {
        const TSpaceTrackGroup& group = SpaceTrackGroups[row];
        inputs.Groups[row] = {StoredFlag(group.ChoiceSetting),
                              StoredSetting(group.FileNameSetting, DefaultGroupFileName(group.FileNameSetting)),
                              {}};
    }
    inputs.Favourites = CleanFavourites(StoredFavourites());
    inputs.FavouritesFileName = StoredSetting("NameMyFavourites", "MyFavourites.txt");
    return inputs;
}

} // namespace

std::string DefaultGroupFolder()
{
    const std::string orbivue = ReadMakerProgramSetting("Orbivue", "TwoLineDataPath");
    return orbivue.empty() ? std::string(DefaultKeplerFolder) : orbivue;
}

namespace {

// Each file's form and long numbers and the line ends, as the window's file options show them: a
// text that does not read counts as the default.
void ReadFileOptions(TDownloadInputs& Inputs)
{
    const auto options = [](std::string_view FileNameSetting) {
        TFileOptions stored;
        stored.Form = FileFormOfText(Trim(StoredSetting(FormSetting(FileNameSetting), ""))).value_or(stored.Form);
        stored.LongNumbers = LongNumbersOfText(Trim(StoredSetting(LongNumbersSetting(FileNameSetting), "")))
                                 .value_or(stored.LongNumbers);
        return stored;
    };
    for (std::size_t row = 0; row < GroupCount; ++row)
        Inputs.Groups[row].Options = options(SpaceTrackGroups[row].FileNameSetting);
    Inputs.FavouritesOptions = options("NameMyFavourites");
    Inputs.LineEnds = LineEndsOfText(Trim(StoredSetting(LineEndsSetting, ""))).value_or(TLineEnds::CrLf);
}

} // namespace

TRunRequest RunRequestFromStore(const std::string& Home, const std::vector<std::string>& SettingsFiles,
                                std::time_t TimeOfRun)
{
    TRunRequest request;
    request.Inputs = StoredInputs();
    ReadFileOptions(request.Inputs);
    const std::string group = ProgramValueExists(KeplerPathSetting) ? StoredSetting(KeplerPathSetting, "")
                                                                    : DefaultGroupFolder();
    const std::string historic = ProgramValueExists(HistoricDataPathSetting)
                                     ? StoredSetting(HistoricDataPathSetting, "")
                                     : DefaultHistoricFolder(ReadAppPath("Swathgrab"));
    request.Folders = {ExpandHome(group, Home), ExpandHome(historic, Home), StoredHistoricItems(),
                       ReadSettingsSection(SettingsFiles, "historic"), TimeOfRun};
    return request;
}

} // namespace elsetry
