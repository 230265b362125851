#pragma once

#include "model/JrxmlCodec.h"

#include <QByteArray>
#include <QString>

namespace codectest {

// A file of tests/model/golden.
QByteArray golden(const QString &name);

// Compares the text with a golden file byte for byte; with QUILLMARK_UPDATE_GOLDEN=1 in the
// environment it writes the file instead (to be checked by hand before it is committed).
void expectGolden(const QByteArray &actual, const QString &name);

// The document with every identifier cleared, so that two reads of the same text compare equal.
ReportDocument withoutIds(ReportDocument document);
ReportElement withoutIds(ReportElement element);

// The text read and written again; notes of the reader go to `warnings` when given.
QByteArray roundTrip(const QByteArray &jrxml, QStringList *warnings = nullptr);

// A report whose title band holds the given element text (whole lines).
QByteArray reportWithTitle(const QByteArray &elements, const QByteArray &head = {});

} // namespace codectest
