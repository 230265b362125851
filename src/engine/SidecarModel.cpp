#include "SidecarModel.h"

#include "ChapterCompiles.h"
#include "ChapterFit.h"
#include "EngineJob.h"
#include "EngineWorkFiles.h"
#include "RequestCancel.h"
#include "model/JrxmlCodec.h"
#include "model/SubreportNaming.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

// What a render, an export or a tab compile takes to its background task: copies of everything it
// needs.
struct ReportJob {
    std::shared_ptr<SidecarClient> client;
    std::chrono::milliseconds timeout;
    std::optional<QString> folderError;
    QList<SubreportCompile> subreports;
    QByteArray jrxml;
    ResolvedPaths paths;
    // Calls the job's requests off, for a job that can be.
    std::shared_ptr<RequestCancel> cancel;
    QList<ChapterFile> chapters;
    std::shared_ptr<ChapterCompiles> chapterCompiles;
    // The report itself: a book's chapters fit its page.
    ReportDocument report;
    // The folder of the report's saved file; empty for a report never saved.
    QString reportFolder;

    // Compiles the referenced subreports and the book's chapters that changed, and writes the
    // report's JRXML: what comes before the report's own requests. A chapter open in a tab was
    // just compiled from there, with the tab's edits. A chapter that does not fit the book's page
    // ends the run before any of it, and one the engine refuses ends it with its name. Without a
    // private work folder nothing is written.
    void prepare() const
    {
        if (folderError)
            throw std::runtime_error(folderError->toStdString());
        if (const QStringList misfits = ChapterFit::misfits(heldChapters(), report);
            !misfits.isEmpty())
            throw std::runtime_error(misfits.join(u"\n\n"_s).toStdString());
        // Whatever the engine refuses is named: the chapter, or the subreport's tab.
        for (const SubreportCompile &compile : subreports) {
            const auto run = [&] { compileSubreport(compile, *client, timeout, cancel); };
            const auto chapter = std::find_if(chapters.cbegin(), chapters.cend(), [&](auto &c) {
                return same(c.jasperPath, compile.jasperPath);
            });
            if (chapter == chapters.cend())
                compileNaming(subreportInAnotherTab(compile.fileName), run);
            else
                ChapterCompiles::compileNamed(chapter->jrxmlPath, run);
        }
        QList<ChapterFile> fromFiles;
        for (const ChapterFile &chapter : chapters) {
            if (!fromTab(chapter))
                fromFiles.append(chapter);
        }
        if (chapterCompiles)
            chapterCompiles->compileChanged(fromFiles, *client, timeout, cancel);
        writeWorkFile(paths.jrxmlPath, jrxml);
    }
    QJsonObject send(const QString &cmd, const QJsonObject &params) const
    {
        return client->send(cmd, params, timeout, cancel);
    }
    // Sends the request that fills the report; a class a book's chapter or a subreport names
    // itself, which the engine cannot load, is named with the chapter or subreport that needs it.
    QJsonObject fill(const QString &cmd, const QJsonObject &params) const
    {
        QJsonObject reply;
        ChapterCompiles::fillNamed(
            jrxml, [this] { return inner(); }, [&] { reply = send(cmd, params); });
        return reply;
    }

private:
    static bool same(const QString &a, const QString &b)
    {
        return QDir::cleanPath(a) == QDir::cleanPath(b);
    }
    // The compile from a tab of the chapter, if a tab holds it.
    const SubreportCompile *fromTab(const ChapterFile &chapter) const
    {
        for (const SubreportCompile &compile : subreports) {
            if (same(compile.jasperPath, chapter.jasperPath))
                return &compile;
        }
        return nullptr;
    }
    // The chapters, then the subreports open in other tabs, then the other subreports whose
    // report is in the report's folder under the name its expression gives.
    QList<ChapterCompiles::Inner> inner() const
    {
        QList<ChapterCompiles::Inner> found;
        QSet<QString> known; // file names, lower-cased
        for (const ChapterFit::Chapter &chapter : heldChapters()) {
            found.append({ChapterCompiles::chapterSubject(chapter.jrxmlPath), chapter.jrxmlPath,
                          chapter.held});
            known.insert(QFileInfo(chapter.jrxmlPath).fileName().toLower());
        }
        const auto subreport = [](const QString &fileName) -> QString {
            return u"subreport \""_s + fileName + u'"';
        };
        for (const SubreportCompile &compile : subreports) {
            if (!known.contains(compile.fileName.toLower()))
                found.append({subreport(compile.fileName), compile.jrxmlPath, compile.jrxml});
            known.insert(compile.fileName.toLower());
        }
        if (reportFolder.isEmpty())
            return found;
        const QSet<QString> named = referencedSubreportNames(report);
        const QDir folder(reportFolder);
        for (const QString &file : folder.entryList({u"*.jrxml"_s}, QDir::Files, QDir::Name)) {
            if (named.contains(withoutPathExtension(file).toLower()) &&
                !known.contains(file.toLower()))
                found.append({subreport(file), folder.filePath(file), std::nullopt});
        }
        return found;
    }
    // The book's chapters, each as its tab holds it where one does: it is compiled, and checked,
    // so.
    QList<ChapterFit::Chapter> heldChapters() const
    {
        QList<ChapterFit::Chapter> held;
        for (const ChapterFile &chapter : chapters) {
            const SubreportCompile *tab = fromTab(chapter);
            held.append({chapter.jrxmlPath, tab ? std::optional(tab->jrxml) : std::nullopt});
        }
        return held;
    }
};

