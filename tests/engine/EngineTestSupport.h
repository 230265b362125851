#pragma once

#include "ModelBuilders.h"
#include "TestSupport.h"
#include "engine/SidecarModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace testsupport {

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
