#include "DataPanelFixture.h"
#include "EngineTestSupport.h"
#include "ScriptedEngine.h"
#include "WatchedKeychain.h"
#include "datapanel/ReadFields.h"
#include "editors/CodeSyntaxHighlighting.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/FriendlyErrorTranslator.h"
#include "engine/InMemoryKeychain.h"
#include "engine/SidecarModel.h"
#include "widgets/Spinner.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>

using namespace Qt::StringLiterals;
using testsupport::ScriptedEngine;
using testsupport::waitFor;

namespace {

// A data panel with an engine model driving the scripted fake engine and the presets "Sales"
// (password "secret") and "Empty" (no password).
class QueryExecutionTest : public storetest::DataPanelTest {
protected:
    void SetUp() override
    {
        DataPanelTest::SetUp();
        model.setLocationProvider([this] { return engine.location; });
        presetSettings = std::make_unique<QSettings>(engine.dir.filePath(u"presets.ini"_s),
                                                     QSettings::IniFormat);
        connections = std::make_unique<ConnectionPresetStore>(*presetSettings, keychain);
        connections->add(sales, u"secret"_s);
        store.setActiveConnectionID(sales.id);
        storetest::editDocument(store,
                                [](ReportDocument &d) { d.queryString = u"select * from t"_s; });
        open();
    }

    void TearDown() override
    {
        view.reset();
        DataPanelTest::TearDown();
    }

    // Opens the sheet afresh, as every opening builds a new panel.
    void open(DocumentStore *on = nullptr)
    {
        view = std::make_unique<DataPanelView>(on ? on : &store, *settings, &model,
                                               connections.get(), [] {});
        view->resize(DataPanelView::idealWidth, DataPanelView::idealHeight);
        view->show();
        QApplication::processEvents();
    }

