#pragma once
// The temporary file a group download is written to: "Kep", sixteen random hexadecimal digits
// and ".gz" in the user's temporary folder, so that nobody can guess the name and take it first.

#include <string>

namespace elsetry {

// $TMPDIR when set, otherwise /tmp; without a trailing separator.
std::string UserTempFolder();

// One name for the object's life; every group of every run reuses it. Not copied: two objects
// with one name would write over each other's file.
class TKepTempFile {
public:
    explicit TKepTempFile(std::string Folder = UserTempFolder());
    TKepTempFile(const TKepTempFile&) = delete;
    TKepTempFile& operator=(const TKepTempFile&) = delete;

    const std::string& Path() const { return FilePath; }

    // Creates the file empty, exclusively, and gives an open descriptor for writing, which the
    // caller closes. A file of ours left at the name is replaced. A link, or a file another user
    // owns, is never opened: the name then moves to other random digits, as many times as it takes
    // within reason. Raises EFileError when no file can be made.
    int Create();

private:
    void ChooseName();

    std::string TempFolder;
    std::string FilePath;
};

} // namespace elsetry
