#include "app/ErrorDisplay.h"

#include "engine/FriendlyErrorTranslator.h"
#include "widgets/SymbolIcons.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>

namespace {

QLabel *selectableLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

// The engine's own words: selectable, as tall as they are, and wrapped at the width given, within
// a word where a word is wider than that (a generated class name, a line of code), so that no
// line is cut at the sheet's edge.
class EngineText : public QTextEdit {
public:
    EngineText(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
        : QTextEdit(parent)
    {
        setReadOnly(true);
        setFont(font);
        setPlainText(text);
        setFrameShape(QFrame::NoFrame);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        document()->setDocumentMargin(0);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Text, colour);
        palette.setColor(QPalette::Base, Qt::transparent);
        setPalette(palette);
        connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
                this, [this](const QSizeF &size) { setFixedHeight(qCeil(size.height())); });
        setFixedHeight(qCeil(document()->size().height()));
    }
    QSize minimumSizeHint() const override { return {0, height()}; }
    QSize sizeHint() const override { return {0, height()}; }
};

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
        auto *raw = new EngineText(rawError, mono, Qt::red, this);
        raw->setObjectName(QStringLiteral("RawError"));
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

    mono.setPointSizeF(mono.pointSizeF() * 0.85);
    auto *details =
        new EngineText(rawError, mono, palette().color(QPalette::PlaceholderText), this);
    details->setObjectName(QStringLiteral("TechnicalDetails"));
    details->hide();
    layout->addWidget(details);
    connect(disclosure, &QToolButton::toggled, this, [disclosure, details](bool open) {
        disclosure->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        details->setVisible(open);
    });
}