    QPushButton *executeButton() const { return find<QPushButton>(u"datapanel.query.execute"_s); }
    QLabel *label(const QString &name) const
    {
        auto *found = find<QLabel>(name);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }
    bool shown(const QString &name) const
    {
        const QWidget *widget = find<QWidget>(name);
        EXPECT_TRUE(widget) << name.toStdString();
        return widget && widget->isVisible();
    }
    QTableView *grid() const { return find<QTableView>(u"datapanel.queryResults.grid"_s); }
    QString cell(int row, int column) const
    {
        return grid()->model()->index(row, column).data().toString();
    }
    // Executes on the real engine and waits for its answer, which may take the engine's start.
    void executeOnTheEngine()
    {
        click(u"datapanel.query.execute"_s);
        ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }, std::chrono::seconds(90)));
        QApplication::processEvents();
    }
    // Executes and waits for the engine's answer.
    void execute()
    {
        const qsizetype before = engine.requests().size();
        click(u"datapanel.query.execute"_s);
        ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }));
        ASSERT_EQ(engine.requests().size(), before + 1);
        QApplication::processEvents();
    }
    static QByteArray rows(int count)
    {
        QByteArray list;
        for (int i = 0; i < count; ++i)
            list += (i ? ",[\"" : "[\"") + QByteArray::number(i) + "\"]";
        return ScriptedEngine::ok(R"({"columns":["n"],"rows":[)" + list + "]}");
    }
    // The darkest pixel of a cell's text as the panel draws it, 0 (black) to 255.
    int darkest(int row, int column) const
    {
        const QRect cellRect = grid()->visualRect(grid()->model()->index(row, column));
        const QImage image =
            view->grab(QRect(grid()->viewport()->mapTo(view.get(), cellRect.topLeft()),
                             cellRect.size()))
                .toImage();
        int value = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                value = std::min(value, QColor(image.pixel(x, y)).lightness());
        return value;
    }

    // Whether the whole of `button` shows in the query pane's frame, above the results area.
    bool inSight(const QPushButton *button) const
    {
        const auto *scroll = find<QScrollArea>(u"datapanel.queryScroll"_s);
        const QRect shown(button->mapTo(scroll->viewport(), QPoint()), button->size());
        const int resultsTop = view->resultsArea()->isVisible()
                                   ? view->resultsArea()->mapTo(view.get(), QPoint()).y()
                                   : view->height();
        return scroll->viewport()->rect().contains(shown) &&
               button->mapTo(view.get(), QPoint(0, button->height())).y() <= resultsTop;
    }

    // At the sheet's first size both commands also stay in sight while results show.
    void checkCommandsStayPut(QSize size, bool inSightWithResults)
    {
        view->resize(size);
        QApplication::processEvents();
        auto *read = find<QPushButton>(u"datapanel.query.readFields"_s);
        const auto places = [&] {
            return std::pair(read->mapTo(view.get(), QPoint()),
                             executeButton()->mapTo(view.get(), QPoint()));
        };
        const auto checkInSight = [&](const char *when) {
            if (!inSightWithResults)
                return;
            EXPECT_TRUE(inSight(read)) << "Read Fields " << when;
            EXPECT_TRUE(inSight(executeButton())) << "Execute Query " << when;
        };
        const auto before = places();
        checkInSight("before any query");
        engine.script({rows(200), ScriptedEngine::failure("relation t does not exist")});
        executeButton()->click();
        QApplication::processEvents();
        ASSERT_TRUE(view->resultsArea()->isVisible());
        EXPECT_EQ(places(), before) << "while the query runs";
        checkInSight("while the query runs");
        ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }));
        QApplication::processEvents();
        EXPECT_EQ(places(), before) << "when the rows arrive";
        checkInSight("with 200 rows");
        // An outcome line of Read Fields comes under the commands.
        auto *outcome =
            view->findChild<ReadFieldsResultState *>(u"datapanel.query.readFieldsState"_s);
        ASSERT_TRUE(outcome);
        outcome->set(u"Added 2 new fields."_s, {u"amount"_s});
        QApplication::processEvents();
        EXPECT_EQ(places(), before) << "with the Read Fields outcome";
        const QTableView *table = grid();
        EXPECT_GE(table->viewport()->height(), 6 * table->verticalHeader()->defaultSectionSize())
            << "the grid shows more than a couple of rows";
        // No caption of the pane is cut: each is as tall as its wrapped text.
        for (QLabel *caption : view->queryPane()->findChildren<QLabel *>()) {
            if (!caption->isVisible() || !caption->wordWrap() || caption->text().isEmpty())
                continue;
            EXPECT_GE(caption->height(), caption->heightForWidth(caption->width()))
                << caption->objectName().toStdString() << ": " << caption->text().toStdString();
        }
        execute();
        EXPECT_EQ(places(), before) << "when an error replaces the rows";
        checkInSight("with an error");
    }

    ScriptedEngine engine;
    PrivateWorkFolder workFolder{engine.dir.path()};
    SidecarModel model{workFolder};
    WatchedKeychain keychain;
    std::unique_ptr<QSettings> presetSettings;
    std::unique_ptr<ConnectionPresetStore> connections;
    const DatabaseConnection sales{
        QUuid::createUuid(), u"Sales"_s, DatabaseType::postgres, u"db.local"_s, 5432,
        u"sales"_s,          u"ann"_s};
};

} // namespace

