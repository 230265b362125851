#include "../engine/EngineTestSupport.h"
#include "AppInstanceTest.h"
#include "app/AppMenus.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "document/DocumentStore.h"
#include "engine/ConnectionPresetStore.h"
#include "model/JrxmlCodec.h"
#include "setup/ReportBookBuilder.h"
#include "workspace/WorkspaceModel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Report books made from the File menu and previewed through the real engine.
class ReportBookPreviewTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    }

    SidecarModel &engine() const { return app->engine(); }
    DocumentStore *store() const { return app->workspace().activeStore(); }

    // A chapter report at `relativePath` printing `title`, and with a query the customers' names,
    // one a line.
    QUrl writeChapter(const QString &relativePath, const QString &title,
                      const QString &query = QString())
    {
        ReportDocument chapter = DocumentStore::defaultDocument();
        chapter.name = QFileInfo(relativePath).baseName();
        ReportElement heading = testsupport::element(ElementKind{ElementKind::StaticText{title}});
        heading.width = 300;
        chapter.bands[1].isPresent = true; // the title
        chapter.bands[1].elements.append(heading);
        if (!query.isEmpty()) {
            chapter.queryString = query;
            chapter.fields.append({.name = u"name"_s, .className = u"java.lang.String"_s});
            ReportElement name =
                testsupport::element(ElementKind{ElementKind::TextField{u"$F{name}"_s}});
            name.width = 300;
            chapter.detailBands[0].elements.append(name);
        }
        const QString path = this->path(relativePath);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(JrxmlCodec::serialize(chapter));
        return QUrl::fromLocalFile(path);
    }

    // New Report Book with `chapters`, once each chapter is compiled beside its file.
    void makeBook(const QList<QUrl> &chapters)
    {
        dialogs->answerOpenPanel(chapters);
        AppMenus::action(app->menus().fileMenu(), u"New Report Book..."_s)->trigger();
        ASSERT_EQ(store()->document().name, u"ReportBook"_s);
        for (const QUrl &chapter : chapters) {
            const QString jasper =
                QFileInfo(chapter.toLocalFile())
                    .dir()
                    .filePath(QFileInfo(chapter.toLocalFile()).completeBaseName() + u".jasper"_s);
            ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(jasper); }, 90000))
                << jasper.toStdString();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !engine().isBusy(); }, 90000));
    }

    // Each page holds its chapter's title, in book order.
    static void expectChapters(const QStringList &pages, const QStringList &titles)
    {
        ASSERT_EQ(pages.size(), titles.size()) << pages.join(u" | "_s).toStdString();
        for (qsizetype i = 0; i < titles.size(); ++i)
            EXPECT_TRUE(pages[i].contains(titles[i])) << pages[i].toStdString();
    }
    // Gives a file the modification time `time`, as a restore from a backup does.
    void setModified(const QString &relativePath, const QDateTime &time)
    {
        QFile file(path(relativePath));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }

    // Presses Preview; the text of the PDF, page by page, or the engine's error.
    QStringList preview()
    {
        engine().setPreviewSession(std::nullopt);
        QTest::mouseClick(app->contentView()->trailingToolbar()->previewButton(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return engine().isRendering(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !engine().isRendering(); }, 90000));
        if (engine().errorMessage())
            return {u"error: "_s + *engine().errorMessage()};
        if (!engine().pdfURL())
            return {u"no PDF"_s};
        QPdfDocument pdf;
        pdf.load(engine().pdfURL()->toLocalFile());
        QStringList pages;
        for (int page = 0; page < pdf.pageCount(); ++page)
            pages.append(pdf.getAllText(page).text().simplified());
        return pages;
    }
};

} // namespace

