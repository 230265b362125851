#include "AppTestSupport.h"
#include "ScriptedEngine.h"
#include "TestSupport.h"
#include "app/CanvasTrailingToolbar.h"
#include "app/ContentView.h"
#include "app/PreviewSheet.h"
#include "app/SourceSheet.h"
#include "canvas/SnippetLibrary.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "model/JrxmlCodec.h"
#include "widgets/ScriptedDialogs.h"
#include "widgets/Spinner.h"
#include "widgets/UrlOpener.h"
#include "workspace/AppSettings.h"
#include "workspace/WorkspaceModel.h"

#include <QFutureWatcher>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QByteArray renderReply(int pages)
{
    return "send {\"id\":@ID@,\"ok\":true,\"result\":{\"pageCount\":" + QByteArray::number(pages) +
           ",\"compileMs\":840,\"fillMs\":95}}\\n";
}

// The window's content driving the scripted fake engine (tools/fakesidecar), which records every
// request it reads.
class PreviewRunTest : public apptest::SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        engine.setLocationProvider([this] { return scripted.location; });
        settings = std::make_unique<AppSettings>(path(u"Docs"_s));
        view = std::make_unique<ContentView>(workspace, *settings, dialogs, snippets, engine);
        view->setEngine(&engine, connections);
        view->resize(1400, 900);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    void TearDown() override
    {
        engine.setPreviewSession(std::nullopt);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !engine.isBusy(); }, 20000));
    }

    void script(const QList<QByteArray> &actions) { scripted.script(actions); }
    QList<QJsonObject> requests() const { return scripted.requests(); }
    DocumentStore *addReport(const QString &name, bool prompts = false)
    {
        workspace.newTab(595, 842);
        DocumentStore *store = workspace.activeStore();
        ReportDocument document = store->document();
        document.name = name;
        if (prompts)
            document.parameters.append(
                {.name = u"Region"_s, .className = u"java.lang.String"_s, .isForPrompting = true});
        store->setDocument(document);
        store->setParameterValues({{u"Region"_s, name}});
        return store;
    }
    CanvasTrailingToolbar *toolbar() const { return view->trailingToolbar(); }
    void pressPreview() { QTest::mouseClick(toolbar()->previewButton(), Qt::LeftButton); }
    bool idle() const { return !engine.isBusy(); }

    WorkspaceModel workspace;
    ScriptedDialogs dialogs;
    testsupport::ScriptedEngine scripted;
    SidecarModel engine{PrivateWorkFolder(dir.path())};
    QSettings presetSettings{path(u"presets.ini"_s), QSettings::IniFormat};
    InMemoryKeychain keychain;
    ConnectionPresetStore connections{presetSettings, keychain};
    QSettings snippetSettings{path(u"snippets.ini"_s), QSettings::IniFormat};
    SnippetLibrary snippets{snippetSettings};
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ContentView> view;
};

TEST_F(PreviewRunTest, ADeclinedPageSizeStopsBeforeSavingAndADismissedPromptRunsNothing)
{
    const QString file = writeReport(u"Big.jrxml"_s, u"Big"_s);
    workspace.openTab(QUrl::fromLocalFile(file));
    DocumentStore *big = workspace.activeStore();
    ReportDocument document = big->document();
    document.pageWidth = 20000;
    big->setDocument(document);
    big->setIsDirty(true);
    const QByteArray onDisk = testsupport::readFile(file);

    dialogs.answerAlert(1); // "Cancel"
    pressPreview();
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts()[0].buttons[0].title, u"Continue Anyway"_s);
    EXPECT_TRUE(big->isDirty());
    EXPECT_EQ(testsupport::readFile(file), onDisk) << "nothing saved";
    EXPECT_FALSE(engine.previewSession());

    // Continuing saves the report with a file; a dismissed prompt then runs nothing.
    document.parameters.append({.name = u"Region"_s, .isForPrompting = true});
    big->setDocument(document);
    big->setIsDirty(true);
    dialogs.answerAlert(0);
    pressPreview();
    EXPECT_FALSE(big->isDirty());
    EXPECT_EQ(JrxmlCodec::parse(testsupport::readFile(file)).pageWidth, 20000);
    EXPECT_TRUE(workspace.isParameterPromptVisible());
    EXPECT_FALSE(toolbar()->previewButton()->isEnabled()) << "off while the prompt is open";
    workspace.dismissParameterPrompt();
    QTest::qWait(50);
    EXPECT_TRUE(requests().isEmpty());
    EXPECT_FALSE(engine.previewSession());
    EXPECT_TRUE(toolbar()->previewButton()->isEnabled());
}

