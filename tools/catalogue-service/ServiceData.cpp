// The stand-in service's data: demo groups, the query's look-up, gzip, the request record file.

#include "tools/catalogue-service/CatalogueService.h"
#include "tools/catalogue-service/GpQuery.h"
#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "tools/catalogue/CatalogueGenerator.h"
#include "text/CatalogueNumber.h"
#include "text/Lines.h"
#include "text/Strings.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

namespace elsetry::service {

namespace {

struct TDemoGroup {
    int Id;
    int Size;
};

// Roughly the sizes of the real groups.
constexpr std::array<TDemoGroup, 11> DemoGroups{{
    {20, 110}, {4, 520}, {14, 80}, {18, 20}, {16, 60}, {10, 90}, {6, 120}, {12, 40}, {24, 50}, {8, 80}, {22, 100},
}};

// The groups the query API finds by a text in the name, and the names their sets are given.
constexpr std::array<std::pair<int, const char*>, 5> NamedGroups{{
    {14, "GLOBALSTAR M"}, {18, "INMARSAT "}, {16, "INTELSAT "}, {10, "IRIDIUM "}, {12, "ORBCOMM FM"},
}};

// Epochs from twelve to two days ago, so that the query API's "epoch within 30 days" finds them
// and no check takes them for sets from the future.
void UseRecentEpochs(TCatalogueOptions& Options)
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    int year = utc.tm_year + 1900;
    int day = utc.tm_yday + 1 - 12;
    if (day < 1) {
        --year;
        day += (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 366 : 365;
    }
    Options.EpochYear = year % 100;
    Options.FirstEpochDay = day;
}

// Each set of the slice named as its group's satellites are, every fourth Orbcomm slot a VESSELSAT.
void NameGroupSets(std::vector<std::string>& Catalogue, int Id, std::size_t FirstSet, std::size_t Sets)
{
    const auto named = std::find_if(NamedGroups.begin(), NamedGroups.end(), [Id](const auto& G) { return G.first == Id; });
    if (named == NamedGroups.end())
        return;
    for (std::size_t set = 0; set < Sets; ++set) {
        const std::string prefix = Id == 12 && set % 4 == 3 ? "VESSELSAT " : named->second;
        Catalogue[(FirstSet + set) * 3] = prefix + std::to_string(set + 1);
    }
}

std::string ReadFile(const std::filesystem::path& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of a catalogue number in digits or in the letter form; -1 for a text that is none.
int NumberOf(std::string_view Text)
{
    return CatalogueNumberValue(Text).value_or(-1);
}

// Catalogue number to name, line 1 and line 2; the first file and set of a number win.
void IndexSets(const std::string& Text, std::map<int, std::array<std::string, 3>>& Sets)
{
    const std::vector<std::string_view> lines = SplitAtLineFeeds(Text);
    for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
        const std::string_view one = lines[i + 1];
        if (!one.starts_with("1 ") || !lines[i + 2].starts_with("2 ") || one.size() < MinimumElementLineLength)
            continue;
        Sets.try_emplace(NumberOf(FieldText(one, Line1::CatalogueNumber)),
                         std::array<std::string, 3>{std::string(lines[i]), std::string(one), std::string(lines[i + 2])});
        i += 2;
    }
}

std::vector<std::array<std::string, 3>> NumberedSets(std::map<int, std::array<std::string, 3>> Index)
{
    std::vector<std::array<std::string, 3>> sets;
    for (auto& [number, set] : Index)
        if (number >= 0)
            sets.push_back(std::move(set));
    return sets;
}

void WriteLines(const std::string& Path, std::vector<std::string>::const_iterator First,
                std::vector<std::string>::const_iterator Last)
{
    std::ofstream out(Path, std::ios::binary);
    for (; First != Last; ++First)
        out << *First << "\r\n";
    if (!out)
        throw std::runtime_error("Cannot write " + Path);
}

} // namespace

std::string TRecordedRequest::Header(const std::string& Name) const
{
    for (const auto& [name, value] : Headers)
        if (SameText(name, Name))
            return value;
    return {};
}

std::string TRecordedRequest::ReadableTarget() const
{
    return PercentDecoded(Target);
}

bool TRecordedRequest::HasHeader(const std::string& Name) const
{
    return std::any_of(Headers.begin(), Headers.end(), [&](const auto& Header) { return SameText(Header.first, Name); });
}

std::vector<TRecordedRequest> ReadRequestLog(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::vector<TRecordedRequest> requests;
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("@request "))
            continue;
        TRecordedRequest request;
        std::istringstream start(line.substr(9));
        start >> request.Method >> request.Target;
        while (std::getline(in, line) && !line.starts_with("@body ")) {
            if (line.starts_with("@time ")) {
                request.Millis = std::stoll(line.substr(6));
                continue;
            }
            const std::size_t colon = line.find(": ");
            if (colon != std::string::npos)
                request.Headers.emplace_back(line.substr(0, colon), line.substr(colon + 2));
        }
        request.Body.resize(std::stoul(line.substr(6)));
        in.read(request.Body.data(), static_cast<std::streamsize>(request.Body.size()));
        requests.push_back(std::move(request));
    }
    return requests;
}

