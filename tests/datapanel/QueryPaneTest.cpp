#include "DataPanelFixture.h"
#include "TestSupport.h"
#include "datapanel/QueryTestState.h"
#include "datapanel/ReadFields.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeSyntaxHighlighting.h"
#include "editors/CodeTextView.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QThreadPool>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

class QueryPaneTest : public storetest::DataPanelTest {
protected:
    QLabel *label(const QString &name) const
    {
        auto *found = find<QLabel>(name);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }
    QStringList declared() const
    {
        QStringList names;
        for (const ReportField &f : store.document().fields)
            names.append(f.name);
        return names;
    }
    void declare(const QStringList &names)
    {
        storetest::editDocument(store, [&](ReportDocument &d) {
            d.fields.clear();
            for (const QString &name : names) {
                ReportField f;
                f.name = name;
                f.className = u"java.lang.String"_s;
                d.fields.append(f);
            }
        });
    }
    QColor textColor(const QString &name) const
    {
        return label(name)->palette().color(QPalette::WindowText);
    }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        const QString path = QDir(settingsDir.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }
    // Picks a file in the open panel of "Attach CSV..." or "Change CSV...".
    void attach(const QString &path)
    {
        dialogs.answerOpenPanel({QUrl::fromLocalFile(path)});
        click(u"datapanel.query.attachCSV"_s);
    }
    // The preview's table and what it shows.
    const QAbstractItemModel *preview() const
    {
        const auto *table = find<QTableView>(u"datapanel.query.csvPreview"_s);
        return table ? table->model() : nullptr;
    }
    // The name over column `column`, or nothing while there is no such column.
    QString previewHeader(int column) const
    {
        const QAbstractItemModel *model = preview();
        return model && column < model->columnCount()
                   ? model->headerData(column, Qt::Horizontal).toString()
                   : QString();
    }
    // The colour the name over column `column` is drawn in.
    QColor previewHeaderColor(int column) const
    {
        const QVariant own = preview()->headerData(column, Qt::Horizontal, Qt::ForegroundRole);
        return own.isValid() ? own.value<QColor>() : view->palette().color(QPalette::WindowText);
    }
    // The texts of the preview's cells below its header, row by row.
    QStringList previewCells() const
    {
        QStringList texts;
        if (const QAbstractItemModel *model = preview())
            for (int row = 0; row < model->rowCount(); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    if (const QVariant text = model->index(row, column).data(); text.isValid())
                        texts.append(text.toString());
        return texts;
    }
};

#ifdef Q_OS_UNIX
// A named pipe that stands for a file on a slow disk: its reader gets what is written as it
// comes, and the end of the file when it is closed. It closes itself after ten seconds, so that
// a read that holds up the test's own thread cannot hang the test.
class SlowFile {
public:
    explicit SlowFile(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path);
        EXPECT_EQ(::mkfifo(name.constData(), 0600), 0);
        fd_ = ::open(name.constData(), O_RDWR); // both ends: neither side's open waits
        EXPECT_GE(fd_, 0);
        watchdog_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            closing_.wait_for(lock, std::chrono::seconds(10), [this] { return fd_ < 0; });
            closeLocked();
        });
    }
    ~SlowFile()
    {
        close();
        watchdog_.join();
    }
    void write(const QByteArray &bytes)
    {
        const std::lock_guard lock(mutex_);
        ASSERT_GE(fd_, 0) << "closed after waiting too long";
        EXPECT_EQ(::write(fd_, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    void close()
    {
        {
            const std::lock_guard lock(mutex_);
            closeLocked();
        }
        closing_.notify_all();
    }

private:
    void closeLocked()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    std::mutex mutex_;
    std::condition_variable closing_;
    int fd_ = -1;
    std::thread watchdog_;
};
#endif

} // namespace

TEST_F(QueryPaneTest, EditingTheQueryOrItsLanguageIsAnUndoStepEach)
{
    auto *editor = find<CodeEditorView>(u"datapanel.query.editor"_s);
    ASSERT_TRUE(editor);
    choose(u"datapanel.query.language"_s, u"sql"_s);
    EXPECT_FALSE(store.isDirty()) << "the language it already has";

    EXPECT_FALSE(store.canUndo());

    editor->textView()->setFocus();
    QTest::keyClicks(editor->textView(), u"SELECT a"_s);
    EXPECT_EQ(store.document().queryString, u"SELECT a"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_TRUE(store.canUndo());

    choose(u"datapanel.query.language"_s, u"json"_s);
    EXPECT_EQ(store.document().queryLanguage, u"json"_s);
    store.undo();
    EXPECT_EQ(store.document().queryLanguage, u"sql"_s);
    EXPECT_EQ(store.document().queryString, u"SELECT a"_s) << "the typing is a step of its own";
    EXPECT_EQ(editor->text(), u"SELECT a"_s);
    store.undo();
    EXPECT_EQ(store.document().queryString, QString());
    EXPECT_EQ(editor->text(), QString());
    EXPECT_FALSE(store.canUndo());

    // A change from elsewhere shows in place.
    storetest::editDocument(store, [](ReportDocument &d) {
        d.queryString = u"select 1"_s;
        d.queryLanguage = u"xpath"_s;
    });
    EXPECT_EQ(editor->text(), u"select 1"_s);
    EXPECT_EQ(find<QComboBox>(u"datapanel.query.language"_s)->currentText(), u"xpath"_s);
}

// The engine also takes "SQL" and "xPath": the picker shows them, and picking the language a
// report already has leaves its spelling (and the report) alone.
TEST_F(QueryPaneTest, TheLanguagePickerShowsALanguageWhateverItsLetterCase)
{
    for (const auto &[written, shown] : {std::pair{u"SQL"_s, u"sql"_s}, {u"xPath"_s, u"xpath"_s}}) {
        storetest::editDocument(store, [&](ReportDocument &d) { d.queryLanguage = written; });
        store.setIsDirty(false);
        auto *picker = find<QComboBox>(u"datapanel.query.language"_s);
        EXPECT_EQ(picker->currentText(), shown);
        emit picker->activated(picker->currentIndex()); // chosen again from its list
        EXPECT_EQ(store.document().queryLanguage, written);
        EXPECT_FALSE(store.isDirty());
    }
    choose(u"datapanel.query.language"_s, u"csv"_s);
    EXPECT_EQ(store.document().queryLanguage, u"csv"_s);
    EXPECT_TRUE(store.isDirty());
}

TEST_F(QueryPaneTest, ReadFieldsWithoutAConnectionParsesTheQueryAndOffersToRemoveStaleFields)
{
    EXPECT_TRUE(label(u"datapanel.query.readFieldsCaption"_s)->text().startsWith(u"Parses the"_s));
    EXPECT_FALSE(label(u"datapanel.query.message"_s)->isVisible());
    storetest::editDocument(store, [](ReportDocument &d) { d.queryString = u"SELECT a, b"_s; });
    click(u"datapanel.query.readFields"_s);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"b"_s}));
    QLabel *message = label(u"datapanel.query.message"_s);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->text(), u"Added 2 new fields. No FROM clause found - parsed the whole "
                               u"query as the column list."_s);
    EXPECT_EQ(message->palette().color(QPalette::WindowText),
              syntaxColor(SyntaxColor::blue, view->palette()));
    EXPECT_FALSE(find<QWidget>(u"datapanel.query.staleLine"_s)->isVisible());

    // b and c leave the query; b is still shown by a text field.
    declare({u"a"_s, u"b"_s, u"c"_s});
    storetest::editDocument(store, [](ReportDocument &d) {
        d.queryString = u"SELECT a FROM t"_s;
        d.detailBands[0].elements = {storetest::element(ElementKind::TextField{u"$F{b}"_s})};
    });
    click(u"datapanel.query.readFields"_s);
    EXPECT_EQ(declared(), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(message->text(), u"No new fields - either already declared, or nothing "
                               u"recognizable in the query. Auto-removed 1 unused field no "
                               u"longer in the query."_s);
    EXPECT_TRUE(find<QWidget>(u"datapanel.query.staleLine"_s)->isVisible());
    EXPECT_EQ(label(u"datapanel.query.stale"_s)->text(),
              u"Not found in this query, but still used by an element: b"_s);

    click(u"datapanel.query.removeStale"_s);
    EXPECT_EQ(declared(), QStringList{u"a"_s});
    EXPECT_EQ(message->text(), u"Removed 1 unused field."_s);
    EXPECT_FALSE(find<QWidget>(u"datapanel.query.staleLine"_s)->isVisible());

    store.setActiveConnectionID(QUuid::createUuid());
    EXPECT_TRUE(label(u"datapanel.query.readFieldsCaption"_s)->text().startsWith(u"Runs the"_s));
}