TEST_F(QueryExecutionTest, ExecuteShowsTheSpinnerThenTheGridWithNullsDimmed)
{
    EXPECT_EQ(label(u"datapanel.query.executeCaption"_s)->text(),
              u"Runs against \"Sales\" - results appear at the bottom of this window (up to 200 "
              u"rows)."_s);
    EXPECT_FALSE(view->resultsArea()->isVisible()) << "no query since launch";
    engine.script({ScriptedEngine::ok(
        R"({"columns":["id","name","note"],"rows":[["1","Ada",null],["2","NULL","a\\nb"]]})")});

    executeButton()->click(); // no events yet: the engine cannot have answered
    EXPECT_TRUE(view->resultsArea()->isVisible());
    EXPECT_TRUE(find<Spinner>(u"datapanel.query.executeSpinner"_s)->isVisible());
    EXPECT_TRUE(executeButton()->text().isEmpty()) << "the spinner is the label";
    EXPECT_FALSE(executeButton()->isEnabled());
    EXPECT_FALSE(find<QPushButton>(u"datapanel.query.readFields"_s)->isEnabled());
    EXPECT_TRUE(shown(u"datapanel.queryResults.running"_s));
    EXPECT_FALSE(shown(u"datapanel.queryResults.count"_s));
    ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }));

    EXPECT_EQ(executeButton()->text(), u"Execute Query"_s);
    EXPECT_FALSE(find<Spinner>(u"datapanel.query.executeSpinner"_s)->isVisible());
    EXPECT_TRUE(executeButton()->isEnabled());
    EXPECT_FALSE(shown(u"datapanel.queryResults.running"_s));
    EXPECT_TRUE(shown(u"datapanel.queryResults.gridBox"_s));
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"2 rows"_s);
    ASSERT_EQ(grid()->model()->rowCount(), 2);
    ASSERT_EQ(grid()->model()->columnCount(), 3);
    EXPECT_EQ(grid()->model()->headerData(1, Qt::Horizontal).toString(), u"name"_s);
    EXPECT_EQ(cell(0, 1), u"Ada"_s);
    EXPECT_EQ(cell(0, 2), u"NULL"_s);
    EXPECT_EQ(cell(1, 2), u"a b"_s) << "one line per cell";

    // A database NULL is dimmed; a text that reads NULL is not.
    const int value = darkest(0, 1);
    EXPECT_LT(value, 80);
    EXPECT_GT(darkest(0, 2), value + 50);
    EXPECT_LT(darkest(1, 1), value + 20);

    const QJsonObject params = engine.requests().value(0)[u"params"_s].toObject();
    EXPECT_EQ(engine.requests().value(0)[u"cmd"_s], u"executeQuery"_s);
    EXPECT_EQ(params[u"query"_s], u"select * from t"_s);
    EXPECT_EQ(params[u"maxRows"_s], 200);
    EXPECT_EQ(params[u"connection"_s][u"password"_s], u"secret"_s);
    EXPECT_EQ(params[u"connection"_s][u"host"_s], u"db.local"_s);
    EXPECT_FALSE(store.isDirty()) << "nothing of the report changes";
    EXPECT_FALSE(store.canUndo());
}

TEST_F(QueryExecutionTest, TheRowCountIsSingularForOneAndNotesTheCapAtExactly200)
{
    engine.script({rows(1), rows(199), rows(200)});
    execute();
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"1 row"_s);
    execute();
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"199 rows"_s);
    execute();
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"200 rows (capped at 200)"_s);
    EXPECT_EQ(grid()->model()->rowCount(), 200);

    // The grid stays within its height and scrolls; every column is as wide as its widest cell.
    EXPECT_LE(find<QWidget>(u"datapanel.queryResults.gridBox"_s)->height(), 220);
    EXPECT_GT(grid()->verticalScrollBar()->maximum(), 0);
    const int widest = grid()->fontMetrics().horizontalAdvance(u"199"_s);
    EXPECT_GE(grid()->columnWidth(0), widest + 14);
}

TEST_F(QueryExecutionTest, AnErrorHidesTheResultUntilTheNextSuccessWhichMayHaveNoRows)
{
    engine.script({rows(3), ScriptedEngine::failure("relation t does not exist"),
                   ScriptedEngine::ok(R"({"columns":["a","b"],"rows":[]})")});
    execute();
    execute();
    EXPECT_TRUE(shown(u"datapanel.queryResults.error"_s));
    EXPECT_EQ(label(u"datapanel.queryResults.error"_s)->text(),
              u"The query references a table or column that doesn't exist in the database. Check "
              u"the spelling against the actual database schema.\n\n(Technical details: "
              u"relation t does not exist\nwhy)"_s);
    EXPECT_EQ(label(u"datapanel.queryResults.error"_s)->palette().color(QPalette::WindowText),
              syntaxColor(SyntaxColor::red, view->palette()));
    EXPECT_FALSE(shown(u"datapanel.queryResults.gridBox"_s)) << "the older result is kept hidden";
    EXPECT_FALSE(shown(u"datapanel.queryResults.count"_s));
    EXPECT_EQ(model.queryResult()->rows.size(), 3);

    execute();
    EXPECT_FALSE(shown(u"datapanel.queryResults.error"_s));
    EXPECT_FALSE(shown(u"datapanel.queryResults.gridBox"_s));
    EXPECT_TRUE(shown(u"datapanel.queryResults.empty"_s));
    EXPECT_EQ(label(u"datapanel.queryResults.empty"_s)->text(),
              u"Query ran successfully - no rows returned."_s);
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"0 rows"_s);
    EXPECT_TRUE(shown(u"datapanel.queryResults.count"_s));
}