ReportJob SidecarModel::reportJob(const ReportDocument &document,
                                  const std::optional<QUrl> &savedURL,
                                  const QList<OpenTab> &otherOpenTabs)
{
    ReportJob job{client_, requestTimeout_, {}, {}, JrxmlCodec::serialize(document), {}};
    QString folder = workFolder_.path();
    try {
        folder = workFolder_.ensure();
    } catch (const PrivateWorkFolder::Error &error) {
        job.folderError = QString::fromUtf8(error.what());
    }
    job.subreports = planSubreportCompiles(document, otherOpenTabs, folder);
    job.paths = resolvePaths(document, savedURL, folder);
    job.chapterCompiles = chapterCompiles_;
    job.report = document;
    if (savedURL && savedURL->isLocalFile())
        job.reportFolder = QFileInfo(savedURL->toLocalFile()).path();
    return job;
}

SidecarModel::SidecarModel(QObject *parent) : SidecarModel(PrivateWorkFolder(), parent) {}

SidecarModel::SidecarModel(const PrivateWorkFolder &workFolder, QObject *parent)
    : QObject(parent), client_(std::make_shared<SidecarClient>()),
      chapterCompiles_(std::make_shared<ChapterCompiles>()), workFolder_(workFolder),
      locate_([] { return SidecarClient::defaultLocation(); })
{
}

SidecarModel::~SidecarModel()
{
    // Background tasks keep the client, and the application waits for them before it ends: the
    // engine is ended now, so that every request still on its way fails at once.
    client_->shutdown();
}

void SidecarModel::setPreviewSession(const std::optional<PreviewSession> &session)
{
    if (!session)
        cancelRender();
    publish(previewSession_, session, &SidecarModel::previewSessionChanged);
}

void SidecarModel::callOff(bool &running, quint64 &run, std::shared_ptr<RequestCancel> &cancel,
                           void (SidecarModel::*changed)())
{
    if (!running)
        return;
    // Its outcome, whenever it comes, is for no one.
    ++run;
    if (cancel)
        client_->cancel(*cancel);
    cancel.reset();
    publish(running, false, changed);
}

void SidecarModel::cancelRender()
{
    callOff(isRendering_, renderRun_, renderCancel_, &SidecarModel::isRenderingChanged);
}

void SidecarModel::cancelExport()
{
    callOff(isExporting_, exportRun_, exportCancel_, &SidecarModel::isExportingChanged);
}

void SidecarModel::setIsCompilingAll(bool compiling)
{
    publish(isCompilingAll_, compiling, &SidecarModel::isCompilingAllChanged);
}

bool SidecarModel::isBusy() const
{
    return isRendering_ || isExporting_ || isTestingConnection_ || isExecutingQuery_ ||
           isCompilingAll_;
}

void SidecarModel::runArtifactsHook()
{
    if (onArtifactsWritten_)
        onArtifactsWritten_();
}

void SidecarModel::ensureStarted()
{
    if (client_->isRunning())
        return;
    try {
        // The Java runtime writes its crash log there.
        client_->setWorkFolder(workFolder_.ensure());
    } catch (const PrivateWorkFolder::Error &) {
        // The client falls back to a private folder of its own; the job reports the failure.
    }
    try {
        client_->start(locate_());
    } catch (const std::exception &error) {
        publish(errorMessage_, std::optional(QString::fromUtf8(error.what())),
                &SidecarModel::errorMessageChanged);
    }
}

