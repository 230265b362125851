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
        cancelled
    };

    static SidecarError jarNotFound(const QString &path);
    // The jar was looked for in each of `paths`, in order, and found in none.
    static SidecarError jarNotFound(const QStringList &paths);
    static SidecarError javaNotFound(const QString &path);
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
    // The request was called off before its reply came (SidecarClient::cancel).
    static SidecarError cancelled() { return SidecarError(Kind::cancelled); }

    Kind kind() const { return kind_; }
    // The jar's paths (one a line), Java's path, the reply line, the engine's message or what
    // Java said before it ended, as the case carries.
    const QString &detail() const { return detail_; }
    // The engine's chain of underlying causes (`rpcError` only).
    const QStringList &causes() const { return causes_; }

    QString message() const;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    explicit SidecarError(Kind kind, const QString &detail = {}, const QStringList &causes = {});

    Kind kind_;
    QString detail_;
    QStringList causes_;
    QByteArray utf8_;
};
