#include "download/sources/SpaceTrackApiSource.h"

#include "download/sources/ApiQueries.h"
#include "download/sources/FavouritesList.h"
#include "download/sources/RunStops.h"
#include "text/Strings.h"

#include <algorithm>

namespace elsetry {

namespace {

constexpr const char* StopsHereText = "the run stops here and nothing more is asked for";
constexpr std::chrono::hours LongestHold{24};
constexpr const char* RateLimitCause = "Space-Track's query rate limit was passed";
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

// Counts the request as it leaves, for as long as it is under way.
class TSendingHook {
public:
    TSendingHook(TRunChannel& Channel, THttpClient::TSending Hook) : Target(Channel)
    {
        Target.SetSending(std::move(Hook));
    }
    ~TSendingHook() { Target.SetSending(nullptr); }
    TSendingHook(const TSendingHook&) = delete;
    TSendingHook& operator=(const TSendingHook&) = delete;

private:
    TRunChannel& Target;
};

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
        Send(Channel, [&] { return Channel.GetText(Url(ApiLogoutPath)); });
    } catch (const EUsageLimitReached& Limit) {
        throw ERunStopped(Limit.what());
    }
}

bool TSpaceTrackApiSource::LogIn(TRunChannel& Channel, const std::string& User, const std::string& Secret)
{
    Username = User;
    Password = Secret;
    try {
        return SendLogin(Channel);
    } catch (const EUsageLimitReached& Limit) {
        throw ERunStopped(Limit.what());
    }
}

// A session is open when the answer does not say the login failed and the session cookie came.
bool TSpaceTrackApiSource::SendLogin(TRunChannel& Channel)
{
    const std::string answer = Send(
        Channel, [&] { return Channel.PostForm(LoginUrl(), {{"identity", Username}, {"password", Password}}); });
    return !SaysLoginFailed(answer) && Channel.HasCookie(std::string(ApiSessionCookie));
}

TSourceAnswer TSpaceTrackApiSource::GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm Form)
{
    if (Group.FullCatalogue)
        if (std::optional<std::string> early = EarlyFullCatalogue())
            return TSourceAnswer::Skipped(std::move(*early));
    std::vector<std::string> filters;
    for (const std::string_view filter : Group.ApiFilters)
        if (!filter.empty())
            filters.emplace_back(filter);
    if (!Group.Membership.empty())
        filters = NumberListFilters(Membership.Numbers(Channel, CelesTrakAddress, Group.Membership));
    TSourceAnswer answer = QueriedSets(Channel, filters, OmmKindFor(Form));
    // Counted once its sets came, whatever the check makes of them.
    if (Group.FullCatalogue && answer.Outcome == TAnswerOutcome::Lines)
        Ledger.RecordFullCatalogue(Clock.Now());
    return answer;
}

TSourceAnswer TSpaceTrackApiSource::IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                                         TFileForm Form)
{
    const TListNumbers numbers = ListNumbers(Numbers);
    std::vector<long> asked = numbers.Writable;
    // The CSV and JSON answers carry objects past element lines, which such a file keeps.
    const TOmmKind kind = OmmKindFor(Form);
    if (kind != TOmmKind::None)
        asked.insert(asked.end(), numbers.PastElementLines.begin(), numbers.PastElementLines.end());
    else if (!numbers.PastElementLines.empty())
        Channel.Note(PastElementLinesNote(numbers.PastElementLines));
    if (asked.empty())
        return TSourceAnswer::Failed("no catalogue numbers");
    TSourceAnswer answer = QueriedSets(Channel, NumberListFilters(asked), kind);
    if (kind == TOmmKind::None)
        answer.NotAsked = numbers.PastElementLines;
    return answer;
}

void TSpaceTrackApiSource::LogOut(TRunChannel& Channel)
{
    // Not sent, the session ends on the service's side in its own time.
    try {
        Send(Channel, [&] { return Channel.GetText(Url(ApiLogoutPath)); });
    } catch (const EUsageLimitReached& Limit) {
        throw EHttpError(std::string("not sent: ") + Limit.what());
    } catch (const ERunStopped& Stop) {
        throw EHttpError(std::string("not sent: ") + Stop.what());
    }
}

TSourceAnswer TSpaceTrackApiSource::QueriedSets(TRunChannel& Channel, const std::vector<std::string>& Filters,
                                                TOmmKind Kind)
{
    if (std::optional<std::string> tooMany = MoreThanTheHourAllows(Filters.size()))
        return TSourceAnswer::Failed(std::move(*tooMany));
    std::vector<std::vector<std::string>> answers;
    std::string omm;
    std::size_t pastElementLines = 0;
    for (const std::string& filters : Filters) {
        std::optional<std::string> body = Query(Channel, filters, Kind);
        if (!body)
            return TSourceAnswer::Failed("the session lapsed and the new login was refused");
        if (Kind == TOmmKind::None) {
            answers.push_back(ThreeLineElementLines(*body));
            continue;
        }
        answers.push_back(OmmAnswerLines(*body, Kind, &pastElementLines));
        AppendOmmAnswer(omm, std::move(*body), Kind);
    }
    std::vector<std::string> lines = answers.size() == 1 ? std::move(answers.front()) : MergedSetLines(answers);
    // Objects past element lines are sets of the OMM text alone; the save judges them.
    if (lines.empty() && pastElementLines == 0)
        return TSourceAnswer::Failed("no element sets");
    TSourceAnswer answer = TSourceAnswer::Sets(std::move(lines));
    if (Kind != TOmmKind::None) {
        answer.OmmText = std::move(omm);
        answer.OmmKind = Kind;
    }
    return answer;
}

