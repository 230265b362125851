#include "TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

QString sourceDir()
{
    return QStringLiteral(QUILLMARK_SOURCE_DIR);
}

QString corpusDir()
{
    const QByteArray fromEnv = qgetenv("QUILLMARK_CORPUS");
    const QString dir = fromEnv.isEmpty()
                            ? QDir(sourceDir()).absoluteFilePath(QStringLiteral("../shared/corpus"))
                            : QString::fromLocal8Bit(fromEnv);
    return QDir(dir).exists(QStringLiteral("jrxml-samples")) ? QDir(dir).canonicalPath()
                                                             : QString();
}

QStringList corpusReports()
{
    QStringList files;
    const QString dir = corpusDir();
    if (dir.isEmpty())
        return files;
    QDirIterator it(dir + QStringLiteral("/jrxml-samples"), {QStringLiteral("*.jrxml")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}

void holdEngineSlot()
{
    // Each place is a lock file; the lock is held by a descriptor left open, so it lasts as long
    // as this program and is let go even when it crashes.
    static const bool held = [] {
        const QString folder =
            QDir::temp().filePath(QStringLiteral("quillmark-engine-tests-%1").arg(::getuid()));
        QDir().mkpath(folder);
        // A cold engine keeps about one processor busy: as many at once as there are processors.
        const int places = std::max(2, QThread::idealThreadCount());
        for (;;) {
            bool anyOpened = false;
            for (int place = 0; place < places; ++place) {
                const QByteArray path =
                    QFile::encodeName(folder + QLatin1Char('/') + QString::number(place));
                const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
                if (fd < 0)
                    continue;
                anyOpened = true;
                if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
                    return true;
                ::close(fd);
            }
            if (!anyOpened)
                return false; // no place can be kept here: run without waiting
            QThread::msleep(50);
        }
    }();
    (void)held;
}

bool waitFor(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
    return true;
}

std::string caseName(std::size_t index, const QString &text)
{
    static const std::map<char16_t, std::string> words = {
        {u'(', "lparen"}, {u')', "rparen"}, {u'[', "lbracket"},  {u']', "rbracket"},
        {u'{', "lbrace"}, {u'}', "rbrace"}, {u'<', "lt"},        {u'>', "gt"},
        {u'"', "quote"},  {u'\'', "apos"},  {u'\\', "backslash"}};
    constexpr std::size_t longest = 48;
    std::vector<std::string> tokens{std::string()};
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 128 && c.isLetterOrNumber()) {
            tokens.back() += char(code);
            continue;
        }
        if (!tokens.back().empty())
            tokens.emplace_back();
        if (const auto word = words.find(code); word != words.end()) {
            tokens.back() = word->second;
            tokens.emplace_back();
        }
    }
    std::string name = std::to_string(index);
    for (const std::string &token : tokens) {
        if (token.empty())
            continue;
        if (name.size() + 1 + token.size() > longest)
            break;
        name += '_' + token;
    }
    if (name.find('_') == std::string::npos)
        name += text.isEmpty() ? "_empty" : text.trimmed().isEmpty() ? "_blank" : "_symbols";
    return name;
}

QByteArray onPrefix(const QByteArray &report, const QString &prefix)
{
    QString text = QString::fromUtf8(report);
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z_][\\w.-]*)(?=[\\s/>])"));
    text.replace(tag, QStringLiteral("<\\1") + prefix + QStringLiteral(":\\2"));
    text.replace(QStringLiteral(" xmlns=\""),
                 QStringLiteral(" xmlns:") + prefix + QStringLiteral("=\""));
    return text.toUtf8();
}

QString letters(qsizetype length)
{
    QString line;
    line.reserve(length);
    for (qsizetype i = 0; i < length; ++i)
        line.append(QChar(u'a' + int((i * 7) % 26)));
    return line;
}

} // namespace testsupport
