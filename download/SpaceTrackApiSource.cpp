#include "download/SpaceTrackApiSource.h"

#include "download/ApiQueries.h"
#include "download/GroupFailure.h"
#include "text/CatalogueNumber.h"
#include "text/Strings.h"

#include <unordered_set>

namespace elsetry {

namespace {

constexpr const char* RateLimitText =
    "Space-Track says its query rate limit was passed; the run stops here and nothing more is asked for";

std::string Seconds(std::chrono::milliseconds Time)
{
    return std::to_string((Time.count() + 999) / 1000) + " s";
}

// The service answers a refused login with status 200 and {"Login":"Failed"}.
bool SaysLoginFailed(std::string_view Body)
{
    std::string folded = LowerCase(Body.substr(0, EHttpError::BodyBytes));
    std::erase_if(folded, [](char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; });
    return folded.find("\"login\":\"failed\"") != std::string::npos;
}

// Each number once, as a value, in the list's order.
std::vector<long> QueryNumbers(const std::vector<std::string>& Numbers)
{
    std::vector<long> values;
    std::unordered_set<long> seen;
    for (const std::string& number : Numbers)
        if (const std::optional<int> value = CatalogueNumberValue(Trim(number)))
            if (seen.insert(*value).second)
                values.push_back(*value);
    return values;
}

} // namespace

TSpaceTrackApiSource::TSpaceTrackApiSource(std::string ServiceAddress, std::string CelesTrak, TRunClock& RunClock,
                                           TUsageRules Rules, const std::string& StorePath)
    : Address(std::move(ServiceAddress)), CelesTrakAddress(std::move(CelesTrak)), Clock(RunClock),
      Ledger(StorePath, Rules), Membership(RunClock, StorePath)
{
}

std::string TSpaceTrackApiSource::Url(std::string_view Path) const
{
    return Address + std::string(Path);
}

std::string TSpaceTrackApiSource::LoginUrl() const
{
    return Url(ApiLoginPath);
}

// The logout path answers with or without a session, so asking for it tells only that the
// service is there.
void TSpaceTrackApiSource::Probe(TRunChannel& Channel)
{
    try {
        Admit(Channel);
    } catch (const EUsageLimitReached& Limit) {
        throw ERunStopped(Limit.what());
    }
    Channel.GetText(Url(ApiLogoutPath));
}

bool TSpaceTrackApiSource::LogIn(TRunChannel& Channel, const std::string& User, const std::string& Secret)
{
    Username = User;
    Password = Secret;
    try {
        Admit(Channel);
    } catch (const EUsageLimitReached& Limit) {
        throw ERunStopped(Limit.what());
    }
    return SendLogin(Channel);
}

// A session is open when the answer does not say the login failed and the session cookie came.
bool TSpaceTrackApiSource::SendLogin(TRunChannel& Channel)
{
    const std::string answer = Channel.PostForm(LoginUrl(), {{"identity", Username}, {"password", Password}});
    return !SaysLoginFailed(answer) && Channel.HasCookie(std::string(ApiSessionCookie));
}

std::vector<std::string> TSpaceTrackApiSource::GroupLines(TRunChannel& Channel, const TSpaceTrackGroup& Group)
{
    const TApiGroup& way = ApiGroupOf(Group.Id);
    if (way.FullCatalogue)
        RefuseEarlyFullCatalogue();
    std::vector<std::string> filters(way.Filters.begin(), way.Filters.end());
    if (!way.CelesTrakGroup.empty())
        filters = NumberListFilters(Membership.Numbers(Channel, CelesTrakAddress, way.CelesTrakGroup));
    std::vector<std::string> lines = QueriedLines(Channel, filters);
    if (way.FullCatalogue)
        Ledger.RecordFullCatalogue(Clock.Now());
    return lines;
}

std::vector<std::string> TSpaceTrackApiSource::IndividualListLines(TRunChannel& Channel,
                                                                   const std::vector<std::string>& Numbers)
{
    const std::vector<long> numbers = QueryNumbers(Numbers);
    if (numbers.empty())
        throw EGroupFailed("no catalogue numbers");
    return QueriedLines(Channel, NumberListFilters(numbers));
}

void TSpaceTrackApiSource::LogOut(TRunChannel& Channel)
{
    try {
        Admit(Channel);
    } catch (const EUsageLimitReached& Limit) {
        // The session then ends on the service's side in its own time.
        throw EHttpError(std::string("not sent: ") + Limit.what());
    }
    Channel.GetText(Url(ApiLogoutPath));
}

std::vector<std::string> TSpaceTrackApiSource::QueriedLines(TRunChannel& Channel,
                                                            const std::vector<std::string>& Filters)
{
    std::vector<std::vector<std::string>> answers;
    for (const std::string& filters : Filters)
        answers.push_back(ThreeLineElementLines(Query(Channel, filters)));
    std::vector<std::string> lines = answers.size() == 1 ? std::move(answers.front()) : MergedSetLines(answers);
    if (lines.empty())
        throw EGroupFailed("no element sets");
    return lines;
}

std::string TSpaceTrackApiSource::Query(TRunChannel& Channel, const std::string& Filters)
{
    const std::string url = Url(EscapedPath(GpQueryPath(Filters)));
    for (bool retried = false;; retried = true) {
        Admit(Channel);
        try {
            std::string body = Channel.GetText(url);
            if (IsRateLimitAnswer(body))
                throw ERunStopped(RateLimitText);
            return body;
        } catch (const EHttpError& Error) {
            if (IsRateLimitAnswer(Error.Body()))
                throw ERunStopped(RateLimitText);
            if (Error.Status() != 401 || retried)
                throw;
        }
        Channel.Note("   Space-Track session lapsed, logging in again");
        Admit(Channel);
        if (!SendLogin(Channel))
            throw EGroupFailed("the session lapsed and the new login was refused");
    }
}

void TSpaceTrackApiSource::Admit(TRunChannel& Channel)
{
    for (;;) {
        const TAdmission admission = Ledger.Admit(Clock.Now());
        if (admission.Kind == TAdmission::TKind::Now)
            return;
        if (admission.Kind == TAdmission::TKind::Refused)
            throw EUsageLimitReached("Space-Track allows " + admission.Limit + "; the next request may go at "
                                     + TimeOfDayText(Clock.Now() + admission.Wait));
        Channel.Note("   Waiting " + Seconds(admission.Wait) + " (Space-Track allows " + admission.Limit + ")");
        Channel.Wait(Clock, admission.Wait);
    }
}

void TSpaceTrackApiSource::RefuseEarlyFullCatalogue()
{
    const std::optional<TRunClock::TTime> last = Ledger.LastFullCatalogue();
    if (last && Clock.Now() - *last < Ledger.Rules().FullCatalogueSpacing)
        throw EGroupSkipped("Space-Track asks for the full catalogue at most once an hour; last fetched "
                            + TimeOfDayText(*last));
}

} // namespace elsetry
