// Pastes into every kind of multi-line editor from the real clipboard of an X display, whose
// owner is another program: while it holds the clipboard, and after it has quit.
#include "InspectorViewFixture.h"
#include "TestSupport.h"
#include "editors/XMLSyntaxHighlighter.h"
#include "widgets/PlainTextEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <functional>

namespace {

using namespace storetest;

class ClipboardPasteTest : public InspectorViewTest {
protected:
    void SetUp() override
    {
        // Only an X display has a clipboard that other programs own.
        ASSERT_EQ(QGuiApplication::platformName(), u"xcb"_s)
            << "run under an X server (xvfb-run) with QT_QPA_PLATFORM=xcb";
        InspectorViewTest::SetUp();
        sourceEditor = std::make_unique<CodeEditorView>(XMLSyntaxHighlighter::scheme(), true);
        sourceEditor->resize(500, 300);
        sourceEditor->show();
        place({staticText, field});
    }

    void TearDown() override
    {
        if (owner.state() != QProcess::NotRunning) {
            owner.closeWriteChannel();
            owner.waitForFinished(30000);
        }
        sourceEditor.reset();
        InspectorViewTest::TearDown();
    }

    // Another program takes the clipboard and the primary selection with `text`.
    void takeClipboard(const QString &text)
    {
        owner.start(QStringLiteral(QUILLMARK_CLIPBOARD_OWNER), {text});
        ASSERT_TRUE(owner.waitForStarted(30000));
        ASSERT_TRUE(owner.waitForReadyRead(30000)) << owner.readAllStandardError().toStdString();
        ASSERT_EQ(owner.readAllStandardOutput().trimmed(), "owned");
        // This program asks the X server for the text with the time of the last event it had
        // from it, and the server refuses a request older than the owner's claim; the keys of a
        // real user bring newer times, and so does renaming a window.
        QClipboard *clipboard = QGuiApplication::clipboard();
        int renames = 0;
        ASSERT_TRUE(testsupport::waitFor([&] {
            sourceEditor->setWindowTitle(QString::number(++renames));
            return clipboard->text(QClipboard::Clipboard) == text &&
                   clipboard->text(QClipboard::Selection) == text;
        }));
    }

    // The program that holds them quits; this one sees no owner for either afterwards.
    void ownerQuits()
    {
        owner.closeWriteChannel();
        ASSERT_TRUE(owner.waitForFinished(30000));
        ASSERT_EQ(owner.exitCode(), 0);
        QClipboard *clipboard = QGuiApplication::clipboard();
        const auto ownerless = [clipboard](QClipboard::Mode mode) {
            const QMimeData *data = clipboard->mimeData(mode);
            return !data || data->formats().isEmpty();
        };
        ASSERT_TRUE(testsupport::waitFor(
            [&] { return ownerless(QClipboard::Clipboard) && ownerless(QClipboard::Selection); }));
    }

    // Pastes into `editor` as a user does, with the keys and with a middle click on the primary
    // selection; the editor's text after each.
    static QStringList pasteInto(QPlainTextEdit *editor)
    {
        if (!editor)
            return {u"(no editor)"_s};
        editor->setFocus();
        editor->moveCursor(QTextCursor::End);
        QStringList texts;
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        texts.append(editor->toPlainText());
        editor->moveCursor(QTextCursor::End);
        const QPoint end = editor->cursorRect().center();
        QTest::mouseClick(editor->viewport(), Qt::MiddleButton, {}, end);
        texts.append(editor->toPlainText());
        return texts;
    }

