// The report's query and a sub-dataset's query take exactly what the keys, pastes and drops made
// of the text in their editors, long one-line queries included; the saved report holds it and
// the engine compiles it.
#include "DataPanelFixture.h"
#include "EngineJudge.h"
#include "RandomTyping.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/FindBar.h"
#include "model/JrxmlCodec.h"

#include <QClipboard>
#include <QFile>

using namespace storetest;
using testsupport::RandomTyping;

namespace {

const QString subDatasetQuery = u"datapanel.subDatasets.row0.query"_s;

class QueryEditorTypingTest : public DataPanelTest {
protected:
    // Saves the report; the report as the saved file holds it, and its bytes.
    ReportDocument saved(QByteArray &bytes)
    {
        const QString path = QDir(settingsDir.path()).filePath(u"Query.jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        bytes = file.readAll();
        return JrxmlCodec::parse(bytes);
    }

    // A one-line query of more than 3,000 characters with the word MARK in its condition.
    static QString longQuery()
    {
        QString query = u"SELECT "_s;
        for (int i = 1; query.size() < 3050; ++i)
            query += u"id AS col"_s + QString::number(i) + u", "_s;
        return query + u"id FROM orders WHERE MARK status = 'open' ORDER BY col1"_s;
    }
};

TEST_F(QueryEditorTypingTest, RandomEditingOfTheQueryReachesTheReport)
{
    auto *editor = find<CodeEditorView>(u"datapanel.query.editor"_s);
    ASSERT_TRUE(editor);
    for (const quint32 seed : RandomTyping::seeds(401, 3)) {
        editDocument(store,
                     [&](ReportDocument &d) { d.queryString = RandomTyping::startingText(seed); });
        editor->textView()->setFocus();
        RandomTyping typing(editor->textView(), seed,
                            [this] { return store.document().queryString; });
        if (!typing.run(90))
            break;
    }
}

TEST_F(QueryEditorTypingTest, RandomEditingOfASubDatasetsQueryReachesTheReport)
{
    click(u"datapanel.subDatasets.add"_s);
    auto *editor = find<CodeEditorView>(subDatasetQuery);
    ASSERT_TRUE(editor);
    for (const quint32 seed : RandomTyping::seeds(411, 3)) {
        editDocument(store, [&](ReportDocument &d) {
            d.subDatasets[0].queryString = RandomTyping::startingText(seed);
        });
        editor->textView()->setFocus();
        RandomTyping typing(editor->textView(), seed,
                            [this] { return store.document().subDatasets.value(0).queryString; });
        if (!typing.run(90))
            break;
    }
}

// A filter pasted in place of a word found in a long one-line query stands on lines of its own,
// in the editor, in the report and in the saved file, and the condition stays outside the SQL
// comment.
TEST_F(QueryEditorTypingTest, AFilterPastedIntoALongQueryKeepsItsLines)
{
    const QString query = longQuery();
    editDocument(store, [&](ReportDocument &d) { d.queryString = query; });
    auto *editor = find<CodeEditorView>(u"datapanel.query.editor"_s);
    ASSERT_TRUE(editor);
    CodeTextView *text = editor->textView();
    ASSERT_TRUE(text->hasPieces());
    text->setFocus();
    QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(editor->findBar()->isVisible());
    QTest::keyClicks(editor->findBar()->field(), u"MARK"_s);
    QTest::keyClick(editor->findBar()->field(), Qt::Key_Return);
    text->setFocus();
    QApplication::clipboard()->setText(u"\n-- added filter\n"_s);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);

    QString expected = query;
    expected.replace(u"MARK "_s, u"\n-- added filter\n "_s);
    EXPECT_EQ(store.document().queryString, expected);
    EXPECT_EQ(text->lineNumber(text->document()->lastBlock()), 3) << "three lines shown";
    EXPECT_TRUE(expected.endsWith(u"-- added filter\n status = 'open' ORDER BY col1"_s));

    QByteArray bytes;
    EXPECT_EQ(saved(bytes).queryString, expected);
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(bytes), std::nullopt);
}

// Shift+Return in a sub-dataset's query starts a line; the saved query holds a line feed, not a
// line separator, and compiles.
TEST_F(QueryEditorTypingTest, ShiftReturnInASubDatasetsQueryStartsALine)
{
    click(u"datapanel.subDatasets.add"_s);
    auto *editor = find<CodeEditorView>(subDatasetQuery);
    ASSERT_TRUE(editor);
    editor->textView()->setFocus();
    QTest::keyClicks(editor->textView(), u"SELECT id"_s);
    QTest::keyClick(editor->textView(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor->textView(), u"FROM orders"_s);
    EXPECT_EQ(store.document().subDatasets.value(0).queryString, u"SELECT id\nFROM orders"_s);

    QByteArray bytes;
    EXPECT_EQ(saved(bytes).subDatasets.value(0).queryString, u"SELECT id\nFROM orders"_s);
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(bytes), std::nullopt);
}

} // namespace
