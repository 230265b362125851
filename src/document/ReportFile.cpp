#include "document/ReportFile.h"

#include "document/DocumentStoreTypes.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFile>

ReportFile ReportFile::read(const QUrl &url)
{
    QFile file(url.toLocalFile());
    if (!url.isLocalFile() || !file.open(QIODevice::ReadOnly)) {
        throw DocumentFileError(QStringLiteral("The report %1 could not be opened: %2")
                                    .arg(displayPath(url), file.errorString()));
    }
    ReportFile read;
    read.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw DocumentFileError(QStringLiteral("The report %1 could not be read: %2")
                                    .arg(displayPath(url), file.errorString()));
    }
    if (read.bytes.isEmpty()) {
        throw DocumentFileError(QStringLiteral("The report %1 could not be opened: The file is "
                                               "empty.")
                                    .arg(displayPath(url)));
    }
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
