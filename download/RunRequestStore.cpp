#include "download/RunRequestStore.h"

#include "download/sources/FavouritesList.h"
#include "elementfiles/HistoricFile.h"
#include "elementfiles/HistoricFolder.h"
#include "settings/CommaText.h"
#include "settings/FileNameSettings.h"
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

// The value of a file option, and why it cannot be used when it is none of the values.
template <typename TValue>
TValue ReadOption(const TSettingText& TextOf, const std::string& Name,
                  std::optional<TValue> (*ValueOf)(std::string_view), std::string& Fault)
{
    const std::string text = TextOf(Name);
    if (const std::optional<TValue> value = ValueOf(Trim(text)))
        return *value;
    if (Fault.empty())
        Fault = "the setting \"" + Name + "\" holds \"" + EscapeControls(text) + "\", and "
                + FileOptionRule(Name, text);
    return TValue{};
}

// A file whose options do not read is not written at all: written in another form, it would
// leave its reader with a file it cannot read, in place of the one it had.
TFileOptions ReadOptionsOfFile(const TSettingText& TextOf, std::string_view FileNameSetting, std::string& Fault)
{
    TFileOptions options;
    options.Form = ReadOption(TextOf, FormSetting(FileNameSetting), &FileFormOfText, Fault);
    options.LongNumbers = ReadOption(TextOf, LongNumbersSetting(FileNameSetting), &LongNumbersOfText, Fault);
    return options;
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
                              StoredSetting(group.FileNameSetting, DefaultFileName(group))};
    }
    inputs.Favourites = CleanFavourites(StoredFavourites());
    inputs.FavouritesFileName = StoredSetting(FavouritesFileNameSetting, "MyFavourites.txt");
    ReadFileOptions(inputs, [](const std::string& Name) { return StoredSetting(Name, ""); });
    return inputs;
}

} // namespace

void ReadFileOptions(TDownloadInputs& Inputs, const TSettingText& TextOf)
{
    for (std::size_t row = 0; row < GroupCount; ++row)
        Inputs.Groups[row].Options = ReadOptionsOfFile(TextOf, SpaceTrackGroups[row].FileNameSetting,
                                                       Inputs.Groups[row].OptionsFault);
    Inputs.FavouritesOptions = ReadOptionsOfFile(TextOf, FavouritesFileNameSetting, Inputs.FavouritesOptionsFault);
    // Line ends that do not read hold back every file, as options of its own would.
    std::string lineEndsFault;
    Inputs.LineEnds = ReadOption(TextOf, std::string(LineEndsSetting), &LineEndsOfText, lineEndsFault);
    if (!lineEndsFault.empty()) {
        for (TGroupChoice& choice : Inputs.Groups)
            choice.OptionsFault = lineEndsFault;
        Inputs.FavouritesOptionsFault = lineEndsFault;
    }
}

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
