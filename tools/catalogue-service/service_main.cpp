// elsetry-catalogue-service: the stand-in catalogue service as a program, for the demo and for
// trying the download run by hand. Prints its address, then serves until interrupted.

#include "tools/catalogue-service/CatalogueService.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <unistd.h>

using namespace elsetry::service;

namespace {

constexpr const char* Usage =
    "usage: elsetry-catalogue-service --data DIR [--port N] [--user NAME] [--password TEXT]\n"
    "         [--record FILE] [--cert PEM --key PEM] [--make-cert PEM KEY] [--demo-groups COUNT]\n"
    "         [--refuse-login] [--marker TEXT] [--error-group ID] [--cut-group ID] [--stall-group ID]\n"
    "         [--stall-ms MS] [--plain-group ID] [--corrupt-group ID] [--short-query]\n"
    "         [--cut-query]\n";

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

void ReadOption(const std::string& Option, TArguments& Arguments, TServiceOptions& Options)
{
    TServiceFaults& faults = Options.Faults;
    if (Option == "--data") Options.DataFolder = Arguments.Next();
    else if (Option == "--port") Options.Port = std::stoi(Arguments.Next());
    else if (Option == "--user") Options.Username = Arguments.Next();
    else if (Option == "--password") Options.Password = Arguments.Next();
    else if (Option == "--record") Options.RecordFile = Arguments.Next();
    else if (Option == "--cert") Options.CertificateFile = Arguments.Next();
    else if (Option == "--key") Options.KeyFile = Arguments.Next();
    else if (Option == "--make-cert") {
        const std::string certificate = Arguments.Next();
        MakeTestCertificate(certificate, Arguments.Next());
    } else if (Option == "--demo-groups") WriteDemoGroups(Options.DataFolder, std::stoi(Arguments.Next()));
    else if (Option == "--refuse-login") faults.RefuseLogin = true;
    else if (Option == "--marker") faults.LoginMarker = Arguments.Next();
    else if (Option == "--error-group") faults.ErrorGroups.insert(std::stoi(Arguments.Next()));
    else if (Option == "--cut-group") faults.CutGroups.insert(std::stoi(Arguments.Next()));
    else if (Option == "--stall-group") faults.StalledGroups.insert(std::stoi(Arguments.Next()));
    else if (Option == "--stall-ms") faults.StallTime = std::chrono::milliseconds(std::stol(Arguments.Next()));
    else if (Option == "--plain-group") faults.PlainGroups.insert(std::stoi(Arguments.Next()));
    else if (Option == "--corrupt-group") faults.CorruptGroups.insert(std::stoi(Arguments.Next()));
    else if (Option == "--short-query") faults.ShortQuery = true;
    else if (Option == "--cut-query") faults.CutQuery = true;
    else throw std::invalid_argument("unknown option " + Option);
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
