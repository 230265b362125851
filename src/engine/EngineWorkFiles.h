#pragma once

#include "SidecarModelTypes.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class RequestCancel;
class SidecarClient;

// Where one engine job's files go, and the compiles of subreports open in other tabs that a
// render or an export does first.

// One job's files: the report's JRXML and print file in the work folder under the report's name
// made into one file name component (`fileNameComponent`: "report" when it has none), so that a
// name holding "../" or "/" never leads out of the work folder; the compiled report beside the
// saved file, or in the work folder for a report never saved. `tempBase` is the work folder plus
// that name, without extension.
struct ResolvedPaths {
    QString jrxmlPath;
    QString jasperPath;
    QString jrprintPath;
    QString tempBase;
    bool operator==(const ResolvedPaths &) const = default;
};

ResolvedPaths resolvePaths(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                           const QString &workFolder);

// The compiled report's path for a saved report file: the same path with the extension "jasper".
QString jasperPathBeside(const QString &savedPath);

// Writes the whole file or nothing, replacing what is there. Throws std::runtime_error naming the
// file and the reason.
void writeWorkFile(const QString &path, const QByteArray &bytes);

// One subreport to compile: its JRXML, taken from its tab while the tab's report was current, the
// work file it is written to, the compiled file beside its saved report, and the saved file's
// name, by which errors name it.
struct SubreportCompile {
    QString jrxmlPath;
    QString jasperPath;
    QByteArray jrxml;
    QString fileName;
    bool operator==(const SubreportCompile &) const = default;
};

// The lower-cased base names of the report files that the subreport expressions of `report`
// name (candidateSubreportBaseName).
QSet<QString> referencedSubreportNames(const ReportDocument &report);

// The saved tabs among `otherTabs`, in order, whose file's base name matches (ignoring case) the
// base name a subreport expression of `report` names. Each is serialised now, so that the files
// can be written and compiled later on another thread. Unsaved tabs are never among them.
QList<SubreportCompile> planSubreportCompiles(const ReportDocument &report,
                                              const QList<OpenTab> &otherTabs,
                                              const QString &workFolder);

// Writes and compiles one; a failure is thrown. Blocks on the engine: never call it on the main
// thread. `cancel`, when given, calls the compile off (SidecarClient::cancel).
void compileSubreport(const SubreportCompile &compile, SidecarClient &client,
                      std::chrono::milliseconds timeout,
                      const std::shared_ptr<RequestCancel> &cancel = {});

// Runs `compile`; the engine's refusal ends the run naming what was compiled: `subject`, then
// " does not compile: " and the engine's words. Every other error goes on as it is.
void compileNaming(const QString &subject, const std::function<void()> &compile);

// How an error names a subreport compiled from another tab: The subreport "Orders.jrxml", open
// in another tab,
QString subreportInAnotherTab(const QString &fileName);

// A chapter of a report book: its report file and the compiled file the book prints.
struct ChapterFile {
    QString jrxmlPath;
    QString jasperPath;
    bool operator==(const ChapterFile &) const = default;
};
