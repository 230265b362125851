#include "app/ErrorDisplay.h"

#include "engine/FriendlyErrorTranslator.h"
#include "widgets/SymbolIcons.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *selectableLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

} // namespace

ErrorDisplay::ErrorDisplay(const QString &rawError, QWidget *parent, const ReportDocument *report)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ErrorDisplay"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->setAlignment(Qt::AlignTop);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    const std::optional<QString> friendly = FriendlyErrorTranslator::translate(rawError, report);
    if (!friendly) {
        QLabel *raw = selectableLabel(rawError, this);
        raw->setObjectName(QStringLiteral("RawError"));
        raw->setFont(mono);
        QPalette red = raw->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        raw->setPalette(red);
        layout->addWidget(raw);
        return;
    }

    auto *explanation = new QWidget(this);
    auto *row = new QHBoxLayout(explanation);
    row->setContentsMargins(0, 0, 0, 0);
    auto *icon = new QLabel(explanation);
    icon->setPixmap(SymbolIcons::icon(QStringLiteral("exclamationmark.triangle.fill")).pixmap(16));
    icon->setProperty(SymbolIcons::symbolProperty, QStringLiteral("exclamationmark.triangle.fill"));
    QLabel *text = selectableLabel(*friendly, explanation);
    text->setObjectName(QStringLiteral("FriendlyError"));
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    layout->addWidget(explanation);

    auto *disclosure = new QToolButton(this);
    disclosure->setObjectName(QStringLiteral("TechnicalDetailsToggle"));
    disclosure->setText(QStringLiteral("Technical Details"));
    disclosure->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    disclosure->setArrowType(Qt::RightArrow);
    disclosure->setCheckable(true);
    disclosure->setAutoRaise(true);
    layout->addWidget(disclosure);

    QLabel *details = selectableLabel(rawError, this);
    details->setObjectName(QStringLiteral("TechnicalDetails"));
    mono.setPointSizeF(mono.pointSizeF() * 0.85);
    details->setFont(mono);
    details->setForegroundRole(QPalette::PlaceholderText);
    details->setContentsMargins(0, 4, 0, 0);
    details->hide();
    layout->addWidget(details);
    connect(disclosure, &QToolButton::toggled, this, [disclosure, details](bool open) {
        disclosure->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        details->setVisible(open);
    });
}
