#pragma once

#include "model/ReportDocument.h"

#include <QList>
#include <QString>
#include <QUrl>

// A report book chains several reports, its chapters, into one printed document: a master
// report whose detail bands hold one full-page subreport per chapter, with a page break between
// chapters. The chapters are referenced by their compiled files under $P{SUBREPORT_DIR}.
namespace ReportBookBuilder {

// The book's report definition. Pure: it reads no file (the chapters need not exist; only their
// names are used) and touches no store. Every other band is present and 0 high, so a page of
// the book carries nothing but the chapters: each chapter band is as high as the page's content,
// less the 1-point band of the page break when one follows it. `chapterURLs` holds at least one
// chapter.
ReportDocument buildReportBook(const QString &name, double pageWidth, double pageHeight,
                               double leftMargin, double rightMargin, double topMargin,
                               double bottomMargin, const QList<QUrl> &chapterURLs);

// The data source a chapter is filled from: one empty record.
QString chapterDataSourceExpression();

// The expression of a chapter's subreport: its compiled file, named after the chapter's file
// without its last extension, below $P{SUBREPORT_DIR}.
QString chapterExpression(const QUrl &chapterURL);

} // namespace ReportBookBuilder
