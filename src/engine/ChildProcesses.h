#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <sys/types.h>

// The programs the designer starts (the engine, the zip tool) end with it, however it ends.
//
// Each child asks the system, between fork and exec, to be killed when the thread that made it
// ends (`tieToParent`); that thread is the process's main thread or one that lives as long as
// the process (`runOnLauncherThread`), never a pool thread that may retire while its child runs.
// Where the system cannot do that, or a child got away all the same, the next designer to start
// ends it: every child is noted in the work folder of its designer's session (`note`), and the
// folder of a session that is gone has its children ended before it is removed (`endNoted`). A
// child is known by its process id together with its start time and the boot, so a process that
// took the id of one that ended later is never touched; nor is a child of a designer that still
// runs, whose folder stays locked.
namespace ChildProcesses {

// In the child, after fork and before exec; async-signal-safe. `parent` is the designer's process
// id taken before the fork: a child whose parent ended meanwhile ends at once.
void tieToParent(pid_t parent);

// Runs `work` on the one thread that lives as long as the process and waits for it; what it
// throws is thrown here. For whatever forks from a thread that may end before its child.
void runOnLauncherThread(const std::function<void()> &work);

// Notes `child` in the session folder `folder` (a failure to write is ignored).
void note(const QString &folder, pid_t child);
// Drops the note of a child that has ended.
void forget(const QString &folder, pid_t child);

// Kills the children noted in `folder` that still run, and waits a moment for them to end.
// Only for the folder of a session that has ended.
void endNoted(const QString &folder);

// The start time of a process in clock ticks since the boot, no value when it does not run (or
// the system does not tell).
std::optional<qulonglong> startTime(pid_t pid);

} // namespace ChildProcesses
