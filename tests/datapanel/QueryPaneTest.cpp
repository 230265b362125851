#include "DataPanelFixture.h"
#include "datapanel/ReadFields.h"
#include "datapanel/SimpleCSV.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeSyntaxHighlighting.h"
#include "editors/CodeTextView.h"

#include <QLabel>
#include <QPushButton>

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
};

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
    EXPECT_NE(textColor(u"datapanel.query.csvHeader0"_s), orange);
    EXPECT_EQ(textColor(u"datapanel.query.csvHeader1"_s), orange);
    EXPECT_TRUE(label(u"datapanel.query.csvHint"_s)->isVisible());

    declare({u"id"_s, u"Name"_s}); // declaring the column recolours the header at once
    EXPECT_NE(textColor(u"datapanel.query.csvHeader1"_s), orange);
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
