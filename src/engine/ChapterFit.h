#pragma once

#include "model/ReportDocument.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Whether a chapter of a report book fits the book's page. The engine prints a chapter, as any
// subreport, on the page of the report around it and keeps the chapter's own top and bottom
// margins inside that report's: it refuses a chapter whose bands, by its rules of which bands
// print on one page, need more of that page than both reports' margins leave.
namespace ChapterFit {

// Why the chapter does not fit the book's page, naming it by `fileName`, in the words the book's
// builder and its preview show; no value when it fits.
std::optional<QString> misfit(const ReportDocument &chapter, const QString &fileName,
                              const ReportDocument &book);

// A chapter's report file, and the report as an open tab holds it, where one does.
struct Chapter {
    QString jrxmlPath;
    std::optional<QByteArray> held;
};

// misfit() of each chapter of `book`, in order, that does not fit, read as its tab holds it or
// else from its file. A chapter that does not read is left out: its compile says why.
QStringList misfits(const QList<Chapter> &chapters, const ReportDocument &book);

} // namespace ChapterFit
