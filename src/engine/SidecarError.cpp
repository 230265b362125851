#include "SidecarError.h"

SidecarError::SidecarError(Kind kind, const QString &detail, const QStringList &causes)
    : kind_(kind), detail_(detail), causes_(causes), utf8_(message().toUtf8())
{
}

SidecarError SidecarError::jarNotFound(const QString &path)
{
    return SidecarError(Kind::jarNotFound, path);
}

SidecarError SidecarError::rpcError(const QString &message, const QStringList &causes)
{
    return SidecarError(Kind::rpcError, message, causes);
}

SidecarError SidecarError::malformedResponse(const QString &line)
{
    return SidecarError(Kind::malformedResponse, line);
}

QString SidecarError::message() const
{
    switch (kind_) {
    case Kind::jarNotFound:
        return QStringLiteral("Could not find sidecar.jar at expected path: ") % detail_ %
               QStringLiteral(". Run `mvn package` in sidecar/ first.");
    case Kind::rpcError:
        if (causes_.isEmpty())
            return detail_;
        return detail_ % u'\n' % causes_.join(u'\n');
    case Kind::malformedResponse:
        return QStringLiteral("Malformed response from sidecar: ") % detail_;
    case Kind::notRunning:
        return QStringLiteral("Sidecar process is not running.");
    case Kind::processExitedUnexpectedly:
        return QStringLiteral("Sidecar process exited unexpectedly.");
    case Kind::timedOut:
        return QStringLiteral("The report engine didn't respond in time and was restarted. Try "
                              "again - if this keeps happening, the report may have an infinite "
                              "loop in an expression, or a very large data source.");
    }
    return {};
}
