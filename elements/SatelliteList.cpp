#include "elements/SatelliteList.h"

#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "elements/OmmElementText.h"
#include "elements/SatelliteAttributes.h"
#include "orbit/SGP_Math.h"
#include "platform/TextFile.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace elsetry {

namespace {

constexpr const char* NotesFileName = "TLEnotes.txt";

bool HasExtension(const std::string& FileName, std::string_view Extension)
{
    return FileName.size() > Extension.size() && EndsWithIgnoringCase(FileName, Extension);
}

// Names of the folder's entries that end in Extension (letter case ignored), sorted so that
// loading does not depend on the order the file system lists them in.
std::vector<std::string> FolderEntries(const std::string& Folder, std::string_view Extension)
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(Folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (HasExtension(name, Extension) && !SameText(name, NotesFileName))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SatelliteName(std::string_view NameLine)
{
    std::string name = UpperCase(Trim(NameLine.substr(0, NameLineLength)));
    if (name == "NOAA-L")
        return "NOAA 16";
    if (name == "NOAA-M")
        return "NOAA 17";
    if (name == "NOAA-N")
        return "NOAA 18";
    return name;
}

// The key a catalogue number is listed under: five characters as the set's lines write them,
// upper-cased. A number past 99999 asked for in digits ("148493") is keyed by the letter form its
// lines must use ("E8493"). Nothing for a text that names no set.
std::optional<std::string> CatalogueKey(std::string_view Number)
{
    if (Number.size() == Line1::CatalogueNumber.Width)
        return UpperCase(Number);
    const std::optional<int> value = CatalogueNumberValue(Number);
    if (!value || *value < FirstAlpha5Number)
        return std::nullopt;
    return Alpha5Text(*value);
}

bool IsAcceptablePair(std::string_view L1, std::string_view L2)
{
    if (L1.empty() || L1.front() != '1' || L2.empty() || L2.front() != '2')
        return false;
    const std::string_view number = FieldText(L1, Line1::CatalogueNumber);
    return number == FieldText(L2, Line2::CatalogueNumber) && number.find_first_not_of(' ') != std::string_view::npos;
}

} // namespace

TSatelliteList::TSatelliteList() = default;

TSatelliteList::TSatelliteList(const std::string& Folder, unsigned Threads)
    : FolderText(Folder), LoadThreads(Threads)
{
    if (FolderText.empty() || FolderText.back() != '/')
        FolderText += '/';
    for (const char* extension : {".2li", ".tle", ".txt"})
        for (const std::string& name : FolderEntries(FolderText, extension))
            LoadFromFile(FolderText + name);
    ReadNotes(NotesFileName);
}

TSatelliteList::~TSatelliteList() = default;

int TSatelliteList::LoadFromFile(const std::string& FileName)
{
    return ReadElementFile(FileName);
}

int TSatelliteList::LoadFromText(std::string Text, const std::string& FileName)
{
    return AddText(std::move(Text), FileName);
}

int TSatelliteList::ReadElementFile(const std::string& FileName)
{
    if (!FileExists(FileName))
        return 0;
    return AddText(ReadWholeFile(FileName), FileName);
}

// Sets in the CSV or JSON form go through the element lines they make, so that they load
// exactly as the same sets written as an element file.
int TSatelliteList::AddText(std::string Text, const std::string& FileName)
{
    const TElementTextForm form = ElementTextFormOf(Text);
    if (form == TElementTextForm::ElementLines)
        return AddElementLines(TTextLines(std::move(Text)), FileName);
    TOmmElementText sets = OmmElementText(Text, form);
    UnwritableSets += sets.SkippedUnwritable;
    UnreadableSets += sets.SkippedUnreadable;
    return AddElementLines(TTextLines(std::move(sets.Lines)), FileName);
}

int TSatelliteList::AddElementLines(const TTextLines& Lines, const std::string& FileName)
{
    const std::size_t n = Lines.size();
    ByName.reserve(ByName.size() + n / 3);
    ByCatalogue.reserve(ByCatalogue.size() + n / 3);
    std::size_t i = 0;
    int decoded = 0;
    while (i < n) {
        std::string_view nameLine;
        while (i < n) {
            const std::string_view trimmed = Trim(Lines[i++]);
            if (!trimmed.empty() && trimmed != "--") {
                nameLine = trimmed;
                break;
            }
        }
        if (i == n)
            return decoded;
        std::string_view line1;
        while (i < n && line1.size() < MinimumElementLineLength)
            line1 = Lines[i++];
        if (i == n)
            return decoded;
        std::string_view line2;
        while (i < n && line2.size() < MinimumElementLineLength)
            line2 = Lines[i++];
        try {
            if (AddElementSet(FileName, SatelliteName(nameLine), line1, line2))
                ++decoded;
        } catch (const EMathError&) {
            // An element set that does not decode is dropped; the file reads on.
        }
    }
    return decoded;
}

bool TSatelliteList::AddElementSet(const std::string& FileName, const std::string& Name, std::string_view L1,
                                   std::string_view L2)
{
    if (!IsAcceptablePair(L1, L2))
        return false;
    TSatellite& satellite = Satellites.Acquire();
    try {
        satellite.ParseElements(L1, L2);
    } catch (const EMathError&) {
        Satellites.Release(satellite);
        throw;
    }
    const auto byNumber = ByCatalogue.find(satellite.CatalogueNumber);
    const auto byName = ByName.find(Name);
    if (byNumber == ByCatalogue.end() && byName == ByName.end()) {
        InsertSatellite(Name, satellite, FileName);
        return true;
    }
    TSatellite& known = byNumber != ByCatalogue.end() ? *byNumber->second : *byName->second;
    if (satellite.EpochJulian > known.EpochJulian) {
        RemoveEntry(known);
        InsertSatellite(Name, satellite, FileName);
    } else {
        Satellites.Release(satellite);
    }
    return true;
}

void TSatelliteList::InsertSatellite(const std::string& Name, TSatellite& S, const std::string& FileName)
{
    // An entry of that name keeps its place; its satellite gives way to the new one.
    if (const auto entry = ByName.find(Name); entry != ByName.end())
        RemoveEntry(*entry->second);
    SortedValid = false;
    S.Name = Name;
    ByName.emplace(S.Name, &S);
    ByCatalogue.emplace(S.CatalogueNumber, &S);

    ApplyDefaultAttributes(S);
    S.SourceFileName = FileNameOf(FileName);
    try {
        S.PropagateToOwnEpoch();
    } catch (const EMathError&) {
        // The satellite stays in the list with its revolution number as written.
    }
}

void TSatelliteList::RemoveEntry(TSatellite& Satellite)
{
    SortedValid = false;
    ByCatalogue.erase(Satellite.CatalogueNumber);
    ByName.erase(Satellite.Name);
    Satellites.Release(Satellite);
}

int TSatelliteList::Count() const
{
    return static_cast<int>(ByName.size());
}

TSatelliteList::TSortKey TSatelliteList::SortKeyOf(TSatellite& Satellite)
{
    unsigned char bytes[sizeof(TSortKey::Prefix)] = {};
    Satellite.Name.copy(reinterpret_cast<char*>(bytes), sizeof bytes);
    TSortKey key{{0, 0, 0}, &Satellite};
    for (std::size_t i = 0; i < sizeof bytes; ++i)
        key.Prefix[i / 8] = (key.Prefix[i / 8] << 8) | bytes[i];
    return key;
}

bool TSatelliteList::SortsBefore(const TSortKey& A, const TSortKey& B)
{
    for (int i = 0; i < 3; ++i)
        if (A.Prefix[i] != B.Prefix[i])
            return A.Prefix[i] < B.Prefix[i];
    return A.Satellite->Name < B.Satellite->Name;
}

const std::vector<TSatelliteList::TSortKey>& TSatelliteList::SortedIndex() const
{
    if (!SortedValid) {
        Sorted.clear();
        Sorted.reserve(ByName.size());
        for (const auto& entry : ByName)
            Sorted.push_back(SortKeyOf(*entry.second));
        std::sort(Sorted.begin(), Sorted.end(), SortsBefore);
        SortedValid = true;
    }
    return Sorted;
}

int TSatelliteList::PositionOf(TSatellite& Satellite) const
{
    const auto& sorted = SortedIndex();
    const TSortKey key = SortKeyOf(Satellite);
    return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), key, SortsBefore) - sorted.begin());
}

int TSatelliteList::IndexOf(std::string_view Name) const
{
    const auto entry = ByName.find(UpperCase(Name));
    return entry == ByName.end() ? -1 : PositionOf(*entry->second);
}

int TSatelliteList::IndexOfCatalogueNumber(std::string_view Number) const
{
    const std::optional<std::string> key = CatalogueKey(Number);
    if (!key)
        return -1;
    const auto entry = ByCatalogue.find(*key);
    return entry == ByCatalogue.end() ? -1 : PositionOf(*entry->second);
}

TSatellite* TSatelliteList::GetSatellite(int Index) const
{
    return SortedIndex().at(static_cast<std::size_t>(Index)).Satellite;
}

const std::string& TSatelliteList::NameAt(int Index) const
{
    return GetSatellite(Index)->Name;
}

void TSatelliteList::Clear()
{
    ByCatalogue.clear();
    ByName.clear();
    Sorted.clear();
    SortedValid = true;
    Satellites.Clear();
    UnwritableSets = 0;
    UnreadableSets = 0;
}

} // namespace elsetry
