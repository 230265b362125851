#include "AlertKeys.h"
#include "AppInstanceTest.h"
#include "ModelBuilders.h"
#include "TestSupport.h"
#include "app/ActionsRow.h"
#include "app/AppMenus.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/FileCommands.h"
#include "app/MainWindow.h"
#include "app/TabBarView.h"
#include "app/TabChip.h"
#include "canvas/BandItem.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "canvas/PaletteView.h"
#include "canvas/SnippetLibrary.h"
#include "canvas/SnippetsMenu.h"
#include "document/DocumentStore.h"
#include "document/ReportFile.h"
#include "model/JrxmlCodec.h"
#include "navigators/OutlineView.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Opening, saving, exporting and compiling as a user does it: keys, buttons and menus, with
// the panels and alerts answered by the scripted dialogs.
class FileSafetyTest : public apptest::AppInstanceTest {
protected:
    void SetUp() override
    {
        AppInstanceTest::SetUp();
        app->start();
        ASSERT_TRUE(apptest::activate(window()));
    }

    MainWindow *window() const { return app->mainWindow(); }
    WorkspaceModel &workspace() const { return app->workspace(); }
    DocumentStore *store() const { return workspace().activeStore(); }
    void keys(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) const
    {
        QTest::keyClick(window(), Qt::Key(key), modifiers);
    }
    // Opens the file as File ▸ Open... (Ctrl+O) does.
    void open(const QString &file) const
    {
        dialogs->answerOpenPanel({QUrl::fromLocalFile(file)});
        keys(Qt::Key_O);
    }
    QByteArray bytes(const QString &file) const
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }
    // Clicks an item of the menu, as the pointer does; the menu is opened first.
    static void clickItem(QMenu *menu, QAction *item)
    {
        if (!menu->isVisible()) {
            menu->popup(QPoint(200, 200));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        }
        const QPoint at = menu->actionGeometry(item).center();
        QTest::mouseMove(menu, at);
        QTest::mouseClick(menu, Qt::LeftButton, {}, at);
    }

    // Chooses the item of the outline's menu for the band's row.
    void chooseInOutline(const BandTarget &band, const QString &title) const
    {
        std::unique_ptr<QMenu> menu(
            app->contentView()->outline()->contextMenu(u"band."_s + band.id()));
        ASSERT_TRUE(menu) << band.id().toStdString();
        for (QAction *action : menu->actions()) {
            if (action->text() == title) {
                action->trigger();
                QCoreApplication::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "no " << title.toStdString() << " for " << band.id().toStdString();
    }
    // Clicks the canvas at a point of the band's body.
    void clickInto(const BandTarget &band, QPointF body) const
    {
        CanvasView *canvas = app->contentView()->canvas();
        const BandItem *item = canvas->scene()->bandItem(band);
        ASSERT_TRUE(item) << band.id().toStdString();
        const QPointF scene = item->mapToScene(item->bodyRect().topLeft() + body);
        canvas->graphicsView()->ensureVisible(QRectF(scene, QSizeF(1, 1)));
        QTest::mouseClick(canvas->graphicsView()->viewport(), Qt::LeftButton, {},
                          canvas->graphicsView()->mapFromScene(scene));
    }
    // Inserts the snippet of that name from the palette's Snippets menu.
    void insertSnippet(const QString &name) const
    {
        QMenu *menu = app->contentView()->palette()->snippetsMenu()->menu();
        menu->popup(QPoint(200, 200));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QAction *insert = nullptr;
        for (const QAction *entry : menu->actions()) {
            if (entry->menu() && entry->iconText() == name)
                insert = entry->menu()->actions().value(0);
        }
        menu->close();
        ASSERT_TRUE(insert && insert->text() == u"Insert"_s);
        insert->trigger();
    }

    const QByteArray theirs = "<jasperReport name=\"Theirs\"/>\n";
};

TEST_F(FileSafetyTest, SavingOverAFileAnotherProgramChangedAsksFirst)
{
    const QString file = writeReport(u"A.jrxml"_s, u"A"_s);
    open(file);
    ASSERT_EQ(store()->fileURL(), QUrl::fromLocalFile(file));

    // Another program rewrites the file; the user edits and saves.
    writeText(u"A.jrxml"_s, theirs);
    store()->addParameter();
    dialogs->answerAlert(1);
    keys(Qt::Key_S);
    ASSERT_EQ(dialogs->alerts().size(), 1);
    const AlertRequest question = dialogs->alerts()[0];
    EXPECT_EQ(question.message, u"A.jrxml was changed by another program since you opened it."_s);
    ASSERT_EQ(question.buttons.size(), 2);
    EXPECT_EQ(question.buttons[0].title, u"Overwrite"_s);
    EXPECT_EQ(question.buttons[1].title, u"Cancel"_s);
    EXPECT_EQ(question.defaultButton, 1) << "Return keeps the other program's changes";
    EXPECT_EQ(bytes(file), theirs) << "Cancel leaves the file as the other program wrote it";
    EXPECT_TRUE(store()->isDirty());

    // The quiet save before a preview never writes over it either.
    QTest::mouseClick(app->contentView()->trailingToolbar()->previewButton(), Qt::LeftButton);
    EXPECT_EQ(bytes(file), theirs);
    EXPECT_EQ(dialogs->alerts().size(), 1);
    EXPECT_TRUE(store()->isDirty());
    ASSERT_TRUE(workspace().isParameterPromptVisible()) << "the new parameter is asked for";
    workspace().dismissParameterPrompt();

    // Save All asks as well; Overwrite writes the report.
    dialogs->answerAlert(0);
    QTest::mouseClick(
        app->contentView()->actionsRow()->findChild<QToolButton *>(u"square.stack.3d.down.right"_s),
        Qt::LeftButton);
    ASSERT_EQ(dialogs->alerts().size(), 2);
    EXPECT_EQ(dialogs->alerts()[1].message, question.message);
    EXPECT_NE(bytes(file), theirs);
    EXPECT_FALSE(store()->isDirty());

    // What the program wrote itself, or a file only touched, is saved without a question.
    store()->addParameter();
    keys(Qt::Key_S);
    QFile touched(file);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                        QFileDevice::FileModificationTime);
    touched.close();
    store()->addParameter();
    keys(Qt::Key_S);
    EXPECT_EQ(dialogs->alerts().size(), 2);
    EXPECT_FALSE(store()->isDirty());
}

