#pragma once

#include "engine/SidecarClient.h"

#include <QImage>
#include <QJsonObject>
#include <QPainter>
#include <QPdfDocument>
#include <QRect>

// What the print comparisons of the canvas share: pages flattened on white paper, and where an
// ink shows on them.
namespace inkbounds {

// The image on white paper: a rendered page is transparent where nothing prints.
inline QImage onWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// The bounding box of the pixels inside `region` that `isInk` takes for ink; empty: none.
template <typename IsInk> QRect inked(const QImage &image, const QRect &region, IsInk isInk)
{
    QRect bounds;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// The first page of the report at `jrxml` as the engine prints it, `pixels` large, on white; a
// null image and the engine's refusal in `error` when it does not print.
inline QImage printedPage(const SidecarClient::Location &location, const QString &jrxml,
                          const QString &jasper, const QString &pdf, QSize pixels, QString &error)
{
    SidecarClient client;
    client.start(location);
    try {
        client.send(QStringLiteral("render"), QJsonObject{{QStringLiteral("jrxmlPath"), jrxml},
                                                          {QStringLiteral("jasperPath"), jasper},
                                                          {QStringLiteral("pdfPath"), pdf}});
    } catch (const std::exception &refusal) {
        error = QString::fromUtf8(refusal.what());
        return {};
    }
    QPdfDocument document;
    if (document.load(pdf) != QPdfDocument::Error::None) {
        error = QStringLiteral("the engine's PDF does not load");
        return {};
    }
    return onWhite(document.render(0, pixels));
}

} // namespace inkbounds
