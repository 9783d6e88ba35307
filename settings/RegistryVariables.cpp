#include "settings/RegistryVariables.h"

#include "settings/SqliteSettingsStore.h"

#include <cerrno>
#include <unistd.h>
#include <utility>
#include <vector>

namespace elsetry {

std::string CompanyKey = "Corriebrook";
TRootKey SettingsRoot = HKEY_CURRENT_USER;

namespace {

// The kernel marks the path of an executable replaced on disk (by a package upgrade while the
// program runs) this way; the settings belong to the name without it.
constexpr std::string_view DeletedMark = " (deleted)";
// Only if the kernel cannot tell the executable's path at all.
constexpr const char* FallbackProgramName = "Elsetry";

std::string ReadExecutableLink()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramBaseName()
{
    const std::string name = ProgramBaseNameOf(ExecutablePath());
    return name.empty() ? FallbackProgramName : name;
}

std::string CompanyPath(const std::string& KeyName)
{
    return "\\Software\\" + CompanyKey + "\\" + KeyName;
}

std::string AppPathsKeyPath()
{
    return CompanyPath("App Paths");
}

// Runs Work on a fresh store handle set to Root. A store failure is absorbed here: settings
// code never reports one, so a read keeps its default and a write is lost.
template <typename TWork>
void WithStore(TRootKey Root, TWork Work)
{
    try {
        const std::unique_ptr<TSettingsStore> store = OpenSettingsStore();
        store->SetRootKey(Root);
        Work(*store);
    } catch (const ESettingsError&) {
    }
}

} // namespace

std::string ExecutablePath()
{
    std::string path = ReadExecutableLink();
    if (path.ends_with(DeletedMark))
        path.resize(path.size() - DeletedMark.size());
    return path.empty() ? std::string(program_invocation_name) : path;
}

std::string ProgramBaseNameOf(std::string_view Path)
{
    const std::size_t slash = Path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? Path : Path.substr(slash + 1);
    // A leading dot starts a hidden file's name, not an extension.
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string ProgramKeyPath()
{
    return CompanyPath(ProgramBaseName());
}

TRegistryVariable::TRegistryVariable(std::string Name)
    : ValueName(std::move(Name)), KeyPath(ProgramKeyPath()), RootKey(SettingsRoot)
{
}

TRegistryVariable::~TRegistryVariable()
{
    if (!DeleteOnDestroy)
        return;
    WithStore(RootKey, [this](TSettingsStore& Store) {
        if (Store.OpenKey(KeyPath, true))
            Store.DeleteValue(ValueName);
    });
}

TRegistryBoolean::TRegistryBoolean(std::string Name, bool Default)
    : TRegistryVariable(std::move(Name)), Value(Default)
{
    WithStore(RootKey, [this](TSettingsStore& Store) {
        if (Store.KeyExists(KeyPath) && Store.OpenKey(KeyPath, false))
            Value = Store.ReadBool(ValueName);
    });
    Known = Value;
}

TRegistryBoolean::~TRegistryBoolean()
{
    Save();
}

void TRegistryBoolean::Save()
{
    if (Value == Known)
        return;
    WithStore(RootKey, [this](TSettingsStore& Store) {
        if (Store.OpenKey(KeyPath, true)) {
            Store.WriteBool(ValueName, Value);
            Known = Value;
        }
    });
}

TRegistryString::TRegistryString(std::string Name, std::string Default)
    : TRegistryVariable(std::move(Name)), Value(std::move(Default))
{
    WithStore(RootKey, [this](TSettingsStore& Store) {
        if (Store.KeyExists(KeyPath) && Store.OpenKey(KeyPath, false) && Store.ValueExists(ValueName))
            Value = Store.ReadString(ValueName);
    });
    Known = Value;
}

TRegistryString::~TRegistryString()
{
    Save();
}

void TRegistryString::Save()
{
    if (Value == Known)
        return;
    WithStore(RootKey, [this](TSettingsStore& Store) {
        if (Store.OpenKey(KeyPath, true)) {
            Store.WriteString(ValueName, Value);
            Known = Value;
        }
    });
}

void RegisterAppPath()
{
    const std::string path = ExecutablePath();
    const std::string name = ProgramBaseName();
    WithStore(SettingsRoot, [&](TSettingsStore& Store) {
        if (Store.OpenKey(AppPathsKeyPath(), true))
            Store.WriteString(name, path);
    });
}

std::string ReadAppPath(const std::string& ProgramName)
{
    std::string result;
    WithStore(SettingsRoot, [&](TSettingsStore& Store) {
        if (Store.KeyExists(AppPathsKeyPath()) && Store.OpenKey(AppPathsKeyPath(), false)
            && Store.ValueExists(ProgramName))
            result = Store.ReadString(ProgramName);
    });
    return result;
}

bool ProgramValueExists(const std::string& Name)
{
    bool result = false;
    WithStore(SettingsRoot, [&](TSettingsStore& Store) {
        const std::string key = ProgramKeyPath();
        if (Store.KeyExists(key) && Store.OpenKey(key, false))
            result = Store.ValueExists(Name);
    });
    return result;
}

std::string ReadProgramString(const std::string& Name)
{
    std::string result;
    WithStore(SettingsRoot, [&](TSettingsStore& Store) {
        const std::string key = ProgramKeyPath();
        if (Store.KeyExists(key) && Store.OpenKey(key, false) && Store.ValueExists(Name))
            result = Store.ReadString(Name);
    });
    return result;
}

} // namespace elsetry
