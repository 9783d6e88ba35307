#pragma once
// Replacing files that other programs read, so that a reader never finds one half-written.

#include <string>
#include <string_view>

namespace elsetry {

// Replaces (or creates) the file at Path with Contents. The text is written to a new file beside
// the target, flushed to disk and renamed over the target, so that a crash, a kill or a full disk
// leaves either the old or the new file whole. (The rename reaches the disk with the file
// system's next commit; a crash before it leaves the old file.) A replaced file keeps its
// permission bits, and its owner where the process may set that; a path that is a symbolic link
// replaces the file the link points to and keeps the link.
// Raises EFileError naming the file and the cause; the target is then as it was.
void ReplaceFile(const std::string& Path, std::string_view Contents);

// Appends Line followed by CR LF, the line end of the files we write.
void AppendCrLfLine(std::string& Text, std::string_view Line);

// The lines, each followed by CR LF.
template <class TLines>
std::string CrLfText(const TLines& Lines)
{
    std::size_t size = 0;
    for (const auto& line : Lines)
        size += std::string_view(line).size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : Lines)
        AppendCrLfLine(text, line);
    return text;
}

} // namespace elsetry