void SidecarModel::compileAndPreview(const ReportDocument &document,
                                     const std::optional<QUrl> &savedURL,
                                     const QList<OpenTab> &otherOpenTabs,
                                     const ParamValues &paramValues,
                                     const std::optional<LiveConnection> &liveConnection,
                                     const QList<ChapterFile> &chapters)
{
    if (isRendering_)
        return;
    publish(errorMessage_, {}, &SidecarModel::errorMessageChanged);
    publish(pdfURL_, {}, &SidecarModel::pdfURLChanged);
    publish(isRendering_, true, &SidecarModel::isRenderingChanged);
    ensureStarted();

    ReportJob job = reportJob(document, savedURL, otherOpenTabs);
    job.cancel = renderCancel_ = std::make_shared<RequestCancel>();
    job.chapters = chapters;
    const ResolvedPaths &paths = job.paths;
    const QString pdfPath = paths.tempBase + u".pdf"_s;
    const QJsonObject params =
        EngineRequests::renderParams(paths.jrxmlPath, pdfPath, paths.jasperPath, paths.jrprintPath,
                                     paramValues, liveConnection, document.queryString);
    runEngineJob(
        this,
        [job, params] {
            job.prepare();
            return EngineRequests::renderStats(job.fill(u"render"_s, params));
        },
        [this, run = ++renderRun_, pdfPath,
         liveConnection](const EngineOutcome<RenderStats> &outcome) {
            if (run != renderRun_)
                return; // called off
            renderCancel_.reset();
            if (!outcome.ok()) {
                publish(errorMessage_, withKeychainCause(outcome.error, liveConnection),
                        &SidecarModel::errorMessageChanged);
                publish(isRendering_, false, &SidecarModel::isRenderingChanged);
                return;
            }
            publish(pdfURL_, std::optional(QUrl::fromLocalFile(pdfPath)),
                    &SidecarModel::pdfURLChanged);
            publish(lastRenderStats_, std::optional(outcome.value),
                    &SidecarModel::lastRenderStatsChanged);
            publish(isRendering_, false, &SidecarModel::isRenderingChanged);
            runArtifactsHook();
        });
}

void SidecarModel::exportReport(const ReportDocument &document, ExportFormat format,
                                const QUrl &destination, const std::optional<QUrl> &savedURL,
                                const QList<OpenTab> &otherOpenTabs, const ParamValues &paramValues,
                                const std::optional<LiveConnection> &liveConnection,
                                const QList<ChapterFile> &chapters)
{
    if (isExporting_)
        return;
    publish(exportErrorMessage_, {}, &SidecarModel::exportErrorMessageChanged);
    publish(isExporting_, true, &SidecarModel::isExportingChanged);
    ensureStarted();

    ReportJob job = reportJob(document, savedURL, otherOpenTabs);
    job.cancel = exportCancel_ = std::make_shared<RequestCancel>();
    job.chapters = chapters;
    const ResolvedPaths &paths = job.paths;
    const QJsonObject fill = EngineRequests::fillParams(
        paths.jasperPath, paths.jrprintPath, paramValues, liveConnection, document.queryString);
    const QJsonObject exportParams = EngineRequests::exportParams(
        paths.jrprintPath, destination.toLocalFile(), rawValue(format));
    runEngineJob(
        this,
        [job, fill, exportParams] {
            job.prepare();
            job.send(u"compile"_s,
                     EngineRequests::compileParams(job.paths.jrxmlPath, job.paths.jasperPath));
            job.fill(u"fill"_s, fill);
            job.send(u"export"_s, exportParams);
            return true;
        },
        [this, run = ++exportRun_, liveConnection](const EngineOutcome<bool> &outcome) {
            if (run != exportRun_)
                return; // called off
            exportCancel_.reset();
            publish(exportErrorMessage_, withKeychainCause(outcome.error, liveConnection),
                    &SidecarModel::exportErrorMessageChanged);
            publish(isExporting_, false, &SidecarModel::isExportingChanged);
            if (outcome.ok())
                runArtifactsHook();
        });
}

void SidecarModel::compileTab(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                              QObject *context, CompileCompletion completion,
                              std::shared_ptr<RequestCancel> cancel)
{
    ensureStarted();
    ReportJob job = reportJob(document, savedURL, {});
    job.cancel = std::move(cancel);
    runEngineJob(
        this,
        [job] {
            job.prepare();
            job.send(u"compile"_s,
                     EngineRequests::compileParams(job.paths.jrxmlPath, job.paths.jasperPath));
            return true;
        },
        [this, context = CompletionContext(context),
         completion](const EngineOutcome<bool> &outcome) {
            if (outcome.ok())
                runArtifactsHook();
            if (completion && context.isAlive())
                completion(outcome.error);
        });
}

void SidecarModel::compileOnly(const QString &jrxmlPath, const QString &jasperPath,
                               QObject *context, CompileCompletion completion)
{
    ensureStarted();
    runEngineJob(
        this,
        [client = client_, timeout = requestTimeout_,
         params = EngineRequests::compileParams(jrxmlPath, jasperPath)] {
            client->send(u"compile"_s, params, timeout);
            return true;
        },
        [context = CompletionContext(context), completion](const EngineOutcome<bool> &outcome) {
            if (completion && context.isAlive())
                completion(outcome.error);
        });
}
