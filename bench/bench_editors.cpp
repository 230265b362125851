// Recolouring a 1 MB report source after one keystroke: the whole-text colouring the editor would
// do on every change, next to the incremental colouring it does, alone and through a text
// document with its highlighter. The typed character is a plain letter (the usual case) or a
// double quote, which changes the colour of everything after it.

#include "GuiBenchMain.h"
#include "editors/CodeEditorView.h"
#include "editors/CodeHighlighter.h"
#include "editors/CodeTextView.h"
#include "editors/IncrementalHighlighter.h"
#include "editors/XMLSyntaxHighlighter.h"

#include <QApplication>
#include <QClipboard>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

// Corpus reports joined until the text holds at least 1 MB (2^20 characters).
const QString &megabyteOfSource()
{
    static const QString text = [] {
        QString out;
        QStringList files;
        const QString corpus = qEnvironmentVariableIsSet("QUILLMARK_CORPUS")
                                   ? qEnvironmentVariable("QUILLMARK_CORPUS")
                                   : QStringLiteral(QUILLMARK_SOURCE_DIR "/../shared/corpus");
        QDirIterator it(corpus + QStringLiteral("/jrxml-samples"), {QStringLiteral("*.jrxml")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        files.sort();
        while (!files.isEmpty() && out.size() < (1 << 20)) {
            for (const QString &path : std::as_const(files)) {
                QFile file(path);
                if (file.open(QIODevice::ReadOnly))
                    out += QString::fromUtf8(file.readAll());
                if (out.size() >= (1 << 20))
                    break;
            }
        }
        return out;
    }();
    return text;
}

bool haveSource(benchmark::State &state)
{
    if (!megabyteOfSource().isEmpty())
        return true;
    state.SkipWithError("the corpus is absent (set QUILLMARK_CORPUS)");
    return false;
}

void BM_WholeTextColouring(benchmark::State &state)
{
    if (!haveSource(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(XMLSyntaxHighlighter::scheme().highlight(megabyteOfSource()));
    state.SetBytesProcessed(state.iterations() * megabyteOfSource().size() * 2);
}
BENCHMARK(BM_WholeTextColouring)->Unit(benchmark::kMillisecond);

// One iteration types the character in the middle of the text and deletes it again: two
// keystrokes.
void BM_KeystrokeIncremental(benchmark::State &state)
{
    if (!haveSource(state))
        return;
    const QChar typed = state.range(0) ? u'"' : u'a';
    IncrementalHighlighter highlighter(XMLSyntaxHighlighter::scheme());
    highlighter.update(megabyteOfSource());
    const qsizetype middle = megabyteOfSource().indexOf(u'\n', megabyteOfSource().size() / 2);
    QString text = megabyteOfSource();
    for (auto _ : state) {
        text.insert(middle, typed);
        benchmark::DoNotOptimize(highlighter.update(text));
        text.remove(middle, 1);
        benchmark::DoNotOptimize(highlighter.update(text));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeystrokeIncremental)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInDocument(benchmark::State &state)
{
    if (!haveSource(state))
        return;
    QTextDocument document;
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
    document.setPlainText(megabyteOfSource());
    CodeHighlighter highlighter(XMLSyntaxHighlighter::scheme(), &document);
    QTextCursor cursor(&document);
    const int middle = int(megabyteOfSource().indexOf(u'\n', megabyteOfSource().size() / 2));
    const QString typed = state.range(0) ? QStringLiteral("\"") : QStringLiteral("a");
    for (auto _ : state) {
        cursor.setPosition(middle);
        cursor.insertText(typed);
        cursor.deletePreviousChar();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeystrokeInDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A report whose one line holds a long value (a picture as base64 in an image expression, say).
QString reportWithLongLine(qsizetype length)
{
    QString line;
    line.reserve(length);
    const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    for (qsizetype i = 0; i < length; ++i)
        line.append(alphabet.at(int((i * 7919) % alphabet.size())));
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<jasperReport name=\"Long\">\n"
                          "    <detail>\n        <band height=\"40\">\n"
                          "            <image>\n                <imageExpression><![CDATA[\"") +
           line +
           QStringLiteral("\"]]></imageExpression>\n            </image>\n        </band>\n"
                          "    </detail>\n</jasperReport>\n");
}

// The time until the source editor answers again: the text is set (or pasted) and the window
// lays out and paints it, as it does before it takes the next event.
void settle(CodeEditorView &editor)
{
    QApplication::processEvents();
    editor.repaint();
    editor.textView()->viewport()->repaint();
    QApplication::processEvents();
}

// Opening the source sheet on a report with one 1 MB line.
void BM_OpenLongLine(benchmark::State &state)
{
    const QString text = reportWithLongLine(state.range(0));
    for (auto _ : state) {
        CodeEditorView editor(XMLSyntaxHighlighter::scheme(), true);
        editor.resize(900, 700);
        editor.show();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        editor.setText(text);
        settle(editor);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_OpenLongLine)
    ->Arg(256 << 10)
    ->Arg(1 << 20)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Typing in the middle of a long line (a picture as base64, or words) shown in the source editor:
// a letter, then Backspace, each laid out and drawn before the next. The figure is per key.
void BM_KeystrokeInLongLine(benchmark::State &state)
{
    QString text = reportWithLongLine(state.range(0));
    if (state.range(1)) {
        for (qsizetype at = text.indexOf(u'"') + 7; at < text.lastIndexOf(u'"'); at += 7)
            text[at] = u' ';
    }
    CodeEditorView editor(XMLSyntaxHighlighter::scheme(), true);
    editor.resize(900, 700);
    editor.show();
    editor.setText(text);
    QTextCursor cursor = editor.textView()->textCursor();
    cursor.setPosition(editor.textView()->document()->characterCount() / 2);
    editor.textView()->setTextCursor(cursor);
    editor.textView()->setFocus();
    settle(editor);
    qint64 keys = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        for (const auto &[key, typed] :
             {std::pair{Qt::Key_A, QStringLiteral("a")}, std::pair{Qt::Key_Backspace, QString()}}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
            QApplication::sendEvent(editor.textView(), &press);
            settle(editor);
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9 / 2);
        keys += 2;
    }
    if (editor.text() != text)
        state.SkipWithError("the keys did not come back to the text");
    state.SetItemsProcessed(keys);
}
BENCHMARK(BM_KeystrokeInLongLine)
    ->Args({256 << 10, 0})
    ->Args({256 << 10, 1})
    ->Args({1 << 20, 0})
    ->ArgNames({"chars", "words"})
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

// Pasting a 3 MB text without a line break into a report with Ctrl+V.
void BM_PasteLongLine(benchmark::State &state)
{
    QString pasted;
    pasted.reserve(state.range(0));
    while (pasted.size() < state.range(0))
        pasted.append(
            QStringLiteral("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk"));
    pasted.truncate(state.range(0));
    for (auto _ : state) {
        CodeEditorView editor(XMLSyntaxHighlighter::scheme(), true);
        editor.resize(900, 700);
        editor.show();
        editor.setText(reportWithLongLine(64));
        QTextCursor cursor = editor.textView()->textCursor();
        cursor.setPosition(int(editor.text().indexOf(u'"') + 1));
        editor.textView()->setTextCursor(cursor);
        editor.textView()->setFocus();
        QApplication::clipboard()->setText(pasted);
        settle(editor);
        QElapsedTimer clock;
        clock.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(editor.textView(), &press);
        settle(editor);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (editor.text().size() < pasted.size())
            state.SkipWithError("the paste did not arrive");
    }
}
BENCHMARK(BM_PasteLongLine)
    ->Arg(1 << 18)
    ->Arg(1 << 20)
    ->Arg(3 << 20)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
