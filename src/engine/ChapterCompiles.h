#pragma once

#include "EngineWorkFiles.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class RequestCancel;
class SidecarClient;

// What the chapters of report books were last compiled from in this session, so that a book
// prints each chapter as its report is now: a chapter is compiled again when its report's
// content differs from what was compiled, or its compiled file is not the one that compile
// wrote (gone, or written since by anything else). Times are not compared: a chapter restored
// from a backup (cp -p, rsync -a, tar, unzip) keeps an old time and is still compiled. Each
// chapter is compiled at the first book preview or export of the session. Shared by the engine
// model and its jobs; safe to use from any thread.
class ChapterCompiles {
public:
    // Compiles each chapter that changed, straight from its report file, and notes what it
    // compiled. A chapter whose report is gone ends the run with an error that names it:
    // whatever compiled file is left of it is of an older report. Blocks on the engine: never
    // call it on the main thread. `cancel`, when given, calls the compiles off.
    void compileChanged(const QList<ChapterFile> &chapters, SidecarClient &client,
                        std::chrono::milliseconds timeout,
                        const std::shared_ptr<RequestCancel> &cancel = {});

    // Runs `compile` of the chapter whose report is at `jrxmlPath`; the engine's refusal of it
    // ends the run naming the chapter: "The chapter "A.jrxml" of this book does not compile: "
    // and the engine's words. Every other error goes on as it is.
    static void compileNamed(const QString &jrxmlPath, const std::function<void()> &compile);

    // A report that another prints inside itself (a chapter of a book, a subreport): how an
    // error names it ("chapter "A.jrxml" of this book", "subreport "Orders.jrxml""), and its
    // JRXML as a tab holds it, or else its file.
    struct Inner {
        QString subject;
        QString jrxmlPath;
        std::optional<QByteArray> held;
    };
    static QString chapterSubject(const QString &jrxmlPath);

    // Runs `fill` of the report whose JRXML is `report`, with the reports `inner` gives printed
    // inside it (asked for only on such a refusal). The engine says "the report" of a class that
    // it cannot load, whichever report names it; when `report` does not name the class, the
    // refusal ends the run naming the first inner report that does: "The chapter "A.jrxml" of
    // this book needs the class ...", the engine's causes following. Every other error goes on
    // as it is.
    static void fillNamed(const QByteArray &report, const std::function<QList<Inner>()> &inner,
                          const std::function<void()> &fill);

private:
    // A compiled file as the compile left it: any later write changes one of these.
    struct FileIdentity {
        qint64 device = 0;
        qint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const FileIdentity &) const = default;
    };
    struct Compiled {
        QString jrxmlPath;
        QByteArray digest;
        FileIdentity jasper;
    };
    static std::optional<FileIdentity> identity(const QString &path);

    std::mutex mutex_;
    QHash<QString, Compiled> compiled_; // by compiled file
};
