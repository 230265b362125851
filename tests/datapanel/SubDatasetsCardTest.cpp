#include "DataPanelFixture.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"

#include <QPushButton>
#include <QTextCursor>
#include <QWheelEvent>

using namespace storetest;

namespace {

const QString card = u"datapanel.subDatasets"_s;

QString block(int index, const QString &control = {})
{
    const QString name = card + u".row"_s + QString::number(index);
    return control.isEmpty() ? name : name + u'.' + control;
}

QString inner(int index, const QString &list, int line, const QString &control)
{
    return block(index, list) + u".row"_s + QString::number(line) + u'.' + control;
}

// Clicks a button and lets the widgets of removed items go, as the event loop does.
class SubDatasetsCard : public DataPanelTest {
protected:
    void press(const QString &name) const
    {
        click(name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST_F(SubDatasetsCard, ANewSubDatasetShowsAnEmptyQueryAndTheThreeAddButtons)
{
    ASSERT_TRUE(view->cardContent(DataPanelCard::subDatasets));
    EXPECT_FALSE(find(block(0))) << "no sub-dataset, no block";
    EXPECT_EQ(find<QPushButton>(card + u".add"_s)->text(), u"Add Subdataset"_s);

    click(card + u".add"_s);
    ASSERT_EQ(store.document().subDatasets.size(), 1);
    EXPECT_EQ(store.document().subDatasets[0].name, u"Dataset1"_s);
    EXPECT_EQ(find<QLineEdit>(block(0, u"name"_s))->text(), u"Dataset1"_s);
    auto *query = find<CodeEditorView>(block(0, u"query"_s));
    ASSERT_TRUE(query);
    EXPECT_TRUE(query->text().isEmpty());
    EXPECT_EQ(query->parentWidget()->height(), 60);
    for (auto [list, title] : {std::pair{u"params"_s, u"Add Parameter"_s},
                               {u"fields"_s, u"Add Field"_s},
                               {u"variables"_s, u"Add Variable"_s}}) {
        auto *add = find<QPushButton>(block(0, list) + u".add"_s);
        ASSERT_TRUE(add) << list.toStdString();
        EXPECT_EQ(add->text(), title);
        EXPECT_FALSE(find(block(0, list) + u".row0"_s));
    }
    EXPECT_FALSE(find<QToolButton>(block(0, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(block(0, u"down"_s))->isEnabled());
}

TEST_F(SubDatasetsCard, NameQueryAndMovesWriteTheSubDatasetAndKeepItsQueryLanguage)
{
    click(card + u".add"_s);
    click(card + u".add"_s);
    editDocument(store, [](ReportDocument &d) { d.subDatasets[0].queryLanguage = u"xPath"_s; });
    const QUuid first = store.document().subDatasets[0].id;

    type(block(0, u"name"_s), u"Orders"_s);
    auto *query = find<CodeEditorView>(block(0, u"query"_s));
    query->textView()->setFocus();
    QTest::keyClicks(query->textView(), u"select 1"_s);
    EXPECT_EQ(store.document().subDatasets[0].name, u"Orders"_s);
    EXPECT_EQ(store.document().subDatasets[0].queryString, u"select 1"_s);
    EXPECT_EQ(store.document().subDatasets[0].queryLanguage, u"xPath"_s);
    EXPECT_EQ(store.document().subDatasets[1].queryLanguage, u"sql"_s);

    click(block(0, u"down"_s));
    EXPECT_EQ(store.document().subDatasets[1].id, first);
    EXPECT_EQ(find<QLineEdit>(block(1, u"name"_s))->text(), u"Orders"_s);
    EXPECT_EQ(find<CodeEditorView>(block(1, u"query"_s))->text(), u"select 1"_s);
    EXPECT_TRUE(find<QToolButton>(block(1, u"up"_s))->isEnabled());
    EXPECT_FALSE(find<QToolButton>(block(1, u"down"_s))->isEnabled());

    press(block(1, u"remove"_s));
    ASSERT_EQ(store.document().subDatasets.size(), 1);
    EXPECT_NE(store.document().subDatasets[0].id, first);
    EXPECT_FALSE(find(block(1)));
    store.undo();
    EXPECT_EQ(store.document().subDatasets.size(), 2);
    EXPECT_EQ(find<QLineEdit>(block(1, u"name"_s))->text(), u"Orders"_s);
}

// Inner adds and removes are row writes: no undo step of their own; a remove marks the report
// changed even so.
TEST_F(SubDatasetsCard, InnerAddsAndRemovesAreUndoStepsAndMarkTheReportChanged)
{
    qint64 now = 0;
    store.setClock([&] { return now; });
    click(card + u".add"_s);
    store.setIsDirty(false);

    click(block(0, u"params"_s) + u".add"_s);
    click(block(0, u"params"_s) + u".add"_s);
    click(block(0, u"fields"_s) + u".add"_s);
    click(block(0, u"variables"_s) + u".add"_s);
    const ReportSubDataset &dataset = store.document().subDatasets[0];
    ASSERT_EQ(dataset.parameters.size(), 2);
    EXPECT_EQ(dataset.parameters[1].name, u"param2"_s);
    EXPECT_EQ(dataset.parameters[1].className, u"java.lang.String"_s);
    EXPECT_TRUE(dataset.parameters[1].isForPrompting);
    EXPECT_EQ(dataset.fields[0].name, u"field1"_s);
    EXPECT_EQ(dataset.variables[0].name, u"variable1"_s);
    EXPECT_EQ(dataset.variables[0].calculation, u"Count"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(find<QLineEdit>(inner(0, u"params"_s, 1, u"name"_s))->text(), u"param2"_s);
    EXPECT_EQ(find<QComboBox>(inner(0, u"variables"_s, 0, u"calculation"_s))->currentText(),
              u"Count"_s);

    // Adding to a list of two names the item with the first free number.
    type(inner(0, u"params"_s, 0, u"name"_s), u"param3"_s);
    click(block(0, u"params"_s) + u".add"_s);
    EXPECT_EQ(store.document().subDatasets[0].parameters[2].name, u"param1"_s);

    type(inner(0, u"fields"_s, 0, u"class"_s), u"java.lang.Integer"_s);
    choose(inner(0, u"variables"_s, 0, u"calculation"_s), u"Sum"_s);
    EXPECT_EQ(store.document().subDatasets[0].fields[0].className, u"java.lang.Integer"_s);
    EXPECT_EQ(store.document().subDatasets[0].variables[0].calculation, u"Sum"_s);

    const QUuid second = store.document().subDatasets[0].parameters[1].id;
    store.setIsDirty(false);
    now += 2000;
    press(inner(0, u"params"_s, 0, u"remove"_s));
    ASSERT_EQ(store.document().subDatasets[0].parameters.size(), 2);
    EXPECT_EQ(store.document().subDatasets[0].parameters[0].id, second);
    EXPECT_EQ(find<QLineEdit>(inner(0, u"params"_s, 0, u"name"_s))->text(), u"param2"_s);
    EXPECT_TRUE(store.isDirty());

    store.setIsDirty(false);
    now += 2000;
    press(inner(0, u"fields"_s, 0, u"remove"_s));
    EXPECT_TRUE(store.document().subDatasets[0].fields.isEmpty());
    EXPECT_FALSE(find(inner(0, u"fields"_s, 0, u"name"_s)));
    EXPECT_TRUE(store.isDirty());

    // The inner edits are steps of the sub-dataset: an undo takes back the last removal only.
    store.undo();
    EXPECT_EQ(store.document().subDatasets[0].fields.size(), 1);
    EXPECT_EQ(store.document().subDatasets[0].parameters.size(), 2);
    store.undo();
    EXPECT_EQ(store.document().subDatasets[0].parameters.size(), 3);
}

TEST_F(SubDatasetsCard, TheQueryEditorKeepsItsFocusAndCaretAcrossDocumentUpdates)
{
    click(card + u".add"_s);
    auto *query = find<CodeEditorView>(block(0, u"query"_s));
    CodeTextView *text = query->textView();
    text->setFocus();
    QTest::keyClicks(text, u"select * from t"_s);
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(7); // after "select "
    text->setTextCursor(cursor);
    QTest::keyClicks(text, u"a, "_s);
    EXPECT_EQ(store.document().subDatasets[0].queryString, u"select a, * from t"_s);
    EXPECT_EQ(text->textCursor().position(), 10);
    EXPECT_TRUE(text->hasFocus());

    // Another change of the report refreshes every part; the editor stays as it is.
    store.addParameter();
    QApplication::processEvents();
    EXPECT_TRUE(text->hasFocus());
    EXPECT_EQ(text->textCursor().position(), 10);
    EXPECT_EQ(find<CodeEditorView>(block(0, u"query"_s)), query);

    // A change of the query itself from elsewhere shows in place.
    editDocument(store, [](ReportDocument &d) { d.subDatasets[0].queryString = u"select 2"_s; });
    EXPECT_EQ(query->text(), u"select 2"_s);
}

TEST_F(SubDatasetsCard, AnEditedReportKeepsItsSubDatasetsOnSave)
{
    click(card + u".add"_s);
    type(block(0, u"name"_s), u"Lines"_s);
    click(block(0, u"fields"_s) + u".add"_s);
    type(inner(0, u"fields"_s, 0, u"name"_s), u"amount"_s);
    type(inner(0, u"fields"_s, 0, u"class"_s), u"java.math.BigDecimal"_s);
    auto *query = find<CodeEditorView>(block(0, u"query"_s));
    query->textView()->setFocus();
    QTest::keyClicks(query->textView(), u"select amount from lines"_s);

    const QString jrxml = saved();
    EXPECT_TRUE(jrxml.contains(u"<subDataset name=\"Lines\""_s)) << jrxml.toStdString();
    EXPECT_TRUE(jrxml.contains(u"select amount from lines"_s));
    EXPECT_TRUE(jrxml.contains(u"<field name=\"amount\" class=\"java.math.BigDecimal\""_s));
}

TEST_F(SubDatasetsCard, ScrollingOverACalculationPickerLeavesItAlone)
{
    click(card + u".add"_s);
    click(block(0, u"variables"_s) + u".add"_s);
    auto *picker = find<QComboBox>(inner(0, u"variables"_s, 0, u"calculation"_s));
    ASSERT_TRUE(picker);
    find<QLineEdit>(block(0, u"name"_s))->setFocus();
    const QPoint centre = picker->rect().center();
    QWheelEvent wheel(centre, picker->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(picker, &wheel);
    EXPECT_EQ(picker->currentText(), u"Count"_s);
    EXPECT_EQ(store.document().subDatasets[0].variables[0].calculation, u"Count"_s);
}

// A block built again while the panel shows (an undo brings a removed sub-dataset back) shows
// the query and writes nothing: the save still holds the query.
TEST_F(SubDatasetsCard, ABlockBuiltAgainShowsItsQueryAndWritesNothing)
{
    click(card + u".add"_s);
    auto *query = find<CodeEditorView>(block(0, u"query"_s));
    query->textView()->setFocus();
    QTest::keyClicks(query->textView(), u"SELECT street FROM addresses"_s);
    ASSERT_EQ(store.document().subDatasets[0].queryString, u"SELECT street FROM addresses"_s);
    store.flushPendingUndoSnapshot();

    press(block(0, u"remove"_s));
    ASSERT_TRUE(store.document().subDatasets.isEmpty());
    QApplication::processEvents();
    store.undo();
    QApplication::processEvents();
    ASSERT_EQ(store.document().subDatasets.size(), 1);
    EXPECT_EQ(store.document().subDatasets[0].queryString, u"SELECT street FROM addresses"_s);
    EXPECT_EQ(find<CodeEditorView>(block(0, u"query"_s))->text(),
              u"SELECT street FROM addresses"_s);
    EXPECT_TRUE(store.canRedo()) << "nothing was written after the undo";
    EXPECT_TRUE(saved().contains(u"SELECT street FROM addresses"_s));
}

// With a hundred sub-datasets only the blocks near what the sheet shows are built when it
// opens; a block built far down the list edits its own sub-dataset alone.
TEST_F(SubDatasetsCard, BlocksBuiltLateEditTheirOwnSubDataset)
{
    editDocument(store, [](ReportDocument &d) {
        for (int i = 0; i < 100; ++i) {
            ReportSubDataset dataset;
            dataset.name = u"Dataset"_s + QString::number(i);
            dataset.queryString = u"select "_s + QString::number(i);
            d.subDatasets.append(dataset);
        }
    });
    view->refresh();
    QApplication::processEvents();
    EXPECT_TRUE(view->findChild<QLineEdit *>(block(0, u"name"_s)));
    EXPECT_FALSE(view->findChild<QLineEdit *>(block(50, u"name"_s))) << "far below the view";
    EXPECT_FALSE(view->findChild<QLineEdit *>(block(90, u"name"_s)));

    const ReportDocument before = store.document();
    auto *query = find<CodeEditorView>(block(90, u"query"_s));
    ASSERT_TRUE(query) << "the sheet scrolled to the block and built it";
    EXPECT_EQ(query->text(), u"select 90"_s);
    EXPECT_FALSE(view->findChild<QLineEdit *>(block(50, u"name"_s))) << "blocks in between";
    type(block(90, u"name"_s), u"Orders"_s);
    click(block(90, u"params.add"_s));
    for (qsizetype i = 0; i < 100; ++i) {
        if (i != 90) {
            ASSERT_EQ(store.document().subDatasets.at(i), before.subDatasets.at(i)) << i;
        }
    }
    EXPECT_EQ(store.document().subDatasets.at(90).name, u"Orders"_s);
    EXPECT_EQ(store.document().subDatasets.at(90).parameters.size(), 1);
    EXPECT_TRUE(find<QLineEdit>(block(90, u"params.row0.name"_s)));
}