TEST_F(QueryPaneTest, ASampleFileShowsItsHeaderWithUnknownColumnsInOrange)
{
    auto *state = view->findChild<QueryTestState *>(u"datapanel.query.testState"_s);
    ASSERT_TRUE(state);
    EXPECT_EQ(find<QPushButton>(u"datapanel.query.attachCSV"_s)->text(), u"Attach CSV..."_s);
    EXPECT_FALSE(find<QWidget>(u"datapanel.query.clearCSV"_s)->isVisible());

    declare({u"id"_s});
    const QString path = QDir(settingsDir.path()).filePath(u"sample.csv"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("id,Name\n1,Ada\n2,Alan\n");
    file.close();
    state->load(path);

    EXPECT_EQ(find<QPushButton>(u"datapanel.query.attachCSV"_s)->text(), u"Change CSV..."_s);
    EXPECT_TRUE(find<QWidget>(u"datapanel.query.clearCSV"_s)->isVisible());
    EXPECT_EQ(label(u"datapanel.query.csvName"_s)->text(), u"sample.csv"_s);
    const QColor orange = syntaxColor(SyntaxColor::orange, view->palette());
    EXPECT_NE(previewHeaderColor(0), orange);
    EXPECT_EQ(previewHeaderColor(1), orange);
    EXPECT_TRUE(label(u"datapanel.query.csvHint"_s)->isVisible());

    declare({u"id"_s, u"Name"_s}); // declaring the column recolours the header at once
    EXPECT_NE(previewHeaderColor(1), orange);
    EXPECT_FALSE(label(u"datapanel.query.csvHint"_s)->isVisible());

    const QString empty = QDir(settingsDir.path()).filePath(u"empty.csv"_s);
    QFile(empty).open(QIODevice::WriteOnly);
    state->load(empty);
    EXPECT_EQ(label(u"datapanel.query.csvError"_s)->text(), u"File is empty."_s);
    EXPECT_EQ(label(u"datapanel.query.csvName"_s)->text(), u"sample.csv"_s);
    EXPECT_FALSE(find<QWidget>(u"datapanel.query.csvPreview"_s)->isVisible());

    click(u"datapanel.query.clearCSV"_s);
    EXPECT_EQ(find<QPushButton>(u"datapanel.query.attachCSV"_s)->text(), u"Attach CSV..."_s);
    EXPECT_FALSE(label(u"datapanel.query.csvError"_s)->isVisible());
    EXPECT_FALSE(label(u"datapanel.query.csvName"_s)->isVisible());
}

TEST_F(QueryPaneTest, APickedSampleShowsItsFirstRowsWhateverFollowsThem)
{
    QByteArray bytes = "id,name\n";
    for (int i = 1; i <= 12; ++i)
        bytes += QByteArray::number(i) + ",n" + QByteArray::number(i) + "\n";
    // A tail that would not read as text, and makes the file large.
    bytes += "\"\xFF" + QByteArray(QueryTestState::largeFileSize, '\xC0');
    const QString path = write(u"big.csv"_s, bytes);
    attach(path);
    ASSERT_EQ(dialogs.openPanels().size(), 1);
    const FilePanelRequest &panel = dialogs.openPanels().front();
    EXPECT_EQ(panel.fileExtensions, QStringList{u"csv"_s});
    EXPECT_FALSE(panel.allowsMultipleSelection);
    EXPECT_FALSE(panel.choosesDirectories);

    ASSERT_TRUE(testsupport::waitFor([&] { return !previewHeader(1).isEmpty(); }));
    EXPECT_EQ(previewHeader(0), u"id"_s);
    EXPECT_EQ(previewHeader(1), u"name"_s);
    QStringList rows;
    for (int i = 1; i <= 10; ++i)
        rows << QString::number(i) << u"n"_s + QString::number(i);
    EXPECT_EQ(previewCells(), rows);
    EXPECT_EQ(label(u"datapanel.query.csvName"_s)->text(), u"big.csv"_s);
    EXPECT_FALSE(label(u"datapanel.query.csvError"_s)->isVisible());

    click(u"datapanel.query.attachCSV"_s); // the panel cancelled
    EXPECT_EQ(dialogs.openPanels().size(), 2);
    EXPECT_EQ(label(u"datapanel.query.csvName"_s)->text(), u"big.csv"_s);
    EXPECT_EQ(previewCells(), rows);
}

// A sample of thousands of columns is one table over its rows: the columns are all there, each as
// wide as its name or its longest cell, and no widget stands for a cell.
TEST_F(QueryPaneTest, AWideSampleIsOneTableWhoseColumnsFitTheirTexts)
{
    constexpr int columns = 5000;
    QStringList names, first, second;
    for (int i = 0; i < columns; ++i) {
        names << u"column_"_s + QString::number(i);
        first << QString::number(i);
        second << (i == columns - 1 ? u"a much longer value in the last column"_s : u"x"_s);
    }
    attach(write(u"wide.csv"_s,
                 (names.join(u',') + u'\n' + first.join(u',') + u'\n' + second.join(u',') + u'\n')
                     .toUtf8()));
    ASSERT_TRUE(testsupport::waitFor([&] { return !previewHeader(columns - 1).isEmpty(); }));
    auto *table = find<QTableView>(u"datapanel.query.csvPreview"_s);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->model()->columnCount(), columns);
    EXPECT_EQ(table->model()->rowCount(), 2);
    EXPECT_LT(table->findChildren<QWidget *>().size(), 40) << "no widget for each cell";
    const QFontMetrics cells(table->font());
    const QFontMetrics names_(table->horizontalHeader()->font());
    EXPECT_GE(table->columnWidth(columns - 1),
              cells.horizontalAdvance(u"a much longer value in the last column"_s));
    EXPECT_GE(table->columnWidth(columns - 2), names_.horizontalAdvance(names[columns - 2]));
    EXPECT_LT(table->columnWidth(columns - 2),
              cells.horizontalAdvance(u"a much longer value in the last column"_s));
}

