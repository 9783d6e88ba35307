// The HTTP client against the stand-in service: what counts as a failure, redirects, bounds.

#include "download/DownloadExchange.h"
#include "platform/HttpClient.h"
#include "tests/download/DownloadSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace elsetry::test {
namespace {

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        World.ServeGroup(2, Catalogue(10));
        World.ServeGroup(4, Catalogue(3));
        Client.PostForm(Url("/perl/login.pl"), LoginForm("observer", "secret"));
    }
    std::string Url(const std::string& Path) const { return World.Service->Address() + Path; }
    std::string GroupFour() const { return service::GzipText(LfText(Catalogue(3))); }

    TDownloadWorld World;
    THttpClient Client;
};

TEST_F(HttpClientTest, RedirectsAreFollowedOnTheSameServiceOnly)
{
    TDownloadWorld other;
    other.ServeGroup(4, Catalogue(3));
    const std::pair<std::string, bool> cases[] = {
        {"/perl/dl.pl?ID=4", true},
        {Url("/perl/dl.pl?ID=4"), true},
        {other.Service->Address() + "/perl/dl.pl?ID=4", false},
        {"http://localhost:" + std::to_string(World.Service->Port()) + "/perl/dl.pl?ID=4", false},
    };
    for (const auto& [location, followed] : cases) {
        SCOPED_TRACE(location);
        service::TServiceFaults faults;
        faults.RedirectedGroups = {{2, location}};
        World.Service->SetFaults(faults);
        if (followed) {
            EXPECT_EQ(Client.GetText(Url("/perl/dl.pl?ID=2")), GroupFour());
        } else {
            EXPECT_THROW(Client.GetText(Url("/perl/dl.pl?ID=2")), EHttpError);
        }
    }
    EXPECT_TRUE(other.Service->Requests().empty());
}

TEST_F(HttpClientTest, FailuresRaiseAndLeaveNoErrorPageInTheFile)
{
    struct TCase {
        const char* What;
        std::string Path;
        void (*Fault)(service::TServiceFaults&);
    };
    const TCase cases[] = {
        {"error status", "/perl/dl.pl?ID=2", [](service::TServiceFaults& F) { F.ErrorGroups = {2}; }},
        {"no such group", "/perl/dl.pl?ID=99", [](service::TServiceFaults&) {}},
        {"no route", "/elsewhere", [](service::TServiceFaults&) {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        service::TServiceFaults faults;
        c.Fault(faults);
        World.Service->SetFaults(faults);
        const std::string path = World.Root.Path + "/answer";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_THROW(Client.GetToFile(Url(c.Path), fd), EHttpError);
        ::close(fd);
        EXPECT_EQ(ReadWholeFile(path), "");
    }
}

TEST_F(HttpClientTest, AnswersAreBounded)
{
    Client.SetMaxAnswerBytes(GroupFour().size() - 1);
    EXPECT_THROW(Client.GetText(Url("/perl/dl.pl?ID=4")), EHttpError);
    Client.SetMaxAnswerBytes(GroupFour().size());
    EXPECT_EQ(Client.GetText(Url("/perl/dl.pl?ID=4")), GroupFour());
}

TEST_F(HttpClientTest, CutOrStalledAnswerFails)
{
    service::TServiceFaults faults;
    faults.CutGroups = {2};
    faults.StalledGroups = {4};
    faults.StallTime = std::chrono::milliseconds(4000);
    faults.CutQuery = true;
    World.Service->SetFaults(faults);
    Client.SetReadTimeout(1000);
    EXPECT_THROW(Client.GetText(Url("/perl/dl.pl?ID=2")), EHttpError);
    EXPECT_THROW(Client.PostForm(Url("/perl/id_query.pl"), QueryForm({"1"})), EHttpError);
    try {
        Client.GetText(Url("/perl/dl.pl?ID=4"));
        ADD_FAILURE() << "a stalled answer was taken";
    } catch (const EHttpError& Error) {
        EXPECT_STREQ(Error.what(), "Read timed out.");
    }
}

} // namespace
} // namespace elsetry::test
