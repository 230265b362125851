// The Text and Expression cards, and the expression builder opened from a card, write exactly
// what the keys, pastes and drops made of the text: line breaks inside long lines, Shift+Return
// and the breaks of other programs as line feeds, no character a report cannot hold. The saved
// report holds it, and the engine compiles the expressions so written.
#include "EngineJudge.h"
#include "InspectorViewFixture.h"
#include "RandomTyping.h"
#include "TestSupport.h"
#include "model/JrxmlCodec.h"
#include "widgets/LinePieces.h"
#include "widgets/PlainTextEdit.h"

#include <QClipboard>
#include <QFile>
#include <QPushButton>

using namespace storetest;
using testsupport::RandomTyping;

namespace {

class TextCardTypingTest : public InspectorViewTest {
protected:
    // The static text's text or the text field's expression as the store holds it.
    QString stored(const QUuid &id) const
    {
        const std::optional<ReportElement> element = store.element(id);
        if (!element)
            return u"(no element)"_s;
        if (const auto *text = element->kind.as<ElementKind::StaticText>())
            return text->text;
        if (const auto *field = element->kind.as<ElementKind::TextField>())
            return field->expression;
        return u"(no text)"_s;
    }

    // Saves the report; the element's text or expression as the saved file holds it, read back.
    QString saved(const QUuid &id, QByteArray *bytes = nullptr)
    {
        const QString path = QDir(settingsDir.path()).filePath(u"Typed.jrxml"_s);
        store.save(QUrl::fromLocalFile(path));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return u"(not saved)"_s;
        const QByteArray data = file.readAll();
        if (bytes)
            *bytes = data;
        const int index = store.document().detailBands.isEmpty()
                              ? -1
                              : int(ids(store.document().detailBands.first().elements).indexOf(id));
        const ReportDocument read = JrxmlCodec::parse(data);
        if (index < 0 || read.detailBands.isEmpty() ||
            read.detailBands.first().elements.size() <= index)
            return u"(element not found)"_s;
        const ElementKind &kind = read.detailBands.first().elements.at(index).kind;
        if (const auto *text = kind.as<ElementKind::StaticText>())
            return text->text;
        if (const auto *field = kind.as<ElementKind::TextField>())
            return field->expression;
        return u"(no text)"_s;
    }

    // Opens the expression builder beside the Expression card; its editor, with the focus.
    PlainTextEdit *openBuilder()
    {
        auto *button = find<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
        if (!button)
            return nullptr;
        button->click();
        if (!button->builder())
            return nullptr;
        PlainTextEdit *editor = button->builder()->editor()->textView();
        editor->setFocus();
        return editor;
    }
    void closeBuilder()
    {
        if (auto *button = find<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
            button && button->builder())
            button->builder()->doneButton()->click();
    }

    PlainTextEdit *focused(const QString &name)
    {
        auto *editor = find<PlainTextEdit>(name);
        if (editor)
            editor->setFocus();
        return editor;
    }

    // Runs the random editing on the editor named `name` of an element made of `kind`.
    void typeRandomly(const QString &name, const std::function<ElementKind(QString)> &kind,
                      quint32 first)
    {
        for (const quint32 seed : RandomTyping::seeds(first, 3)) {
            const ReportElement made = selectNew(element(kind(RandomTyping::startingText(seed))));
            PlainTextEdit *editor = focused(name);
            ASSERT_TRUE(editor) << name.toStdString();
            RandomTyping typing(editor, seed, [this, &made] { return stored(made.id); });
            if (!typing.run(90))
                return;
        }
    }
};

TEST_F(TextCardTypingTest, RandomEditingInTheTextCardReachesTheElement)
{
    typeRandomly(
        u"inspector.text.editor"_s,
        [](const QString &text) { return ElementKind(ElementKind::StaticText{text}); }, 301);
}

TEST_F(TextCardTypingTest, RandomEditingInTheExpressionCardReachesTheElement)
{
    typeRandomly(
        u"inspector.expression.editor"_s,
        [](const QString &text) { return ElementKind(ElementKind::TextField{text}); }, 311);
}

TEST_F(TextCardTypingTest, RandomEditingInTheExpressionBuilderReachesTheElement)
{
    for (const quint32 seed : RandomTyping::seeds(321, 3)) {
        const ReportElement field =
            selectNew(element(ElementKind::TextField{RandomTyping::startingText(seed)}));
        PlainTextEdit *editor = openBuilder();
        ASSERT_TRUE(editor);
        RandomTyping typing(editor, seed, [this, &field] { return stored(field.id); });
        const bool held = typing.run(90);
        closeBuilder();
        if (!held)
            return;
        EXPECT_EQ(find<PlainTextEdit>(u"inspector.expression.editor"_s)->text(), stored(field.id))
            << "the card shows what the builder wrote";
    }
}

// A static text typed with Shift+Return and given another program's line breaks prints the
// lines the card, the canvas and the outline show; what XML cannot hold never enters.
TEST_F(TextCardTypingTest, TheSavedTextHoldsTheLinesTheCardShows)
{
    const ReportElement label = selectNew(element(ElementKind::StaticText{}));
    PlainTextEdit *editor = focused(u"inspector.text.editor"_s);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, u"First line"_s);
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor, u"Second line"_s);
    QApplication::clipboard()->setText(u"\u000BThird\u0001 line\u000CFourth\u2029"_s);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    const QString expected = u"First line\nSecond line\nThird line\nFourth\n"_s;
    EXPECT_EQ(stored(label.id), expected);
    EXPECT_EQ(saved(label.id), expected);
    EXPECT_FALSE(store.isDirty()) << "the file holds what the report holds";
}

