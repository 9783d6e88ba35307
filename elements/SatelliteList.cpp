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
    std::vector<std::string_view> lines;
    return LoadFromFile(FileName, lines);
}

// A JSON file is read a piece at a time: the lines its sets make are all the list keeps of it.
int TSatelliteList::LoadFromFile(const std::string& FileName, std::vector<std::string_view>& ElementLines)
{
    ElementLines.clear();
    if (!FileExists(FileName))
        return 0;
    {
        TFileReader file(FileName);
        std::string start;
        if (file.Read(start, FirstPieceSize) && ElementTextFormOf(start) == TElementTextForm::OmmJson) {
            TJsonListPieces pieces(
                std::move(start), [&file](std::string& Text, std::size_t Bytes) { return file.Read(Text, Bytes); },
                file.Size());
            if (std::optional<TOmmElementSets> sets = OmmJsonElementSetsInPieces(pieces, LoadThreads))
                return AddOmmSets(std::move(*sets), FileName, ElementLines);
        }
    }
    return AddText(std::make_shared<const std::string>(ReadWholeFile(FileName)), FileName, &ElementLines);
}

int TSatelliteList::LoadFromText(std::string Text, const std::string& FileName)
{
    return AddText(std::make_shared<const std::string>(std::move(Text)), FileName);
}

int TSatelliteList::LoadFromText(std::shared_ptr<const std::string> Text, const std::string& FileName)
{
    return AddText(std::move(Text), FileName);
}

int TSatelliteList::LoadFromText(std::shared_ptr<const std::string> Text, const std::string& FileName,
                                 std::vector<std::string_view>& ElementLines)
{
    ElementLines.clear();
    return AddText(std::move(Text), FileName, &ElementLines);
}

// Sets in the CSV or JSON form go through the element lines they make, so that they load
// exactly as the same sets written as an element file.
int TSatelliteList::AddText(std::shared_ptr<const std::string> Text, const std::string& FileName,
                            std::vector<std::string_view>* ElementLines)
{
    const TElementTextForm form = ElementTextFormOf(*Text);
    if (form == TElementTextForm::ElementLines) {
        if (ElementLines)
            *ElementLines = {*Text};
        return AddElementText(std::move(Text), FileName);
    }
    TOmmElementSets sets = OmmElementSets(*Text, form, LoadThreads);
    Text.reset();
    std::vector<std::string_view> lines;
    return AddOmmSets(std::move(sets), FileName, ElementLines ? *ElementLines : lines);
}

int TSatelliteList::AddOmmSets(TOmmElementSets Sets, const std::string& FileName,
                               std::vector<std::string_view>& ElementLines)
{
    ElementLines = Sets.Runs;
    UnwritableSets += Sets.SkippedUnwritable;
    UnreadableSets += Sets.SkippedUnreadable;
    return AddSets(std::move(Sets.Sets), std::move(Sets.Pieces), FileName);
}

int TSatelliteList::AddElementText(std::shared_ptr<const std::string> Text, const std::string& FileName)
{
    std::vector<TSetLines> sets = FindElementSets(*Text);
    return AddSets(std::move(sets), {std::move(Text)}, FileName);
}

// The sets are set up first, all at once and on every core; then they become entries one after
// the other, in the order of the file, by the rules of the list.
int TSatelliteList::AddSets(std::vector<TSetLines> Sets, std::vector<std::shared_ptr<const std::string>> SetTexts,
                            const std::string& FileName)
{
    TTextArena texts;
    TDeepSpaceStates deepStates;
    const std::string_view fileName = texts.Copy(FileNameOf(FileName));
    std::unique_ptr<TSatelliteBlock> block;
    {
        const std::vector<TSetLines> sets = std::move(Sets);
        block = std::make_unique<TSatelliteBlock>(sets.size());
        SetUpSatellites(sets, *block, fileName, LoadThreads, texts, deepStates);
    }
    // Kept before any satellite becomes an entry, so that no entry can outlive what it views.
    for (std::shared_ptr<const std::string>& text : SetTexts)
        texts.Keep(std::move(text));
    Texts.Adopt(texts);
    DeepStates.Adopt(deepStates);
    Blocks.push_back(std::move(block));
    return Admit(*Blocks.back());
}

// By the rules of the list (AdmitEntry, SatelliteIndex.h).
int TSatelliteList::Admit(const TSatelliteBlock& Block)
{
    ByName.reserve(ByName.size() + Block.Size());
    ByCatalogue.reserve(ByCatalogue.size() + Block.Size());
    int decoded = 0;
    for (std::size_t i = 0; i < Block.Size(); ++i) {
        if (!Block.IsDecoded(i))
            continue;
        ++decoded;
        if (AdmitEntry(Block[i], ByName, ByCatalogue))
            SortedValid = false;
    }
    return decoded;
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
