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
        timedOut
    };

    static SidecarError jarNotFound(const QString &path);
    static SidecarError rpcError(const QString &message, const QStringList &causes);
    static SidecarError malformedResponse(const QString &line);
    static SidecarError notRunning() { return SidecarError(Kind::notRunning); }
    static SidecarError processExitedUnexpectedly()
    {
        return SidecarError(Kind::processExitedUnexpectedly);
    }
    static SidecarError timedOut() { return SidecarError(Kind::timedOut); }

    Kind kind() const { return kind_; }
    // The jar's path, the reply line or the engine's message, as the case carries.
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