// A live Read Fields that fails is drawn as a failure, in the red of the query's errors; the
// next one that succeeds in blue again.
TEST_F(QueryExecutionTest, AFailedLiveReadFieldsIsDrawnAsAFailure)
{
    engine.script(
        {ScriptedEngine::failure("relation t does not exist"),
         ScriptedEngine::ok(R"({"fields":[{"name":"a","className":"java.lang.String"}]})")});
    QLabel *message = label(u"datapanel.query.message"_s);
    const auto readTo = [&](const QString &start) {
        click(u"datapanel.query.readFields"_s);
        return waitFor([&] { return message->isVisible() && message->text().startsWith(start); });
    };
    ASSERT_TRUE(readTo(u"Live Read Fields failed: relation t does not exist"_s))
        << message->text().toStdString();
    EXPECT_EQ(message->palette().color(QPalette::WindowText),
              syntaxColor(SyntaxColor::red, view->palette()));
    ASSERT_TRUE(readTo(u"Live: found 1 column"_s)) << message->text().toStdString();
    EXPECT_EQ(message->palette().color(QPalette::WindowText),
              syntaxColor(SyntaxColor::blue, view->palette()));
}

TEST_F(QueryExecutionTest, WithoutAPresetTheQueryRunsWithoutAConnection)
{
    const QString standalone =
        u"No data source selected - runs as a standalone query (works for literal/hardcoded "
        u"values; real table references need a connection below)."_s;
    store.setActiveConnectionID(std::nullopt);
    EXPECT_EQ(label(u"datapanel.query.executeCaption"_s)->text(), standalone);
    store.setActiveConnectionID(sales.id);
    EXPECT_TRUE(label(u"datapanel.query.executeCaption"_s)->text().startsWith(u"Runs against"_s));
    connections->remove(sales.id); // the preset goes, the report's choice stays
    EXPECT_EQ(label(u"datapanel.query.executeCaption"_s)->text(), standalone);

    engine.script({ScriptedEngine::ok(R"({"columns":["one"],"rows":[["1"]]})")});
    storetest::editDocument(store, [](ReportDocument &d) { d.queryString = u" select 1 "_s; });
    execute();
    const QJsonObject params = engine.requests().value(0)[u"params"_s].toObject();
    EXPECT_FALSE(params.contains(u"connection"_s));
    EXPECT_EQ(params[u"query"_s], u" select 1 "_s) << "sent as it stands";
    EXPECT_EQ(cell(0, 0), u"1"_s);
}

TEST_F(QueryExecutionTest, AnAnswerAfterTheSheetClosedIsShownAtTheNextOpeningOfItsTabOnly)
{
    engine.script({ScriptedEngine::ok(R"({"columns":["id"],"rows":[["7"],[null]]})")});
    executeButton()->click();
    view.reset(); // closed before the engine answers
    ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }));
    ASSERT_TRUE(model.queryResult().has_value());

    open();
    EXPECT_TRUE(view->resultsArea()->isVisible());
    EXPECT_TRUE(shown(u"datapanel.queryResults.gridBox"_s));
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"2 rows"_s);
    EXPECT_EQ(cell(0, 0), u"7"_s);
    EXPECT_EQ(cell(1, 0), u"NULL"_s);

    // Another tab's sheet shows no query of this one.
    DocumentStore otherTab;
    open(&otherTab);
    EXPECT_FALSE(view->resultsArea()->isVisible());
    EXPECT_EQ(grid()->model()->rowCount(), 0);
    EXPECT_TRUE(label(u"datapanel.query.executeCaption"_s)->text().startsWith(u"No data source"_s));
}

