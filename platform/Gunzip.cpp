#include "platform/Gunzip.h"

#include "platform/UniqueFd.h"
#include "text/Lines.h"

#include <zlib.h>

#include <fcntl.h>
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

std::string ReadAll(TGzipReader& Reader, std::size_t MaxBytes)
{
    std::string text;
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
    if (Text.size() > MaxBytes || LineCount(Text) > MaxLines)
        throw EAnswerTooLarge();
    return LineCopies(SplitLines(Text));
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
    const gzFile gz = gzdopen(fd.Get(), "r");
    if (gz == nullptr)
        return {};
    // The reader closes the descriptor from here on.
    fd.Release();
    TGzipReader reader(gz);
    return BoundedLines(ReadAll(reader, MaxBytes), MaxBytes, MaxLines);
}

} // namespace elsetry