TEST_F(FileSafetyTest, CompileAllNamesEveryReportThatFailed)
{
    for (const QString &name : {u"Broken"_s, u"Fine"_s, u"Missing"_s})
        open(writeReport(name + u".jrxml"_s, name));
    ReportDocument untitled;
    untitled.name = u"Draft"_s;
    workspace().newTab(595, 842);
    store()->setDocument(untitled);
    const QMap<QString, QString> errors = {
        {u"Broken"_s, u"net.sf.jasperreports.engine.design.JRValidationException: Report design "
                      u"not valid : \n\t 1. Field not found : Amount"_s},
        {u"Draft"_s, u"Something odd happened\n"_s},
        {u"Missing"_s, u"java.io.FileNotFoundException: Orders.jasper"_s}};
    QStringList compiled;
    app->fileCommands().setCompileStep([&](const OpenTab &tab, QObject *context, auto done) {
        compiled.append(tab.document.name);
        const std::optional<QString> error =
            errors.contains(tab.document.name)
                ? std::optional<QString>(errors.value(tab.document.name))
                : std::nullopt;
        QTimer::singleShot(0, context, [done, error] { done(error); });
    });

    QTest::mouseClick(app->contentView()->actionsRow()->findChild<QToolButton *>(u"hammer"_s),
                      Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app->engine().isCompilingAll(); }));
    EXPECT_EQ(compiled, QStringList({u"Broken"_s, u"Fine"_s, u"Missing"_s, u"Draft"_s}));
    ASSERT_EQ(dialogs->alerts().size(), 1) << "one alert for all of them";
    const AlertRequest &alert = dialogs->alerts()[0];
    EXPECT_EQ(alert.message, u"3 Reports Failed to Compile"_s);
    const QStringList lines = alert.informativeText.split(u"\n\n"_s);
    ASSERT_EQ(lines.size(), 3) << alert.informativeText.toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"Broken.jrxml: The report uses a field named \"Amount\""_s))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(u"Missing.jrxml: "_s));
    EXPECT_FALSE(lines[1].contains(u"FileNotFoundException"_s)) << "the friendly text";
    EXPECT_EQ(lines[2], u"Draft: Something odd happened"_s) << "a report never saved, by name";
}