    // Each multi-line editor of the program, filled with `text`, given to `paste`; what the
    // paste left, by editor.
    std::map<std::string, QStringList> pasteIntoEach(const QString &text)
    {
        std::map<std::string, QStringList> left;
        sourceEditor->setText(text);
        left["source editor"] = pasteInto(sourceEditor->textView());

        store.setSelectedElementIDs({staticText.id});
        auto *textCard = find<QPlainTextEdit>(u"inspector.text.editor"_s);
        if (textCard)
            textCard->setPlainText(text);
        left["text card"] = pasteInto(textCard);

        store.setSelectedElementIDs({field.id});
        auto *expressionCard = find<QPlainTextEdit>(u"inspector.expression.editor"_s);
        if (expressionCard)
            expressionCard->setPlainText(text);
        left["expression card"] = pasteInto(expressionCard);

        auto *button = find<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
        if (button)
            button->click();
        ExpressionBuilderView *builder = button ? button->builder() : nullptr;
        if (builder)
            builder->editor()->setText(text);
        left["expression builder"] = pasteInto(builder ? builder->editor()->textView() : nullptr);
        if (builder)
            builder->doneButton()->click();
        return left;
    }

    ReportElement staticText = element(ElementKind::StaticText{});
    ReportElement field = element(ElementKind::TextField{});
    std::unique_ptr<CodeEditorView> sourceEditor;
    QProcess owner;
};

TEST_F(ClipboardPasteTest, TextAnotherProgramHoldsIsPasted)
{
    takeClipboard(u"held"_s);
    const std::map<std::string, QStringList> left = pasteIntoEach(u"1"_s);
    ASSERT_EQ(left.size(), 4u);
    for (const auto &[editor, texts] : left) {
        EXPECT_EQ(texts.value(0), u"1held"_s) << editor << ": the keys";
        EXPECT_EQ(texts.value(1), u"1heldheld"_s) << editor << ": the middle button";
    }
}

// Another program's text with line breaks of its own (CR LF, a vertical tab) and a control
// character, pasted inside a long line of each editor: each break starts a line the editor hands
// back as a line feed, and the control character stays out.
TEST_F(ClipboardPasteTest, AnotherProgramsLineBreaksPastedIntoALongLineStartLines)
{
    takeClipboard(u"X\r\nY\u000BZ\u0001"_s);
    const QString line(3000, u'a');
    const QString expected = line.left(2500) + u"X\nY\nZ"_s + line.mid(2500);
    const auto pasteInside = [&](PlainTextEdit *editor) {
        if (!editor)
            return u"(no editor)"_s;
        editor->setText(line);
        editor->setFocus();
        QTextCursor cursor(editor->document());
        cursor.setPosition(linepieces::positionAt(*editor->document(), 2500, false));
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        return editor->text();
    };
    EXPECT_EQ(pasteInside(sourceEditor->textView()), expected) << "source editor";
    store.setSelectedElementIDs({staticText.id});
    EXPECT_EQ(pasteInside(find<PlainTextEdit>(u"inspector.text.editor"_s)), expected)
        << "text card";
    EXPECT_EQ(store.element(staticText.id)->kind, ElementKind(ElementKind::StaticText{expected}));
    store.setSelectedElementIDs({field.id});
    EXPECT_EQ(pasteInside(find<PlainTextEdit>(u"inspector.expression.editor"_s)), expected)
        << "expression card";
    auto *button = find<ExpressionBuilderButton>(u"inspector.expression.builder"_s);
    ASSERT_TRUE(button);
    button->click();
    ASSERT_TRUE(button->builder());
    EXPECT_EQ(pasteInside(button->builder()->editor()->textView()), expected)
        << "expression builder";
    button->builder()->doneButton()->click();
    EXPECT_EQ(store.element(field.id)->kind, ElementKind(ElementKind::TextField{expected}));
}

TEST_F(ClipboardPasteTest, AClipboardWhoseOwnerQuitPastesNothing)
{
    takeClipboard(u"gone"_s);
    ownerQuits();
    const std::map<std::string, QStringList> left = pasteIntoEach(u"kept"_s);
    ASSERT_EQ(left.size(), 4u);
    for (const auto &[editor, texts] : left)
        EXPECT_EQ(texts, (QStringList{u"kept"_s, u"kept"_s})) << editor;
}

} // namespace
