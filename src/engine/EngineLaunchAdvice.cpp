#include "EngineLaunchAdvice.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

// "PATH" or "PATH, the path that VARIABLE names,".
QString named(const QString &path, const QString &variable)
{
    return variable.isEmpty() ? path : QString(path + u", the path that " + variable + u" names,");
}

QString setJar(const SidecarClient::Location &location)
{
    if (location.jarNamedBy.isEmpty())
        return u"Build the engine again with sidecar/build.sh."_s;
    return u"Set "_s + location.jarNamedBy +
           u" to the report engine's sidecar.jar, or unset it to use the one that comes with "
           u"Quillmark.";
}

QString setJava(const SidecarClient::Location &location)
{
    if (location.javaNamedBy.isEmpty())
        return u"Install a Java runtime (17 or later), or set QUILLMARK_JAVA to the path of its "
               u"java program."_s;
    return u"Set "_s + location.javaNamedBy +
           u" to the path of a java program (Java 17 or later), or unset it to use "
           u"/usr/bin/java.";
}

QString javaReported(const QString &javaSaid)
{
    return javaSaid.isEmpty() ? QString() : QString(u"\nJava reported:\n" + javaSaid);
}

} // namespace

bool EngineLaunchAdvice::isReply(const QByteArray &line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line);
    return document.isObject() &&
           (document.object().contains(u"ok"_s) || document.object().contains(u"id"_s));
}

QString EngineLaunchAdvice::notTheEngine(const SidecarClient::Location &location,
                                         const QString &shown)
{
    const QString wrote =
        u"the first line it wrote, \""_s + shown + u"\", is no reply of the report engine's. "_s;
    // Java that is no Java runs no jar: the program named in its place is the one to blame.
    if (!location.javaNamedBy.isEmpty() && location.jarNamedBy.isEmpty())
        return u"The program "_s + named(location.javaPath, location.javaNamedBy) +
               u" did not start the report engine: " + wrote + setJava(location);
    return u"The jar "_s + named(location.jarPath, location.jarNamedBy) +
           u" is not the report engine: " + wrote + setJar(location);
}

std::optional<QString> EngineLaunchAdvice::endedAtStart(const SidecarClient::Location &location,
                                                        const QString &javaSaid)
{
    const QString jar = named(location.jarPath, location.jarNamedBy);
    const QString java = named(location.javaPath, location.javaNamedBy);
    if (javaSaid.contains(u"Invalid or corrupt jarfile") ||
        javaSaid.contains(u"Unable to access jarfile") ||
        javaSaid.contains(u"error in opening zip file"))
        return u"The jar "_s + jar + u" is damaged or is not a jar: Java cannot open it. " +
               setJar(location) + javaReported(javaSaid);
    if (javaSaid.contains(u"no main manifest attribute") ||
        javaSaid.contains(u"Could not find or load main class") ||
        javaSaid.contains(u"Failed to load Main-Class"))
        return u"The jar "_s + jar +
               u" is not the report engine: it names no program that Java can run. " +
               setJar(location) + javaReported(javaSaid);
    if (javaSaid.contains(u"UnsupportedClassVersionError") ||
        javaSaid.contains(u"compiled by a more recent version of the Java Runtime"))
        return u"The Java program "_s + java +
               u" is too old for the report engine, which needs Java 17 or later. " +
               setJava(location) + javaReported(javaSaid);
    if (location.javaNamedBy.isEmpty() && location.jarNamedBy.isEmpty())
        return std::nullopt;
    QStringList suspects;
    QStringList todo;
    if (!location.javaNamedBy.isEmpty()) {
        suspects.append(java + u" may be no Java program (17 or later)");
        todo.append(setJava(location));
    }
    if (!location.jarNamedBy.isEmpty()) {
        suspects.append(jar + u" may be no report engine");
        todo.append(setJar(location));
    }
    return u"The report engine ended before its first reply: "_s + suspects.join(u", or "_s) +
           u". " + todo.join(u' ') + javaReported(javaSaid);
}

QString EngineLaunchAdvice::javaCannotRun(const SidecarClient::Location &location,
                                          const QString &reason)
{
    return u"The Java program "_s + named(location.javaPath, location.javaNamedBy) +
           u" cannot be run (" + reason.toLower() +
           u"): it is no program, or not one this user "
           u"may run. " +
           setJava(location);
}
