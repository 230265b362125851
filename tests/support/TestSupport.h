#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <ostream>
#include <string>

namespace testsupport {

// The folder of real report definitions shared beside the repository, or an empty string when
// it is absent (tests that need it skip).
QString corpusDir();

// Every .jrxml file below the corpus folder, sorted; empty when the corpus is absent.
QStringList corpusReports();

// The repository's root folder.
QString sourceDir();

// Reads a whole file; fails the current test when it cannot.
QByteArray readFile(const QString &path);

// Runs the event loop until `done` holds or `limit` passes; true when it holds.
bool waitFor(const std::function<bool()> &done,
             std::chrono::milliseconds limit = std::chrono::seconds(20));

// Waits until this program may start the report engine, then holds its place until it ends: as
// many test programs on this machine as it has processors run the engine at once, each to its end.
// A cold engine's first report takes seconds of processor time; started all together (the test
// runner starts its longest tests first, and those are the engine's) they starve one another past
// the time the designer allows a request.
void holdEngineSlot();

// A line of `length` letters running through the alphabet in steps of seven (a, h, o, v, c, ...):
// long text whose every stretch tells apart where it stands.
QString letters(qsizetype length);

// A readable name for case `index` of a parameterized test, from a text that tells the case
// apart: "3_lparen_rbracket" for case 3 with the text "(]". Letters and digits stay, brackets and
// quotes become words, anything else separates words; long texts are cut short.
std::string caseName(std::size_t index, const QString &text);

// The report with each element of the default namespace on `prefix` instead, the namespace
// declared for the prefix where the text declared it as the default: the same report to the
// engine. Elements that have a prefix keep it.
QByteArray onPrefix(const QByteArray &report, const QString &prefix);

} // namespace testsupport

// Skips the current test with a message when the corpus is absent.
#define QUILLMARK_REQUIRE_CORPUS()                                                                 \
    do {                                                                                           \
        if (testsupport::corpusDir().isEmpty())                                                    \
            GTEST_SKIP() << "../shared/corpus is absent; skipping the corpus test";                \
    } while (false)

// Shows texts readably in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < texts.size(); ++i)
        *os << (i ? ", \"" : "\"") << texts.at(i).toStdString() << '"';
    *os << ']';
}
