#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <exception>

// The errors of the engine bridge. Each carries the text the interface shows.
class SidecarError : public std::exception {
public:
    enum class Kind {
        jarNotFound,
        rpcError,
        malformedResponse,
        notRunning,
        processExitedUnexpectedly,
        timedOut,
        javaNotFound,
        cancelled,
        endedAfterTimeOut,
        engineUnusable
    };

    // `namedBy`: the environment variable that named the path, if one did.
    static SidecarError jarNotFound(const QString &path, const QString &namedBy = {});
    // The jar was looked for in each of `paths`, in order, and found in none.
    static SidecarError jarNotFound(const QStringList &paths);
    static SidecarError javaNotFound(const QString &path, const QString &namedBy = {});
    // What was started is no engine, or cannot run it: `advice` says which and what to do.
    static SidecarError engineUnusable(const QString &advice)
    {
        return SidecarError(Kind::engineUnusable, advice);
    }
    static SidecarError rpcError(const QString &message, const QStringList &causes);
    static SidecarError malformedResponse(const QString &line);
    // `javaSaid`: the last lines an engine that ended by itself wrote to its standard error.
    static SidecarError notRunning(const QString &javaSaid = {})
    {
        return SidecarError(Kind::notRunning, javaSaid);
    }
    static SidecarError processExitedUnexpectedly(const QString &javaSaid = {})
    {
        return SidecarError(Kind::processExitedUnexpectedly, javaSaid);
    }
    static SidecarError timedOut() { return SidecarError(Kind::timedOut); }
    // The engine was ended because an earlier request, of command `cmd`, ran out of time while
    // this one waited its turn.
    static SidecarError endedAfterTimeOut(const QString &cmd)
    {
        return SidecarError(Kind::endedAfterTimeOut, cmd);
    }
    // The request was called off before its reply came (SidecarClient::cancel).
    static SidecarError cancelled() { return SidecarError(Kind::cancelled); }

    Kind kind() const { return kind_; }
    // The jar's paths (one a line), Java's path, the reply line, the engine's message, what Java
    // said before it ended or the command that ran out of time, as the case carries.
    const QString &detail() const { return detail_; }
    // The engine's chain of underlying causes (`rpcError` only).
    const QStringList &causes() const { return causes_; }

    QString message() const;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    explicit SidecarError(Kind kind, const QString &detail = {}, const QStringList &causes = {},
                          const QString &namedBy = {});

    Kind kind_;
    QString detail_;
    QStringList causes_;
    QString namedBy_;
    QByteArray utf8_;
};
