#pragma once
// Replacing files that other programs read, so that a reader never finds one half-written.

#include "platform/TextFile.h"
#include "platform/UniqueFd.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace elsetry {

// A new version of a regular file, written to a hidden temporary beside it and renamed over it only
// when committed; dropped without a trace otherwise, so that the new text can be checked before
// it replaces anything. A target that is a symbolic link, a folder, a device, a FIFO or a socket
// is refused (ENotRegularFile) before anything is written: a link planted in the folder is not
// written through. The replaced file keeps its permission bits, and its owner where the process
// may set that, both taken from the entry itself, never from what a link points to.
// Each step raises EFileError naming the file and the cause; the target then stays as it was.
class TFileReplacement {
public:
    // A Private replacement is readable and writable by its owner only from its creation on,
    // whatever the earlier file allowed.
    enum class TModes { KeepEarlier, Private };
    explicit TFileReplacement(const std::string& Target, TModes Modes = TModes::KeepEarlier);
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement&) = delete;
    TFileReplacement& operator=(const TFileReplacement&) = delete;

    void Write(std::string_view Contents);
    // Flushes the text to disk and renames it over the target, unless the temporary's name no
    // longer leads to the file written.
    void Commit();

private:
    void RefuseSwappedTemporary() const;

    std::string Target;
    std::string Name;
    TUniqueFd Fd;
    bool HadTarget = false;
    TModes Modes;
    struct stat Earlier {};
    bool Renamed = false;
};

// Replaces (or creates) the file at Path with Contents. The text is written to a new file beside
// the target, flushed to disk and renamed over the target, so that a crash, a kill or a full disk
// leaves either the old or the new file whole. (The rename reaches the disk with the file
// system's next commit; a crash before it leaves the old file.) A replaced file keeps its
// permission bits, and its owner where the process may set that; a path that is a symbolic link
// replaces the file the link points to and keeps the link. What the path or link leads to must be
// a regular file or nothing (ENotRegularFile otherwise).
// Raises EFileError naming the file and the cause; the target is then as it was.
void ReplaceFile(const std::string& Path, std::string_view Contents);
// The same, except that a symbolic link at Path is refused rather than followed.
void ReplaceRegularFile(const std::string& Path, std::string_view Contents);
// As ReplaceRegularFile, for a file that holds secrets: the new file has mode 0600.
void ReplacePrivateFile(const std::string& Path, std::string_view Contents);

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
