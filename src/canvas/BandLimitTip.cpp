#include "canvas/BandLimitTip.h"

#include "canvas/BandContext.h"
#include "edits/LengthLimits.h"
#include "workspace/BandSettings.h"

#include <QCursor>
#include <QToolTip>

namespace bandlimit {

QString words(const BandContext &context, const BandTarget &target, double height)
{
    if (!context.store)
        return {};
    const MeasurementUnit unit =
        context.settings ? context.settings->measurementUnit() : MeasurementUnit::pixels;
    return LengthLimits::bandHeight(*context.store, target, height, unit).message;
}

void Tip::tell(const QString &words)
{
    if (words == shown_)
        return;
    shown_ = words;
    if (words.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), words);
}

} // namespace bandlimit
