#pragma once

#include "model/ReportDocument.h"

// A report of `count` text fields spread over ten bands, every tenth one inside a frame, for the
// benchmarks of copying and editing documents.
inline ReportDocument largeDocument(int count)
{
    ReportDocument doc;
    doc.name = QStringLiteral("Large");
    for (BandType type : bandDisplayOrder()) {
        if (type != BandType::detail)
            doc.bands.append(ReportBand{newId(), type, 200, {}, true, {}});
    }
    QList<ReportBand *> targets;
    for (ReportBand &b : doc.bands)
        targets.append(&b);
    targets.append(&doc.detailBands.first());
    for (int i = 0; i < count; ++i) {
        ReportElement e;
        e.id = newId();
        e.kind = ElementKind::TextField{QStringLiteral("$F{field") + QString::number(i) +
                                        QStringLiteral("}")};
        e.x = i % 500;
        e.y = i % 180;
        e.styleName = QStringLiteral("Style") + QString::number(i % 7);
        e.pattern = QStringLiteral("#,##0.00");
        e.printWhenExpression = QStringLiteral("$V{PAGE_NUMBER} > ") + QString::number(i);
        ElementList &list = targets[i % targets.size()]->elements;
        if (i % 10 == 9 && !list.isEmpty()) {
            ReportElement frame;
            frame.id = newId();
            frame.kind = ElementKind::Frame{{e}};
            list.append(frame);
        } else {
            list.append(e);
        }
    }
    return doc;
}

// A copy that shares nothing with its source: every list and text gets storage of its own.
ReportDocument deepCopy(const ReportDocument &doc);
