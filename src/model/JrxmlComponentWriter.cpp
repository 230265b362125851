// The writer of components and pass-through elements.

#include "JrxmlCodecInternal.h"

namespace JrxmlCodec {

bool appendPassThrough(QString &, const ReportElement &)
{
    return false;
}

bool appendComponent(QString &, const ReportElement &, const QList<ReportStyle> &)
{
    return false;
}

} // namespace JrxmlCodec
