#pragma once

#include "ModelBuilders.h"
#include "TestSupport.h"
#include "engine/SidecarModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

namespace testsupport {

// Java and the built jar: the environment's overrides, else the system Java and the repository's
// jar. No value when either is missing.
inline std::optional<SidecarClient::Location> realEngine()
{
    const SidecarClient::Location location{
        qEnvironmentVariable("QUILLMARK_JAVA", QStringLiteral("/usr/bin/java")),
        qEnvironmentVariable("QUILLMARK_SIDECAR_JAR",
                             sourceDir() + QStringLiteral("/sidecar/target/sidecar.jar"))};
    if (!QFileInfo(location.javaPath).isExecutable() || !QFileInfo::exists(location.jarPath))
        return std::nullopt;
    return location;
}

#define QUILLMARK_REQUIRE_ENGINE()                                                                 \
    const std::optional<SidecarClient::Location> location = testsupport::realEngine();             \
    if (!location)                                                                                 \
        GTEST_SKIP() << "Java or sidecar/target/sidecar.jar is missing; skipping the engine test";

// A report named `name` whose detail band holds one subreport element per expression.
inline ReportDocument reportWithSubreports(const QString &name, const QStringList &expressions)
{
    ReportDocument report;
    report.name = name;
    for (const QString &expression : expressions) {
        ReportElement subreport = element(ElementKind{ElementKind::Subreport{expression}});
        report.detailBands[0].elements.append(subreport);
    }
    return report;
}

} // namespace testsupport
