#include "TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace testsupport {

QString sourceDir()
{
    return QStringLiteral(QUILLMARK_SOURCE_DIR);
}

QString corpusDir()
{
    const QByteArray fromEnv = qgetenv("QUILLMARK_CORPUS");
    const QString dir = fromEnv.isEmpty()
                            ? QDir(sourceDir()).absoluteFilePath(QStringLiteral("../shared/corpus"))
                            : QString::fromLocal8Bit(fromEnv);
    return QDir(dir).exists(QStringLiteral("jrxml-samples")) ? QDir(dir).canonicalPath()
                                                             : QString();
}

QStringList corpusReports()
{
    QStringList files;
    const QString dir = corpusDir();
    if (dir.isEmpty())
        return files;
    QDirIterator it(dir + QStringLiteral("/jrxml-samples"), {QStringLiteral("*.jrxml")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}

bool waitFor(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
    return true;
}

} // namespace testsupport
