#pragma once

#include "model/ReportDocument.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QStringList>
#include <QUrl>

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
    // What tells a file's bytes apart from those it had: BLAKE2b, a tenth of SHA-256's cost
    // here, which a large report would otherwise pay on every open and save.
    static constexpr QCryptographicHash::Algorithm hashAlgorithm = QCryptographicHash::Blake2b_256;
    static QByteArray contentHash(const QByteArray &bytes);
    // What `url` names as the user reads it: the native path of a local file.
    static QString displayPath(const QUrl &url);
};
