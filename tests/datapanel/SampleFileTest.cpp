#include "TestSupport.h"
#include "datapanel/QueryTestState.h"
#include "datapanel/SimpleCSV.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The header and the ten rows a preview shows, then an eleventh row it leaves out.
QByteArray shownRowsAndOneMore(const QByteArray &header = "id,name")
{
    QByteArray bytes = header + "\r\n";
    for (int i = 1; i <= 11; ++i)
        bytes += QByteArray::number(i) + ",n" + QByteArray::number(i) + "\r\n";
    return bytes;
}

QByteArray moreThanALargeFile()
{
    return QByteArray(QueryTestState::largeFileSize + 1, 'x');
}

class SampleFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&state, &QueryTestState::changed, &state, [this] { ++changes; });
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }
    // Loads a file and waits for what it shows, however it is read.
    void loadAndWait(const QString &path)
    {
        const int before = changes;
        state.load(path);
        ASSERT_TRUE(testsupport::waitFor([&] { return changes > before; }));
    }
    // Lets every read still under way end and its answer, if any, arrive.
    static void settle()
    {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }
    // The file on show, its header and its first ten rows.
    void expectShownRows(const QString &path, const QStringList &header)
    {
        EXPECT_EQ(state.filePath(), path);
        EXPECT_EQ(state.headerRow(), header);
        ASSERT_EQ(state.previewRows().size(), 10);
        EXPECT_EQ(state.previewRows().back(), (QStringList{u"10"_s, u"n10"_s}));
    }

    QTemporaryDir dir;
    QueryTestState state;
    int changes = 0;
};

} // namespace

// Whatever follows the rows on show is never read: a broken, unclosed or endless tail of a
// small or a large file leaves them as they are.
TEST_F(SampleFileTest, ReadsNoFurtherThanTheRowsItShows)
{
    const QList<std::pair<const char *, QByteArray>> tails{
        {"invalid UTF-8", "\xFF\xFE,\x80\n\xE2\x82"},
        {"an unclosed quote", "\"never closed,\n12,n12\n"},
        {"a line longer than a large file", moreThanALargeFile()},
        {"an unclosed quote before invalid UTF-8 in a large file",
         "\"" + QByteArray(QueryTestState::largeFileSize, '\xC0')},
    };
    for (const auto &[what, tail] : tails) {
        SCOPED_TRACE(what);
        const QString path = write(u"sample.csv"_s, shownRowsAndOneMore() + tail);
        loadAndWait(path);
        EXPECT_EQ(state.errorMessage(), std::nullopt);
        expectShownRows(path, {u"id"_s, u"name"_s});
    }
}

TEST_F(SampleFileTest, FirstRowsPastTheLimitAreAClearError)
{
    const QString good = write(u"good.csv"_s, shownRowsAndOneMore());
    loadAndWait(good);

    // An unclosed quote in the header makes the rest of a large file one field.
    loadAndWait(write(u"open.csv"_s, "id,\"name\n1,2\n" + moreThanALargeFile()));
    EXPECT_EQ(state.errorMessage(),
              u"\"open.csv\" can't be previewed: its header and first rows take up more than 1 MB. "
              u"A quotation mark left open makes the rest of the file one field."_s);
    expectShownRows(good, {u"id"_s, u"name"_s});
}

TEST_F(SampleFileTest, ALargeFileArrivesLaterAndOnlyTheLastPickCounts)
{
    const QString first = write(u"first.csv"_s, shownRowsAndOneMore("a,b") + moreThanALargeFile());
    const QString second =
        write(u"second.csv"_s, shownRowsAndOneMore("c,d") + moreThanALargeFile());
    const QString small = write(u"small.csv"_s, shownRowsAndOneMore("e,f"));

    state.load(first);
    EXPECT_EQ(changes, 0) << "read on a worker thread, not while the caller waits";
    EXPECT_EQ(state.filePath(), std::nullopt);
    state.load(second);
    ASSERT_TRUE(testsupport::waitFor([&] { return changes > 0; }));
    settle();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    expectShownRows(second, {u"c"_s, u"d"_s});

    // A small file picked while a large one is read shows at once and stays.
    state.load(first);
    state.load(small);
    expectShownRows(small, {u"e"_s, u"f"_s});
    settle();
    EXPECT_EQ(changes, 2);
    expectShownRows(small, {u"e"_s, u"f"_s});

    state.load(first);
    state.clear();
    settle();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(state.filePath(), std::nullopt);
    EXPECT_TRUE(state.headerRow().isEmpty());
}

// Nothing to wait for: a missing file or a folder says so at once.
TEST_F(SampleFileTest, AMissingFileOrAFolderFailsAtOnce)
{
    for (const QString &missing : {dir.filePath(u"missing.csv"_s), dir.path()}) {
        SCOPED_TRACE(missing.toStdString());
        const int before = changes;
        state.load(missing);
        EXPECT_EQ(changes, before + 1);
        ASSERT_TRUE(state.errorMessage().has_value());
        EXPECT_FALSE(state.errorMessage()->isEmpty());
    }
}

// The file is read in pieces; a line break, a doubled quote, a closing quote or a character of
// several bytes that straddles two pieces reads as the whole text parses.
TEST_F(SampleFileTest, AFileReadInPiecesGivesTheRowsOfItsWholeText)
{
    const QByteArray tail = "\r\n\"a\"\"b\",c\r\n\xE2\x82\xAC,\"\"\r\n\"q\"\r\nlast";
    for (qsizetype lead = 64 * 1024 - qsizetype(tail.size()) - 1; lead <= 64 * 1024; ++lead) {
        SCOPED_TRACE(lead);
        const QByteArray bytes = QByteArray(lead, 'x') + tail;
        const QString path = write(u"pieces.csv"_s, bytes);
        const QList<QStringList> whole = SimpleCSV::parse(QString::fromUtf8(bytes));
        ASSERT_EQ(whole.size(), 5);
        const SimpleCSV::Head all = SimpleCSV::readHead(path, 100);
        EXPECT_EQ(all.error, std::nullopt);
        EXPECT_EQ(all.rows, whole);
        EXPECT_EQ(SimpleCSV::readHead(path, 3).rows, whole.mid(0, 3));
    }
}

TEST_F(SampleFileTest, OnlyAByteOrderMarkAtTheStartIsLeftOut)
{
    const QString path = write(u"marked.csv"_s, "\xEF\xBB\xBFid,\xEF\xBB\xBFx\n");
    EXPECT_EQ(SimpleCSV::readHead(path, 11).rows,
              QList<QStringList>{(QStringList{u"id"_s, QChar(0xFEFF) + u"x"_s})});
}