// A text holding ends of lines an editor shows as line feeds (a carriage return, CR LF, the
// paragraph separator, as a report file may hold them) keeps them where the user typed elsewhere,
// in the Text card, the Expression card and the expression builder: the saved report holds them
// as they were. A line break typed beside one is one more, the one there kept.
TEST_F(TextCardTypingTest, EndsOfLinesTypedAroundAreSavedAsTheyWere)
{
    struct Case {
        const char *name;
        QString text;
        // After `a` typed at the start, `z` at the end, and Return before `E`.
        QString broken;
    };
    const QList<Case> cases{
        {"a carriage return", u"D\rE"_s, u"aD\n\rEz"_s},
        {"CR LF", u"D\r\nE"_s, u"aD\r\n\nEz"_s},
        {"a paragraph separator", u"D\u2029E"_s, u"aD\u2029\nEz"_s},
    };
    for (const Case &c : cases) {
        for (const bool isExpression : {false, true}) {
            const std::string name = std::string(c.name) + (isExpression ? " (expression)" : "");
            const ReportElement made =
                selectNew(element(isExpression ? ElementKind(ElementKind::TextField{c.text})
                                               : ElementKind(ElementKind::StaticText{c.text})));
            PlainTextEdit *editor = focused(isExpression ? u"inspector.expression.editor"_s
                                                         : u"inspector.text.editor"_s);
            ASSERT_TRUE(editor) << name;
            editor->moveCursor(QTextCursor::End);
            QTest::keyClick(editor, Qt::Key_Z);
            editor->moveCursor(QTextCursor::Start);
            QTest::keyClick(editor, Qt::Key_A);
            EXPECT_EQ(stored(made.id), u"a"_s + c.text + u"z"_s) << name;
            EXPECT_EQ(saved(made.id), u"a"_s + c.text + u"z"_s) << name;

            QTextCursor cursor = editor->textCursor();
            cursor.setPosition(3);
            editor->setTextCursor(cursor);
            QTest::keyClick(editor, Qt::Key_Return);
            EXPECT_EQ(stored(made.id), c.broken) << name;
            EXPECT_EQ(editor->text(), u"aD\n\nEz"_s) << name;
            if (!isExpression)
                continue;
            PlainTextEdit *builder = openBuilder();
            ASSERT_TRUE(builder) << name;
            builder->moveCursor(QTextCursor::End);
            QTest::keyClick(builder, Qt::Key_Q);
            closeBuilder();
            EXPECT_EQ(stored(made.id), c.broken + u"q"_s) << name;
            EXPECT_EQ(saved(made.id), c.broken + u"q"_s) << name;
        }
    }
}

