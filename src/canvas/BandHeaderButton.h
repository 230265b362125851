#pragma once

#include <QGraphicsObject>
#include <QIcon>
#include <QPixmap>
#include <functional>

// A small borderless icon button on a band's header strip. Its action runs on the next turn of
// the event loop, since it may remove the band that holds the button.
class BandHeaderButton : public QGraphicsObject {
    Q_OBJECT
public:
    static constexpr double size = 10;

    BandHeaderButton(const QString &symbolName, const QString &helpText,
                     std::function<void()> action, QGraphicsItem *parent);

    QString symbolName() const { return symbolName_; }
    // What a click does, run right away (tests call it to skip the pointer).
    void trigger() const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QString symbolName_;
    QIcon icon_;
    QPixmap tinted_; // the icon in the strip's grey, at the scale it was last drawn
    std::function<void()> action_;
};
