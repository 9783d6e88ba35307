#pragma once
// Settings variables: objects bound to one named value in this program's key of the settings
// store ("\Software\<CompanyKey>\<program base name>"). A variable reads its value once when it
// is built, falling back to the caller's default, holds it in memory while the program changes
// it, and writes it back when it is destroyed, but only a value the program changed: what the
// user or an import stored meanwhile is not rolled back by a program that merely read the value.
// Nothing here ever reports a failure: a value that cannot be read gives the default, a value
// that cannot be written is lost.

#include "settings/SettingsStore.h"

#include <string>
#include <string_view>

namespace elsetry {

// Set once at start-up, before any variable is built.
extern std::string CompanyKey;   // "Corriebrook"
extern TRootKey SettingsRoot;    // HKEY_CURRENT_USER

// The running executable's full path, looked up afresh on every call.
std::string ExecutablePath();
// The file name of a path without folder and extension ("/opt/x/Elsetry.bin" -> "Elsetry").
std::string ProgramBaseNameOf(std::string_view Path);
// "\Software\" + CompanyKey + "\" + the running executable's base name.
std::string ProgramKeyPath();

class TRegistryVariable {
public:
    virtual ~TRegistryVariable();
    TRegistryVariable(const TRegistryVariable&) = delete;
    TRegistryVariable& operator=(const TRegistryVariable&) = delete;

    // Writes the value to the store at once when it differs from the value read or last written;
    // destruction calls it.
    virtual void Save() = 0;

    bool DeleteOnDestroy = false; // destruction removes the value after writing it
    std::string ValueName;
    std::string KeyPath;          // the program key when the variable was built
    TRootKey RootKey;             // SettingsRoot when the variable was built

protected:
    explicit TRegistryVariable(std::string Name);
};

class TRegistryBoolean final : public TRegistryVariable {
public:
    // Value is the stored 32-bit integer (non-zero: true) or, failing that, Default.
    TRegistryBoolean(std::string Name, bool Default);
    ~TRegistryBoolean() override;
    void Save() override;

    bool Value;

private:
    bool Known; // as read or last written
};

class TRegistryString final : public TRegistryVariable {
public:
    // Value is the stored string (an empty one too) or, failing that, Default.
    TRegistryString(std::string Name, std::string Default);
    ~TRegistryString() override;
    void Save() override;

    std::string Value;

private:
    std::string Known; // as read or last written
};

// Records this program's executable path in the shared "App Paths" key under its base name.
void RegisterAppPath();
// The executable path another program of the maker recorded, or "".
std::string ReadAppPath(const std::string& ProgramName);
// Whether the program key exists and holds a value of that name, of any kind.
bool ProgramValueExists(const std::string& Name);
// The program key's string value of that name, read once and never written back; empty when
// it is missing or not a string.
std::string ReadProgramString(const std::string& Name);

} // namespace elsetry
