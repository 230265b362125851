#include "app/BusyBanner.h"

#include "widgets/Spinner.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

BusyBanner::BusyBanner(QWidget *parent)
    : QWidget(parent), label_(new QLabel(this)), spinner_(new Spinner(16, this)),
      cancelButton_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("BusyBanner"));
    QFont font = label_->font();
    font.setPointSize(12);
    font.setWeight(QFont::Medium);
    label_->setFont(font);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 8, 14, 8);
    layout->setSpacing(8);
    layout->addWidget(spinner_);
    layout->addWidget(label_);
    cancelButton_->setObjectName(QStringLiteral("BusyBanner.cancel"));
    cancelButton_->hide();
    layout->addWidget(cancelButton_);
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        if (cancel_)
            cancel_();
    });
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 84));
    shadow->setBlurRadius(8);
    shadow->setOffset(0, 2);
    setGraphicsEffect(shadow);
    hide();
}

void BusyBanner::setMessage(const std::optional<QString> &message)
{
    label_->setText(message.value_or(QString()));
    setVisible(message.has_value());
    if (message) {
        adjustSize();
        reposition();
        raise();
    }
}

void BusyBanner::setCancel(std::function<void()> cancel)
{
    cancel_ = std::move(cancel);
    cancelButton_->setVisible(bool(cancel_));
    if (isVisible()) {
        adjustSize();
        reposition();
    }
}

QString BusyBanner::message() const
{
    return isVisible() ? label_->text() : QString();
}

void BusyBanner::reposition()
{
    // A hidden banner is placed when a message shows it.
    if (!parentWidget() || isHidden())
        return;
    const QSize size = sizeHint();
    move((parentWidget()->width() - size.width()) / 2,
         parentWidget()->height() - 16 - size.height());
}

void BusyBanner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath capsule;
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    capsule.addRoundedRect(area, area.height() / 2, area.height() / 2);
    QColor fill = palette().color(QPalette::Window);
    fill.setAlphaF(0.96f);
    painter.fillPath(capsule, fill);
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.12f);
    painter.strokePath(capsule, QPen(edge, 1));
}
