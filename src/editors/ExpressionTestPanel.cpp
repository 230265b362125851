#include "ExpressionTestPanel.h"

#include "ExpressionTestState.h"
#include "ExpressionValidation.h"
#include "FlowLayout.h"
#include "engine/FriendlyErrorTranslator.h"
#include "widgets/SymbolIcons.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QFont monospaced(qreal points)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    return font;
}

QLabel *symbolLabel(const QString &symbol, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(SymbolIcons::icon(symbol).pixmap(14, 14));
    label->setProperty(SymbolIcons::symbolProperty, symbol);
    return label;
}

void setForeground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

template <typename Declared>
QList<Declared> referenced(const QList<Declared> &items, const QString &expression,
                           const QString &letter)
{
    const QStringList names = expressions::referencedTokens(expression, letter);
    QList<Declared> out;
    for (const Declared &item : items) {
        if (names.contains(item.name))
            out.append(item);
    }
    return out;
}

} // namespace

ExpressionTestPanel::ExpressionTestPanel(ExpressionTestState *state, const ReportDocument &document,
                                         ExpressionEngine *engine, QWidget *parent)
    : QWidget(parent), state_(state), document_(document), engine_(engine),
      run_(new QPushButton(tr("Run"), this)), spinner_(new QProgressBar(this)),
      caption_(new QLabel(tr("Sample values (optional - blank stays null/default):"), this)),
      samples_(new QWidget(this)), sampleFlow_(new FlowLayout(8, samples_)),
      resultRow_(new QWidget(this)), result_(new QLabel(resultRow_)), errorRow_(new QWidget(this)),
      error_(new QLabel(errorRow_)), detailsToggle_(new QToolButton(errorRow_)),
      details_(new QLabel(errorRow_))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);

    auto *header = new QHBoxLayout;
    auto *title = new QLabel(tr("Test"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    spinner_->setRange(0, 0);
    spinner_->setTextVisible(false);
    spinner_->setFixedSize(48, 10);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(spinner_);
    header->addWidget(run_);
    column->addLayout(header);

    QFont small = caption_->font();
    small.setPointSizeF(8);
    caption_->setFont(small);
    caption_->setForegroundRole(QPalette::PlaceholderText);
    column->addWidget(caption_);
    column->addWidget(samples_);

    auto *resultLine = new QHBoxLayout(resultRow_);
    resultLine->setContentsMargins(0, 0, 0, 0);
    resultLine->addWidget(symbolLabel(u"checkmark.circle.fill"_s, resultRow_));
    // The value, the error and its details are the engine's text, shown as they are.
    result_->setTextFormat(Qt::PlainText);
    error_->setTextFormat(Qt::PlainText);
    details_->setTextFormat(Qt::PlainText);
    result_->setFont(monospaced(11));
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setForeground(result_, QColor(0x2E, 0x9D, 0x48));
    resultLine->addWidget(result_, 1);
    column->addWidget(resultRow_);

    auto *errorColumn = new QVBoxLayout(errorRow_);
    errorColumn->setContentsMargins(0, 0, 0, 0);
    errorColumn->setSpacing(4);
    auto *errorLine = new QHBoxLayout;
    errorLine->addWidget(symbolLabel(u"xmark.octagon.fill"_s, errorRow_), 0, Qt::AlignTop);
    error_->setWordWrap(true);
    error_->setFont(small);
    setForeground(error_, QColor(0xD7, 0x3A, 0x2F));
    errorLine->addWidget(error_, 1);
    errorColumn->addLayout(errorLine);
    detailsToggle_->setText(tr("Technical Details"));
    detailsToggle_->setCheckable(true);
    detailsToggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    detailsToggle_->setAutoRaise(true);
    detailsToggle_->setArrowType(Qt::RightArrow);
    details_->setFont(monospaced(9));
    details_->setForegroundRole(QPalette::PlaceholderText);
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    errorColumn->addWidget(detailsToggle_, 0, Qt::AlignLeft);
    errorColumn->addWidget(details_);
    column->addWidget(errorRow_);

    connect(detailsToggle_, &QToolButton::toggled, this, [this](bool open) {
        detailsToggle_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        details_->setVisible(open);
    });
    connect(run_, &QPushButton::clicked, this, &ExpressionTestPanel::runTest);
    if (state_)
        connect(state_, &ExpressionTestState::changed, this, &ExpressionTestPanel::refresh);
    refresh();
}

QList<ReportField> ExpressionTestPanel::referencedFields() const
{
    return referenced(document_.fields, expression_, u"F"_s);
}

QList<ReportParameter> ExpressionTestPanel::referencedParameters() const
{
    return referenced(document_.parameters, expression_, u"P"_s);
}

void ExpressionTestPanel::setExpression(const QString &expression)
{
    expression_ = expression;
    refresh();
}

void ExpressionTestPanel::runTest()
{
    if (state_ && engine_ && !expression_.isEmpty())
        state_->run(expression_, document_, *engine_);
}

QLineEdit *ExpressionTestPanel::sampleBox(const QString &label) const
{
    QWidget *box = boxes_.value(label);
    return box ? box->findChild<QLineEdit *>() : nullptr;
}

QWidget *ExpressionTestPanel::sampleValueField(const QString &label, const QString &key)
{
    auto *box = new QWidget(samples_);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto *name = new QLabel(label, box);
    name->setTextFormat(Qt::PlainText);
    name->setFont(monospaced(9));
    name->setForegroundRole(QPalette::PlaceholderText);
    auto *field = new QLineEdit(box);
    QFont font = field->font();
    font.setPointSizeF(10);
    field->setFont(font);
    field->setFixedWidth(90);
    row->addWidget(name);
    row->addWidget(field);
    connect(field, &QLineEdit::textEdited, this, [this, key](const QString &text) {
        if (state_)
            state_->setSampleValue(key, text);
    });
    return box;
}

void ExpressionTestPanel::syncSampleBoxes()
{
    // Boxes are kept by label and reused, so typing in one never loses its text.
    QStringList labels;
    QStringList keys;
    for (const ReportField &field : referencedFields()) {
        labels.append(u"$F{"_s + field.name + u"}"_s);
        keys.append(field.name);
    }
    for (const ReportParameter &parameter : referencedParameters()) {
        labels.append(u"$P{"_s + parameter.name + u"}"_s);
        keys.append(parameter.name);
    }
    for (auto it = boxes_.begin(); it != boxes_.end();) {
        if (labels.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        it = boxes_.erase(it);
    }
    while (sampleFlow_->count() > 0)
        delete sampleFlow_->takeAt(0);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        QWidget *&box = boxes_[labels[i]];
        if (!box)
            box = sampleValueField(labels[i], keys[i]);
        sampleFlow_->addWidget(box);
        QLineEdit *field = box->findChild<QLineEdit *>();
        const QString value = state_ ? state_->sampleValues().value(keys[i]) : QString();
        if (field->text() != value)
            field->setText(value);
    }
    const bool any = !labels.isEmpty();
    caption_->setVisible(any);
    samples_->setVisible(any);
}

void ExpressionTestPanel::refresh()
{
    const bool running = state_ && state_->isRunning();
    run_->setVisible(!running);
    run_->setEnabled(!expression_.isEmpty());
    spinner_->setVisible(running);
    syncSampleBoxes();

    const std::optional<QString> value = state_ ? state_->resultValue() : std::nullopt;
    resultRow_->setVisible(value.has_value());
    result_->setText(u"= "_s + value.value_or(QString()));

    const std::optional<QString> message = state_ ? state_->errorMessage() : std::nullopt;
    errorRow_->setVisible(message.has_value());
    if (!message)
        detailsToggle_->setChecked(false); // the next error shows its details closed
    if (message) {
        const std::optional<QString> advice = FriendlyErrorTranslator::translate(*message);
        error_->setText(advice.value_or(*message));
        details_->setText(*message);
        detailsToggle_->setVisible(advice.has_value());
        details_->setVisible(advice.has_value() && detailsToggle_->isChecked());
    }
}