// A file still being read holds up nothing: the sheet goes on with its events, the rows arrive
// when the read ends, and a file picked in the meantime wins over one still being read.
TEST_F(QueryPaneTest, TheSheetRunsOnWhileASampleIsReadAndTheLastPickWins)
{
#ifndef Q_OS_UNIX
    GTEST_SKIP() << "needs a named pipe";
#else
    SlowFile slow(QDir(settingsDir.path()).filePath(u"slow.csv"_s));
    slow.write("id,name\n1,a\n");
    attach(QDir(settingsDir.path()).filePath(u"slow.csv"_s));
    bool ticked = false;
    QTimer::singleShot(20, view.get(), [&] { ticked = true; });
    ASSERT_TRUE(testsupport::waitFor([&] { return ticked; }));
    EXPECT_EQ(find<QPushButton>(u"datapanel.query.attachCSV"_s)->text(), u"Attach CSV..."_s);
    EXPECT_FALSE(find<QWidget>(u"datapanel.query.csvPreview"_s)->isVisible());
    slow.write("2,b\n");
    slow.close();
    ASSERT_TRUE(testsupport::waitFor([&] { return !previewHeader(1).isEmpty(); }));
    EXPECT_EQ(label(u"datapanel.query.csvName"_s)->text(), u"slow.csv"_s);
    EXPECT_EQ(previewCells(), (QStringList{u"1"_s, u"a"_s, u"2"_s, u"b"_s}));

    SlowFile late(QDir(settingsDir.path()).filePath(u"late.csv"_s));
    late.write("late,pick\n");
    attach(QDir(settingsDir.path()).filePath(u"late.csv"_s));
    attach(write(u"small.csv"_s, "x,y\n1,2\n"));
    EXPECT_EQ(previewHeader(0), u"x"_s);
    late.close();
    QThreadPool::globalInstance()->waitForDone();
    QApplication::processEvents();
    EXPECT_EQ(label(u"datapanel.query.csvName"_s)->text(), u"small.csv"_s);
    EXPECT_EQ(previewHeader(0), u"x"_s);
    EXPECT_EQ(previewCells(), (QStringList{u"1"_s, u"2"_s}));
#endif
}
