#pragma once

#include "engine/EngineWorkFiles.h"
#include "engine/SidecarModelTypes.h"
#include "model/ReportDocument.h"

#include <QHash>
#include <QList>
#include <QUrl>
#include <QUuid>
#include <optional>

// Where the chapters of a report book lie, for the engine. A book names each chapter by its
// compiled file under $P{SUBREPORT_DIR}, the book's own folder once saved: a book not saved yet,
// saved elsewhere, or chaining chapters of several folders would find none of them. The books
// made in this session are remembered with their chapter files (by the id of the subreport
// element that prints each chapter), and the report the engine is given names each such chapter
// by its compiled file beside the chapter's own; the book as saved is left as it was built.
//
// A chapter is filled from one empty record; when the book runs with a live connection, a
// chapter that has a query runs it on that connection instead (the book passes its own).
class ReportBookChapters {
public:
    // Notes the chapter files of a book just built from them, in the builder's order.
    void remember(const ReportDocument &book, const QList<QUrl> &chapterURLs);
    // The chapter file remembered for a subreport element; no value for any other.
    std::optional<QUrl> chapterFile(const QUuid &elementId) const;

    // The report the engine compiles and fills for `document` (saved at `savedURL`, if at all):
    // the same report, with each chapter named by its compiled file where the chapter is
    // remembered, and, with `hasConnection`, each chapter that has an SQL query filled on the
    // book's connection. The chapters of a book not made in this session are found in the
    // book's folder; whether a chapter has a query, the open tabs tell first, else its file. Any
    // other report is returned as it is.
    ReportDocument forEngine(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                             bool hasConnection, const QList<OpenTab> &openTabs) const;

    // The chapters of `document` as forEngine() names them, in book order: each chapter's report
    // file and the compiled file the engine is given. Empty for a report that is no book.
    QList<ChapterFile> chapterFiles(const ReportDocument &document,
                                    const std::optional<QUrl> &savedURL) const;

    // Whether the report at `chapterFile` has an SQL query: the report of an open tab saved
    // there, else the file's. False when neither reads.
    static bool chapterHasSqlQuery(const QUrl &chapterFile, const QList<OpenTab> &openTabs);

private:
    // The chapter file of a subreport element of a book, and whether it is remembered (so that
    // the engine is given its compiled file by its full path); no value for any other element.
    struct Chapter {
        QUrl file;
        bool remembered = false;
    };
    std::optional<Chapter> chapterOf(const ReportElement &element,
                                     const std::optional<QUrl> &savedURL) const;

    QHash<QUuid, QUrl> chapters_;
};