// A new book is not saved, so $P{SUBREPORT_DIR} is the engine's work folder, where no chapter
// lies; and chapters of two folders have no one folder. Each chapter is found beside its own
// file all the same, before the book is saved and after it is saved somewhere else, and the saved
// book names its chapters as it was built.
TEST_F(ReportBookPreviewTest, ANewBookPreviewsChaptersOfTwoFoldersBeforeAndAfterItIsSaved)
{
    QUILLMARK_REQUIRE_ENGINE();
    engine().setLocationProvider([location] { return *location; });
    const QList<QUrl> chapters = {writeChapter(u"One/A.jrxml"_s, u"Chapter Alpha"_s),
                                  writeChapter(u"Two/B.jrxml"_s, u"Chapter Beta"_s)};
    makeBook(chapters);

    QStringList pages = preview();
    ASSERT_EQ(pages.size(), 2) << pages.join(u" | "_s).toStdString();
    EXPECT_TRUE(pages[0].contains(u"Chapter Alpha"_s)) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(u"Chapter Beta"_s)) << pages[1].toStdString();

    const QString bookFile = path(u"Three/Book.jrxml"_s);
    ASSERT_TRUE(QDir().mkpath(path(u"Three"_s)));
    dialogs->answerSavePanel(QUrl::fromLocalFile(bookFile));
    app->fileCommands().saveActiveDocumentAs();
    ASSERT_EQ(store()->fileURL(), QUrl::fromLocalFile(bookFile));
    QFile saved(bookFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const ReportDocument written = JrxmlCodec::parse(saved.readAll());
    const auto *first = written.detailBands.at(0).elements.at(0).kind.as<ElementKind::Subreport>();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->expression, ReportBookBuilder::chapterExpression(chapters[0]));
    EXPECT_EQ(first->dataSourceExpression, ReportBookBuilder::chapterDataSourceExpression());

    pages = preview();
    ASSERT_EQ(pages.size(), 2) << pages.join(u" | "_s).toStdString();
    EXPECT_TRUE(pages[1].contains(u"Chapter Beta"_s)) << pages[1].toStdString();
}

// With the book's live connection a chapter that has a query prints its rows; a chapter without
// one still prints once.
TEST_F(ReportBookPreviewTest, WithAConnectionAChapterThatHasAQueryPrintsItsRows)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_POSTGRES("to query");
    engine().setLocationProvider([location] { return *location; });
    const QList<QUrl> chapters = {writeChapter(u"Cover.jrxml"_s, u"The Cover"_s),
                                  writeChapter(u"People/Customers.jrxml"_s, u"Our Customers"_s,
                                               u"select name from customers order by id"_s)};
    makeBook(chapters);
    const DatabaseConnection &database = postgres->connection;
    app->connectionStore().add(database, postgres->password);
    store()->setActiveConnectionID(database.id);

    const QString printed = preview().join(u" | "_s);
    EXPECT_TRUE(printed.contains(u"The Cover"_s)) << printed.toStdString();
    EXPECT_TRUE(printed.contains(u"Our Customers"_s)) << printed.toStdString();
    for (const QString &name : {u"Ada Lovelace"_s, u"Grace Hopper"_s, u"Barbara Liskov"_s})
        EXPECT_TRUE(printed.contains(name))
            << name.toStdString() << " in " << printed.toStdString();

    // Without the connection the chapter prints once, from one empty record.
    store()->setActiveConnectionID(std::nullopt);
    const QString offline = preview().join(u" | "_s);
    EXPECT_TRUE(offline.contains(u"Our Customers"_s)) << offline.toStdString();
    EXPECT_FALSE(offline.contains(u"Ada Lovelace"_s)) << offline.toStdString();
}