TEST_F(FileSafetyTest, PanelsStartInTheReportsFolderAndExportProposesItsFileName)
{
    const QString projectFolder = path(u"Reports"_s);
    QDir().mkpath(path(u"Reports/Sales"_s));
    const QString invoice = writeReport(u"Reports/Sales/Invoice.jrxml"_s, u"Quarterly"_s);

    // A report never saved: the project folder.
    dialogs->answerSavePanel(std::nullopt);
    keys(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    open(invoice);
    ASSERT_EQ(dialogs->savePanels().size(), 1);
    EXPECT_EQ(dialogs->savePanels()[0].directory, projectFolder);
    ASSERT_EQ(dialogs->openPanels().size(), 1);
    EXPECT_EQ(dialogs->openPanels()[0].directory, projectFolder);

    // A saved report: its own folder, for Open, Save As and Export.
    const QString salesFolder = QFileInfo(invoice).absolutePath();
    keys(Qt::Key_O);
    ASSERT_EQ(dialogs->openPanels().size(), 2);
    EXPECT_EQ(dialogs->openPanels()[1].directory, salesFolder);
    keys(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs->savePanels().size(), 2);
    EXPECT_EQ(dialogs->savePanels()[1].directory, salesFolder);

    AppMenus &menus = app->menus();
    clickItem(menus.fileMenu(), menus.exportMenu()->menuAction());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menus.exportMenu()));
    clickItem(menus.exportMenu(), AppMenus::action(menus.exportMenu(), u"PDF"_s));
    ASSERT_EQ(dialogs->savePanels().size(), 3);
    EXPECT_EQ(dialogs->savePanels()[2].directory, salesFolder);
    EXPECT_EQ(dialogs->savePanels()[2].proposedFileName, u"Invoice.pdf"_s)
        << "the file's name, not the report's";
}

TEST_F(FileSafetyTest, OpenErrorsNameTheFileAndSayWhenItIsEmpty)
{
    const QString empty = writeText(u"Empty.jrxml"_s, {});
    open(empty);
    ASSERT_EQ(dialogs->alerts().size(), 1);
    EXPECT_EQ(dialogs->alerts()[0].message, u"Quillmark"_s);
    EXPECT_EQ(dialogs->alerts()[0].informativeText,
              u"The report "_s + QDir::toNativeSeparators(empty) +
                  u" could not be opened: The file is empty."_s);

    const QString broken = writeText(u"Broken.jrxml"_s, "<jasperReport><title></jasperReport>");
    open(broken);
    ASSERT_EQ(dialogs->alerts().size(), 2);
    EXPECT_TRUE(dialogs->alerts()[1].informativeText.startsWith(
        u"The report "_s + QDir::toNativeSeparators(broken) +
        u" could not be opened: Malformed .jrxml: "_s))
        << dialogs->alerts()[1].informativeText.toStdString();
    EXPECT_FALSE(store()->fileURL().has_value()) << "no tab for either";
}

// A pipe whose other end offers a report to every reader that opens it, until it is dropped: a
// designer that waited for the pipe would be handed the report and open it.
class OfferingPipe {
public:
    explicit OfferingPipe(const QString &file) : name_(QFile::encodeName(file))
    {
        EXPECT_EQ(::mkfifo(name_.constData(), 0600), 0);
        writer_ = std::thread([this] {
            const QByteArray report = "<jasperReport name=\"FromThePipe\"/>";
            while (!stop_) {
                const int fd = ::open(name_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd < 0) {
                    ::usleep(1000); // no reader yet
                    continue;
                }
                [[maybe_unused]] const ssize_t written =
                    ::write(fd, report.constData(), size_t(report.size()));
                ::close(fd);
            }
        });
    }
    ~OfferingPipe()
    {
        stop_ = true;
        writer_.join();
    }

private:
    QByteArray name_;
    std::atomic<bool> stop_ = false;
    std::thread writer_;
};

