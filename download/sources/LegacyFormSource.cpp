#include "download/sources/LegacyFormSource.h"

#include "download/sources/DownloadExchange.h"
#include "download/sources/RunStops.h"
#include "platform/Gunzip.h"

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

std::vector<std::string> TLegacyFormSource::GroupLines(TRunChannel& Channel, const TSpaceTrackGroup& Group)
{
    return Channel.GetGzipLines(Url(GroupPathPrefix) + std::to_string(Group.Id));
}

std::vector<std::string> TLegacyFormSource::IndividualListLines(TRunChannel& Channel,
                                                                const std::vector<std::string>& Numbers)
{
    std::vector<std::string> lines = BoundedLines(Channel.PostForm(Url(QueryPath), QueryForm(Numbers)));
    // An answer too short to hold the block of sets is not the list, whatever its status.
    if (lines.size() < 5)
        throw EGroupFailed("not element sets");
    TrimPreformattedBlock(lines);
    if (lines.size() <= 2)
        throw EGroupFailed("not element sets");
    return lines;
}

void TLegacyFormSource::LogOut(TRunChannel& Channel)
{
    Channel.GetText(Url(LogoutPath));
}

} // namespace elsetry
