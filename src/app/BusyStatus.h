#pragma once

#include <QString>
#include <optional>

// What the engine and the zip are doing, as the busy banner needs it.
struct BusyFlags {
    bool isRendering = false;
    bool isExporting = false;
    bool isCompilingAll = false;
    bool isZipping = false;
    bool isTestingConnection = false;
    bool isExecutingQuery = false;
    // The active tab's store is creating a subreport.
    bool isCreatingSubreport = false;

    bool operator==(const BusyFlags &) const = default;
};

// The banner's text: the first job that runs, by priority; no value when none runs.
std::optional<QString> busyStatusMessage(const BusyFlags &flags);

// Whether the job the banner names is one the user can call off from it: an export, or a compile
// of all open reports (a preview is called off by closing its sheet).
bool busyJobCanBeCancelled(const BusyFlags &flags);
