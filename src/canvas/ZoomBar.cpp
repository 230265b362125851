#include "canvas/ZoomBar.h"

#include "canvas/CanvasGeometry.h"
#include "canvas/ToolbarParts.h"
#include "canvas/ZoomGestureAnchor.h"
#include "document/DocumentStore.h"
#include "widgets/SymbolIcons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QToolButton>

namespace {

// An icon-only borderless button; the symbol name stays on it for tests.
QToolButton *iconButton(const char *symbolName, const QString &name, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    const QString symbol = QString::fromLatin1(symbolName);
    button->setProperty(SymbolIcons::symbolProperty, symbol);
    button->setIcon(SymbolIcons::icon(symbol));
    button->setToolTip(name);
    button->setAutoRaise(true);
    return button;
}

} // namespace

ZoomBar::ZoomBar(ZoomGestureAnchor *zoomAnchor, QWidget *parent)
    : QWidget(parent), zoomAnchor_(zoomAnchor), layout_(new QHBoxLayout(this)),
      zoomOut_(iconButton("minus.magnifyingglass", QStringLiteral("Zoom Out"), this)),
      percent_(new QToolButton(this)),
      zoomIn_(iconButton("plus.magnifyingglass", QStringLiteral("Zoom In"), this))
{
    layout_->setContentsMargins(4, 4, 10, 4);
    layout_->setSpacing(8);
    percent_->setAutoRaise(true);
    percent_->setToolTip(QStringLiteral("Reset to 100%"));
    percent_->setFixedWidth(44);
    QFont font = percent_->font();
    font.setPixelSize(11);
    percent_->setFont(font);

    layout_->addWidget(ToolbarParts::divider(this));
    layout_->addWidget(zoomOut_);
    layout_->addWidget(percent_);
    layout_->addWidget(zoomIn_);
    layout_->addWidget(ToolbarParts::divider(this));
    layout_->addStretch(1);

    connect(zoomOut_, &QToolButton::clicked, this, [this] {
        if (store_)
            store_->zoomOut();
    });
    connect(zoomIn_, &QToolButton::clicked, this, [this] {
        if (store_)
            store_->zoomIn();
    });
    connect(percent_, &QToolButton::clicked, this, [this] {
        if (store_)
            store_->setZoomLevel(1.0);
    });
    connect(zoomAnchor, &ZoomGestureAnchor::startLevelChanged, this, &ZoomBar::refresh);
    refresh();
}

void ZoomBar::setStore(DocumentStore *store)
{
    if (store_)
        store_->disconnect(this);
    store_ = store;
    if (store)
        connect(store, &DocumentStore::zoomLevelChanged, this, &ZoomBar::refresh);
    refresh();
}

void ZoomBar::setPinchMagnification(double magnification)
{
    pinchMagnification_ = magnification;
    refresh();
}

void ZoomBar::setTabStrip(QWidget *tabStrip)
{
    replaceSlot(tabStrip_, tabStrip, false);
}

void ZoomBar::setTrailingToolbar(QWidget *toolbar)
{
    replaceSlot(trailing_, toolbar, true);
}

void ZoomBar::replaceSlot(QPointer<QWidget> &slot, QWidget *widget, bool beforeStretch)
{
    if (slot == widget)
        return;
    delete slot;
    slot = widget;
    if (widget)
        layout_->insertWidget(beforeStretch ? layout_->count() - 1 : 0, widget);
}

void ZoomBar::refresh()
{
    const double zoom = store_ ? store_->zoomLevel() : 1.0;
    zoomOut_->setEnabled(store_ && zoom > canvas::minimumZoom);
    zoomIn_->setEnabled(store_ && zoom < canvas::maximumZoom);
    percent_->setEnabled(store_ != nullptr);
    percent_->setText(
        canvas::zoomPercentText(zoomAnchor_->startLevel(), zoom, pinchMagnification_));
}