// Two report tabs, each with its own Report Data sheet: what one tab's query shows (running,
// result or error) never shows in the other's.
TEST_F(QueryExecutionTest, ResultsErrorsAndTheRunningStateBelongToTheTabThatRanTheQuery)
{
    engine.script({ScriptedEngine::ok(R"({"columns":["id"],"rows":[["7"]]})"),
                   ScriptedEngine::failure("bad SQL")});
    executeButton()->click(); // no events yet: the engine cannot have answered
    ASSERT_TRUE(model.isExecutingQuery());

    DocumentStore otherTab;
    storetest::editDocument(otherTab, [](ReportDocument &d) { d.queryString = u"select"_s; });
    auto other =
        std::make_unique<DataPanelView>(&otherTab, *settings, &model, connections.get(), [] {});
    const auto inOther = [&](const QString &name) {
        auto *widget = other->findChild<QWidget *>(name);
        EXPECT_TRUE(widget) << name.toStdString();
        return widget;
    };
    auto *otherButton = qobject_cast<QPushButton *>(inOther(u"datapanel.query.execute"_s));
    ASSERT_TRUE(otherButton);
    // The engine is busy with the first tab's query: the other tab waits for it, but shows
    // neither its spinner nor its results.
    EXPECT_FALSE(other->resultsArea()->isVisibleTo(other.get()));
    EXPECT_EQ(otherButton->text(), u"Execute Query"_s);
    EXPECT_FALSE(inOther(u"datapanel.query.executeSpinner"_s)->isVisibleTo(other.get()));
    EXPECT_FALSE(otherButton->isEnabled());
    ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }));
    QApplication::processEvents();
    EXPECT_FALSE(other->resultsArea()->isVisibleTo(other.get())) << "the first tab's rows";
    EXPECT_TRUE(shown(u"datapanel.queryResults.gridBox"_s));

    // The other tab's failing query shows its error there only.
    ASSERT_TRUE(otherButton->isEnabled());
    otherButton->click();
    ASSERT_TRUE(waitFor([&] { return !model.isExecutingQuery(); }));
    QApplication::processEvents();
    EXPECT_TRUE(other->resultsArea()->isVisibleTo(other.get()));
    auto *otherError = qobject_cast<QLabel *>(inOther(u"datapanel.queryResults.error"_s));
    ASSERT_TRUE(otherError);
    EXPECT_TRUE(otherError->text().startsWith(u"bad SQL"_s)) << otherError->text().toStdString();
    EXPECT_FALSE(inOther(u"datapanel.queryResults.gridBox"_s)->isVisibleTo(other.get()));
    other.reset();

    open();
    EXPECT_FALSE(shown(u"datapanel.queryResults.error"_s));
    EXPECT_TRUE(shown(u"datapanel.queryResults.gridBox"_s));
    EXPECT_EQ(cell(0, 0), u"7"_s);
}

TEST_F(QueryExecutionTest, TheSheetIsDisabledWhileThePasswordIsReadSoNothingStartsTwice)
{
    engine.script({rows(1), ScriptedEngine::ok(R"({"fields":[]})")});
    QList<bool> enabled;
    int reads = 0;
    keychain.onCall = [&] {
        ++reads;
        for (const QString &name :
             {u"datapanel.query.execute"_s, u"datapanel.query.readFields"_s, u"datapanel.close"_s})
            enabled.append(find<QWidget>(name)->isEnabled());
        // A second press meanwhile finds the buttons disabled (and would read again).
        if (reads == 1 || reads == 3) {
            executeButton()->click();
            find<QPushButton>(u"datapanel.query.readFields"_s)->click();
        }
    };
    execute();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(enabled, (QList<bool>{false, false, false}));
    EXPECT_EQ(engine.requests().size(), 1);
    EXPECT_TRUE(find<QWidget>(u"datapanel.close"_s)->isEnabled()) << "enabled again after";
    EXPECT_TRUE(executeButton()->isEnabled());

    enabled.clear();
    ++reads; // the next read is the third
    click(u"datapanel.query.readFields"_s);
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(enabled, (QList<bool>{false, false, false}));
    ASSERT_TRUE(waitFor([&] { return engine.requests().size() == 2; }));
    EXPECT_EQ(engine.requests().value(1)[u"cmd"_s], u"readFieldsLive"_s);
    EXPECT_TRUE(find<QWidget>(u"datapanel.close"_s)->isEnabled());
}