void WriteDemoGroups(const std::string& Folder, int FullCount)
{
    TCatalogueOptions options;
    options.Count = FullCount;
    UseRecentEpochs(options);
    std::vector<std::string> catalogue = GenerateCatalogue(options);
    std::filesystem::create_directories(Folder);
    const std::size_t sets = catalogue.size() / 3;
    std::vector<std::pair<int, std::size_t>> firstSets;
    std::size_t first = 0;
    for (const TDemoGroup& group : DemoGroups) {
        const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(group.Size), sets);
        // A catalogue too small for every group gives each the same first sets: those keep the
        // names the known satellites have.
        if (first + size > sets)
            first = 0;
        else if (first > 0)
            NameGroupSets(catalogue, group.Id, first, size);
        firstSets.emplace_back(first, size);
        first += size;
    }
    WriteLines(Folder + "/2.txt", catalogue.begin(), catalogue.end());
    for (std::size_t index = 0; index < DemoGroups.size(); ++index) {
        const auto begin = catalogue.begin() + static_cast<std::ptrdiff_t>(firstSets[index].first * 3);
        WriteLines(Folder + "/" + std::to_string(DemoGroups[index].Id) + ".txt", begin,
                   begin + static_cast<std::ptrdiff_t>(firstSets[index].second * 3));
    }
}

std::vector<std::string> FolderFiles(const std::string& Folder, const std::string& Extension)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(Folder))
        if (entry.path().extension() == Extension)
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::array<std::string, 3>> AllSets(const std::string& Folder)
{
    std::map<int, std::array<std::string, 3>> index;
    for (const std::string& file : FolderFiles(Folder, ".txt"))
        IndexSets(ReadFile(file), index);
    return NumberedSets(std::move(index));
}

std::vector<std::array<std::string, 3>> GroupSets(const std::string& Folder, int Id)
{
    std::map<int, std::array<std::string, 3>> index;
    IndexSets(ReadFile(Folder + "/" + std::to_string(Id) + ".txt"), index);
    return NumberedSets(std::move(index));
}

std::vector<std::string> FindSets(const std::string& Folder, const std::string& Ids)
{
    std::set<int> wanted;
    std::istringstream in(Ids);
    for (std::string id; in >> id;)
        wanted.insert(NumberOf(id));
    std::vector<std::string> lines;
    for (const auto& set : AllSets(Folder))
        if (wanted.count(NumberOf(FieldText(set[1], Line1::CatalogueNumber))) != 0)
            lines.insert(lines.end(), set.begin(), set.end());
    return lines;
}

