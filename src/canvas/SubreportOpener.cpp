#include "canvas/SubreportOpener.h"

#include "document/DocumentStore.h"
#include "model/SubreportNaming.h"
#include "widgets/Dialogs.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

QString describe(const std::exception &error)
{
    if (const auto *file = dynamic_cast<const DocumentFileError *>(&error))
        return file->message();
    return QString::fromUtf8(error.what());
}

} // namespace

SubreportOpener::SubreportOpener(DocumentStore &store, WorkspaceModel &workspace,
                                 AppSettings &settings, Dialogs &dialogs)
    : store_(store), workspace_(workspace), settings_(settings), dialogs_(dialogs)
{
}

SubreportOpener::Outcome SubreportOpener::openSubreport(const QString &expression)
{
    if (!store_.fileURL()) {
        alert(u"Save the master report first - a subreport needs a saved file location to "
              "resolve its relative path against."_s,
              false);
        return Outcome::failed;
    }
    // Found ignoring case; a new file takes the spelling of the expression.
    const std::optional<QString> baseName = subreportBaseName(expression);
    if (!baseName) {
        alert(u"Couldn't find a quoted filename in this subreport's expression:\n\n"_s %
                  expression %
                  u"\n\nEdit it directly in the Inspector (e.g. \"SubreportName.jasper\"), then "
                  "try again."_s,
              false);
        return Outcome::failed;
    }
    const QString wanted = baseName->toLower();
    const QDir folder = QFileInfo(store_.fileURL()->toLocalFile()).dir();

    const std::optional<QStringList> names = listFolder_(folder.path());
    for (const QString &name : names.value_or(QStringList())) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot <= 0 || name.mid(dot + 1).toLower() != "jrxml"_L1)
            continue;
        if (name.left(dot).toLower() != wanted)
            continue;
        try {
            workspace_.openTab(QUrl::fromLocalFile(folder.filePath(name)));
            return Outcome::openedExisting;
        } catch (const std::exception &error) {
            alert(u"Found \""_s % name % u"\" but couldn't open it:\n\n"_s % describe(error), true);
            return Outcome::failed;
        }
    }

    const QString candidate = folder.filePath(*baseName + ".jrxml"_L1);
    const QUrl candidateURL = QUrl::fromLocalFile(candidate);
    if (QFileInfo::exists(candidate)) {
        try {
            workspace_.openTab(candidateURL);
            return Outcome::openedCandidate;
        } catch (const std::exception &error) {
            alert(u"\""_s % QFileInfo(candidate).fileName() %
                      u"\" exists but couldn't be opened:\n\n"_s % describe(error),
                  true);
            return Outcome::failed;
        }
    }

    workspace_.newTab(settings_.defaultPageWidth(), settings_.defaultPageHeight());
    if (workspace_.tabs().isEmpty())
        return Outcome::failed;
    DocumentStore *created = workspace_.tabs().last();
    ReportDocument document = created->document();
    document.name = *baseName;
    created->setDocument(document);
    try {
        created->save(candidateURL);
    } catch (const std::exception &error) {
        alert(u"Created the subreport tab but couldn't save it to \""_s % candidate % u"\":\n\n"_s %
                  describe(error),
              true);
        return Outcome::failed;
    }
    settings_.addRecentFile(candidateURL);
    settings_.setExplorerRefreshTick(settings_.explorerRefreshTick() + 1);
    return Outcome::created;
}

std::optional<QStringList> SubreportOpener::listFolder(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return std::nullopt;
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDir::Unsorted);
}

void SubreportOpener::alert(const QString &informativeText, bool print)
{
    if (print) {
        std::fprintf(stdout, "%s\n", informativeText.toUtf8().constData());
        std::fflush(stdout);
    }
    AlertRequest request;
    request.style = AlertRequest::Style::informational;
    request.message = u"Can't Open Subreport"_s;
    request.informativeText = informativeText;
    dialogs_.runAlert(request);
}
