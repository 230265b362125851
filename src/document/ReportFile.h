#pragma once

#include "model/ReportDocument.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QStringList>
#include <QUrl>
#include <optional>

// A report file as read from disk: its bytes, the report the reader made of them with its
// warnings, and the hash by which a store later tells whether the file still holds them.
// Reading touches no shared state, so files may be read on other threads.
struct ReportFile {
    QByteArray bytes;
    ReportDocument document;
    QStringList warnings;
    QByteArray hash;

    // Reads and parses the file at `url`. Throws DocumentFileError or JrxmlCodecError.
    static ReportFile read(const QUrl &url);
    // The bytes of the report file at `path` (links followed). Only a regular file of at most
    // largestMB is read: a pipe, a device, a socket or a folder is refused at once without waiting
    // for it, as is a larger or an empty file. Throws DocumentFileError, whose text says which
    // file and why ("The report … could not be opened: It is a named pipe, not a regular file…").
    static QByteArray readBytes(const QString &path);
    // The same, with no value where the file is refused.
    static std::optional<QByteArray> tryReadBytes(const QString &path);
    // The largest report file read, in megabytes: many times what a report holds.
    static constexpr int largestMB = 256;
    // What tells a file's bytes apart from those it had: BLAKE2b, a tenth of SHA-256's cost
    // here, which a large report would otherwise pay on every open and save.
    static constexpr QCryptographicHash::Algorithm hashAlgorithm = QCryptographicHash::Blake2b_256;
    static QByteArray contentHash(const QByteArray &bytes);
    // What `url` names as the user reads it: the native path of a local file.
    static QString displayPath(const QUrl &url);
};
