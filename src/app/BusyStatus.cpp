#include "app/BusyStatus.h"

std::optional<QString> busyStatusMessage(const BusyFlags &flags)
{
    const std::pair<bool, const char16_t *> jobs[] = {
        {flags.isRendering, u"Compiling & filling report…"},
        {flags.isExporting, u"Exporting…"},
        {flags.isCompilingAll, u"Compiling all open reports…"},
        {flags.isZipping, u"Zipping report files for upload…"},
        {flags.isTestingConnection, u"Testing connection…"},
        {flags.isExecutingQuery, u"Executing query…"},
        {flags.isCreatingSubreport, u"Compiling subreport…"},
    };
    for (const auto &[running, text] : jobs) {
        if (running)
            return QString::fromUtf16(text);
    }
    return std::nullopt;
}

bool busyJobCanBeCancelled(const BusyFlags &flags)
{
    return !flags.isRendering && (flags.isExporting || flags.isCompilingAll);
}
