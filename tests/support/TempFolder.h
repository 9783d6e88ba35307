#pragma once
// A fresh folder under the system's temporary folder, removed with its contents afterwards.

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <stdlib.h>

namespace elsetry::test {

class TTempFolder {
public:
    TTempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "elsetry-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        Path = pattern;
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // Writes Contents byte for byte and returns the file's full path.
    std::string Write(const std::string& Name, const std::string& Contents) const
    {
        const std::string file = Path + "/" + Name;
        std::ofstream(file, std::ios::binary) << Contents;
        return file;
    }

    std::string Path;
};

} // namespace elsetry::test
