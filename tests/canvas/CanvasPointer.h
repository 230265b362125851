#pragma once

#include "canvas/BandItem.h"
#include "canvas/CanvasGraphicsView.h"
#include "canvas/CanvasScene.h"
#include "canvas/CanvasView.h"
#include "document/DocumentStore.h"
#include "workspace/AppClock.h"

#include "ModelBuilders.h"
#include "TestBandSettings.h"

#include <QTest>

// A canvas driven by the pointer as a user drives it: events go to the viewport of its graphics
// view, at points given in the coordinates of a band's body.
struct CanvasPointer {
    TestBandSettings bandSettings;
    FixedClock clock{QDateTime::fromMSecsSinceEpoch(10'000)};
    CanvasView canvas;
    const BandTarget title = BandTarget::standard(BandType::title);

    // Shows the canvas `size` large on the store, with the test preferences and clock.
    void showCanvas(DocumentStore *store, QSize size)
    {
        canvas.resize(size);
        canvas.setBandSettings(&bandSettings);
        canvas.setClock(&clock);
        canvas.setStore(store);
        canvas.show();
    }

    // Adds an element of the kind with the frame to the canvas's report; returns its id.
    QUuid add(ElementKind kind, QRectF frame, const BandTarget &target)
    {
        ReportElement e = testsupport::element(std::move(kind));
        e.x = frame.x();
        e.y = frame.y();
        e.width = frame.width();
        e.height = frame.height();
        canvas.store()->addElement(e, target);
        return e.id;
    }

    QWidget *viewport() const { return canvas.graphicsView()->viewport(); }
    BandItem *band(const BandTarget &target) const { return canvas.scene()->bandItem(target); }
    // A point of a band body on the viewport.
    QPoint at(const BandTarget &target, QPointF body) const
    {
        const BandItem *b = band(target);
        return canvas.graphicsView()->mapFromScene(b->mapToScene(b->bodyRect().topLeft() + body));
    }
    void press(QPoint point) { QTest::mousePress(viewport(), Qt::LeftButton, {}, point); }
    void move(QPoint point) { QTest::mouseMove(viewport(), point); }
    void release(QPoint point) { QTest::mouseRelease(viewport(), Qt::LeftButton, {}, point); }
    // Press, a move half-way and a move to the end: a drag still held.
    void carry(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(viewport(), Qt::LeftButton, modifiers, from);
        QTest::mouseMove(viewport(), (from + to) / 2);
        QTest::mouseMove(viewport(), to);
    }
    // The same drag, released at the end.
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        carry(from, to, modifiers);
        QTest::mouseRelease(viewport(), Qt::LeftButton, modifiers, to);
    }
    void click(QPoint point, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(viewport(), Qt::LeftButton, modifiers, point);
    }
};