TEST_F(QueryExecutionTest, ATabClosedWhileThePasswordIsReadStartsNothing)
{
    engine.script({rows(1), rows(1)});
    for (const QString &command : {u"datapanel.query.execute"_s, u"datapanel.query.readFields"_s}) {
        auto tab = std::make_unique<DocumentStore>();
        tab->setActiveConnectionID(sales.id);
        open(tab.get());
        keychain.onCall = [&] {
            view.reset();
            tab.reset();
        };
        auto *button = find<QPushButton>(command);
        ASSERT_TRUE(button);
        button->click();
        QApplication::processEvents();
        EXPECT_FALSE(view);
        EXPECT_FALSE(model.isExecutingQuery()) << command.toStdString();
        keychain.onCall = nullptr;
    }
    EXPECT_TRUE(engine.requests().isEmpty());
}

// Read Fields and Execute Query stay where they are, at the sheet's first size and its smallest,
// while a query runs, when its rows arrive and when Read Fields reports; at the first size they
// stay in sight above the results. The pane scrolls rather than cutting a caption, and the grid
// shows its rows rather than two of them.
TEST_F(QueryExecutionTest, TheCommandsStayUnderThePointerAsTheResultsComeAndGo)
{
    checkCommandsStayPut(QSize(DataPanelView::idealWidth, DataPanelView::idealHeight), true);
}

TEST_F(QueryExecutionTest, TheCommandsStayPutInTheSmallestSheetWhosePaneScrolls)
{
    checkCommandsStayPut(QSize(DataPanelView::minimumPanelWidth, DataPanelView::minimumPanelHeight),
                         false);
    const auto *scroll = find<QScrollArea>(u"datapanel.queryScroll"_s);
    ASSERT_TRUE(scroll);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0) << "the small pane scrolls";
}

// Without a keyring service the password is missing, and the query's failure says why.
TEST_F(QueryExecutionTest, AFailureWithoutThePasswordNamesTheKeychain)
{
    keychain.inner.setUnavailable(u"No keyring service is running"_s);
    engine.script({ScriptedEngine::failure("FATAL: password authentication failed")});
    execute();
    const QString error = label(u"datapanel.queryResults.error"_s)->text();
    EXPECT_TRUE(error.startsWith(u"FATAL: password authentication failed"_s));
    EXPECT_TRUE(error.contains(u"No keyring service answered (No keyring service is running), "
                               u"so no password came from it for the connection \"Sales\""_s))
        << error.toStdString();
    EXPECT_EQ(engine.requests().value(0)[u"params"_s][u"connection"_s][u"password"_s], u""_s);
}

// The keychain is named only where the database refused the login: a refused connection or any
// other failure stands alone, even while the keychain cannot be read.
TEST_F(QueryExecutionTest, OnlyARefusedLoginNamesTheKeychain)
{
    keychain.inner.setUnavailable(u"No keyring service is running"_s);
    const QList<QByteArray> failures = {
        "Connection to 127.0.0.1:25465 refused. Check that the hostname and port are correct",
        "Byte data not found at: /reports/logo.png", "ERROR: relation customer does not exist"};
    QList<QByteArray> replies;
    for (const QByteArray &failure : failures)
        replies.append(ScriptedEngine::failure(failure));
    engine.script(replies);
    // Each shows the preview's advice with the engine's words as details, and no keychain.
    for (const QByteArray &failure : failures) {
        execute();
        EXPECT_EQ(label(u"datapanel.queryResults.error"_s)->text(),
                  FriendlyErrorTranslator::annotate(QString::fromUtf8(failure + "\nwhy")));
    }
}

