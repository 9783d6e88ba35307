#pragma once
// Starting the settings_child helper (or a copy of it under another name) and collecting its
// standard output.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace elsetry::test {

// The helper copied to Folder/Name, as if the program had been installed under that name.
inline std::string CopyOfChild(const std::string& Folder, const std::string& Name)
{
    const std::string target = Folder + "/" + Name;
    std::filesystem::create_directories(Folder);
    std::filesystem::copy_file(ELSETRY_SETTINGS_CHILD, target, std::filesystem::copy_options::overwrite_existing);
    return target;
}

inline std::string ShellQuoted(const std::string& Text)
{
    std::string quoted = "'";
    for (const char c : Text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string CommandLine(const std::string& Program, const std::vector<std::string>& Args)
{
    std::string line = ShellQuoted(Program);
    for (const std::string& arg : Args)
        line += " " + ShellQuoted(arg);
    return line;
}

struct TChildRun {
    int Status = -1; // the exit status, -1 when it did not exit
    std::string Output;
};

// Runs a shell command line to its end, with what it printed.
inline TChildRun RunCommand(const std::string& Line)
{
    FILE* pipe = ::popen(Line.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot start " << Line;
        return {};
    }
    TChildRun run;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.Output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Runs the program to its end; its standard output, or a test failure when it exits non-zero.
inline std::string RunChild(const std::string& Program, const std::vector<std::string>& Args)
{
    const TChildRun run = RunCommand(CommandLine(Program, Args));
    EXPECT_EQ(run.Status, 0) << Program << " failed";
    return run.Output;
}

} // namespace elsetry::test
