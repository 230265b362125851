#pragma once

#include "EngineRequests.h"
#include "EngineWorkFiles.h"
#include "ExportFormat.h"
#include "LiveConnection.h"
#include "PrivateWorkFolder.h"
#include "SidecarClient.h"
#include "SidecarModelTypes.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

// The one driver of the report engine. It owns the engine client, starts the engine when a job
// needs it, works out a job's files and publishes each job's busy flag, outcome and error text.
// Every operation is called on the main thread and returns at once: the requests go out from a
// background task, which waits its turn on the client, and the outcome comes back on the main
// thread. An outcome that arrives after the model is gone is dropped; so is a completion whose
// context object is gone.
struct ReportJob;
class ChapterCompiles;

class SidecarModel : public QObject {
    Q_OBJECT

public:
    using ParamValues = EngineRequests::ParamValues;
    // An error text, or no value on success.
    using CompileCompletion = std::function<void(const std::optional<QString> &error)>;
    using FieldsCompletion = std::function<void(const EngineOutcome<QList<LiveField>> &)>;
    using EvaluationCompletion = std::function<void(const EngineOutcome<std::optional<QString>> &)>;
    using LocationProvider = std::function<SidecarClient::Location()>;

    explicit SidecarModel(QObject *parent = nullptr);
    SidecarModel(const PrivateWorkFolder &workFolder, QObject *parent = nullptr);
    // Ends the engine (SidecarClient::shutdown): the requests still on their way fail at once and
    // their outcomes are dropped, so quitting never waits for a busy or silent engine.
    ~SidecarModel() override;

    // --- Published state ---------------------------------------------------------------------

    const std::optional<QUrl> &pdfURL() const { return pdfURL_; }
    const std::optional<QString> &errorMessage() const { return errorMessage_; }
    bool isRendering() const { return isRendering_; }
    const std::optional<PreviewSession> &previewSession() const { return previewSession_; }
    // Clearing the session (the sheet is dismissed) calls off the render that runs.
    void setPreviewSession(const std::optional<PreviewSession> &session);
    bool isExporting() const { return isExporting_; }
    const std::optional<QString> &exportErrorMessage() const { return exportErrorMessage_; }
    // The "Export Failed" alert clears the message when it goes away.
    void clearExportErrorMessage()
    {
        publish(exportErrorMessage_, {}, &SidecarModel::exportErrorMessageChanged);
    }
    const std::optional<RenderStats> &lastRenderStats() const { return lastRenderStats_; }
    bool isTestingConnection() const { return isTestingConnection_; }
    const std::optional<QString> &connectionTestResult() const { return connectionTestResult_; }
    // Opening the connection editor clears the last test's outcome.
    void clearConnectionTestResult()
    {
        publish(connectionTestResult_, {}, &SidecarModel::connectionTestResultChanged);
    }
    // Raised and lowered by whoever compiles all open reports; the model never changes it.
    bool isCompilingAll() const { return isCompilingAll_; }
    void setIsCompilingAll(bool compiling);
    const std::optional<QUuid> &testedConnectionID() const { return testedConnectionID_; }
    // The last query, whichever tab ran it.
    bool isExecutingQuery() const { return isExecutingQuery_; }
    const std::optional<QueryResult> &queryResult() const { return queryResult_; }
    const std::optional<QString> &queryErrorMessage() const { return queryErrorMessage_; }
    // What the queries run for one owner (a report tab) left: its running state, its last
    // result (kept when a later query of it fails) and the error of its last failed query.
    struct QueryOutcome {
        bool isExecuting = false;
        std::optional<QueryResult> result;
        std::optional<QString> errorMessage;
        bool operator==(const QueryOutcome &) const = default;
    };
    // Nothing for an owner that ran no query; forgotten when the owner goes.
    QueryOutcome queryOutcome(const QObject *owner) const { return queryOutcomes_.value(owner); }

    // True while a render, an export, a connection test, a live query or a compile-all runs.
    bool isBusy() const;

