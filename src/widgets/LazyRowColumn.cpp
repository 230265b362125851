#include "widgets/LazyRowColumn.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QLayout>
#include <QScrollArea>
#include <QSet>
#include <algorithm>
#include <array>

LazyRowColumn::LazyRowColumn(int spacing, Maker make, QWidget *parent)
    : QWidget(parent), spacing_(spacing), make_(std::move(make))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LazyRowColumn::setRows(const QList<QUuid> &ids, const QList<int> &shapes)
{
    QList<QUuid> unique;
    QList<int> uniqueShapes;
    unique.reserve(ids.size());
    QSet<QUuid> seen;
    seen.reserve(ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (seen.contains(ids.at(i)))
            continue;
        seen.insert(ids.at(i));
        unique.append(ids.at(i));
        uniqueShapes.append(i < shapes.size() ? shapes.at(i) : 0);
    }
    for (auto it = made_.begin(); it != made_.end();) {
        if (seen.contains(it.key())) {
            ++it;
            continue;
        }
        QWidget *gone = it.value();
        gone->hide();
        // It leaves the column at once (a click may still be running in it): the rows that
        // take its place, and its names, are the only ones there.
        gone->setParent(nullptr);
        gone->deleteLater();
        it = made_.erase(it);
    }
    ids_ = std::move(unique);
    shapes_ = std::move(uniqueShapes);
    if (!ids_.isEmpty())
        makeRow(0);
    placeRows();
    makeShownRows();
}

QWidget *LazyRowColumn::rowAt(qsizetype index) const
{
    return index >= 0 && index < ids_.size() ? made_.value(ids_.at(index)) : nullptr;
}

QWidget *LazyRowColumn::makeRow(qsizetype index)
{
    if (index < 0 || index >= ids_.size())
        return nullptr;
    if (QWidget *row = rowAt(index))
        return row;
    QWidget *row = make_(ids_.at(index));
    if (row->parentWidget() != this)
        row->setParent(this);
    made_.insert(ids_.at(index), row);
    orderFocus(index, row);
    row->show();
    heightByShape_.insert(shapes_.at(index), measured(row));
    emit rowMade(index, row);
    // The row may have taken its height only once it showed its values.
    heightByShape_.insert(shapes_.at(index), measured(row));
    placeRows();
    return row;
}

namespace {

bool takesTab(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

// The widgets of the row that Tab reaches, in the order of the row's widget tree: the first is
// the one that stands first in the row.
QList<QWidget *> tabWidgets(QWidget *row)
{
    QList<QWidget *> out;
    const QList<QWidget *> all = row->findChildren<QWidget *>();
    for (QWidget *widget : all)
        if (takesTab(widget) && widget->window() == row->window())
            out.append(widget);
    return out;
}

} // namespace

QWidget *LazyRowColumn::showRow(qsizetype index)
{
    QWidget *row = makeRow(index);
    if (!row)
        return nullptr;
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(ancestor)) {
            // The content takes the height the new row gives it before the area scrolls.
            if (area->widget() && area->widget()->layout())
                area->widget()->layout()->activate();
            area->ensureWidgetVisible(row);
            break;
        }
    return row;
}

void LazyRowColumn::orderFocus(qsizetype index, QWidget *row)
{
    const QList<QWidget *> reached = tabWidgets(row);
    if (reached.isEmpty())
        return;
    // The row moves along the focus chain as one block: Tab enters it at its first control.
    row->setFocusPolicy(Qt::TabFocus);
    row->setFocusProxy(reached.first());
    // After the nearest made row above, else after what Tab reaches just before the column.
    QWidget *after = nullptr;
    for (qsizetype i = index - 1; i >= 0 && !after; --i)
        after = rowAt(i);
    for (QWidget *widget = previousInFocusChain(); !after && widget && widget != this;
         widget = widget->previousInFocusChain()) {
        if (takesTab(widget) && !isAncestorOf(widget))
            after = widget;
        if (widget == window())
            break;
    }
    if (after)
        QWidget::setTabOrder(after, row);
}

QRect LazyRowColumn::rowRect(qsizetype index) const
{
    if (index < 0 || index >= tops_.size())
        return {};
    return {0, tops_.at(index), width(), heightOf(index)};
}

