#include "SidecarError.h"

#include <QHash>

SidecarError::SidecarError(Kind kind, const QString &detail, const QStringList &causes,
                           const QString &namedBy)
    : kind_(kind), detail_(detail), causes_(causes), namedBy_(namedBy), utf8_(message().toUtf8())
{
}

SidecarError SidecarError::jarNotFound(const QString &path, const QString &namedBy)
{
    return SidecarError(Kind::jarNotFound, path, {}, namedBy);
}

SidecarError SidecarError::jarNotFound(const QStringList &paths)
{
    return SidecarError(Kind::jarNotFound, paths.join(u'\n'));
}

SidecarError SidecarError::javaNotFound(const QString &path, const QString &namedBy)
{
    return SidecarError(Kind::javaNotFound, path, {}, namedBy);
}

SidecarError SidecarError::rpcError(const QString &message, const QStringList &causes)
{
    return SidecarError(Kind::rpcError, message, causes);
}

SidecarError SidecarError::malformedResponse(const QString &line)
{
    return SidecarError(Kind::malformedResponse, line);
}

namespace {

// A request's failure text, followed by what Java wrote before the engine ended, if anything.
QString withJavaSaid(const QString &text, const QString &javaSaid)
{
    if (javaSaid.isEmpty())
        return text;
    return text % QStringLiteral(" Java reported:\n") % javaSaid;
}

// What the user asked for with a command, for a sentence about it.
QString requestWords(const QString &cmd)
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("render"), QStringLiteral("a preview")},
        {QStringLiteral("compile"), QStringLiteral("a compile")},
        {QStringLiteral("fill"), QStringLiteral("an export")},
        {QStringLiteral("export"), QStringLiteral("an export")},
        {QStringLiteral("testConnection"), QStringLiteral("a connection test")},
        {QStringLiteral("executeQuery"), QStringLiteral("a query")},
        {QStringLiteral("readFieldsLive"), QStringLiteral("reading a query's fields")},
        {QStringLiteral("evaluateExpression"), QStringLiteral("an expression's test")},
    };
    return words.value(cmd, QStringLiteral("another request"));
}

} // namespace

QString SidecarError::message() const
{
    switch (kind_) {
    case Kind::jarNotFound:
        if (detail_.contains(u'\n'))
            return QStringLiteral("Could not find sidecar.jar at any of the expected paths:\n") %
                   detail_ %
                   QStringLiteral("\nRun `mvn package` in sidecar/ first, or set "
                                  "QUILLMARK_SIDECAR_JAR to the jar's path.");
        if (!namedBy_.isEmpty())
            return QStringLiteral("Could not find sidecar.jar at ") % detail_ %
                   QStringLiteral(", the path that ") % namedBy_ % QStringLiteral(" names. Set ") %
                   namedBy_ %
                   QStringLiteral(" to the path of the report engine's sidecar.jar, or unset it "
                                  "to use the one that comes with Quillmark.");
        return QStringLiteral("Could not find sidecar.jar at expected path: ") % detail_ %
               QStringLiteral(". Run `mvn package` in sidecar/ first.");
    case Kind::javaNotFound:
        if (!namedBy_.isEmpty())
            return QStringLiteral("Could not find Java at ") % detail_ %
                   QStringLiteral(", the path that ") % namedBy_ % QStringLiteral(" names. Set ") %
                   namedBy_ %
                   QStringLiteral(" to the path of a java program (Java 17 or later), or unset "
                                  "it to use /usr/bin/java.");
        return QStringLiteral("Could not find Java at expected path: ") % detail_ %
               QStringLiteral(". Install a Java runtime (17 or later), or set QUILLMARK_JAVA to "
                              "the path of its java program.");
    case Kind::rpcError:
        if (causes_.isEmpty())
            return detail_;
        return detail_ % u'\n' % causes_.join(u'\n');
    case Kind::malformedResponse:
        return QStringLiteral("Malformed response from sidecar: ") % detail_;
    case Kind::notRunning:
        return withJavaSaid(QStringLiteral("Sidecar process is not running."), detail_);
    case Kind::processExitedUnexpectedly:
        return withJavaSaid(QStringLiteral("Sidecar process exited unexpectedly."), detail_);
    case Kind::timedOut:
        return QStringLiteral("The report engine didn't respond in time and was restarted. Try "
                              "again - if this keeps happening, the report may have an infinite "
                              "loop in an expression, or a very large data source.");
    case Kind::cancelled:
        return QStringLiteral("The request to the report engine was cancelled.");
    case Kind::engineUnusable:
        return detail_;
    case Kind::endedAfterTimeOut:
        return QStringLiteral("This did not run: the report engine was busy with an earlier "
                              "request (") %
               requestWords(detail_) %
               QStringLiteral("), which ran out of time, and the engine was restarted for it. Try "
                              "again.");
    }
    return {};
}
