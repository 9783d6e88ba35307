#include "gui/ProgramEnvironment.h"

#include "elementfiles/HistoricFolder.h"
#include "platform/ConnectionTest.h"
#include "platform/TempFile.h"
#include "settings/RegistryVariables.h"
#include "settings/SettingsFile.h"

#include <utility>

namespace elsetry {

TFormEnvironment ProgramEnvironment(TArguments Arguments, bool Headless)
{
    TFormEnvironment environment;
    environment.Arguments = std::move(Arguments);
    environment.Internet = LoadInternetFunctions();
    environment.ConnectionTest = MachineNameResolves;
    const std::string executable = ExecutablePath();
    environment.SettingsFiles = SettingsFileCandidates(executable);
    environment.ExecutableFolder = FolderOf(executable);
    environment.TempFolder = UserTempFolder();
    environment.Dialogs = Headless ? MakeConsoleDialogs() : MakeScreenDialogs();
    environment.Headless = Headless;
    environment.RunDeadline = RunDeadlineFrom(ReadProgramString(RunDeadlineSetting));
    return environment;
}

} // namespace elsetry
