#include "setup/ReportBookChapters.h"

#include "document/ReportFile.h"
#include "engine/EngineWorkFiles.h"
#include "model/JrxmlCodec.h"
#include "model/SubreportNaming.h"
#include "setup/ReportBookBuilder.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The chapter file in the book's folder that a chapter's expression names, as the builder would
// have named it; no value for an expression of another form.
std::optional<QUrl> chapterBesideBook(const QString &expression, const QUrl &bookFile)
{
    const std::optional<QString> baseName = subreportBaseName(expression);
    if (!baseName)
        return std::nullopt;
    const QUrl chapter = QUrl::fromLocalFile(
        QFileInfo(bookFile.toLocalFile()).dir().filePath(*baseName + u".jrxml"_s));
    if (ReportBookBuilder::chapterExpression(chapter) != expression)
        return std::nullopt;
    return chapter;
}

bool samePath(const QUrl &a, const QUrl &b)
{
    return QDir::cleanPath(a.toLocalFile()) == QDir::cleanPath(b.toLocalFile());
}

} // namespace

void ReportBookChapters::remember(const ReportDocument &book, const QList<QUrl> &chapterURLs)
{
    qsizetype next = 0;
    for (const ReportBand &band : book.detailBands) {
        for (qsizetype i = 0; i < band.elements.size() && next < chapterURLs.size(); ++i) {
            const ReportElement &element = band.elements.at(i);
            const auto *chapter = element.kind.as<ElementKind::Subreport>();
            if (chapter &&
                chapter->expression == ReportBookBuilder::chapterExpression(chapterURLs[next]))
                chapters_.insert(element.id, chapterURLs[next++]);
        }
    }
}

std::optional<QUrl> ReportBookChapters::chapterFile(const QUuid &elementId) const
{
    const auto found = chapters_.constFind(elementId);
    return found == chapters_.cend() ? std::nullopt : std::optional(*found);
}

std::optional<ReportBookChapters::Chapter>
ReportBookChapters::chapterOf(const ReportElement &element,
                              const std::optional<QUrl> &savedURL) const
{
    const auto *chapter = element.kind.as<ElementKind::Subreport>();
    // A chapter as the builder makes it: filled from one empty record, no connection.
    if (!chapter || chapter->connectionExpression ||
        chapter->dataSourceExpression != ReportBookBuilder::chapterDataSourceExpression())
        return std::nullopt;
    const std::optional<QUrl> file = chapterFile(element.id);
    if (file && chapter->expression == ReportBookBuilder::chapterExpression(*file))
        return Chapter{*file, true};
    if (!savedURL)
        return std::nullopt;
    if (const std::optional<QUrl> beside = chapterBesideBook(chapter->expression, *savedURL))
        return Chapter{*beside, false};
    return std::nullopt;
}

ReportDocument ReportBookChapters::forEngine(const ReportDocument &document,
                                             const std::optional<QUrl> &savedURL,
                                             bool hasConnection,
                                             const QList<OpenTab> &openTabs) const
{
    ReportDocument engine = document;
    for (ReportBand &band : engine.detailBands) {
        for (qsizetype i = 0; i < band.elements.size(); ++i) {
            const std::optional<Chapter> chapter =
                chapterOf(std::as_const(band.elements).at(i), savedURL);
            if (!chapter)
                continue;
            const bool runsQuery = hasConnection && chapterHasSqlQuery(chapter->file, openTabs);
            if (!chapter->remembered && !runsQuery)
                continue;
            auto *edited = band.elements[i].kind.as<ElementKind::Subreport>();
            if (chapter->remembered)
                edited->expression =
                    javaStringLiteral(jasperPathBeside(chapter->file.toLocalFile()));
            if (runsQuery) {
                edited->connectionExpression = u"$P{REPORT_CONNECTION}"_s;
                edited->dataSourceExpression.reset();
            }
        }
    }
    return engine;
}

QList<ChapterFile> ReportBookChapters::chapterFiles(const ReportDocument &document,
                                                    const std::optional<QUrl> &savedURL) const
{
    QList<ChapterFile> files;
    for (const ReportBand &band : document.detailBands) {
        for (const ReportElement &element : band.elements) {
            if (const std::optional<Chapter> chapter = chapterOf(element, savedURL)) {
                const QString path = chapter->file.toLocalFile();
                files.append({path, jasperPathBeside(path)});
            }
        }
    }
    return files;
}

bool ReportBookChapters::chapterHasSqlQuery(const QUrl &chapterFile, const QList<OpenTab> &openTabs)
{
    // The engine runs a report's query when it has text; on a JDBC connection only SQL runs.
    const auto runsSql = [](const ReportDocument &chapter) {
        return !chapter.queryString.trimmed().isEmpty() &&
               chapter.queryLanguage.compare(u"sql"_s, Qt::CaseInsensitive) == 0;
    };
    for (const OpenTab &tab : openTabs) {
        if (tab.savedURL && samePath(*tab.savedURL, chapterFile))
            return runsSql(tab.document);
    }
    const std::optional<QByteArray> bytes = ReportFile::tryReadBytes(chapterFile.toLocalFile());
    if (!bytes)
        return false;
    try {
        return runsSql(JrxmlCodec::parse(*bytes));
    } catch (const std::exception &) {
        return false;
    }
}