    // Run on the main thread after a render, an export or a tab compile has written its files.
    void setOnArtifactsWritten(std::function<void()> hook)
    {
        onArtifactsWritten_ = std::move(hook);
    }

    SidecarClient &sidecar() const { return *client_; }
    const PrivateWorkFolder &workFolder() const { return workFolder_; }

    // Where the engine is started from; SidecarClient::defaultLocation() unless replaced.
    void setLocationProvider(LocationProvider provider) { locate_ = std::move(provider); }
    // The longest wait for each reply; 45 seconds unless replaced.
    void setRequestTimeout(std::chrono::milliseconds timeout) { requestTimeout_ = timeout; }

    // --- Operations --------------------------------------------------------------------------

    // Starts the engine unless it runs; a failure to start becomes `errorMessage`, and the
    // requests that find no engine fail with it too. Every operation calls this first, so each
    // one tries the start again.
    void ensureStarted();

    // Compile & Preview: compiles the referenced subreports open in other tabs, and the
    // `chapters` of a report book that changed (ChapterCompiles), then renders the report to a
    // PDF in the work folder. Does nothing while a render runs.
    void compileAndPreview(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                           const QList<OpenTab> &otherOpenTabs, const ParamValues &paramValues,
                           const std::optional<LiveConnection> &liveConnection,
                           const QList<ChapterFile> &chapters = {});

    // Compiles the referenced subreports open in other tabs, and the `chapters` of a report book
    // that changed, then compiles, fills and exports the report to `destination`. Does nothing
    // while an export runs.
    void exportReport(const ReportDocument &document, ExportFormat format, const QUrl &destination,
                      const std::optional<QUrl> &savedURL, const QList<OpenTab> &otherOpenTabs,
                      const ParamValues &paramValues,
                      const std::optional<LiveConnection> &liveConnection,
                      const QList<ChapterFile> &chapters = {});
    // Calls off the export that runs (as closing the preview calls off its render): its requests
    // are cancelled, nothing is reported, and the model is no longer exporting. The engine it
    // waited on is let go, so the next request starts a fresh one.
    void cancelExport();

    // Compiles one tab's report into its compiled file (subreports are not compiled). The hook
    // runs on success before `completion`; `completion` only while `context` exists. With
    // `cancel`, the compile can be called off (SidecarClient::cancel); it then fails.
    void compileTab(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                    QObject *context, CompileCompletion completion,
                    std::shared_ptr<RequestCancel> cancel = {});
    // Compiles an existing JRXML file; the hook is not run.
    void compileOnly(const QString &jrxmlPath, const QString &jasperPath, QObject *context,
                     CompileCompletion completion);

