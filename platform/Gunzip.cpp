#include "platform/Gunzip.h"

#include "platform/UniqueFd.h"
#include "text/Lines.h"

#include <zlib.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

constexpr unsigned BlockBytes = 16384;

// The file is gone however the reading ends.
class TDeleteOnExit {
public:
    explicit TDeleteOnExit(const std::string& Path) : FilePath(Path) {}
    ~TDeleteOnExit() { ::unlink(FilePath.c_str()); }
    TDeleteOnExit(const TDeleteOnExit&) = delete;
    TDeleteOnExit& operator=(const TDeleteOnExit&) = delete;

private:
    const std::string& FilePath;
};

class TGzipReader {
public:
    explicit TGzipReader(gzFile File) : Gz(File) {}
    ~TGzipReader()
    {
        if (Gz != nullptr)
            gzclose_r(Gz);
    }
    TGzipReader(const TGzipReader&) = delete;
    TGzipReader& operator=(const TGzipReader&) = delete;

    gzFile get() const { return Gz; }
    // Closes the reader; Z_BUF_ERROR tells that the data ended inside a compressed stream.
    int Close()
    {
        const int result = gzclose_r(Gz);
        Gz = nullptr;
        return result;
    }

private:
    gzFile Gz;
};

std::string DamagedText(gzFile Gz)
{
    int code = Z_OK;
    const char* text = gzerror(Gz, &code);
    return std::string("The compressed data is damaged: ") + (text != nullptr ? text : "unknown error");
}

// What the file will inflate to, as far as it says: its own size when it is not gzip data, the
// size in the gzip trailer otherwise (which a damaged file may get wrong: it only saves the text
// growing by steps, each of which would leave unused room behind).
std::size_t ExpectedTextBytes(int Fd)
{
    struct stat info {};
    if (::fstat(Fd, &info) != 0 || info.st_size < 0)
        return 0;
    const auto size = static_cast<std::size_t>(info.st_size);
    unsigned char head[2] = {};
    unsigned char trailer[4] = {};
    if (size < 18 || ::pread(Fd, head, sizeof head, 0) != sizeof head || head[0] != 0x1f || head[1] != 0x8b)
        return size;
    if (::pread(Fd, trailer, sizeof trailer, info.st_size - 4) != sizeof trailer)
        return 0;
    return std::size_t{trailer[0]} | std::size_t{trailer[1]} << 8 | std::size_t{trailer[2]} << 16
           | std::size_t{trailer[3]} << 24;
}

std::string ReadAll(TGzipReader& Reader, std::size_t Expected, std::size_t MaxBytes)
{
    std::string text;
    text.reserve(std::min(Expected, MaxBytes));
    char block[BlockBytes];
    for (;;) {
        const int got = gzread(Reader.get(), block, BlockBytes);
        if (got < 0)
            throw EGzipData(DamagedText(Reader.get()));
        if (got == 0)
            break;
        if (text.size() + static_cast<std::size_t>(got) > MaxBytes)
            throw EAnswerTooLarge();
        text.append(block, static_cast<std::size_t>(got));
    }
    if (Reader.Close() == Z_BUF_ERROR)
        throw EGzipData("The compressed data ends too early");
    return text;
}

} // namespace

std::vector<std::string> BoundedLines(std::string_view Text, std::size_t MaxBytes, std::size_t MaxLines)
{
    const std::size_t count = Text.size() > MaxBytes ? 0 : LineCount(Text);
    if (Text.size() > MaxBytes || count > MaxLines)
        throw EAnswerTooLarge();
    // Straight into their strings: a list of views of them first would cost a third as much again.
    std::vector<std::string> lines;
    lines.reserve(count);
    for (TLineReader reader(Text); !reader.AtEnd();)
        lines.emplace_back(reader.Read());
    return lines;
}

std::vector<std::string> GunzipToLines(const std::string& Path, std::size_t MaxBytes, std::size_t MaxLines)
{
    const TDeleteOnExit remove(Path);
    if (Path.size() > MaxGzipPathLength)
        throw EGzipPathTooLong();
    // A link put in the file's place is not followed.
    TUniqueFd fd(::open(Path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid())
        return {};
    const std::size_t expected = ExpectedTextBytes(fd.Get());
    const gzFile gz = gzdopen(fd.Get(), "r");
    if (gz == nullptr)
        return {};
    // The reader closes the descriptor from here on.
    fd.Release();
    TGzipReader reader(gz);
    return BoundedLines(ReadAll(reader, expected, MaxBytes), MaxBytes, MaxLines);
}

} // namespace elsetry
