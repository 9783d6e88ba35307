#include "download/ProgramSettings.h"

#include "download/RunRequestStore.h"
#include "download/sources/FavouritesList.h"
#include "elementfiles/HistoricFolder.h"
#include "platform/RunClock.h"
#include "settings/CommaText.h"
#include "settings/RegistryVariables.h"

#include <chrono>

namespace elsetry {

namespace {

void StoreWhereMissing(const char* Name, const std::string& Value)
{
    if (ProgramValueExists(Name))
        return;
    TRegistryString setting(Name, "");
    setting.Value = Value;
    setting.Save();
}

void MoveEarlierFavourites()
{
    if (ProgramValueExists(MyFavouritesSetting))
        return;
    TRegistryString earlier(EarlierMyFavouritesSetting, "");
    TRegistryString favourites(MyFavouritesSetting, "");
    favourites.Value = CommaTextOf(MemoLines(earlier.Value));
    // Written before the earlier value goes, so that a program that ends abnormally keeps the list.
    favourites.Save();
    earlier.DeleteOnDestroy = true;
}

} // namespace

void PrepareProgramSettings()
{
    RegisterAppPath();
    StoreWhereMissing(KeplerPathSetting, DefaultGroupFolder());
    MoveEarlierFavourites();
    StoreWhereMissing(HistoricDataPathSetting, DefaultHistoricFolder(ReadAppPath("Swathgrab")));
}

void RecordSuccessfulRun()
{
    TRegistryString last(LastSuccessfulRunSetting, "");
    last.Value = DateTimeText(std::chrono::system_clock::now());
    last.Save();
}

} // namespace elsetry
