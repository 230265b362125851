#include "document/ReportFile.h"

#include "document/DocumentStoreTypes.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What the path names when it is no regular file, in the words of the refusal.
QString whatItIs(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"a folder"_s;
    if (S_ISFIFO(mode))
        return u"a named pipe"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"a device"_s;
    if (S_ISSOCK(mode))
        return u"a socket"_s;
    return u"no regular file"_s;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes the descriptor when the read ends, however it ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

QByteArray ReportFile::readBytes(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto refuse = [&](const QString &why) {
        return DocumentFileError(u"The report %1 could not be opened: %2"_s.arg(shown, why));
    };
    // Opened without waiting: a pipe with no writer would hold the open itself forever. Links are
    // followed, and what the descriptor then names is what is judged, so nothing swapped in
    // between the look and the read is read.
    Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        throw refuse(systemReason(errno));
    struct stat info = {};
    if (::fstat(file.fd, &info) != 0)
        throw refuse(systemReason(errno));
    if (!S_ISREG(info.st_mode)) {
        throw refuse(u"It is %1, not a regular file: the designer reads reports from regular "
                     u"files only."_s.arg(whatItIs(info.st_mode)));
    }
    const auto tooLarge = [&] {
        return refuse(
            u"The file is larger than %1 MB, more than the designer reads as a report."_s.arg(
                largestMB));
    };
    constexpr qint64 largest = qint64(largestMB) * 1024 * 1024;
    if (info.st_size > largest)
        throw tooLarge();
    // Read until the end, and no further than the limit, whatever the size said: the file may grow
    // while it is read, and one the system makes as it is read (under /proc) says 0.
    constexpr qsizetype piece = 1024 * 1024;
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size) + piece);
    for (;;) {
        const qsizetype at = bytes.size();
        if (at > largest)
            throw tooLarge();
        bytes.resize(at + piece);
        const ssize_t got = ::read(file.fd, bytes.data() + at, size_t(piece));
        if (got < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        if (got < 0) {
            const int error = errno;
            throw DocumentFileError(
                u"The report %1 could not be read: %2"_s.arg(shown, systemReason(error)));
        }
        bytes.resize(at + got);
        if (got == 0)
            break;
    }
    if (bytes.size() > largest)
        throw tooLarge();
    if (bytes.isEmpty())
        throw refuse(u"The file is empty."_s);
    return bytes;
}

std::optional<QByteArray> ReportFile::tryReadBytes(const QString &path)
{
    try {
        return readBytes(path);
    } catch (const DocumentFileError &) {
        return std::nullopt;
    }
}

ReportFile ReportFile::read(const QUrl &url)
{
    if (!url.isLocalFile()) {
        throw DocumentFileError(
            u"The report %1 could not be opened: It is not a local file."_s.arg(displayPath(url)));
    }
    ReportFile read;
    read.bytes = readBytes(url.toLocalFile());
    read.document = JrxmlCodec::parse(read.bytes, &read.warnings);
    read.hash = contentHash(read.bytes);
    return read;
}

QByteArray ReportFile::contentHash(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, hashAlgorithm);
}

QString ReportFile::displayPath(const QUrl &url)
{
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
}
