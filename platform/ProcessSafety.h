#pragma once
// Start-up settings of the process that guard the user's secrets and files.

namespace elsetry {

// No core file and no attaching by other processes of the user: the process holds passwords.
void DisableCoreDumps();

// A write past the file size limit fails with EFBIG, reported as any failed write, instead of
// killing the program with SIGXFSZ halfway through a run.
void IgnoreFileSizeSignal();

} // namespace elsetry