std::string GzipText(const std::string& Text)
{
    z_stream stream{};
    // 16 added to the window bits asks for a gzip header and trailer.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("Cannot start gzip compression");
    std::string out(deflateBound(&stream, static_cast<uLong>(Text.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Text.data()));
    stream.avail_in = static_cast<uInt>(Text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw std::runtime_error("gzip compression failed");
    return out;
}

namespace {

std::string RandomBytes(std::size_t Count)
{
    std::mt19937 random(4096);
    std::string bytes(Count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

std::string WithChecksum(std::string Line)
{
    if (Line.size() >= 69)
        Line[68] = static_cast<char>('0' + ElementLineChecksum(Line));
    return Line;
}

// The text with its lines changed by Change.
std::string ChangedLines(const std::string& Text, const std::function<void(std::vector<std::string>&)>& Change)
{
    std::vector<std::string> lines;
    for (const std::string_view line : SplitLines(Text))
        lines.emplace_back(line);
    Change(lines);
    std::string changed;
    for (const std::string& line : lines)
        changed += line + "\n";
    return changed;
}

// The first Count sets of the text, three lines each.
std::string FirstSets(const std::string& Text, std::size_t Count)
{
    std::size_t end = 0;
    for (std::size_t line = 0; line < 3 * Count; ++line) {
        end = Text.find('\n', end);
        if (end == std::string::npos)
            return Text;
        ++end;
    }
    return Text.substr(0, end);
}

std::string ChangedBody(TOddBody Kind, const std::string& Text)
{
    switch (Kind) {
    case TOddBody::CutMidLine: {
        // Thirty characters into the first line 1 past the middle.
        const std::size_t line = Text.find("\n1 ", Text.size() / 2);
        return Text.substr(0, line == std::string::npos ? Text.size() / 2 : line + 31);
    }
    case TOddBody::HalfThenGarbage:
        return FirstSets(Text, static_cast<std::size_t>(std::count(Text.begin(), Text.end(), '\n')) / 6)
               + RandomBytes(4096);
    case TOddBody::OneSet:
        return FirstSets(Text, 1);
    case TOddBody::BadChecksums:
        return ChangedLines(Text, [](std::vector<std::string>& Lines) {
            for (std::string& line : Lines)
                if (line.size() >= 69 && (line[0] == '1' || line[0] == '2'))
                    line[68] = static_cast<char>('0' + (line[68] - '0' + 1) % 10);
        });
    case TOddBody::CrossedLines:
        return ChangedLines(Text, [](std::vector<std::string>& Lines) {
            for (std::size_t second = 2; second + 3 < Lines.size(); second += 6)
                std::swap(Lines[second], Lines[second + 3]);
        });
    case TOddBody::LongLines:
        return ChangedLines(Text, [](std::vector<std::string>& Lines) {
            if (Lines.size() > 3)
                Lines[3] += std::string(1 << 20, 'X');
        });
    case TOddBody::ImplausibleValues:
        return ChangedLines(Text, [](std::vector<std::string>& Lines) {
            for (std::size_t second = 5; second < Lines.size(); second += 6)
                if (Lines[second].size() >= 69)
                    Lines[second] = WithChecksum(Lines[second].replace(8, 8, "999.9999"));
        });
    case TOddBody::ControlCharacters:
        return ChangedLines(Text, [](std::vector<std::string>& Lines) {
            if (!Lines.empty())
                Lines[0] += "\x1b]0;owned\x07 \xc2\x9b";
        });
    default:
        return Text;
    }
}

} // namespace

std::string OddBody(TOddBody Kind, const std::string& Text)
{
    switch (Kind) {
    case TOddBody::HtmlPage:
        return "<!DOCTYPE html>\n<html><head><title>Login</title></head>\n<body>\n"
               "<form method='post' action='/perl/login.pl'>\n<input name='username'>\n"
               "<input name='password' type='password'>\n</form>\n</body></html>\n";
    case TOddBody::BinaryBytes:
        return RandomBytes(4096);
    case TOddBody::NewlineBomb:
        return GzipText(std::string(4000000, '\n'));
    case TOddBody::FutureEpoch: {
        std::string dated;
        for (const std::string_view line : SplitLines(Text)) {
            std::string copy(line);
            if (copy.starts_with("1 ") && copy.size() >= 32)
                copy = WithChecksum(copy.replace(18, 14, "56001.00000000"));
            dated += copy + "\n";
        }
        return GzipText(dated);
    }
    default:
        return GzipText(ChangedBody(Kind, Text));
    }
}

} // namespace elsetry::service
