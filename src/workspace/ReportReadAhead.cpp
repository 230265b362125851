#include "workspace/ReportReadAhead.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

void ReportReadAhead::start(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QString file = key(path);
        if (reads_.contains(file) || !QFileInfo(file).isFile())
            continue;
        reads_.insert(file, QtConcurrent::run([file]() -> std::optional<ReportFile> {
                          try {
                              return ReportFile::read(QUrl::fromLocalFile(file));
                          } catch (...) {
                              return std::nullopt; // the opening reads it again and says why
                          }
                      }));
    }
}

std::optional<ReportFile> ReportReadAhead::take(const QString &path)
{
    const QString file = key(path);
    if (!reads_.contains(file))
        return std::nullopt;
    std::optional<ReportFile> read = reads_.take(file).takeResult();
    if (!read)
        return std::nullopt;
    // What was read stands only for the bytes the file holds now.
    if (ReportFile::tryReadBytes(file) != read->bytes)
        return std::nullopt;
    return read;
}

QString ReportReadAhead::key(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