// Expressions written with Shift+Return in the builder, and with a line break pasted inside a
// long line in the card, compile as written.
TEST_F(TextCardTypingTest, ExpressionsBrokenIntoLinesCompile)
{
    const ReportElement shortOne = selectNew(element(ElementKind::TextField{}));
    PlainTextEdit *builder = openBuilder();
    ASSERT_TRUE(builder);
    QTest::keyClicks(builder, u"\"A\""_s);
    QTest::keyClick(builder, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(builder, u"+ \"B\""_s);
    closeBuilder();
    EXPECT_EQ(stored(shortOne.id), u"\"A\"\n+ \"B\""_s);

    // In a long line: the comment ends where the line does.
    const QString literal = u"\""_s + QString(3000, u'a') + u"\""_s;
    const ReportElement longOne = selectNew(element(ElementKind::TextField{literal}, 0, 20));
    PlainTextEdit *card = focused(u"inspector.expression.editor"_s);
    ASSERT_TRUE(card);
    ASSERT_TRUE(card->hasPieces());
    QTextCursor cursor(card->document());
    cursor.setPosition(linepieces::positionAt(*card->document(), 2500, true));
    card->setTextCursor(cursor);
    QApplication::clipboard()->setText(u"\" + // the rest\n\""_s);
    QTest::keyClick(card, Qt::Key_V, Qt::ControlModifier);
    const QString expected = literal.left(2500) + u"\" + // the rest\n\""_s + literal.mid(2500);
    EXPECT_EQ(stored(longOne.id), expected);

    QByteArray bytes;
    EXPECT_EQ(saved(longOne.id, &bytes), expected);
    EXPECT_EQ(saved(shortOne.id), u"\"A\"\n+ \"B\""_s);
    QUILLMARK_REQUIRE_ENGINE();
    testsupport::EngineJudge engine(*location);
    EXPECT_EQ(engine.compileError(bytes), std::nullopt);
}

// The window's Undo and Redo with the caret in the Text or the Expression card leave the caret
// where the step undone or redone changed the text, as a plain editor does: what is typed next
// goes in there, in a short text as in one whose line is held in pieces.
TEST_F(TextCardTypingTest, UndoAndRedoLeaveTheCaretWhereTheTextChanged)
{
    qint64 now = 0; // the user pauses between the edits: each is a step of its own
    store.setClock([&now] { return now; });
    const QString longLine = QString(3000, u'a');
    struct Case {
        const char *editor;
        bool isExpression;
        QString text;
    };
    const Case cases[] = {{"inspector.text.editor", false, u"Detail 2"_s},
                          {"inspector.expression.editor", true, u"Detail 2"_s},
                          {"inspector.text.editor", false, u"Detail 2"_s + longLine},
                          {"inspector.expression.editor", true, longLine + u"Detail 2"_s}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.editor);
        SCOPED_TRACE(c.text.size());
        const ReportElement made =
            selectNew(element(c.isExpression ? ElementKind(ElementKind::TextField{c.text})
                                             : ElementKind(ElementKind::StaticText{c.text})));
        PlainTextEdit *editor = focused(QString::fromLatin1(c.editor));
        ASSERT_TRUE(editor);
        // Where the caret stands in the text, its lines whole.
        const auto caret = [editor] {
            return linepieces::offsetAt(*editor->document(), editor->textCursor().position());
        };
        const qsizetype at = c.text.indexOf(u"Detail") + 6;
        const auto typeAt = [&](qsizetype offset, const QString &keys) {
            QTextCursor cursor(editor->document());
            cursor.setPosition(linepieces::positionAt(*editor->document(), offset, true));
            editor->setTextCursor(cursor);
            QTest::keyClicks(editor, keys);
            now += 10'000;
        };
        typeAt(c.text.size(), u" AAA"_s);
        const QString typed = c.text + u" AAA"_s;
        ASSERT_EQ(stored(made.id), typed);
        typeAt(at, u"XY"_s);
        const QString inserted = QString(typed).insert(at, u"XY"_s);
        ASSERT_EQ(stored(made.id), inserted);

        store.undo();
        EXPECT_EQ(editor->text(), typed);
        EXPECT_EQ(caret(), at) << "where the undone text stood";
        store.redo();
        EXPECT_EQ(editor->text(), inserted);
        EXPECT_EQ(caret(), at + 2) << "after the text brought back";
        store.undo();
        QTest::keyClicks(editor, u"Q"_s);
        EXPECT_EQ(stored(made.id), QString(typed).insert(at, u'Q'));
        now += 10'000;
        store.undo();
        store.undo();
        EXPECT_EQ(editor->text(), c.text);
        EXPECT_EQ(caret(), c.text.size()) << "where the text typed at the end stood";
        // A removal undone puts the caret after the text it brings back.
        editor->moveCursor(QTextCursor::End);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Backspace);
        now += 10'000;
        editor->moveCursor(QTextCursor::Start);
        store.undo();
        EXPECT_EQ(editor->text(), c.text);
        EXPECT_EQ(caret(), c.text.size());
        QTest::keyClicks(editor, u"Q"_s);
        EXPECT_EQ(stored(made.id), c.text + u"Q"_s);
    }
}

// A one-line field takes a paste as the multi-line editors do: the hyperlink and the print-when
// expression hold no character the file cannot, and the saved report holds what they show.
TEST_F(TextCardTypingTest, OneLineFieldsTakeTextWithoutCharactersAReportCannotHold)
{
    const ReportElement made = selectNew(element(ElementKind::TextField{u"$F{id}"_s}));
    const auto pasteInto = [this](const QString &name, const QString &text) {
        auto *edit = find<QLineEdit>(name);
        EXPECT_TRUE(edit) << name.toStdString();
        if (!edit)
            return QString();
        edit->setFocus();
        QTest::keyClicks(edit, u"x"_s);
        QApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_TRUE(edit->isModified()) << "a write on finishing the edit still comes";
        return edit->text();
    };
    EXPECT_EQ(pasteInto(u"inspector.format.hyperlink"_s, u"+ \"/\u0007a\u001Fb\""_s),
              u"x+ \"/ab\""_s);
    EXPECT_EQ(pasteInto(u"inspector.visibility.expression"_s, u" != null\u000B"_s),
              u"x != null\n"_s);
    const std::optional<ReportElement> stored = store.element(made.id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->hyperlinkExpression, u"x+ \"/ab\""_s);
    EXPECT_EQ(stored->printWhenExpression, u"x != null\n"_s);

    saved(made.id);
    const ReportDocument read = JrxmlCodec::parse(
        testsupport::readFile(QDir(settingsDir.path()).filePath(u"Typed.jrxml"_s)));
    ASSERT_FALSE(read.detailBands.first().elements.isEmpty());
    const ReportElement &back = read.detailBands.first().elements.last();
    EXPECT_EQ(back.hyperlinkExpression, stored->hyperlinkExpression);
    EXPECT_EQ(back.printWhenExpression, stored->printWhenExpression);
}

} // namespace
