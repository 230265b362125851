#include "widgets/TextInputFocus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGraphicsProxyWidget>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const char *const reportPanel = "reportPanel";

bool isSceneTextInput(const QGraphicsView *view)
{
    const QGraphicsScene *scene = view->scene();
    QGraphicsItem *item = scene ? scene->focusItem() : nullptr;
    if (!item)
        return false;
    if (const auto *text = qgraphicsitem_cast<QGraphicsTextItem *>(item))
        return text->textInteractionFlags().testFlag(Qt::TextEditable);
    if (item->isWidget()) {
        if (const auto *proxy =
                qobject_cast<const QGraphicsProxyWidget *>(item->toGraphicsObject())) {
            const QWidget *embedded = proxy->widget();
            return embedded &&
                   isTextInput(embedded->focusWidget() ? embedded->focusWidget() : embedded);
        }
    }
    return false;
}

} // namespace

bool isTextInput(const QWidget *widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
        qobject_cast<const QPlainTextEdit *>(widget))
        return true;
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(widget))
        return !spin->isReadOnly();
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    if (const auto *view = qobject_cast<const QGraphicsView *>(widget))
        return isSceneTextInput(view);
    // A text view's viewport takes the focus on behalf of its editor.
    if (const QWidget *parent = widget->parentWidget()) {
        if (qobject_cast<const QTextEdit *>(parent) || qobject_cast<const QPlainTextEdit *>(parent))
            return true;
    }
    return false;
}

bool isTextInputFocused()
{
    return isTextInput(QApplication::focusWidget());
}

void markReportPanel(QWidget *panel)
{
    panel->setProperty(reportPanel, true);
}

bool isInReportPanel(const QWidget *widget)
{
    for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        if (widget->property(reportPanel).toBool())
            return true;
    }
    return false;
}
