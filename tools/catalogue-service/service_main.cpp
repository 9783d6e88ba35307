// elsetry-catalogue-service: the stand-in catalogue service as a program, for the demo and for
// trying the download run by hand. Prints its address, then serves until interrupted.

#include "tools/catalogue-service/CatalogueService.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>

using namespace elsetry::service;

namespace {

constexpr const char* Usage =
    "usage: elsetry-catalogue-service --data DIR [--port N] [--user NAME] [--password TEXT]\n"
    "         [--record FILE] [--cert PEM --key PEM] [--make-cert PEM KEY] [--demo-groups COUNT]\n"
    "         [--refuse-login] [--marker TEXT] [--error-group ID] [--cut-group ID] [--stall-group ID]\n"
    "         [--stall-ms MS] [--plain-group ID] [--corrupt-group ID] [--short-query]\n"
    "         [--cut-query] [--query-answers-all] [--odd-group ID KIND] [--trickle-group ID]\n"
    "         [--trickle-bytes N] [--trickle-ms MS]\n"
    "         [--session-queries N] [--rate-limit 500|list] [--celestrak] [--gp-update-window MINUTES]\n"
    "         [--gp-one-host] [--gp-error QUERY STATUS] [--gp-stall QUERY]\n";

struct TArguments {
    int Index;
    int Count;
    char** Values;

