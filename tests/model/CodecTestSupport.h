#pragma once

#include "TestSupport.h"
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

// A report with the header the writer writes, so that only the body can differ.
QByteArray reportWithHeader(const QByteArray &body, const QByteArray &rootAttrs = {});

// The report read, written and compared with itself canonically: nothing may change, and the
// output is a fixed point. Gives the output.
QByteArray expectUnchanged(const QByteArray &in);

// A report whose title band holds the given element text (whole lines).
QByteArray reportWithTitle(const QByteArray &elements, const QByteArray &head = {});

struct ToolResult {
    int exitCode = -1; // -1 when the program did not run or crashed
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end with the given standard input.
ToolResult runTool(const QString &program, const QStringList &arguments,
                   const QByteArray &input = {});

// Whether xmllint is installed.
bool haveXmllint();

// The pass-through elements of a JRXML text (charts, crosstabs, generic elements and components
// other than lists and tables), in document order, as one document in exclusive canonical form
// (xmllint --exc-c14n). Each element is copied with the namespaces in scope, without its
// position line, without the attributes of a chart tag and without text between its children.
QByteArray canonicalPassThrough(const QByteArray &jrxml);

} // namespace codectest
