#pragma once

#include "AppTestSupport.h"
#include "TestSupport.h"
#include "app/CrashDetection.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace apptest {

// A designer program run as its own process, offscreen, with its home, settings and temporary
// folder in `sandbox`. Several can share one sandbox, as designers of one user do. What it
// prints on standard output is kept; its standard error is passed on, and a report of the
// sanitizers there (a sanitized build's fault, undefined behaviour or leak, however the designer
// then ended) fails the test.
class DesignerProcess {
public:
    explicit DesignerProcess(QString sandbox) : sandbox_(std::move(sandbox)) {}
    ~DesignerProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(-1);
        }
        readOutput();
        EXPECT_FALSE(sanitizerReported_) << "the designer's sanitizers reported (above)";
    }

    // Starts `program` with `arguments`; `jar` is the engine's jar (a missing one: no engine).
    // `more` adds to its environment.
    void start(const QString &program, const QStringList &arguments, const QString &jar,
               const QProcessEnvironment &more = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(more);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), sandbox_);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), sandbox_);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), sandbox_ + QStringLiteral("/data"));
        environment.insert(QStringLiteral("TMPDIR"), sandbox_);
        environment.insert(QStringLiteral("QUILLMARK_SIDECAR_JAR"), jar);
        process_.setProcessEnvironment(environment);
        // Set between fork and exec, as nohup sets them: nothing there may allocate.
        process_.setChildProcessModifier([ignored = ignoredAtStart_] {
            for (const int number : ignored)
                ::signal(number, SIG_IGN);
        });
        process_.start(program, arguments);
        ASSERT_TRUE(process_.waitForStarted());
    }

    // The program starts with these signals ignored (set before start()).
    void ignoreAtStart(QList<int> numbers) { ignoredAtStart_ = std::move(numbers); }
    // Whether the running program catches the signal, and whether it ignores it, as the system
    // says.
    bool catches(int number) const { return inSignalMask("SigCgt:", number); }
    bool ignores(int number) const { return inSignalMask("SigIgn:", number); }

    // The settings as the designers wrote them.
    QVariant stored(const QString &key) const
    {
        return QSettings(sandbox_ + QStringLiteral("/Quillmark/Quillmark.conf"),
                         QSettings::IniFormat)
            .value(key);
    }

    // Waits until the designer lists `report` among its recent files, which it does once it has
    // opened it (after its launch checks); false when it ended first.
    bool waitUntilOpened(const QString &report)
    {
        return testsupport::waitFor(
                   [&] {
                       return process_.state() == QProcess::NotRunning ||
                              stored(QStringLiteral("recentFilePaths"))
                                  .toStringList()
                                  .contains(report);
                   },
                   std::chrono::seconds(120)) &&
               process_.state() == QProcess::Running;
    }

    // Waits until the designer has printed `line` (a whole line); false when it ended first.
    bool waitForLine(const QString &line)
    {
        return testsupport::waitFor(
                   [&] {
                       readOutput();
                       return lines_.contains(line) || process_.state() == QProcess::NotRunning;
                   },
                   std::chrono::seconds(180)) &&
               lines_.contains(line);
    }

    // Everything printed so far, line by line.
    QStringList output()
    {
        readOutput();
        return lines_;
    }

    void signal(int number) { ::kill(pid(), number); }
    // Sends the signal and waits for the end; false when the designer is still running after a
    // long wait (it is then killed).
    bool endWith(int number)
    {
        signal(number);
        if (process_.waitForFinished(90000))
            return true;
        process_.kill();
        process_.waitForFinished(-1);
        return false;
    }

    pid_t pid() const { return pid_t(process_.processId()); }
    // The processes it started that still run, by name ("java", "zip").
    QHash<QString, pid_t> children() const
    {
        QHash<QString, pid_t> found;
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString &entry : entries) {
            QFile file(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray stat = file.readAll();
            const qsizetype open = stat.indexOf('(');
            const qsizetype close = stat.lastIndexOf(')');
            const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
            if (open < 0 || close < 0 || fields.size() < 2 || fields[0] == "Z")
                continue;
            if (fields[1].toInt() == pid())
                found.insert(QString::fromUtf8(stat.mid(open + 1, close - open - 1)),
                             entry.toInt());
        }
        return found;
    }
    QProcess &process() { return process_; }

private:
    bool inSignalMask(const QByteArray &mask, int number) const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith(mask))
                return (line.mid(mask.size()).trimmed().toULongLong(nullptr, 16) >> (number - 1)) &
                       1;
        }
        return false;
    }
    void readOutput()
    {
        // What has reached the pipe, even when the event loop has not yet seen it.
        while (process_.waitForReadyRead(0)) {
        }
        const QByteArray errors = process_.readAllStandardError();
        std::fwrite(errors.constData(), 1, size_t(errors.size()), stderr);
        errors_ += errors;
        qsizetype lineEnd;
        while ((lineEnd = errors_.indexOf('\n')) >= 0) {
            // Every report of AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
            // ends with such a line.
            const QByteArray line = errors_.left(lineEnd);
            if (line.startsWith("SUMMARY: ") && line.contains("Sanitizer"))
                sanitizerReported_ = true;
            errors_.remove(0, lineEnd + 1);
        }
        pending_ += process_.readAllStandardOutput();
        qsizetype end;
        while ((end = pending_.indexOf('\n')) >= 0) {
            lines_.append(QString::fromUtf8(pending_.left(end)));
            pending_.remove(0, end + 1);
        }
    }

    QString sandbox_;
    QProcess process_;
    QByteArray pending_;
    QStringList lines_;
    QByteArray errors_;
    bool sanitizerReported_ = false;
    QList<int> ignoredAtStart_;
};

// Designers started in the test's sandbox, as their own processes.
class DesignerSandboxTest : public SandboxTest {
protected:
    // The program started without an engine on a report of its own, once it has opened it (and
    // so has made its launch checks).
    std::unique_ptr<DesignerProcess> launch()
    {
        const QString report = writeReport(QStringLiteral("Launch%1.jrxml").arg(++launched_));
        auto designer = std::make_unique<DesignerProcess>(dir.path());
        designer->start(QStringLiteral(QUILLMARK_PROGRAM), {report},
                        path(QStringLiteral("no-sidecar.jar")));
        EXPECT_TRUE(designer->waitUntilOpened(report));
        return designer;
    }
    // Whether it said at launch that a session ended without a quit.
    static bool told(DesignerProcess &designer)
    {
        return designer.output().contains(CrashDetection::uncleanEndNotice);
    }
    // The work folders of the designers below the sandbox's temporary folder.
    QString sharedFolder() const
    {
        return path(QStringLiteral("quillmark-%1/Quillmark").arg(::geteuid()));
    }

private:
    int launched_ = 0;
};

} // namespace apptest
