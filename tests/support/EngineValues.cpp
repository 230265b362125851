#include "EngineValues.h"

#include "ModelValues.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace testsupport {

namespace {

ReportValues parsed(const QString &lines)
{
    ReportValues values;
    for (const QString &line : lines.split(u'\n')) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() == 3)
            values.insert(parts[0] + u'\t' + parts[1], parts[2]);
    }
    return values;
}

} // namespace

std::optional<ReportValues> engineValues(const QString &jrxmlPath)
{
    const QString java = qEnvironmentVariable("QUILLMARK_JAVA", u"/usr/bin/java"_s);
    const QString jar = qEnvironmentVariable("QUILLMARK_SIDECAR_JAR",
                                             sourceDir() + u"/sidecar/target/sidecar.jar"_s);
    if (!QFileInfo(java).isExecutable() || !QFileInfo::exists(jar))
        return std::nullopt;
    holdEngineSlot();
    QProcess engine;
    engine.start(java,
                 {u"-Djava.awt.headless=true"_s, u"-jar"_s, jar, u"read-values"_s, jrxmlPath});
    // A cold engine on a busy machine takes its time; the wait ends as soon as it is done.
    const bool finished = engine.waitForFinished(600'000);
    const QString out = QString::fromUtf8(engine.readAllStandardOutput());
    EXPECT_TRUE(finished && engine.exitCode() == 0)
        << "read-values failed: " << engine.readAllStandardError().toStdString();
    ReportValues values = parsed(out);
    EXPECT_FALSE(values.contains(u"report\tload"_s))
        << "the engine cannot load the report: " << values.value(u"report\tload"_s).toStdString();
    return values;
}

ReportValues designerValues(const ReportDocument &report)
{
    return parsed(modelvalues::describe(report));
}

QStringList differences(const ReportValues &engine, const ReportValues &designer,
                        const QStringList &names)
{
    QStringList lines;
    QStringList keys = engine.keys() + designer.keys();
    keys.removeDuplicates();
    keys.sort();
    for (const QString &key : std::as_const(keys)) {
        const QString name = key.section(u'\t', 1);
        if (!names.contains(name))
            continue;
        const QString none = u"(none)"_s;
        const QString e = engine.value(key, none), d = designer.value(key, none);
        // The model's alignment has no justified case: it is kept as written and shown left.
        if (e == d || (name == u"textAlignment"_s && e == u"Justified"_s && d == u"Left"_s))
            continue;
        lines.append(key.section(u'\t', 0, 0) + u' ' + name + u": engine "_s + e +
                     u", designer "_s + d);
    }
    return lines;
}

const QStringList &styledValueNames()
{
    static const QStringList names = {u"fontName"_s,  u"fontSize"_s,    u"isBold"_s,
                                      u"isItalic"_s,  u"isUnderline"_s, u"textAlignment"_s,
                                      u"forecolor"_s, u"backcolor"_s,   u"isDefault"_s};
    return names;
}

} // namespace testsupport
