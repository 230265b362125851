#include "EngineWorkFiles.h"

#include "EngineRequests.h"
#include "SidecarClient.h"
#include "SidecarError.h"
#include "model/JrxmlCodec.h"
#include "model/SubreportNaming.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

using namespace Qt::StringLiterals;

ResolvedPaths resolvePaths(const ReportDocument &document, const std::optional<QUrl> &savedURL,
                           const QString &workFolder)
{
    ResolvedPaths paths;
    paths.tempBase = QDir(workFolder).filePath(fileNameComponent(document.name));
    paths.jasperPath =
        savedURL ? jasperPathBeside(savedURL->toLocalFile()) : paths.tempBase + u".jasper"_s;
    paths.jrxmlPath = paths.tempBase + u".jrxml"_s;
    paths.jrprintPath = paths.tempBase + u".jrprint"_s;
    return paths;
}

QString jasperPathBeside(const QString &savedPath)
{
    const QFileInfo saved(savedPath);
    return saved.dir().filePath(withoutPathExtension(saved.fileName()) + u".jasper"_s);
}

void writeWorkFile(const QString &path, const QByteArray &bytes)
{
    // Written beside it under a fresh name and then renamed over it, so that the engine, which may
    // be reading the previous file for another job, never sees half a file. Work files need not
    // survive a power cut, so there is no sync to disk.
    QTemporaryFile file(path + u".XXXXXX"_s);
    const auto fail = [&](const QString &reason) {
        throw std::runtime_error(u"Could not write %1: %2"_s.arg(path, reason).toStdString());
    };
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        fail(file.errorString());
    if (::rename(QFile::encodeName(file.fileName()).constData(),
                 QFile::encodeName(path).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
}

QSet<QString> referencedSubreportNames(const ReportDocument &report)
{
    QSet<QString> referenced;
    for (const QString &expression : report.allSubreportExpressions()) {
        if (const std::optional<QString> name = candidateSubreportBaseName(expression))
            referenced.insert(*name);
    }
    return referenced;
}

QList<SubreportCompile> planSubreportCompiles(const ReportDocument &report,
                                              const QList<OpenTab> &otherTabs,
                                              const QString &workFolder)
{
    QList<SubreportCompile> compiles;
    if (otherTabs.isEmpty())
        return compiles;
    const QSet<QString> referenced = referencedSubreportNames(report);
    if (referenced.isEmpty())
        return compiles;
    for (const OpenTab &tab : otherTabs) {
        if (!tab.savedURL)
            continue;
        const QString savedPath = tab.savedURL->toLocalFile();
        const QString stem = withoutPathExtension(QFileInfo(savedPath).fileName());
        if (!referenced.contains(stem.toLower()))
            continue;
        compiles.append({QDir(workFolder).filePath(stem + u".jrxml"_s), jasperPathBeside(savedPath),
                         JrxmlCodec::serialize(tab.document), QFileInfo(savedPath).fileName()});
    }
    return compiles;
}

void compileSubreport(const SubreportCompile &compile, SidecarClient &client,
                      std::chrono::milliseconds timeout,
                      const std::shared_ptr<RequestCancel> &cancel)
{
    writeWorkFile(compile.jrxmlPath, compile.jrxml);
    client.send(u"compile"_s, EngineRequests::compileParams(compile.jrxmlPath, compile.jasperPath),
                timeout, cancel);
}

void compileNaming(const QString &subject, const std::function<void()> &compile)
{
    try {
        compile();
    } catch (const SidecarError &error) {
        if (error.kind() != SidecarError::Kind::rpcError)
            throw;
        throw SidecarError::rpcError(subject + u" does not compile: "_s + error.detail(),
                                     error.causes());
    }
}

QString subreportInAnotherTab(const QString &fileName)
{
    return u"The subreport \""_s + fileName + u"\", open in another tab,"_s;
}
