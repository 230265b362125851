#pragma once

#include <QString>

// Writes a crash log when the program dies of a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE,
// SIGABRT): "Quillmark-<seconds since 1970>.crash" in the given folder, naming the signal, the
// process and the version. The handler uses only async-signal-safe calls (open, write, close,
// time, sigaction, raise) on a stack of its own, then lets the signal end the process as it would
// have. Everything it needs is prepared here, so the folder is created now.
namespace CrashSignalHandler {

// Installs the handlers; a later call replaces the folder and version. False when the folder
// cannot be created or its path is too long to keep, and in a build that leaves the signals to
// the sanitizer.
bool install(const QString &folder, const QString &version);

// Whether this build runs under AddressSanitizer, which takes the fatal signals itself: its
// report names the fault and prints the stack, which the one-line crash log would hide. Such a
// build installs no handler and writes no crash log.
bool leavesSignalsToSanitizer();

} // namespace CrashSignalHandler
