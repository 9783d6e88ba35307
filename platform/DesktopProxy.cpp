#include "platform/DesktopProxy.h"

#include "text/Strings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace elsetry {

namespace {

constexpr std::array<const char*, 3> Protocols{"http", "https", "ftp"};

using TEntries = std::vector<std::pair<std::string, std::string>>; // protocol, host:port

std::string Unquoted(std::string_view Text)
{
    if (Text.size() >= 2 && Text.front() == '\'' && Text.back() == '\'')
        Text = Text.substr(1, Text.size() - 2);
    return std::string(Text);
}

TEntries EnvironmentEntries(const TEnvironmentReader& Environment)
{
    TEntries entries;
    for (const char* protocol : Protocols) {
        const std::string lower = std::string(protocol) + "_proxy";
        std::string address = Environment(lower.c_str());
        if (address.empty())
            address = Environment(UpperCase(lower).c_str());
        if (const std::string hostPort = ProxyHostAndPort(address); !hostPort.empty())
            entries.emplace_back(protocol, hostPort);
    }
    return entries;
}

TEntries GnomeEntries(const TGnomeSettingReader& Gnome)
{
    const std::string schema = "org.gnome.system.proxy";
    if (Unquoted(Trim(Gnome(schema, "mode"))) != "manual")
        return {};
    TEntries entries;
    for (const char* protocol : Protocols) {
        const std::string host = Unquoted(Trim(Gnome(schema + "." + protocol, "host")));
        const std::string port(Trim(Gnome(schema + "." + protocol, "port")));
        if (!host.empty() && !port.empty() && port != "0")
            entries.emplace_back(protocol, host + ":" + port);
    }
    return entries;
}

std::string ListOf(const TEntries& Entries)
{
    if (Entries.empty())
        return {};
    const bool same = std::all_of(Entries.begin(), Entries.end(),
                                  [&](const auto& Entry) { return Entry.second == Entries.front().second; });
    if (same && Entries.size() == Protocols.size())
        return Entries.front().second;
    std::string list;
    for (const auto& [protocol, hostPort] : Entries)
        list += (list.empty() ? "" : ";") + protocol + "=" + hostPort;
    return list;
}

bool OnPath(const std::string& Program)
{
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        if (!folder.empty() && ::access((folder + "/" + Program).c_str(), X_OK) == 0)
            return true;
        folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    }
    return false;
}

} // namespace

std::string ProxyHostAndPort(std::string Address)
{
    Address = std::string(Trim(Address));
    if (const std::size_t scheme = Address.find("://"); scheme != std::string::npos)
        Address.erase(0, scheme + 3);
    if (const std::size_t path = Address.find('/'); path != std::string::npos)
        Address.resize(path);
    if (const std::size_t credentials = Address.rfind('@'); credentials != std::string::npos)
        Address.erase(0, credentials + 1);
    return Address;
}

std::string DesktopProxyList(const TEnvironmentReader& Environment, const TGnomeSettingReader& Gnome)
{
    const TEntries fromEnvironment = EnvironmentEntries(Environment);
    return ListOf(fromEnvironment.empty() ? GnomeEntries(Gnome) : fromEnvironment);
}

std::string ReadEnvironment(const char* Name)
{
    const char* value = std::getenv(Name);
    return value ? value : "";
}

std::string ReadGnomeSetting(const std::string& Schema, const std::string& Key)
{
    if (!OnPath("gsettings"))
        return {};
    // Schema and key are this program's own constants, never user input.
    const std::string command = "gsettings get " + Schema + " " + Key + " 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return {};
    std::string output;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe.get()))
        output += buffer.data();
    return output;
}

} // namespace elsetry
