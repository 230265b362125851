// Recolouring a 1 MB report source after one keystroke: the whole-text colouring the editor would
// do on every change, next to the incremental colouring it does, alone and through a text
// document with its highlighter. The typed character is a plain letter (the usual case) or a
// double quote, which changes the colour of everything after it.

#include "GuiBenchMain.h"
#include "editors/CodeHighlighter.h"
#include "editors/IncrementalHighlighter.h"
#include "editors/XMLSyntaxHighlighter.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
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

} // namespace

QUILLMARK_GUI_BENCHMARK_MAIN()
