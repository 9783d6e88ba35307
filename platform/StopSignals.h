#pragma once
// The signals that ask a process to end (SIGTERM from a service manager or kill, SIGINT from the
// terminal, SIGHUP when the terminal goes), turned into a note that a run polls while it waits,
// so that it can end as a Cancel does: logged out, temporaries removed.

namespace elsetry {

// While an object lives, each of the three signals only sets a flag (the handler does nothing
// else); a second signal of the same kind has its default effect, so that a run that will not end
// can still be stopped. A signal the process ignores stays ignored. The earlier handling is
// restored when the object goes. One object at a time.
class TStopSignals {
public:
    TStopSignals();
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // Whether one of the signals came since the object was made.
    static bool Received();
};

} // namespace elsetry
