#include "elements/SatelliteList.h"

#include "elements/ElementColumns.h"
#include "elements/ElementFields.h"
#include "elements/ElementFileNames.h"
#include "elements/OmmElementText.h"
#include "elements/SatelliteSetup.h"
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

} // namespace

TSatelliteList::TSatelliteList() = default;

TSatelliteList::TSatelliteList(const std::string& Folder, unsigned Threads)
    : FolderText(Folder), LoadThreads(Threads)
{
    if (FolderText.empty() || FolderText.back() != '/')
        FolderText += '/';
    for (const std::string_view extension : ElementFileExtensions)
        for (const std::string& name : FolderEntries(FolderText, extension))
            LoadFromFile(FolderText + name);
    ReadNotes(NotesFileName);
}

TSatelliteList::~TSatelliteList() = default;

int TSatelliteList::LoadFromFile(const std::string& FileName)
{
    if (!FileExists(FileName))
        return 0;
    return AddText(std::make_shared<const std::string>(ReadWholeFile(FileName)), FileName);
}

int TSatelliteList::LoadFromText(std::string Text, const std::string& FileName)
{
    return AddText(std::make_shared<const std::string>(std::move(Text)), FileName);
}

int TSatelliteList::LoadFromText(std::shared_ptr<const std::string> Text, const std::string& FileName)
{
    return AddText(std::move(Text), FileName);
}

// Sets in the CSV or JSON form go through the element lines they make, so that they load
// exactly as the same sets written as an element file.
int TSatelliteList::AddText(std::shared_ptr<const std::string> Text, const std::string& FileName)
{
    const TElementTextForm form = ElementTextFormOf(*Text);
    if (form == TElementTextForm::ElementLines)
        return AddElementText(std::move(Text), FileName);
    TOmmElementText sets = OmmElementText(*Text, form);
    UnwritableSets += sets.SkippedUnwritable;
    UnreadableSets += sets.SkippedUnreadable;
    return AddElementText(std::make_shared<const std::string>(std::move(sets.Lines)), FileName);
}

// The sets are set up first, all at once and on every core; then they become entries one after
// the other, in the order of the file, by the rules of the list.
int TSatelliteList::AddElementText(std::shared_ptr<const std::string> Text, const std::string& FileName)
{
    TTextArena texts;
    TDeepSpaceStates deepStates;
    const std::string_view fileName = texts.Copy(FileNameOf(FileName));
    std::unique_ptr<TSatelliteBlock> block;
    {
        const std::vector<TSetLines> sets = FindElementSets(*Text);
        block = std::make_unique<TSatelliteBlock>(sets.size());
        SetUpSatellites(sets, *block, fileName, LoadThreads, texts, deepStates);
    }
    // Kept before any satellite becomes an entry, so that no entry can outlive what it views.
    texts.Keep(std::move(Text));
    Texts.Adopt(texts);
    DeepStates.Adopt(deepStates);
    Blocks.push_back(std::move(block));
    return Admit(*Blocks.back());
}

// The latest epoch wins among sets of the same name or catalogue number; at equal epochs the
// entry already listed stays.
int TSatelliteList::Admit(const TSatelliteBlock& Block)
{
    ByName.reserve(ByName.size() + Block.Size());
    ByCatalogue.reserve(ByCatalogue.size() + Block.Size());
    int decoded = 0;
    for (std::size_t i = 0; i < Block.Size(); ++i) {
        if (!Block.IsDecoded(i))
            continue;
        ++decoded;
        TSatellite& satellite = Block[i];
        const auto byNumber = ByCatalogue.find(&satellite);
        const auto byName = ByName.find(&satellite);
        if (byNumber == ByCatalogue.end() && byName == ByName.end()) {
            AddEntry(satellite);
            continue;
        }
        TSatellite& known = byNumber != ByCatalogue.end() ? **byNumber : **byName;
        if (satellite.EpochJulian > known.EpochJulian) {
            RemoveEntry(known);
            InsertSatellite(satellite);
        }
    }
    return decoded;
}

void TSatelliteList::InsertSatellite(TSatellite& S)
{
    // An entry of that name keeps its place; its satellite gives way to the new one.
    if (const auto entry = ByName.find(&S); entry != ByName.end())
        RemoveEntry(**entry);
    AddEntry(S);
}

// S's name and number have no entry.
void TSatelliteList::AddEntry(TSatellite& S)
{
    SortedValid = false;
    ByName.insert(&S);
    ByCatalogue.insert(&S);
}

// The satellite stays where it is, in its file's block; it is no entry any more.
void TSatelliteList::RemoveEntry(TSatellite& Satellite)
{
    SortedValid = false;
    ByCatalogue.erase(&Satellite);
    ByName.erase(&Satellite);
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
        for (TSatellite* entry : ByName)
            Sorted.push_back(SortKeyOf(*entry));
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
    const auto entry = ByName.find(std::string_view(UpperCase(Name)));
    return entry == ByName.end() ? -1 : PositionOf(**entry);
}

int TSatelliteList::IndexOfCatalogueNumber(std::string_view Number) const
{
    const std::optional<std::string> key = CatalogueKey(Number);
    if (!key)
        return -1;
    const auto entry = ByCatalogue.find(std::string_view(*key));
    return entry == ByCatalogue.end() ? -1 : PositionOf(**entry);
}

std::vector<TSatellite*> TSatelliteList::EverySet() const
{
    std::vector<TSatellite*> sets;
    for (const std::unique_ptr<TSatelliteBlock>& block : Blocks)
        for (std::size_t i = 0; i < block->Size(); ++i)
            if (block->IsDecoded(i))
                sets.push_back(&(*block)[i]);
    return sets;
}

TSatellite* TSatelliteList::GetSatellite(int Index) const
{
    return SortedIndex().at(static_cast<std::size_t>(Index)).Satellite;
}

std::string_view TSatelliteList::NameAt(int Index) const
{
    return GetSatellite(Index)->Name;
}

void TSatelliteList::Clear()
{
    ByCatalogue.clear();
    ByName.clear();
    Sorted.clear();
    SortedValid = true;
    Blocks.clear();
    DeepStates.Clear();
    Texts.Clear();
    UnwritableSets = 0;
    UnreadableSets = 0;
}

} // namespace elsetry