std::optional<std::string> TSpaceTrackApiSource::Query(TRunChannel& Channel, const std::string& Filters, TOmmKind Kind)
{
    const std::string url = Url(EscapedPath(GpQueryPath(Filters, Kind)));
    for (bool retried = false;; retried = true) {
        try {
            std::string body = Send(Channel, [&] { return Channel.GetText(url); });
            if (IsRateLimitAnswer(body))
                throw ERunStopped(RateLimitText, RateLimitCause);
            return body;
        } catch (const EHttpError& Error) {
            if (IsRateLimitAnswer(Error.Body()))
                throw ERunStopped(RateLimitText, RateLimitCause);
            if (Error.Status() != 401 || retried)
                throw;
        }
        Channel.Note("   Space-Track session lapsed, logging in again");
        if (!SendLogin(Channel))
            return std::nullopt;
    }
}

TRunClock::TTime TSpaceTrackApiSource::Admit(TRunChannel& Channel)
{
    for (;;) {
        const TRunClock::TTime now = Clock.Now();
        const TAdmission admission = Ledger.Admit(now);
        if (admission.Kind == TAdmission::TKind::Now)
            return now;
        if (admission.Kind == TAdmission::TKind::Held)
            throw ERunStopped("Space-Track asked for no request before " + TimeOfDayText(now + admission.Wait)
                                  + "; nothing is sent to it until then",
                              "Space-Track asked for no request before " + TimeOfDayText(now + admission.Wait));
        if (admission.Kind == TAdmission::TKind::Refused)
            throw EUsageLimitReached("Space-Track allows " + admission.Limit + "; the next request may go at "
                                     + TimeOfDayText(Clock.Now() + admission.Wait));
        Channel.Note("   Waiting " + Seconds(admission.Wait) + " (Space-Track allows " + admission.Limit + ")");
        Channel.Wait(Clock, admission.Wait);
    }
}

std::string TSpaceTrackApiSource::Send(TRunChannel& Channel, const std::function<std::string()>& Request)
{
    const TRunClock::TTime admitted = Admit(Channel);
    const TSendingHook hook(Channel, [this, admitted] { Ledger.Sent(admitted, Clock.Now()); });
    try {
        return Request();
    } catch (const EHttpError& Error) {
        StopOnTooManyRequests(Error);
        throw;
    }
}

// A 429 always means the account asked too often; a 503 only when it says how long to wait.
void TSpaceTrackApiSource::StopOnTooManyRequests(const EHttpError& Error)
{
    const long status = Error.Status();
    if (status != 429 && status != 503)
        return;
    const TRunClock::TTime now = Clock.Now();
    const std::optional<TRunClock::TTime> until = RetryAfterTime(Error.RetryAfter(), now);
    if (!until && status != 429)
        return;
    const std::string answer = "HTTP " + std::to_string(status);
    if (!until)
        throw ERunStopped("Space-Track answered " + answer + " (too many requests); " + StopsHereText, answer);
    const TRunClock::TTime held = std::min(*until, now + LongestHold);
    Ledger.HoldUntil(held);
    throw ERunStopped("Space-Track answered " + answer + " and asks for no request before " + TimeOfDayText(held) + "; "
                          + StopsHereText,
                      answer + ", no request before " + TimeOfDayText(held));
}

// Queries the hour cannot take would be sent only to fail halfway, and use up the hour.
std::optional<std::string> TSpaceTrackApiSource::MoreThanTheHourAllows(std::size_t Queries)
{
    const int perHour = Ledger.Rules().PerHour;
    const std::string needs = "needs " + std::to_string(Queries) + " queries; Space-Track allows "
                              + std::to_string(perHour) + " an hour";
    if (Queries > static_cast<std::size_t>(perHour))
        return needs;
    if (const int room = Ledger.RoomInHour(Clock.Now()); Queries > static_cast<std::size_t>(room))
        return needs + ", " + std::to_string(room) + " of them left now";
    return std::nullopt;
}

std::optional<std::string> TSpaceTrackApiSource::EarlyFullCatalogue()
{
    const std::optional<TRunClock::TTime> last = Ledger.LastFullCatalogue();
    if (last && Clock.Now() - *last < Ledger.Rules().FullCatalogueSpacing)
        return "Space-Track asks for the full catalogue at most once an hour; last fetched " + TimeOfDayText(*last);
    return std::nullopt;
}

} // namespace elsetry