    // Tests a preset; `onSuccess` runs after a successful test while `context` exists. With the
    // keychain's answer (`stored`) the password is the stored one, and a refused login names the
    // keychain as its cause (withKeychainCause); without one it was typed. A test with a `context`
    // (a connection editor's edits, which may differ from the stored preset) is withdrawn when the
    // context goes, unless keepConnectionTest() said otherwise: its outcome is cleared, or dropped
    // when it comes later, so that it never shows under the stored preset.
    void testConnection(const DatabaseConnection &connection, const QString &password,
                        QObject *context = nullptr, std::function<void()> onSuccess = {},
                        const std::optional<KeychainHelper::Read> &stored = std::nullopt);
    // The last test, when `context` started it, keeps its outcome after the context goes (the
    // editor saved the edits it tested).
    void keepConnectionTest(const QObject *context);
    // Runs a query for up to 200 sample rows on behalf of `owner`; a failure keeps the previous
    // result. Without a connection the engine runs it on an empty database of its own. The
    // failures of the jobs with a live connection name the keychain when it could not give the
    // password.
    void executeQuery(const std::optional<LiveConnection> &liveConnection, const QString &query,
                      QObject *owner = nullptr);
    void readFieldsLive(const std::optional<LiveConnection> &liveConnection, const QString &query,
                        QObject *context, FieldsCompletion completion);
    void evaluateExpression(const QString &expression, const QString &language,
                            const QList<ExpressionBinding> &fields,
                            const QList<ExpressionBinding> &parameters, QObject *context,
                            EvaluationCompletion completion);

signals:
    void pdfURLChanged();
    void errorMessageChanged();
    void isRenderingChanged();
    void previewSessionChanged();
    void isExportingChanged();
    void exportErrorMessageChanged();
    void lastRenderStatsChanged();
    void isTestingConnectionChanged();
    void connectionTestResultChanged();
    void isCompilingAllChanged();
    void testedConnectionIDChanged();
    void isExecutingQueryChanged();
    void queryResultChanged();
    void queryErrorMessageChanged();
    // Some owner's query outcome changed.
    void queryOutcomesChanged();
    void isBusyChanged();

private:
    // Assigns a published property and emits its signal, and isBusyChanged when that changes.
    template <typename T> void publish(T &member, const T &value, void (SidecarModel::*changed)())
    {
        if (member == value)
            return;
        const bool wasBusy = isBusy();
        member = value;
        emit(this->*changed)();
        if (isBusy() != wasBusy)
            emit isBusyChanged();
    }
    void runArtifactsHook();
    // Calls off the render that runs: its requests are cancelled (SidecarClient::cancel), its
    // outcome is dropped, and the model is no longer rendering, so the next one can start.
    void cancelRender();
    // Calls off the job that `running` says runs: a new `run` number drops its outcome, `cancel`
    // calls off its requests, and `running` is cleared.
    void callOff(bool &running, quint64 &run, std::shared_ptr<RequestCancel> &cancel,
                 void (SidecarModel::*changed)());
    // Everything a job on one report takes to its task; the work folder is made private now.
    ReportJob reportJob(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                        const QList<OpenTab> &otherOpenTabs);
    // Sends one request from a background task; `publish` gets the outcome on the main thread.
    template <typename Read, typename Publish>
    void sendInBackground(const QString &cmd, const QJsonObject &params, Read read,
                          Publish publish);

    std::function<void()> onArtifactsWritten_;
    std::optional<QUrl> pdfURL_;
    std::optional<QString> errorMessage_;
    bool isRendering_ = false;
    // The render that runs: its number (an outcome of another is dropped) and what calls it off.
    quint64 renderRun_ = 0;
    std::shared_ptr<RequestCancel> renderCancel_;
    std::optional<PreviewSession> previewSession_;
    bool isExporting_ = false;
    // The export that runs: its number (an outcome of another is dropped) and what calls it off.
    quint64 exportRun_ = 0;
    std::shared_ptr<RequestCancel> exportCancel_;
    std::optional<QString> exportErrorMessage_;
    std::optional<RenderStats> lastRenderStats_;
    bool isTestingConnection_ = false;
    std::optional<QString> connectionTestResult_;
    bool isCompilingAll_ = false;
    // Shared with the background tasks, which may still be waiting on it when the model goes.
    std::shared_ptr<SidecarClient> client_;
    std::shared_ptr<ChapterCompiles> chapterCompiles_;
    std::optional<QUuid> testedConnectionID_;
    // The last connection test's number, the context that started it, and the numbers of a test
    // whose outcome stays after its context goes and of one withdrawn.
    quint64 connectionTestRun_ = 0;
    QPointer<QObject> connectionTestContext_;
    quint64 keptConnectionTest_ = 0;
    quint64 withdrawnConnectionTest_ = 0;
    bool isExecutingQuery_ = false;
    std::optional<QueryResult> queryResult_;
    std::optional<QString> queryErrorMessage_;
    QHash<const QObject *, QueryOutcome> queryOutcomes_;
    // Changes one owner's outcome and says so; an owner that is gone by then is left out.
    void setQueryOutcome(const QObject *owner, const std::function<void(QueryOutcome &)> &change);

    PrivateWorkFolder workFolder_;
    LocationProvider locate_;
    std::chrono::milliseconds requestTimeout_ = SidecarClient::requestTimeout;
};
