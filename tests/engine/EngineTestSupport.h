#pragma once

#include "ModelBuilders.h"
#include "engine/SidecarModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <chrono>
#include <functional>

namespace testsupport {

// Runs the event loop until `done` holds or `limit` passes; true when it holds.
inline bool waitFor(const std::function<bool()> &done,
                    std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
    return true;
}

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