// A pipe, a device, a folder and a file too large to be a report, each named as a report, and a
// report in an encoding the designer does not read, opened every way a report opens: from the Open
// panel, from Open Recent or the explorer, as a file named at launch and as a tab of the last
// session. None is waited for; each is refused at once for what it is, and no tab opens for it.
TEST_F(FileSafetyTest, WhatIsNoReportFileIsRefusedForWhatItIsWhereverItIsOpened)
{
    const auto oldPipeAction = std::signal(SIGPIPE, SIG_IGN); // the pipe's reader may go first
    const QString pipe = path(u"Pipe.jrxml"_s);
    const OfferingPipe offering(pipe);
    const QString device = path(u"Zero.jrxml"_s);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, device));
    const QString folder = path(u"Folder.jrxml"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    // Larger than the limit by one byte, beginning as a report does; the rest is a hole on disk.
    const QString huge = writeText(u"Huge.jrxml"_s, "<jasperReport name=\"Huge\">");
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(),
                         off_t(ReportFile::largestMB) * 1024 * 1024 + 1),
              0);
    const QString unknownEncoding =
        writeText(u"Unknown.jrxml"_s, "<?xml version=\"1.0\" encoding=\"X-NO-SUCH-ENC\"?>"
                                      "<jasperReport name=\"Caf\xE9\"/>");
    const QString regularOnly =
        u", not a regular file: the designer reads reports from regular files only."_s;
    const struct {
        QString file;
        QString why;
    } hostile[] = {
        {pipe, u"It is a named pipe"_s + regularOnly},
        {device, u"It is a device"_s + regularOnly},
        {folder, u"It is a folder"_s + regularOnly},
        {huge, u"The file is larger than 256 MB, more than the designer reads as a report."_s},
        {unknownEncoding,
         u"The file is in the encoding \u201CX-NO-SUCH-ENC\u201D, which the designer does not "
         u"read."_s},
    };
    const auto refusal = [](const QString &file, const QString &why) -> QString {
        return u"The report "_s + QDir::toNativeSeparators(file) + u" could not be opened: "_s +
               why;
    };
    for (const auto &c : hostile) {
        SCOPED_TRACE(c.file.toStdString());
        const qsizetype before = dialogs->alerts().size();
        open(c.file);
        app->fileCommands().openRecent(c.file); // Open Recent, and a pick in the explorer
        ASSERT_EQ(dialogs->alerts().size(), before + 2);
        for (const AlertRequest &alert : dialogs->alerts().mid(before))
            EXPECT_EQ(alert.informativeText, refusal(c.file, c.why));
        EXPECT_FALSE(store()->fileURL().has_value());
        EXPECT_EQ(workspace().tabs().size(), 1);
    }

    // Named at launch, beside a report that opens; and as tabs of the last session, which are
    // left out without a word.
    const QString fine = writeReport(u"Fine.jrxml"_s, u"Fine"_s);
    QStringList files;
    for (const auto &c : hostile)
        files.append(c.file);
    launch();
    app->settings().setLastOpenTabPaths(files);
    app->setLaunchFiles(files + QStringList{fine});
    app->start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->mainWindow()));
    ASSERT_EQ(workspace().tabs().size(), 1);
    EXPECT_EQ(store()->fileURL(), QUrl::fromLocalFile(fine));
    ASSERT_EQ(dialogs->alerts().size(), qsizetype(std::size(hostile)));
    for (qsizetype i = 0; i < dialogs->alerts().size(); ++i)
        EXPECT_EQ(dialogs->alerts()[i].informativeText, refusal(hostile[i].file, hostile[i].why));
    std::signal(SIGPIPE, oldPipeAction);
}

TEST_F(FileSafetyTest, NamesWithAnAmpersandShowWhole)
{
    const QString file = writeReport(u"R&D.jrxml"_s);
    app->settings().setRecentFilePaths({file});
    QMenu *recent = app->menus().openRecentMenu();
    ASSERT_FALSE(recent->actions().isEmpty());
    QAction *item = recent->actions().first();
    EXPECT_EQ(item->iconText(), u"R&D.jrxml"_s) << "what the menu shows";
    clickItem(recent, item);
    EXPECT_EQ(store()->fileURL(), QUrl::fromLocalFile(file));

    TabChip *chip = app->contentView()->tabBar()->chips().first();
    EXPECT_EQ(chip->findChild<QLabel *>(u"TabChipTitle"_s)->text(), u"R&D"_s);

    app->snippetLibrary().save(testsupport::element(ElementKind::Rectangle{}), u"R&D box"_s);
    SnippetsMenu *snippets = app->contentView()->palette()->snippetsMenu();
    snippets->menu()->popup(QPoint(200, 200));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(snippets->menu()));
    QStringList shown;
    for (const QAction *action : snippets->menu()->actions())
        shown.append(action->iconText());
    snippets->menu()->close();
    EXPECT_TRUE(shown.contains(u"R&D box"_s)) << shown.join(u", "_s).toStdString();
}