TEST_F(PreviewRunTest, ThePromptedRunKeepsToItsOwnReportAndShowsProgressThenFigures)
{
    script({renderReply(2), renderReply(1),
            "send {\"id\":@ID@,\"ok\":false,\"error\":{\"message\":\"Field not found : x\"}}\\n"});
    DocumentStore *first = workspace.activeStore();
    DocumentStore *sales = addReport(u"Sales"_s, true);
    addReport(u"Stock"_s);
    workspace.setActiveTabIndex(1);
    pressPreview();
    ASSERT_TRUE(workspace.isParameterPromptVisible());
    EXPECT_FALSE(engine.previewSession()) << "nothing runs before Run";

    workspace.setActiveTabIndex(2); // another report becomes active while the prompt is open
    workspace.confirmParameterPrompt();
    ASSERT_TRUE(engine.previewSession());
    EXPECT_TRUE(toolbar()->spinner()->isVisible());
    EXPECT_FALSE(toolbar()->previewButton()->isVisible());
    EXPECT_EQ(view->previewSheet()->body(), PreviewSheet::Body::progress);
    ASSERT_TRUE(QTest::qWaitFor([this] { return idle(); }, 20000));

    ASSERT_EQ(requests().size(), 1);
    const QJsonObject params = requests()[0][u"params"_s].toObject();
    EXPECT_TRUE(params[u"jrxmlPath"_s].toString().endsWith(u"/Sales.jrxml"_s));
    EXPECT_EQ(params[u"paramValues"_s].toObject(), (QJsonObject{{u"Region"_s, u"Sales"_s}}));
    EXPECT_EQ(view->previewSheet()->body(), PreviewSheet::Body::result);
    QStringList texts;
    for (QLabel *label : view->previewSheet()->statsLabels())
        texts.append(label->text());
    EXPECT_EQ(texts, (QStringList{u"2 pages"_s, u"Compiled in 840ms"_s, u"Filled in 95ms"_s}));
    EXPECT_TRUE(toolbar()->previewButton()->isEnabled());
    Q_UNUSED(sales);

    // A report without prompted parameters runs at once, in a new session.
    const QUuid session = engine.previewSession()->id;
    workspace.setActiveTabIndex(0);
    EXPECT_EQ(first, workspace.activeStore());
    pressPreview();
    ASSERT_TRUE(engine.previewSession());
    EXPECT_NE(engine.previewSession()->id, session);
    ASSERT_TRUE(QTest::qWaitFor([this] { return idle(); }, 20000));
    EXPECT_EQ(view->previewSheet()->statsLabels()[0]->text(), u"1 page"_s);

    pressPreview();
    ASSERT_TRUE(QTest::qWaitFor([this] { return idle(); }, 20000));
    EXPECT_EQ(view->previewSheet()->body(), PreviewSheet::Body::error);
    EXPECT_TRUE(view->previewSheet()->errorArea()->widget());
}

// Closing the preview while an engine that does not answer works on it calls the run off: the
// next Preview runs at once on a new engine, and the first run's outcome, when its request has
// ended, reaches no sheet.
TEST_F(PreviewRunTest, ClosingThePreviewOfAHungEngineLetsTheNextRunGoAtOnce)
{
    // The first engine takes the request and never answers, ignoring its input and SIGTERM; the
    // next one answers.
    script({"once:spin"});
    pressPreview();
    ASSERT_TRUE(engine.previewSession());
    ASSERT_TRUE(QTest::qWaitFor([this] { return requests().size() == 1; }, 20000));
    EXPECT_EQ(view->previewSheet()->body(), PreviewSheet::Body::progress);

    QPushButton *close = nullptr;
    for (QPushButton *button : view->previewSheet()->findChildren<QPushButton *>())
        if (button->text() == u"Close"_s)
            close = button;
    ASSERT_TRUE(close);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(engine.previewSession());
    EXPECT_FALSE(engine.isRendering());
    EXPECT_TRUE(toolbar()->previewButton()->isEnabled());
    EXPECT_FALSE(toolbar()->spinner()->isVisible());

    pressPreview();
    ASSERT_TRUE(engine.previewSession());
    ASSERT_TRUE(QTest::qWaitFor([this] { return idle(); }, 20000));
    EXPECT_EQ(requests().size(), 2);
    EXPECT_EQ(view->previewSheet()->body(), PreviewSheet::Body::result);
    EXPECT_TRUE(engine.pdfURL());

    // Both runs' tasks end (the first once its engine is killed); the first one's failure is
    // published nowhere.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return engine.findChildren<QFutureWatcherBase *>().isEmpty(); }, 20000));
    EXPECT_FALSE(engine.errorMessage());
    EXPECT_TRUE(engine.pdfURL());
    EXPECT_EQ(view->previewSheet()->body(), PreviewSheet::Body::result);
    EXPECT_TRUE(toolbar()->previewButton()->isEnabled());
}