// A chapter edited on disk after it was compiled prints as it is now; a chapter renamed away is
// named in the error, whether its old compiled file is still there or not.
TEST_F(ReportBookPreviewTest, ABookPrintsItsChaptersAsTheyAreNowAndNamesOneThatIsGone)
{
    QUILLMARK_REQUIRE_ENGINE();
    engine().setLocationProvider([location] { return *location; });
    const QList<QUrl> chapters = {writeChapter(u"Parts/A.jrxml"_s, u"Chapter Alpha"_s),
                                  writeChapter(u"Parts/B.jrxml"_s, u"Chapter Beta"_s)};
    makeBook(chapters);
    QStringList pages = preview();
    ASSERT_EQ(pages.size(), 2) << pages.join(u" | "_s).toStdString();
    EXPECT_TRUE(pages[0].contains(u"Chapter Alpha"_s)) << pages[0].toStdString();

    // Edited after its compile (the clock of the file says so, however fast this runs).
    writeChapter(u"Parts/A.jrxml"_s, u"Chapter Gamma"_s);
    const QDateTime compiled = QFileInfo(path(u"Parts/A.jasper"_s)).lastModified();
    QFile edited(path(u"Parts/A.jrxml"_s));
    ASSERT_TRUE(edited.open(QIODevice::ReadWrite));
    ASSERT_TRUE(edited.setFileTime(compiled.addSecs(5), QFileDevice::FileModificationTime));
    edited.close();
    pages = preview();
    ASSERT_EQ(pages.size(), 2) << pages.join(u" | "_s).toStdString();
    EXPECT_TRUE(pages[0].contains(u"Chapter Gamma"_s)) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(u"Chapter Beta"_s)) << pages[1].toStdString();

    ASSERT_TRUE(QFile::rename(path(u"Parts/B.jrxml"_s), path(u"Parts/Beta.jrxml"_s)));
    const QString gone = u"error: The chapter \"B.jrxml\" of this book is no longer in "_s +
                         QDir::toNativeSeparators(path(u"Parts"_s)) + u": it was renamed"_s;
    EXPECT_TRUE(preview().join(u" | "_s).startsWith(gone))
        << preview().join(u" | "_s).toStdString();
    ASSERT_TRUE(QFile::remove(path(u"Parts/B.jasper"_s)));
    EXPECT_TRUE(preview().join(u" | "_s).startsWith(gone))
        << preview().join(u" | "_s).toStdString();
}

// A chapter put back from a backup keeps the backup's old time (cp -p, rsync -a, tar, unzip): its
// report is older than its compiled file, yet the book prints the report as it is now, in the
// preview and in an export. A chapter that did not change is not compiled again.
TEST_F(ReportBookPreviewTest, AChapterRestoredWithAnOldTimePrintsAsRestored)
{
    QUILLMARK_REQUIRE_ENGINE();
    engine().setLocationProvider([location] { return *location; });
    makeBook({writeChapter(u"Parts/A.jrxml"_s, u"Chapter Alpha"_s),
              writeChapter(u"Parts/B.jrxml"_s, u"Chapter Beta"_s)});
    expectChapters(preview(), {u"Chapter Alpha"_s, u"Chapter Beta"_s});
    const QDateTime compiledB = QFileInfo(path(u"Parts/B.jasper"_s)).lastModified();

    // The backup: A as it was a day before it was compiled.
    const QDateTime compiled = QFileInfo(path(u"Parts/A.jasper"_s)).lastModified();
    writeChapter(u"Parts/A.jrxml"_s, u"Chapter Restored"_s);
    setModified(u"Parts/A.jrxml"_s, compiled.addDays(-1));
    expectChapters(preview(), {u"Chapter Restored"_s, u"Chapter Beta"_s});
    EXPECT_EQ(QFileInfo(path(u"Parts/B.jasper"_s)).lastModified(), compiledB)
        << "B did not change: its compiled file stays as it was";

    // Restored again, to what it was before; exported this time.
    writeChapter(u"Parts/A.jrxml"_s, u"Chapter Alpha"_s);
    setModified(u"Parts/A.jrxml"_s, compiled.addDays(-2));
    const QString pdf = path(u"Book.pdf"_s);
    dialogs->answerSavePanel(QUrl::fromLocalFile(pdf));
    app->fileCommands().exportDocument(ExportFormat::pdf);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine().isExporting(); }, 90000));
    ASSERT_FALSE(engine().exportErrorMessage()) << engine().exportErrorMessage()->toStdString();
    QPdfDocument exported;
    ASSERT_EQ(exported.load(pdf), QPdfDocument::Error::None);
    expectChapters({exported.getAllText(0).text(), exported.getAllText(1).text()},
                   {u"Chapter Alpha"_s, u"Chapter Beta"_s});
    EXPECT_EQ(exported.pageCount(), 2);
}

