#include "setup/ReportBookChapters.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "setup/ReportBookBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

ReportDocument bookOf(const QList<QUrl> &chapters)
{
    return ReportBookBuilder::buildReportBook(u"ReportBook"_s, 595, 842, 30, 30, 20, 20, chapters);
}

// The subreports of a book's chapter bands, in book order.
QList<ElementKind::Subreport> chaptersOf(const ReportDocument &book)
{
    QList<ElementKind::Subreport> chapters;
    for (const ReportBand &band : book.detailBands)
        for (const ReportElement &element : band.elements)
            if (const auto *chapter = element.kind.as<ElementKind::Subreport>())
                chapters.append(*chapter);
    return chapters;
}

class ReportBookChaptersTest : public ::testing::Test {
protected:
    // A chapter report in the temporary folder, with `query` in `language`; its file.
    QUrl writeChapter(const QString &relativePath, const QString &query,
                      const QString &language = u"sql"_s)
    {
        ReportDocument chapter = DocumentStore::defaultDocument();
        chapter.queryString = query;
        chapter.queryLanguage = language;
        const QString path = dir.filePath(relativePath);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(JrxmlCodec::serialize(chapter));
        return QUrl::fromLocalFile(path);
    }

    QTemporaryDir dir;
    ReportBookChapters books;
};

} // namespace

// A new book names its chapters under $P{SUBREPORT_DIR}, which is the work folder before it is
// saved: the engine is given each chapter by its compiled file beside the chapter's own, from
// whatever folders they come, and the book itself stays as it was built.
TEST_F(ReportBookChaptersTest, TheEngineFindsEachRememberedChapterBesideItsOwnFile)
{
    const QList<QUrl> chapters = {QUrl::fromLocalFile(u"/one/Intro.jrxml"_s),
                                  QUrl::fromLocalFile(u"/two/Sales.2024.jrxml"_s),
                                  QUrl::fromLocalFile(u"/one/Intro.jrxml"_s)};
    const ReportDocument book = bookOf(chapters);
    books.remember(book, chapters);
    EXPECT_EQ(books.chapterFile(book.detailBands[2].elements.at(0).id), chapters[1]);
    EXPECT_EQ(books.chapterFile(book.detailBands[1].elements.at(0).id), std::nullopt)
        << "the page break is no chapter";

    const ReportDocument engine = books.forEngine(book, std::nullopt, false, {});
    const QList<ElementKind::Subreport> given = chaptersOf(engine);
    ASSERT_EQ(given.size(), 3);
    EXPECT_EQ(given[0].expression, u"\"/one/Intro.jasper\""_s);
    EXPECT_EQ(given[1].expression, u"\"/two/Sales.2024.jasper\""_s);
    EXPECT_EQ(given[2].expression, u"\"/one/Intro.jasper\""_s);
    for (const ElementKind::Subreport &chapter : given) {
        EXPECT_EQ(chapter.dataSourceExpression, ReportBookBuilder::chapterDataSourceExpression());
        EXPECT_EQ(chapter.connectionExpression, std::nullopt);
    }
    EXPECT_EQ(chaptersOf(book)[1].expression, u"$P{SUBREPORT_DIR} + \"Sales.2024.jasper\""_s)
        << "the book is not changed";

    // Saved elsewhere, it still finds them; a chapter the user pointed elsewhere is left alone.
    ReportDocument edited = book;
    edited.detailBands[0].elements[0].kind.as<ElementKind::Subreport>()->expression =
        u"$P{SUBREPORT_DIR} + \"Other.jasper\""_s;
    const QList<ElementKind::Subreport> saved =
        chaptersOf(books.forEngine(edited, QUrl::fromLocalFile(u"/three/Book.jrxml"_s), false, {}));
    EXPECT_EQ(saved[0].expression, u"$P{SUBREPORT_DIR} + \"Other.jasper\""_s);
    EXPECT_EQ(saved[1].expression, u"\"/two/Sales.2024.jasper\""_s);

    // A book of another session, and any other report, go as they are.
    const ReportDocument unknown = bookOf({QUrl::fromLocalFile(u"/one/Intro.jrxml"_s)});
    EXPECT_EQ(books.forEngine(unknown, std::nullopt, true, {}), unknown);
}

// With a live connection, a chapter that has an SQL query runs it on the book's connection; one
// without (or with a query of another language) is filled from one empty record as before.
TEST_F(ReportBookChaptersTest, WithAConnectionTheChaptersThatHaveAQueryRunOnIt)
{
    const QUrl customers = writeChapter(u"a/Customers.jrxml"_s, u"select name from customers"_s);
    const QUrl cover = writeChapter(u"b/Cover.jrxml"_s, u"  \n"_s);
    const QUrl xml = writeChapter(u"b/Feed.jrxml"_s, u"/orders/order"_s, u"xPath"_s);
    const QList<QUrl> chapters = {cover, customers, xml};
    const ReportDocument book = bookOf(chapters);
    books.remember(book, chapters);

    const QList<ElementKind::Subreport> live = chaptersOf(books.forEngine(book, {}, true, {}));
    ASSERT_EQ(live.size(), 3);
    EXPECT_EQ(live[1].connectionExpression, u"$P{REPORT_CONNECTION}"_s);
    EXPECT_EQ(live[1].dataSourceExpression, std::nullopt);
    for (int i : {0, 2}) {
        EXPECT_EQ(live[i].connectionExpression, std::nullopt) << i;
        EXPECT_EQ(live[i].dataSourceExpression, ReportBookBuilder::chapterDataSourceExpression())
            << i;
    }
    for (const ElementKind::Subreport &chapter : chaptersOf(books.forEngine(book, {}, false, {})))
        EXPECT_EQ(chapter.dataSourceExpression, ReportBookBuilder::chapterDataSourceExpression())
            << "without a connection every chapter has its one record";

    // An open chapter's tab speaks for its file, unsaved query and all.
    ReportDocument withQuery = DocumentStore::defaultDocument();
    withQuery.queryString = u"select 1"_s;
    const QList<ElementKind::Subreport> open =
        chaptersOf(books.forEngine(book, {}, true, {OpenTab{withQuery, cover}}));
    EXPECT_EQ(open[0].connectionExpression, u"$P{REPORT_CONNECTION}"_s);
}

// A book saved beside its chapters and opened again names them through $P{SUBREPORT_DIR}, its
// folder: the engine finds them there, and with a connection those with a query run on it.
TEST_F(ReportBookChaptersTest, ASavedBookReopenedRunsItsChaptersQueriesOnTheConnection)
{
    const QUrl customers = writeChapter(u"Customers.jrxml"_s, u"select name from customers"_s);
    const QUrl cover = writeChapter(u"Cover.jrxml"_s, QString());
    const ReportDocument reopened =
        JrxmlCodec::parse(JrxmlCodec::serialize(bookOf({cover, customers})));
    const QUrl bookFile = QUrl::fromLocalFile(dir.filePath(u"Book.jrxml"_s));

    const QList<ElementKind::Subreport> live =
        chaptersOf(books.forEngine(reopened, bookFile, true, {}));
    ASSERT_EQ(live.size(), 2);
    EXPECT_EQ(live[0].dataSourceExpression, ReportBookBuilder::chapterDataSourceExpression());
    EXPECT_EQ(live[1].connectionExpression, u"$P{REPORT_CONNECTION}"_s);
    EXPECT_EQ(live[1].expression, u"$P{SUBREPORT_DIR} + \"Customers.jasper\""_s);
    EXPECT_EQ(books.forEngine(reopened, bookFile, false, {}), reopened);
}