int LazyRowColumn::measured(QWidget *row) const
{
    // A row that wraps a line of text is as tall as it is at the column's width: its size hint
    // wraps it at a width of its own choosing, and the spare height would spread between its
    // lines.
    const int hint = row->hasHeightForWidth() && width() > 0 ? row->heightForWidth(width())
                                                             : row->sizeHint().height();
    return std::clamp(std::max(hint, row->minimumSizeHint().height()), row->minimumHeight(),
                      row->maximumHeight());
}

int LazyRowColumn::heightOf(qsizetype index) const
{
    if (QWidget *row = rowAt(index))
        return measured(row);
    const auto known = heightByShape_.constFind(shapes_.at(index));
    if (known != heightByShape_.constEnd())
        return known.value();
    return heightByShape_.isEmpty()
               ? 0
               : *std::max_element(heightByShape_.cbegin(), heightByShape_.cend());
}

void LazyRowColumn::placeRows()
{
    if (placing_)
        return;
    placing_ = true;
    tops_.resize(ids_.size());
    int y = 0;
    int minimumWidth = 0;
    int preferredWidth = 0;
    for (qsizetype i = 0; i < ids_.size(); ++i) {
        if (i > 0)
            y += spacing_;
        tops_[i] = y;
        const int height = heightOf(i);
        if (QWidget *row = rowAt(i)) {
            row->setGeometry(0, y, width(), height);
            heightByShape_.insert(shapes_.at(i), height);
            minimumWidth = std::max(minimumWidth, row->minimumSizeHint().width());
            preferredWidth = std::max(preferredWidth, row->sizeHint().width());
        }
        y += height;
    }
    total_ = y;
    placing_ = false;
    // The rows' widths change when a line of one comes or goes, their heights as rows are made.
    const std::array<int, 3> hints = {minimumWidth, preferredWidth, total_};
    if (hints != hints_) {
        hints_ = hints;
        updateGeometry();
    }
}

std::pair<int, int> LazyRowColumn::shownSpan() const
{
    if (!isVisible())
        return {0, -1};
    if (!viewport_)
        return {0, total_};
    const int top = mapTo(viewport_, QPoint(0, 0)).y();
    const int height = viewport_->height();
    return {-top - height / 2, -top + height + height / 2};
}

void LazyRowColumn::makeShownRows()
{
    const auto [from, to] = shownSpan();
    if (to < from || ids_.isEmpty())
        return;
    // The first row that ends below the span's top, then on while rows start above its end.
    auto first = std::upper_bound(tops_.cbegin(), tops_.cend(), from);
    qsizetype index = std::max<qsizetype>(0, (first - tops_.cbegin()) - 1);
    for (; index < ids_.size() && tops_.at(index) <= to; ++index)
        makeRow(index);
}

QSize LazyRowColumn::sizeHint() const
{
    return {hints_[1], total_};
}

QSize LazyRowColumn::minimumSizeHint() const
{
    return {hints_[0], total_};
}

bool LazyRowColumn::event(QEvent *event)
{
    // A made row's size hint changed (a line of it came or went).
    if (event->type() == QEvent::LayoutRequest) {
        placeRows();
        makeShownRows();
        return true;
    }
    return QWidget::event(event);
}

bool LazyRowColumn::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        makeShownRows();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void LazyRowColumn::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeRows();
    makeShownRows();
}

void LazyRowColumn::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    watchAncestors();
    makeShownRows();
}

void LazyRowColumn::watchAncestors()
{
    for (const QPointer<QWidget> &widget : std::as_const(watched_))
        if (widget)
            widget->removeEventFilter(this);
    watched_.clear();
    viewport_ = nullptr;
    // Scrolling moves the scroll area's content; cards above growing move this column's card;
    // a resized window resizes the viewport. Each of them is an ancestor up to the viewport.
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        watched_.append(ancestor);
        auto *area = qobject_cast<QAbstractScrollArea *>(ancestor->parentWidget());
        if (area && area->viewport() == ancestor) {
            viewport_ = ancestor;
            break;
        }
        if (ancestor->isWindow())
            break;
    }
}
