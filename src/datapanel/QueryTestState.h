#pragma once

#include "datapanel/SimpleCSV.h"

#include <QObject>
#include <QStringList>
#include <optional>

template <typename T> class QFutureWatcher;

// A sample file attached to preview how its columns line up with the report's fields: its
// header row and up to ten rows after it, which are all of it that is read. A failed load keeps
// the previous file on show and says why in `errorMessage`. Nothing of it reaches the report or
// the preferences.
class QueryTestState : public QObject {
    Q_OBJECT

public:
    static constexpr int previewRowLimit = 10;
    // A file larger than this, or a pipe or device, is read on a worker thread so that a slow
    // disk never holds up the window; its rows then arrive later, with `changed`.
    static constexpr qint64 largeFileSize = 1024 * 1024;

    using QObject::QObject;

    const std::optional<QString> &filePath() const { return filePath_; }
    const QStringList &headerRow() const { return headerRow_; }
    const QList<QStringList> &previewRows() const { return previewRows_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }

    // Reads the file's first rows as strict UTF-8 (a byte-order mark is not part of the text)
    // and shows them; on failure only the error changes. A later load, or clear(), drops what
    // a load still being read would have shown.
    void load(const QString &path);
    void clear();

signals:
    void changed();

private:
    void show(const QString &path, const SimpleCSV::Head &head);
    void dropPendingLoad();

    std::optional<QString> filePath_;
    QStringList headerRow_;
    QList<QStringList> previewRows_;
    std::optional<QString> errorMessage_;
    QFutureWatcher<SimpleCSV::Head> *pendingLoad_ = nullptr;
};
