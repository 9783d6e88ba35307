#include "text/FileNames.h"

#include <gtest/gtest.h>

#include <string>

using namespace elsetry;

namespace {

TEST(FileNamesTest, OnlyPlainNamesStayInsideTheirFolder)
{
    using namespace std::string_literals;
    for (const std::string& name : {"Weather.txt"s, "ISS (ZARYA).txt"s, "a..b"s, "name."s, "x"s})
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    for (const std::string& name : {""s, "."s, ".."s, "../home/.bashrc"s, "/etc/passwd"s, "sub/file.txt"s,
                                    ".hidden"s, ".Weather.txt-1234.tmp"s, "a\0b"s, "dir/"s})
        EXPECT_FALSE(IsPlainFileName(name)) << name;
}

} // namespace
