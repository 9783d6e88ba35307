#include "download/sources/LegacyFormSource.h"

#include "download/sources/DownloadExchange.h"
#include "download/sources/FavouritesList.h"
#include "platform/Gunzip.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

namespace elsetry {

TLegacyFormSource::TLegacyFormSource(std::string ServiceAddress) : Address(std::move(ServiceAddress)) {}

std::string TLegacyFormSource::Url(std::string_view Path) const
{
    return Address + std::string(Path);
}

std::string TLegacyFormSource::LoginUrl() const
{
    return Url(LoginPath);
}

// The logout page answers with or without a session, so asking for it tells only that the service
// is there.
void TLegacyFormSource::Probe(TRunChannel& Channel)
{
    Channel.GetText(Url(LogoutPath));
}

bool TLegacyFormSource::LogIn(TRunChannel& Channel, const std::string& Username, const std::string& Password)
{
    return HoldsRefreshMarker(Channel.PostForm(LoginUrl(), LoginForm(Username, Password)));
}

TSourceAnswer TLegacyFormSource::GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm)
{
    return TSourceAnswer::Sets(Channel.GetGzipLines(Url(GroupPathPrefix) + std::to_string(Group.Id)));
}

TSourceAnswer TLegacyFormSource::IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                                      TFileForm)
{
    // The forms answer in element lines alone.
    const std::vector<long> past = ListNumbers(Numbers).PastElementLines;
    std::vector<std::string> writable = Numbers;
    std::erase_if(writable, [](const std::string& Number) {
        return ListNumberValue(Trim(Number)).value_or(0) > LargestCatalogueNumber;
    });
    if (!past.empty())
        Channel.Note(PastElementLinesNote(past));
    if (writable.empty())
        return TSourceAnswer::Failed("no catalogue numbers");
    std::vector<std::string> lines = BoundedLines(Channel.PostForm(Url(QueryPath), QueryForm(writable)));
    // An answer too short to hold the block of sets is not the list, whatever its status.
    if (lines.size() < 5)
        return TSourceAnswer::Failed("not element sets");
    TrimPreformattedBlock(lines);
    if (lines.size() <= 2)
        return TSourceAnswer::Failed("not element sets");
    TSourceAnswer answer = TSourceAnswer::Sets(std::move(lines));
    answer.NotAsked = past;
    return answer;
}

void TLegacyFormSource::LogOut(TRunChannel& Channel)
{
    Channel.GetText(Url(LogoutPath));
}

} // namespace elsetry
