#include "ChapterCompiles.h"

#include "EngineRequests.h"
#include "SidecarClient.h"
#include "SidecarError.h"
#include "document/ReportFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <stdexcept>
#include <sys/stat.h>

std::optional<ChapterCompiles::FileIdentity> ChapterCompiles::identity(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    const auto ns = [](const timespec &time) {
        return qint64(time.tv_sec) * 1'000'000'000 + qint64(time.tv_nsec);
    };
    return FileIdentity{qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size),
                        ns(info.st_mtim), ns(info.st_ctim)};
}

void ChapterCompiles::compileChanged(const QList<ChapterFile> &chapters, SidecarClient &client,
                                     std::chrono::milliseconds timeout,
                                     const std::shared_ptr<RequestCancel> &cancel)
{
    for (const ChapterFile &chapter : chapters) {
        const QFileInfo report(chapter.jrxmlPath);
        if (!report.exists())
            throw std::runtime_error(
                QStringLiteral("The chapter \"%1\" of this book is no longer in %2: it was "
                               "renamed, moved or deleted. Put it back, or make the book again "
                               "from its chapters.")
                    .arg(report.fileName(), QDir::toNativeSeparators(report.absolutePath()))
                    .toStdString());
        // Read before the compile: a report changed meanwhile differs next time and is compiled
        // again then.
        QByteArray digest;
        if (const std::optional<QByteArray> bytes = ReportFile::tryReadBytes(chapter.jrxmlPath))
            digest = QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256);
        {
            std::lock_guard lock(mutex_);
            const auto known = compiled_.constFind(chapter.jasperPath);
            if (!digest.isEmpty() && known != compiled_.cend() &&
                known->jrxmlPath == chapter.jrxmlPath && known->digest == digest &&
                identity(chapter.jasperPath) == known->jasper)
                continue;
            compiled_.remove(chapter.jasperPath);
        }
        compileNamed(chapter.jrxmlPath, [&] {
            client.send(QStringLiteral("compile"),
                        EngineRequests::compileParams(chapter.jrxmlPath, chapter.jasperPath),
                        timeout, cancel);
        });
        const std::optional<FileIdentity> written = identity(chapter.jasperPath);
        if (digest.isEmpty() || !written)
            continue;
        std::lock_guard lock(mutex_);
        compiled_.insert(chapter.jasperPath, {chapter.jrxmlPath, digest, *written});
    }
}

QString ChapterCompiles::chapterSubject(const QString &jrxmlPath)
{
    return QStringLiteral("chapter \"%1\" of this book").arg(QFileInfo(jrxmlPath).fileName());
}

void ChapterCompiles::compileNamed(const QString &jrxmlPath, const std::function<void()> &compile)
{
    compileNaming(u"The " + chapterSubject(jrxmlPath), compile);
}

void ChapterCompiles::fillNamed(const QByteArray &report,
                                const std::function<QList<Inner>()> &inner,
                                const std::function<void()> &fill)
{
    try {
        fill();
    } catch (const SidecarError &error) {
        static const QRegularExpression missing(
            QStringLiteral("^The report needs the class (\\S+)(, which is not on the engine's "
                           "class path\\.)"));
        const QRegularExpressionMatch match = missing.match(error.detail());
        if (error.kind() != SidecarError::Kind::rpcError || !match.hasMatch())
            throw;
        const QString name = match.captured(1);
        // The class's name whole, not a part of a longer name.
        const QRegularExpression named(QStringLiteral("(?<![\\w.$])") +
                                       QRegularExpression::escape(name) +
                                       QStringLiteral("(?![\\w.$])"));
        const auto names = [&](const QByteArray &text) {
            return named.match(QString::fromUtf8(text)).hasMatch();
        };
        if (names(report))
            throw;
        for (const Inner &candidate : inner()) {
            const QByteArray text =
                candidate.held
                    ? *candidate.held
                    : ReportFile::tryReadBytes(candidate.jrxmlPath).value_or(QByteArray());
            if (!names(text))
                continue;
            throw SidecarError::rpcError(u"The " + candidate.subject + u" needs the class " + name +
                                             error.detail().mid(match.capturedStart(2)),
                                         error.causes());
        }
        throw;
    }
}
