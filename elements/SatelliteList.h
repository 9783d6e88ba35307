#pragma once
// A name-sorted list of satellites loaded from element files: one entry per name and per
// catalogue number, the element set with the latest epoch winning.

#include "elements/DeepSpaceStates.h"
#include "elements/OmmElementText.h"
#include "elements/Satellite.h"
#include "elements/SatelliteBlock.h"
#include "elements/SatelliteIndex.h"
#include "elements/SatelliteSetup.h"
#include "elements/TextArena.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

class TSatelliteList {
public:
    // An empty list that belongs to no folder.
    TSatelliteList();
    // Loads every element file of Folder ("*.2li", "*.tle", "*.txt") and then its notes file,
    // on Threads threads as SetLoadThreads sets them. A folder that does not exist gives an
    // empty list.
    explicit TSatelliteList(const std::string& Folder, unsigned Threads = 0);
    ~TSatelliteList();
    TSatelliteList(const TSatelliteList&) = delete;
    TSatelliteList& operator=(const TSatelliteList&) = delete;

    // Adds the element sets of one file; a missing file is ignored, an unreadable one raises
    // EFileError and leaves the list as it was. Gives the number of the file's sets that were
    // accepted and decoded, whether or not a set of the same name or number with a later epoch
    // then took their place.
    // A file of sets in the CSV or JSON form (see ElementTextFormOf) loads as the element file
    // its sets make; one that is not that form as a whole raises EOmmFormat and leaves the list
    // as it was.
    int LoadFromFile(const std::string& FileName);
    // The same; ElementLines as LoadFromText gives them.
    int LoadFromFile(const std::string& FileName, std::vector<std::string_view>& ElementLines);
    // The same for a file's text already in memory, its sets recorded as read from FileName.
    int LoadFromText(std::string Text, const std::string& FileName);
    // The same for a text that others view too; the list keeps it as long as it needs it.
    int LoadFromText(std::shared_ptr<const std::string> Text, const std::string& FileName);
    // The same; ElementLines is then the element text the sets were read from, for a check that
    // reads it: Text itself, or for a text of sets in the CSV or JSON form the element lines its
    // sets make (as OmmElementText writes them) in runs of whole sets, one after the other. They
    // view what the list keeps.
    int LoadFromText(std::shared_ptr<const std::string> Text, const std::string& FileName,
                     std::vector<std::string_view>& ElementLines);
    // Sets of CSV and JSON files passed over since the list was made or cleared: those whose
    // catalogue number element lines cannot hold (past LargestElementLineNumber), and those with
    // a field that does not read.
    int SkippedUnwritable() const { return UnwritableSets; }
    int SkippedUnreadable() const { return UnreadableSets; }
    int Count() const;
    // Index of the entry named Name (letter case ignored), or -1.
    int IndexOf(std::string_view Name) const;
    // Index of the entry whose catalogue number equals Number upper-cased when Number has five
    // characters ("25544", " 1234", "E8493", "e8493"), or whose letter-form number has the value
    // of a longer Number in digits ("148493" finds "E8493"). -1 when there is none.
    int IndexOfCatalogueNumber(std::string_view Number) const;
    TSatellite* GetSatellite(int Index) const;
    // Every set decoded since the list was made or cleared, in the order of the files and their
    // lines: the entries and the sets whose name or number a later epoch took.
    std::vector<TSatellite*> EverySet() const;
    std::string_view NameAt(int Index) const;
    void Clear();

    const std::string& Folder() const { return FolderText; }

    // Threads that set up the orbit models of a file's sets; 0, the default, is one for every
    // core of the machine. The list and its order are the same whatever the count.
    void SetLoadThreads(unsigned Count) { LoadThreads = Count; }

private:
    // Name-order position of an entry: its name's first 24 bytes as three big-endian words,
    // so that sorting compares integers in a compact array instead of following pointers.
    struct TSortKey {
        std::uint64_t Prefix[3];
        TSatellite* Satellite;
    };

    int AddText(std::shared_ptr<const std::string> Text, const std::string& FileName,
                std::vector<std::string_view>* ElementLines = nullptr);
    int AddElementText(std::shared_ptr<const std::string> Text, const std::string& FileName);
    int AddOmmSets(TOmmElementSets Sets, const std::string& FileName, std::vector<std::string_view>& ElementLines);
    int AddSets(std::vector<TSetLines> Sets, std::vector<std::shared_ptr<const std::string>> SetTexts,
                const std::string& FileName);
    int Admit(const TSatelliteBlock& Block);
    void ReadNotes(const std::string& FileName);
    const std::vector<TSortKey>& SortedIndex() const;
    int PositionOf(TSatellite& Satellite) const;
    static TSortKey SortKeyOf(TSatellite& Satellite);
    static bool SortsBefore(const TSortKey& A, const TSortKey& B);

    std::string FolderText;
    // What the satellites view, and the satellites of every file read, entries or not.
    TTextArena Texts;
    std::vector<std::unique_ptr<TSatelliteBlock>> Blocks;
    TDeepSpaceStates DeepStates;
    // Entries by name and by catalogue number. Names are stored upper-cased, so folding a name
    // finds its entry. Names and catalogue numbers are unique across entries.
    TNameIndex ByName;
    TCatalogueIndex ByCatalogue;
    // Entries in name order, rebuilt after a change on the first look-up by index.
    mutable std::vector<TSortKey> Sorted;
    mutable bool SortedValid = true;
    int UnwritableSets = 0;
    int UnreadableSets = 0;
    unsigned LoadThreads = 0;
    // Of a file, read to tell its form.
    static constexpr std::size_t FirstPieceSize = 1 << 16;
};

} // namespace elsetry
