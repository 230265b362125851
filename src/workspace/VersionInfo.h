#pragma once

#include <QString>

// What the program says about its own version and the system it runs on.
struct VersionInfo {
    // "0.1.0"
    QString shortVersion;
    // The build number.
    QString build;
    // The operating system's human-readable name and version.
    QString systemVersion;

    // This program's.
    static VersionInfo current();

    bool operator==(const VersionInfo &) const = default;
};