    bool More() const { return Index < Count; }
    std::string Next()
    {
        if (Index >= Count)
            throw std::invalid_argument("missing value");
        return Values[Index++];
    }
};

using TOptionReader = void (*)(TArguments&, TServiceOptions&);

int Number(TArguments& Arguments)
{
    return std::stoi(Arguments.Next());
}

TRateLimitAnswer RateLimitAnswer(const std::string& Form)
{
    if (Form == "500")
        return TRateLimitAnswer::ServerError;
    if (Form == "list")
        return TRateLimitAnswer::ErrorList;
    throw std::invalid_argument("--rate-limit takes 500 or list");
}

// The names "--odd-group ID KIND" takes.
const std::map<std::string, TOddBody> OddBodies{
    {"html", TOddBody::HtmlPage},         {"binary", TOddBody::BinaryBytes},
    {"newline-bomb", TOddBody::NewlineBomb}, {"future-epoch", TOddBody::FutureEpoch},
    {"cut-mid-line", TOddBody::CutMidLine}, {"half-then-garbage", TOddBody::HalfThenGarbage},
    {"one-set", TOddBody::OneSet},         {"bad-checksums", TOddBody::BadChecksums},
    {"crossed-lines", TOddBody::CrossedLines}, {"long-lines", TOddBody::LongLines},
    {"implausible", TOddBody::ImplausibleValues}, {"control-characters", TOddBody::ControlCharacters},
};

TOddBody OddBodyNamed(const std::string& Name)
{
    const auto body = OddBodies.find(Name);
    if (body == OddBodies.end())
        throw std::invalid_argument("--odd-group takes an ID and one of html, binary, newline-bomb, future-epoch, "
                                    "cut-mid-line, half-then-garbage, one-set, bad-checksums, crossed-lines, "
                                    "long-lines, implausible, control-characters");
    return body->second;
}

// Options are read in order: --demo-groups writes into the --data folder given before it.
const std::map<std::string, TOptionReader> OptionReaders{
    {"--data", [](TArguments& A, TServiceOptions& O) { O.DataFolder = A.Next(); }},
    {"--port", [](TArguments& A, TServiceOptions& O) { O.Port = Number(A); }},
    {"--user", [](TArguments& A, TServiceOptions& O) { O.Username = A.Next(); }},
    {"--password", [](TArguments& A, TServiceOptions& O) { O.Password = A.Next(); }},
    {"--record", [](TArguments& A, TServiceOptions& O) { O.RecordFile = A.Next(); }},
    {"--cert", [](TArguments& A, TServiceOptions& O) { O.CertificateFile = A.Next(); }},
    {"--key", [](TArguments& A, TServiceOptions& O) { O.KeyFile = A.Next(); }},
    {"--make-cert",
     [](TArguments& A, TServiceOptions&) {
         const std::string certificate = A.Next();
         MakeTestCertificate(certificate, A.Next());
     }},
    {"--demo-groups", [](TArguments& A, TServiceOptions& O) { WriteDemoGroups(O.DataFolder, Number(A)); }},
    {"--refuse-login", [](TArguments&, TServiceOptions& O) { O.Faults.RefuseLogin = true; }},
    {"--marker", [](TArguments& A, TServiceOptions& O) { O.Faults.LoginMarker = A.Next(); }},
    {"--error-group", [](TArguments& A, TServiceOptions& O) { O.Faults.ErrorGroups.insert(Number(A)); }},
    {"--cut-group", [](TArguments& A, TServiceOptions& O) { O.Faults.CutGroups.insert(Number(A)); }},
    {"--stall-group", [](TArguments& A, TServiceOptions& O) { O.Faults.StalledGroups.insert(Number(A)); }},
    {"--stall-ms", [](TArguments& A, TServiceOptions& O) { O.Faults.StallTime = std::chrono::milliseconds(Number(A)); }},
    {"--plain-group", [](TArguments& A, TServiceOptions& O) { O.Faults.PlainGroups.insert(Number(A)); }},
    {"--corrupt-group", [](TArguments& A, TServiceOptions& O) { O.Faults.CorruptGroups.insert(Number(A)); }},
    {"--short-query", [](TArguments&, TServiceOptions& O) { O.Faults.ShortQuery = true; }},
    {"--cut-query", [](TArguments&, TServiceOptions& O) { O.Faults.CutQuery = true; }},
    {"--query-answers-all", [](TArguments&, TServiceOptions& O) { O.Faults.QueryAnswersAll = true; }},
    {"--odd-group",
     [](TArguments& A, TServiceOptions& O) {
         const int id = Number(A);
         O.Faults.OddGroups[id] = OddBodyNamed(A.Next());
     }},
    {"--trickle-group", [](TArguments& A, TServiceOptions& O) { O.Faults.TrickledGroups.insert(Number(A)); }},
    {"--trickle-bytes",
     [](TArguments& A, TServiceOptions& O) { O.Faults.TrickleBytes = static_cast<std::size_t>(Number(A)); }},
    {"--trickle-ms",
     [](TArguments& A, TServiceOptions& O) { O.Faults.TricklePause = std::chrono::milliseconds(Number(A)); }},
    {"--celestrak", [](TArguments&, TServiceOptions& O) { O.CelesTrakGroups = true; }},
    {"--gp-update-window",
     [](TArguments& A, TServiceOptions& O) { O.GpUpdateWindow = std::chrono::minutes(Number(A)); }},
    {"--gp-one-host", [](TArguments&, TServiceOptions& O) { O.GpOneHost = true; }},
    {"--gp-error",
     [](TArguments& A, TServiceOptions& O) {
         const std::string query = A.Next();
         O.Faults.GpErrors[query] = Number(A);
     }},
    {"--gp-stall", [](TArguments& A, TServiceOptions& O) { O.Faults.GpStalls.insert(A.Next()); }},
    {"--session-queries", [](TArguments& A, TServiceOptions& O) { O.Faults.SessionQueries = Number(A); }},
    {"--rate-limit", [](TArguments& A, TServiceOptions& O) { O.Faults.RateLimit = RateLimitAnswer(A.Next()); }},
};

void ReadOption(const std::string& Option, TArguments& Arguments, TServiceOptions& Options)
{
    const auto reader = OptionReaders.find(Option);
    if (reader == OptionReaders.end())
        throw std::invalid_argument("unknown option " + Option);
    reader->second(Arguments, Options);
}

} // namespace

int main(int argc, char** argv)
{
    TServiceOptions options;
    try {
        TArguments arguments{1, argc, argv};
        while (arguments.More())
            ReadOption(arguments.Next(), arguments, options);
        if (options.DataFolder.empty())
            throw std::invalid_argument("--data is required");
    } catch (const std::exception& Error) {
        std::cerr << Error.what() << '\n' << Usage;
        return 2;
    }
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    try {
        const TCatalogueService service(options);
        std::cout << "Listening on " << service.Address() << std::endl;
        int received = 0;
        sigwait(&stop, &received);
    } catch (const std::exception& Error) {
        std::cerr << Error.what() << '\n';
        return 1;
    }
    return 0;
}
