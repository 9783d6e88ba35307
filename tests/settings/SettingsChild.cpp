// A second program for the tests: runs one settings operation in its own process, so tests can
// use the store from several processes at once and from an executable of another name.

#include "settings/RegistryVariables.h"
#include "settings/SqliteSettingsStore.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

using namespace elsetry;

namespace {

// write-values KEY PREFIX COUNT: COUNT string values PREFIX0.., each through its own handle.
int WriteValues(const std::string& Key, const std::string& Prefix, int Count)
{
    for (int i = 0; i < Count; ++i) {
        const auto store = OpenSettingsStore();
        store->OpenKey(Key, true);
        store->WriteString(Prefix + std::to_string(i), std::to_string(i));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // As after a package upgrade while the program runs: its executable file is gone.
    if (argc > 1 && std::string(argv[1]) == "--unlink-self") {
        ::unlink(ExecutablePath().c_str());
        --argc;
        ++argv;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write-values" && argc == 5)
        return WriteValues(argv[2], argv[3], std::atoi(argv[4]));
    if (command == "save-string" && argc == 4) {
        TRegistryString variable(argv[2], "");
        variable.Value = argv[3];
        return 0;
    }
    if (command == "read-string" && argc == 4) {
        std::cout << TRegistryString(argv[2], argv[3]).Value;
        return 0;
    }
    if (command == "register-app-path") {
        RegisterAppPath();
        return 0;
    }
    std::cerr << "usage: settings_child [--unlink-self] write-values KEY PREFIX COUNT | save-string NAME VALUE"
                 " | read-string NAME DEFAULT | register-app-path\n";
    return 2;
}
