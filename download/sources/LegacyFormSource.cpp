#include "download/sources/LegacyFormSource.h"

#include "download/sources/DownloadExchange.h"
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

TSourceAnswer TLegacyFormSource::GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm)
{
    return TSourceAnswer::Sets(Channel.GetGzipLines(Url(GroupPathPrefix) + std::to_string(Group.Id)));
}

TSourceAnswer TLegacyFormSource::IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                                      TFileForm)
{
    std::vector<std::string> lines = BoundedLines(Channel.PostForm(Url(QueryPath), QueryForm(Numbers)));
    // An answer too short to hold the block of sets is not the list, whatever its status.
    if (lines.size() < 5)
        return TSourceAnswer::Failed("not element sets");
    TrimPreformattedBlock(lines);
    if (lines.size() <= 2)
        return TSourceAnswer::Failed("not element sets");
    return TSourceAnswer::Sets(std::move(lines));
}

void TLegacyFormSource::LogOut(TRunChannel& Channel)
{
    Channel.GetText(Url(LogoutPath));
}

} // namespace elsetry