// ShapesReport's title fills its page within its own margins: in a book, within the book's
// margins too, it no longer fits. The builder names it when it is chosen; the preview names it,
// and once it fits, the chapter the engine does not compile, each in the words it shows, and
// then prints the book.
TEST_F(ReportBookPreviewTest, TheBuilderAndThePreviewNameAChapterThatDoesNotFitOrCompile)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_CORPUS();
    engine().setLocationProvider([location] { return *location; });
    const QString shapes = path(u"Shapes/ShapesReport.jrxml"_s);
    ASSERT_TRUE(QDir().mkpath(path(u"Shapes"_s)));
    ASSERT_TRUE(QFile::copy(
        testsupport::corpusDir() + u"/jrxml-samples/shapes/ShapesReport.jrxml"_s, shapes));
    const QUrl broken =
        writeChapter(u"Shapes/Broken.jrxml"_s, u"Chapter Beta"_s, u"select name from customers"_s);
    const auto rewrite = [](const QString &file, const QString &from, const QString &to) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll()).replace(from, to);
        f.close();
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    };
    // The chapter names a field it does not declare.
    rewrite(broken.toLocalFile(), u"$F{name}"_s, u"$F{Missing}"_s);

    dialogs->answerOpenPanel({QUrl::fromLocalFile(shapes), broken});
    AppMenus::action(app->menus().fileMenu(), u"New Report Book..."_s)->trigger();
    const QString misfit =
        u"The chapter \"ShapesReport.jrxml\" does not fit the book's page: the book prints it "
        u"within its own margins (20 points above, 20 below) and the chapter's (30 and 30), and "
        u"with those its bands need 882 points of the page's 842. Lower the chapter's bands or "
        u"margins by 40 points in its own report."_s;
    ASSERT_EQ(dialogs->alerts().size(), 1);
    EXPECT_EQ(dialogs->alerts().at(0).message, u"A Chapter Does Not Fit the Book's Page"_s);
    EXPECT_EQ(dialogs->alerts().at(0).informativeText, misfit);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(path(u"Shapes/ShapesReport.jasper"_s)); }, 90000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine().isBusy(); }, 90000));

    // The preview's words, as its error display shows them.
    const auto said = [&] {
        const QStringList pages = preview();
        const auto *words = app->mainWindow()->findChild<QLabel *>(u"FriendlyError"_s);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            words = app->mainWindow()->findChild<QLabel *>(u"FriendlyError"_s);
            return words && words->isVisible();
        })) << pages.join(u" | "_s).toStdString();
        return words ? words->text() : pages.join(u" | "_s);
    };
    EXPECT_EQ(said(), misfit);
    // Without margins of its own the title fits; then the other chapter is named.
    rewrite(shapes, uR"(topMargin="30" bottomMargin="30")"_s,
            uR"(topMargin="0" bottomMargin="0")"_s);
    EXPECT_EQ(said(), u"The chapter \"Broken.jrxml\" of this book does not compile, so the book "
                      u"cannot print. Open the chapter and correct it there: The report uses a "
                      u"field named \"Missing\" that isn't declared. Check the spelling, or add a "
                      u"field with that name in the Report Data sheet (the Data button)."_s);
    rewrite(broken.toLocalFile(), u"$F{Missing}"_s, u"$F{name}"_s);
    const QString printed = preview().join(u" | "_s);
    EXPECT_TRUE(printed.contains(u"<ellipse>"_s) && printed.contains(u"Chapter Beta"_s))
        << printed.toStdString();
}
