#pragma once
// A catalogue source: how a run logs in, which requests a group or the individual list becomes,
// how their answers become lines, and how it logs out. The run itself (its steps, the log, the
// failure rule, saving and checking) is the same for every source.

#include "download/sources/RunChannel.h"
#include "download/sources/SourceAnswer.h"
#include "download/sources/SpaceTrackGroups.h"
#include "settings/FileOptions.h"

#include <string>
#include <vector>

namespace elsetry {

// Every request goes through the channel and raises EHttpError when it fails; the run turns that
// into the short reason of a failed group, an unreachable service or a refused login. An answer
// that arrived but is not element sets, a rule of the service's that spares the request, and an
// answer that says nothing changed come back as the answer's outcome. Stopping the run
// (ERunStopped), Cancel (ERunCancelled) and faults of the layers below (EGroupFailed of the
// answer readers, the channel and the ledgers, gzip and size faults) are raised.
class TSource {
public:
    virtual ~TSource() = default;

    // The service's name in the log and the status line: "Connecting to Space-Track".
    virtual std::string ServiceName() const { return "Space-Track"; }
    // Whether the service wants a login. A source without one sends no credentials, and the run
    // neither logs in nor out; its LoginUrl, LogIn and LogOut are not used.
    virtual bool NeedsLogin() const { return true; }

    // Where the password is sent, so that the run can refuse to send it unencrypted.
    virtual std::string LoginUrl() const = 0;
    // A first request, to tell a service that does not answer from a refused login.
    virtual void Probe(TRunChannel& Channel) = 0;
    // Whether the service opened a session for these credentials. A login that fails on its way
    // counts as refused.
    virtual bool LogIn(TRunChannel& Channel, const std::string& Username, const std::string& Password) = 0;
    // One group's element sets, for a file written in Form.
    virtual TSourceAnswer GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm Form) = 0;
    // The element sets of these catalogue numbers, in the memo's order, for a file written in Form.
    virtual TSourceAnswer IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                               TFileForm Form) = 0;
    virtual void LogOut(TRunChannel& Channel) = 0;
    // The catalogue numbers the run's individual list will ask for (none: the run has no list),
    // told before the first group, so that a source that builds the list from its groups' sets
    // keeps only those.
    virtual void ExpectListNumbers(const std::vector<std::string>&) {}
    // The lines the source gave last were saved and passed their check.
    virtual void FileSaved() {}
    // Whether the service puts a group together only when asked, as it does the individual list,
    // so that its first bytes may take as long to come.
    virtual bool GroupsAreQueries() const { return false; }
};

} // namespace elsetry