TEST_F(PreviewRunTest, TheHelpTextAndDotFollowTheChosenConnection)
{
    const QString testData = u"Data: test data (no connection - choose one with the Data button, "
                             u"under Database Connections)"_s;
    QToolButton *preview = toolbar()->previewButton();
    EXPECT_EQ(preview->toolTip(), testData);
    EXPECT_NE(toolbar()->statusDotColor(), QColor(0x34, 0xC7, 0x59));

    DatabaseConnection sales;
    sales.name = u"Sales"_s;
    connections.add(sales, u"pw"_s);
    workspace.activeStore()->setActiveConnectionID(sales.id);
    EXPECT_EQ(preview->toolTip(), u"Data: live (Sales)"_s);
    EXPECT_EQ(toolbar()->statusDotColor(), QColor(0x34, 0xC7, 0x59));

    DatabaseConnection marked;
    marked.name = u"<b>Sales</b>"_s;
    connections.add(marked, u"pw"_s);
    workspace.activeStore()->setActiveConnectionID(marked.id);
    EXPECT_FALSE(Qt::mightBeRichText(preview->toolTip()) &&
                 !preview->toolTip().contains(u"&lt;b&gt;"_s))
        << "a preset's name is not read as markup";
    workspace.activeStore()->setActiveConnectionID(sales.id);

    connections.remove(sales.id); // the dot looks only at the chosen id
    EXPECT_EQ(preview->toolTip(), testData);
    EXPECT_EQ(toolbar()->statusDotColor(), QColor(0x34, 0xC7, 0x59));

    engine.setIsCompilingAll(true);
    EXPECT_FALSE(preview->isEnabled());
    EXPECT_TRUE(preview->isVisible()) << "only a preview shows the spinner";
    engine.setIsCompilingAll(false);
    EXPECT_TRUE(preview->isEnabled());
}

TEST_F(PreviewRunTest, TheBugReportMailIsPercentEncoded)
{
    const VersionInfo version{u"1.2.0"_s, u"7"_s, u"Debian GNU/Linux 12 (bookworm)"_s};
    EXPECT_EQ(ContentView::bugReportURL(version).toEncoded(),
              "mailto:support@quillmark.app?subject=Quillmark%20Bug%20Report&body=Describe%20what%"
              "20happened%3A%0A%0A%0A---%0AQuillmark%201.2.0%0ADebian%20GNU%2FLinux%2012%20%28"
              "bookworm%29");
    RecordingUrlOpener opener;
    view->setBugReporting(opener, {QString(), QString(), u"Linux"_s});
    view->reportBug();
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(opener.opened[0].query(QUrl::FullyDecoded).endsWith(u"Quillmark dev\nLinux"_s));

    view->presentFileActionError(u"Could not write."_s);
    ASSERT_EQ(dialogs.alerts().size(), 1);
    EXPECT_EQ(dialogs.alerts()[0].message, u"Quillmark"_s);
    EXPECT_EQ(dialogs.alerts()[0].informativeText, u"Could not write."_s);
}

TEST_F(PreviewRunTest, ApplyReadsTheSourceBackAsOneUndoStep)
{
    DocumentStore *store = workspace.activeStore();
    const QString originalName = store->document().name;
    ReportDocument named = store->document();
    named.name = u"Before"_s;
    store->pushUndo(store->document());
    store->setDocument(named);
    const auto undo = store->undoStack();
    const auto redo = store->redoStack();
    store->setIsDirty(false);

    SourceSheet *sheet = view->sourceSheet();
    QTest::mouseClick(toolbar()->sourceButton(), Qt::LeftButton);
    EXPECT_TRUE(workspace.isSourceVisible());
    const QString original = sheet->text();
    EXPECT_EQ(sheet->editor()->text(), original);

    struct Case {
        QString text;
        std::optional<QString> error;
    };
    const QString renamed = QString(original).replace(u"name=\"Before\""_s, u"name=\"After\""_s);
    for (const Case &c : {Case{u"<jasperReport"_s, u"Malformed"_s},
                          Case{u"<report/>"_s, u"Root element is not <jasperReport> - not a valid "
                                               u".jrxml file."_s},
                          Case{renamed, std::nullopt}}) {
        sheet->editor()->setText(c.text);
        QTest::keyClick(sheet->editor()->textView(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(sheet->editor()->textView(), Qt::Key_Space);
        sheet->apply();
        if (c.error) {
            ASSERT_TRUE(sheet->errorMessage());
            EXPECT_TRUE(sheet->errorMessage()->startsWith(*c.error))
                << sheet->errorMessage()->toStdString();
            EXPECT_TRUE(sheet->errorLabel()->isVisible());
            EXPECT_EQ(store->document().name, u"Before"_s);
            EXPECT_FALSE(store->isDirty());
        } else {
            EXPECT_FALSE(sheet->errorMessage());
            EXPECT_FALSE(sheet->errorLabel()->isVisible());
            EXPECT_EQ(store->document().name, u"After"_s);
            EXPECT_TRUE(store->isDirty());
            EXPECT_TRUE(store->selectedElementIDs().isEmpty());
        }
        // A text that does not read changes nothing; one that does is one step, which goes back
        // to the report as it was just before.
        EXPECT_EQ(store->undoStack().size(), undo.size() + (c.error ? 0 : 1));
        EXPECT_EQ(store->redoStack(), redo);
        EXPECT_TRUE(workspace.isSourceVisible());
        EXPECT_EQ(sheet->editor()->text(), c.text + u' ') << "the typed text stays";
    }
    store->undo();
    EXPECT_EQ(store->document().name, u"Before"_s);
    store->undo();
    EXPECT_EQ(store->document().name, originalName);
}

} // namespace
