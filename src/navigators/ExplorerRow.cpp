#include "navigators/ExplorerRow.h"

#include "navigators/ExplorerFileActions.h"
#include "navigators/ExplorerListing.h"
#include "widgets/CardText.h"
#include "widgets/DisclosureChevron.h"
#include "widgets/SymbolIcons.h"
#include "widgets/TreeGuides.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace {

constexpr double namePointSize = 11;
constexpr int iconSize = 14;

} // namespace

ExplorerRow::ExplorerRow(const Shape &shape, QWidget *parent) : QWidget(parent), shape_(shape)
{
    setObjectName(u"explorer.row"_s);
    setAttribute(Qt::WA_StyledBackground, false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 4, 2);
    layout->setSpacing(4);
    layout->addWidget(new TreeGuides(shape.depth, this));
    if (shape.isDirectory) {
        layout->addWidget(new DisclosureChevron(shape.isExpanded, this));
    } else {
        layout->addSpacing(DisclosureChevron::frameWidth);
    }
    icon_ = new QLabel(this);
    icon_->setFixedSize(iconSize, iconSize);
    icon_->setProperty(SymbolIcons::symbolProperty, symbol());
    layout->addWidget(icon_);
    name_ = new QLabel(this);
    name_->setObjectName(u"explorer.row.name"_s);
    name_->setTextFormat(Qt::PlainText);
    // The tree's content draws on the base colour, where a label would take the text role;
    // the row's colours are set on the window-text role, so the label must paint with it.
    name_->setForegroundRole(QPalette::WindowText);
    name_->setFont(CardText::sized(name_->font(), namePointSize));
    const QString name = shape.url.fileName();
    name_->setText(name.isEmpty() ? ExplorerFileActions::standardizedPath(shape.url) : name);
    layout->addWidget(name_, 1);
    if (isDimmed())
        CardText::makeSecondary(name_);
    setAcceptDrops(shape.isDirectory);
    setToolTip(ExplorerFileActions::standardizedPath(shape.url));
    applyColours();
}

bool ExplorerRow::isDimmed() const
{
    return !shape_.isDirectory && !ExplorerFileActions::isReportFile(shape_.url);
}

QString ExplorerRow::symbol() const
{
    if (shape_.isDirectory)
        return u"folder"_s;
    return ExplorerFileActions::isReportFile(shape_.url) ? u"doc.text"_s : u"doc"_s;
}

void ExplorerRow::applyColours()
{
    const QColor colour =
        isDimmed() ? CardText::secondaryColor(palette()) : palette().color(QPalette::WindowText);
    QPalette labelPalette = name_->palette();
    labelPalette.setColor(QPalette::WindowText, colour);
    name_->setPalette(labelPalette);
    icon_->setPixmap(
        SymbolIcons::tintedPixmap(symbol(), {iconSize, iconSize}, devicePixelRatioF(), colour));
}

void ExplorerRow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && name_)
        applyColours();
    QWidget::changeEvent(event);
}

void ExplorerRow::paintEvent(QPaintEvent *)
{
    if (!shape_.isOpen)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlphaF(0.15F);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(2, 0, -2, 0), 4, 4);
    painter.fillPath(path, fill);
}

void ExplorerRow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        isPressed_ = true;
        pressPosition_ = event->position().toPoint();
    }
    event->accept();
}

void ExplorerRow::mouseMoveEvent(QMouseEvent *event)
{
    if (!isPressed_ || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - pressPosition_).manhattanLength() <
        QApplication::startDragDistance())
        return;
    isPressed_ = false;
    auto *data = new QMimeData;
    data->setText(ExplorerFileActions::standardizedPath(shape_.url));
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(grab());
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void ExplorerRow::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = isPressed_;
    isPressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

void ExplorerRow::contextMenuEvent(QContextMenuEvent *event)
{
    emit contextMenuRequested(event->globalPos());
    event->accept();
}

void ExplorerRow::dragEnterEvent(QDragEnterEvent *event)
{
    if (shape_.isDirectory && ExplorerListing::droppedPath(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ExplorerRow::dragMoveEvent(QDragMoveEvent *event)
{
    if (shape_.isDirectory && ExplorerListing::droppedPath(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ExplorerRow::dropEvent(QDropEvent *event)
{
    if (dropHandler_ && dropHandler_(*event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
