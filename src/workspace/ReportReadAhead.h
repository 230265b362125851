#pragma once

#include "document/ReportFile.h"

#include <QFuture>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// Reads report files on other threads ahead of their opening: at launch the last session's
// reports are read while the window is built, and opened from what was read when it shows. A
// file is taken as read only while it still holds the bytes that were read; otherwise, and for
// a file that could not be read ahead, the caller reads it afresh as it would have.
class ReportReadAhead {
public:
    // Starts reading each path that names a file.
    void start(const QStringList &paths);
    // The file at `path` as read ahead, waiting for the read if it still runs; no value when it
    // was not read ahead, failed, or the file has changed since.
    std::optional<ReportFile> take(const QString &path);
    // Drops whatever was read and not taken.
    void clear() { reads_.clear(); }

private:
    static QString key(const QString &path);

    QHash<QString, QFuture<std::optional<ReportFile>>> reads_;
};