// A preset with a user whose password the keychain does not hold (a new keyring, a password the
// keychain refused in an earlier session): the server's demand for one names the keychain.
TEST_F(QueryExecutionTest, ALoginWithoutAStoredPasswordNamesTheKeychain)
{
    connections->remove(sales.id);
    connections->add(sales, QString());
    store.setActiveConnectionID(sales.id);
    engine.script({ScriptedEngine::failure(
        "The server requested SCRAM-based authentication, but the password is an empty string.")});
    execute();
    const QString error = label(u"datapanel.queryResults.error"_s)->text();
    EXPECT_EQ(error,
              u"The server requested SCRAM-based authentication, but the password is an "
              "empty string.\nwhy\nNo password came from the keychain for the connection "
              "\"Sales\" (none is stored for it, or the keyring stayed locked), so none was sent "
              "for the user \"ann\". Type the password in the connection's Edit sheet and Save, "
              "or unlock the keyring and try again."_s);
}

// Against the real engine: without a connection the query runs on an empty database of the
// engine's own, so literal values come back and a table is not found.
TEST_F(QueryExecutionTest, AgainstTheEngineAStandaloneQueryShowsItsRows)
{
    QUILLMARK_REQUIRE_ENGINE();
    model.setLocationProvider([&] { return *location; });
    store.setActiveConnectionID(std::nullopt);
    storetest::editDocument(store, [](ReportDocument &d) {
        d.queryString = u"select 1 as id, 'Ann' as name union all select 2, 'Bob'"_s;
    });
    ASSERT_NO_FATAL_FAILURE(executeOnTheEngine());
    ASSERT_FALSE(model.queryErrorMessage().has_value()) << model.queryErrorMessage()->toStdString();
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"2 rows"_s);
    EXPECT_EQ(grid()->model()->headerData(1, Qt::Horizontal).toString(), u"name"_s);
    EXPECT_EQ(cell(0, 1), u"Ann"_s);
    EXPECT_EQ(cell(1, 0), u"2"_s);

    storetest::editDocument(store,
                            [](ReportDocument &d) { d.queryString = u"select * from orders"_s; });
    ASSERT_NO_FATAL_FAILURE(executeOnTheEngine());
    EXPECT_TRUE(shown(u"datapanel.queryResults.error"_s));
    EXPECT_TRUE(
        label(u"datapanel.queryResults.error"_s)->text().contains(u"Table \"orders\" not found"_s))
        << label(u"datapanel.queryResults.error"_s)->text().toStdString();
}

// Against the real engine and the PostgreSQL server the engine's own tests start (sidecar/test.sh
// exports where it listens); skipped without them.
TEST_F(QueryExecutionTest, AgainstPostgresTheGridShowsTheTablesRows)
{
    QUILLMARK_REQUIRE_ENGINE();
    QUILLMARK_REQUIRE_POSTGRES("to query");
    model.setLocationProvider([&] { return *location; });
    const DatabaseConnection &database = postgres->connection;
    connections->add(database, postgres->password);
    store.setActiveConnectionID(database.id);
    storetest::editDocument(store, [](ReportDocument &d) {
        d.queryString = u"SELECT id, name, city FROM customers ORDER BY id"_s;
    });
    EXPECT_TRUE(label(u"datapanel.query.executeCaption"_s)
                    ->text()
                    .startsWith(u"Runs against \"Sample\""_s));
    ASSERT_NO_FATAL_FAILURE(executeOnTheEngine());
    ASSERT_FALSE(model.queryErrorMessage().has_value()) << model.queryErrorMessage()->toStdString();
    EXPECT_EQ(label(u"datapanel.queryResults.count"_s)->text(), u"5 rows"_s);
    EXPECT_EQ(grid()->model()->headerData(1, Qt::Horizontal).toString(), u"name"_s);
    EXPECT_EQ(cell(0, 1), u"Ada Lovelace"_s);
    EXPECT_EQ(cell(2, 2), u"NULL"_s) << "Grace Hopper has no city";

    // A second statement is refused before anything reaches the database.
    storetest::editDocument(
        store, [](ReportDocument &d) { d.queryString = u"SELECT 1; DELETE FROM customers"_s; });
    ASSERT_NO_FATAL_FAILURE(executeOnTheEngine());
    EXPECT_TRUE(shown(u"datapanel.queryResults.error"_s));
    EXPECT_TRUE(label(u"datapanel.queryResults.error"_s)
                    ->text()
                    .startsWith(u"The query holds more than one statement."_s));
}
