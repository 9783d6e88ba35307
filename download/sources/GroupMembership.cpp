#include "download/sources/GroupMembership.h"

#include "download/sources/RunStops.h"
#include "download/sources/KeptValues.h"
#include "elements/CsvParser.h"
#include "platform/HttpClient.h"
#include "settings/RegistryVariables.h"
#include "text/Strings.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <utility>

namespace elsetry {

namespace {

constexpr const char* NotMembershipList = "not a membership list";
constexpr long LargestListedNumber = 999999999; // CelesTrak's analyst numbers have nine digits
constexpr std::chrono::seconds ReadTimeTolerance{1};

// Whole-text catalogue number: digits only, 1 to LargestListedNumber.
std::optional<long> ListedNumber(std::string_view Text)
{
    const std::optional<std::int64_t> value = Text == Trim(Text) ? KeptNumber(Text) : std::nullopt;
    if (!value || *value < 1 || *value > LargestListedNumber)
        return std::nullopt;
    return static_cast<long>(*value);
}

// Collects the NORAD_CAT_ID column while libcsv reads the text. Nothing may be thrown through
// libcsv's C frames, so a fault is only noted here and raised once parsing is over.
struct TMembershipReader {
    std::vector<long> Numbers;
    bool HeaderDone = false;
    std::optional<std::size_t> Column;
    std::size_t Field = 0;
    bool RowHasNumber = false;
    bool Bad = false;

    void OnField(std::string_view Text)
    {
        if (!HeaderDone) {
            if (!Column && SameText(Text, "NORAD_CAT_ID"))
                Column = Field;
        } else if (Field == Column) {
            const std::optional<long> number = ListedNumber(Text);
            if (number)
                Numbers.push_back(*number);
            Bad = Bad || !number;
            RowHasNumber = true;
        }
        ++Field;
    }
    void OnRowEnd()
    {
        if (!HeaderDone)
            Bad = Bad || !Column;
        else
            Bad = Bad || !RowHasNumber;
        HeaderDone = true;
        Field = 0;
        RowHasNumber = false;
    }
};

std::string GroupsKey()
{
    return ProgramKeyPath() + "\\CelesTrakGroups";
}

std::string ReadValueName(std::string_view Group)
{
    return std::string(Group) + "Read";
}

struct TKeptMembership {
    std::vector<long> Numbers;
    std::optional<TRunClock::TTime> Read;
};

// The kept numbers, those that are not catalogue numbers left out.
std::vector<long> NumbersOfList(std::string_view Text)
{
    std::vector<long> numbers;
    for (const std::int64_t number : KeptNumbers(Text))
        if (const std::optional<long> listed = ListedNumber(std::to_string(number)))
            numbers.push_back(*listed);
    return numbers;
}

TKeptMembership ReadKept(const std::string& StoreFile, std::string_view Group)
{
    TSqliteSettingsStore store(StoreFile);
    return {NumbersOfList(KeptText(store, GroupsKey(), std::string(Group))),
            KeptTime(KeptText(store, GroupsKey(), ReadValueName(Group)))};
}

void Keep(const std::string& StoreFile, std::string_view Group, const std::vector<long>& Numbers, TRunClock::TTime Read)
{
    TSqliteSettingsStore store(StoreFile);
    store.InTransaction([&] {
        store.OpenKey(GroupsKey(), true);
        store.WriteString(std::string(Group), NumberListText(std::vector<std::int64_t>(Numbers.begin(), Numbers.end())));
        store.WriteString(ReadValueName(Group), TimeText(Read));
    });
}

// The host of an address, with its port when one is given: "celestrak.org" of
// "https://celestrak.org/x", so that a failure says which service it could not reach.
std::string HostOf(std::string_view Address)
{
    if (const std::size_t scheme = Address.find("://"); scheme != std::string_view::npos)
        Address.remove_prefix(scheme + 3);
    Address = Address.substr(0, Address.find_first_of("/?#"));
    if (const std::size_t at = Address.rfind('@'); at != std::string_view::npos)
        Address.remove_prefix(at + 1);
    return std::string(Address);
}

} // namespace

std::vector<long> CsvCatalogueNumbers(std::string_view Csv)
{
    // A byte order mark is no field name.
    if (Csv.starts_with("\xEF\xBB\xBF"))
        Csv.remove_prefix(3);
    TMembershipReader reader;
    if (!TCsvParser<TMembershipReader>().Read(Csv, reader) || reader.Bad)
        throw EGroupFailed(NotMembershipList);
    return std::move(reader.Numbers);
}

TGroupMembership::TGroupMembership(TRunClock& RunClock, std::string StorePath, std::chrono::minutes Refresh)
    : Clock(RunClock), StoreFile(std::move(StorePath)), RefreshAfter(Refresh), Ledger(StoreFile)
{
}

std::vector<long> TGroupMembership::Numbers(TRunChannel& Channel, const std::string& Address, std::string_view Group)
{
    const TKeptMembership kept = ReadKept(StoreFile, Group);
    const TRunClock::TTime now = Clock.Now();
    // A read time ahead of now means the clock was set back; the list is read again then.
    if (!kept.Numbers.empty() && kept.Read && *kept.Read <= now + ReadTimeTolerance && now - *kept.Read < RefreshAfter)
        return kept.Numbers;

    std::string reason;
    try {
        std::vector<long> numbers = CsvCatalogueNumbers(CountedGet(
            Ledger, Clock, Channel, Address + "/NORAD/elements/gp.php?GROUP=" + std::string(Group) + "&FORMAT=csv"));
        if (!numbers.empty()) {
            Keep(StoreFile, Group, numbers, now);
            return numbers;
        }
        reason = "no members";
    } catch (const EHttpError& Error) {
        reason = Error.what();
    } catch (const EGroupFailed& Error) {
        reason = Error.what();
    }
    if (kept.Numbers.empty())
        throw EGroupFailed("membership unavailable from " + EscapeControls(HostOf(Address)) + ": "
                           + EscapeControls(reason));
    Channel.Note("   Membership of " + EscapeControls(Group) + " from CelesTrak unavailable (" + EscapeControls(reason)
                 + "), using the one read " + (kept.Read ? DateTimeText(*kept.Read) : "at an unknown time"));
    return kept.Numbers;
}

} // namespace elsetry