// FunctionsReport has no Page Header: the outline's Show Band shows it, a click into it on the
// canvas makes it where the palette adds, and Ctrl+Z hides it again; its Title, hidden and shown
// again the same way, is hidden again by Ctrl+Z. What the palette, a paste or a snippet adds then
// goes to the Detail, which the palette names, and Ctrl+S saves it there.
TEST_F(FileSafetyTest, WhatIsAddedAfterCtrlZHidTheActiveBandIsSaved)
{
    QUILLMARK_REQUIRE_CORPUS();
    const QString sample =
        testsupport::corpusDir() + u"/jrxml-samples/functions/FunctionsReport.jrxml"_s;
    const BandTarget pageHeader = BandTarget::standard(BandType::pageHeader);
    const BandTarget title = BandTarget::standard(BandType::title);
    app->snippetLibrary().save(testsupport::element(ElementKind::Rectangle{}), u"Box"_s);
    const struct {
        BandTarget band;
        QPointF emptyPoint; // of the band's body, clear of its elements and its height handle
        const char *adds;
        QString kind; // of what it adds
    } cases[] = {
        {pageHeader, {20, 10}, "palette", u"Static Text"_s},
        {pageHeader, {20, 10}, "paste", u"Static Text"_s},
        {title, {1586, 15}, "palette", u"Static Text"_s},
        {title, {1586, 15}, "snippet", u"Rectangle"_s},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.band.id().toStdString() + ", " + c.adds);
        const QString file = path(u"functions"_s + QString::number(++n) + u".jrxml"_s);
        ASSERT_TRUE(QFile::copy(sample, file));
        open(file);
        ASSERT_EQ(store()->fileURL(), QUrl::fromLocalFile(file));
        // Each of the user's steps apart from the one before.
        qint64 now = 0;
        store()->setClock([&now] { return now += 5000; });
        const BandTarget detail =
            BandTarget::detailBand(store()->document().detailBands.first().id);
        const qsizetype detailHeld = store()->elements(detail).size();
        if (c.band == title) {
            dialogs->answerAlert(0); // "Hide Band", though it holds an element
            chooseInOutline(title, u"Hide Band"_s);
            ASSERT_FALSE(store()->document().band(BandType::title)->isPresent);
        }
        // The clipboard holds the Title's text.
        store()->setSelectedElementIDs({store()->elements(title).first().id});
        keys(Qt::Key_C);

        chooseInOutline(c.band, u"Show Band"_s);
        ASSERT_TRUE(store()->document().band(c.band.bandType())->isPresent);
        clickInto(c.band, c.emptyPoint);
        QLabel *target = app->contentView()->palette()->targetLabel();
        EXPECT_EQ(store()->activeBandTarget(), c.band);
        EXPECT_EQ(target->text(), u"Add to "_s + store()->label(c.band) + u':');

        keys(Qt::Key_Z);
        ASSERT_FALSE(store()->document().band(c.band.bandType())->isPresent);
        EXPECT_EQ(store()->activeBandTarget(), detail);
        EXPECT_EQ(target->text(), u"Add to Detail:"_s);
        if (c.adds == std::string("palette"))
            app->contentView()->palette()->button(u"textformat"_s)->click();
        else if (c.adds == std::string("paste"))
            keys(Qt::Key_V);
        else
            insertSnippet(u"Box"_s);
        ASSERT_TRUE(store()->selectedElementID());
        EXPECT_EQ(store()->homeBandTarget(*store()->selectedElementID()), detail);

        keys(Qt::Key_S);
        EXPECT_FALSE(store()->isDirty());
        const ReportDocument saved = JrxmlCodec::parse(bytes(file));
        EXPECT_FALSE(saved.band(c.band.bandType())->isPresent);
        ASSERT_EQ(saved.detailBands.size(), 1);
        const ElementList &kept = saved.detailBands.first().elements;
        ASSERT_EQ(kept.size(), detailHeld + 1);
        EXPECT_EQ(kept.last().kind.displayName(), c.kind);
    }
}

} // namespace
