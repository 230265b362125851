#include "widgets/WheelGuard.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

namespace {

class Guard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *control = static_cast<QWidget *>(watched);
        if (event->type() != QEvent::Wheel || control->hasFocus())
            return false;
        // The panel around the control scrolls, as if the wheel had been turned over its
        // background.
        for (QWidget *above = control->parentWidget(); above; above = above->parentWidget()) {
            if (auto *area = qobject_cast<QAbstractScrollArea *>(above)) {
                QCoreApplication::sendEvent(area->verticalScrollBar(), event);
                return true;
            }
        }
        event->ignore();
        return true;
    }
};

} // namespace

namespace WheelGuard {

void ignoreUnlessFocused(QWidget *control)
{
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(new Guard(control));
}

} // namespace WheelGuard
