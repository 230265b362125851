// The code editor, alone and in the expression builder, hands back exactly what the keys,
// pastes and drops made of its text, in short lines and in the pieces of long ones; the gutter
// numbers the lines so made.
#include "FakeExpressionEngine.h"
#include "RandomTyping.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeTextView.h"
#include "editors/ExpressionBuilderView.h"
#include "editors/FindBar.h"
#include "editors/SQLSyntaxHighlighter.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testsupport::RandomTyping;

namespace {

TEST(CodeEditorTypingTest, RandomEditingHandsBackWhatTheKeysPastesAndDropsMade)
{
    for (const quint32 seed : RandomTyping::seeds(101, 6)) {
        CodeEditorView editor(SQLSyntaxHighlighter::scheme(), true);
        editor.resize(600, 400);
        editor.show();
        const QString start = RandomTyping::startingText(seed);
        editor.setText(start);
        QString handed = start;
        QObject::connect(&editor, &CodeEditorView::textEdited, &editor,
                         [&handed](const QString &text) { handed = text; });
        RandomTyping typing(editor.textView(), seed, [&handed] { return handed; });
        if (!typing.run(120))
            break;
    }
}

TEST(CodeEditorTypingTest, RandomEditingInTheExpressionBuilderReachesItsBinding)
{
    for (const quint32 seed : RandomTyping::seeds(201, 4)) {
        QString expression = RandomTyping::startingText(seed);
        FakeExpressionEngine engine;
        ExpressionBuilderView view({[&expression] { return expression; },
                                    [&expression](const QString &text) { expression = text; }},
                                   ReportDocument{}, &engine, [] {});
        view.show();
        RandomTyping typing(view.editor()->textView(), seed, [&expression] { return expression; });
        if (!typing.run(100))
            break;
    }
}

// A line break pasted inside a long line, or typed with Shift+Return, starts a line with a
// number of its own.
TEST(CodeEditorTypingTest, ALineBrokenInsideAPieceGetsItsOwnNumber)
{
    CodeEditorView editor(SQLSyntaxHighlighter::scheme(), true);
    editor.resize(600, 400);
    editor.show();
    QString query = u"SELECT "_s;
    for (int i = 1; query.size() < 3000; ++i)
        query += u"col"_s + QString::number(i) + u", "_s;
    query += u"id FROM orders WHERE MARK status = 'open' ORDER BY col1"_s;
    editor.setText(query);
    CodeTextView *text = editor.textView();
    ASSERT_TRUE(text->hasPieces());
    QString handed;
    QObject::connect(&editor, &CodeEditorView::textEdited, &editor,
                     [&handed](const QString &t) { handed = t; });

    // The find bar selects MARK; the paste replaces it.
    editor.performFindAction(CodeEditorView::FindAction::showFindBar);
    QTest::keyClicks(editor.findBar()->field(), u"MARK"_s);
    QTest::keyClick(editor.findBar()->field(), Qt::Key_Return);
    ASSERT_EQ(text->text(text->textCursor().selectionStart(), text->textCursor().selectionEnd()),
              u"MARK"_s);
    text->setFocus();
    QApplication::clipboard()->setText(u"\n-- added filter\n"_s);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QString expected = query;
    expected.replace(u"MARK"_s, u"\n-- added filter\n"_s);
    EXPECT_EQ(handed, expected);
    EXPECT_EQ(text->lineNumber(text->textCursor().block()), 3);
    EXPECT_EQ(text->lineNumber(text->document()->lastBlock()), 3);

    QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);
    expected.replace(u"filter\n"_s, u"filter\n\n"_s);
    EXPECT_EQ(handed, expected);
    EXPECT_EQ(text->lineNumber(text->document()->lastBlock()), 4);
}

} // namespace
