#include "MeasurementField.h"

#include "model/PageLayout.h"
#include "widgets/CardText.h"
#include "widgets/HeldTyping.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <cmath>

namespace {

// What every length field refuses: a length no report file can carry.
LengthVerdict carriable(double points)
{
    if (std::abs(points) > PageLayout::largestLength)
        return LengthVerdict::refuse(
            QStringLiteral("No report holds a length this large: at most %1 points.")
                .arg(qint64(PageLayout::largestLength)));
    return LengthVerdict::accept(points);
}

} // namespace

MeasurementField::MeasurementField(const QString &label, double points, MeasurementUnit unit,
                                   int labelWidth, std::function<void(double)> onCommit,
                                   QWidget *parent)
    : QWidget(parent), points_(points), unit_(unit), onCommit_(std::move(onCommit)),
      caption_(new QLabel(label, this)), edit_(new QLineEdit(this)), suffix_(new QLabel(this)),
      message_(new QLabel(this))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    message_->hide();
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    message_->setFont(CardText::sized(message_->font(), CardText::captionPointSize));
    paintMessage();
    column->addWidget(message_);
    caption_->setFixedWidth(labelWidth);
    caption_->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    QFont small = suffix_->font();
    small.setPointSize(9);
    suffix_->setFont(small);
    suffix_->setForegroundRole(QPalette::PlaceholderText);
    row->addWidget(caption_);
    row->addWidget(edit_, 1);
    row->addWidget(suffix_);
    connect(edit_, &QLineEdit::editingFinished, this, [this] { commit(); });
    HeldTyping::install(edit_, [this] { return measurement::format(points_, unit_, locale()); });
    // Return on a refused length stays in the field: the sheet's default button is not pressed
    // for a length that was not taken.
    edit_->installEventFilter(this);
    refresh();
}

void MeasurementField::setPoints(double points)
{
    if (points != points_ && !committing_)
        showMessage({});
    points_ = points;
    // Text the user is typing stays; a field the user only visits shows the new length.
    if (!edit_->hasFocus() || !edit_->isModified())
        refresh();
}

void MeasurementField::setUnit(MeasurementUnit unit)
{
    unit_ = unit;
    refresh();
}

void MeasurementField::setLabelWidth(int width)
{
    caption_->setFixedWidth(width);
}

bool MeasurementField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !commit())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool MeasurementField::commit()
{
    // Only what the user typed is committed: read back, the rounded text shown (20 points as
    // 7.06 mm) would give another length when the user merely passed through the field.
    if (!edit_->isModified())
        return true;
    const auto length = measurement::committedPoints(edit_->text(), points_, unit_, locale());
    bool taken = true;
    if (length) {
        LengthVerdict verdict = carriable(*length);
        if (verdict.points && check_)
            verdict = check_(*length, unit_);
        showMessage(verdict.message);
        taken = verdict.points.has_value();
        if (verdict.points && *verdict.points != points_) {
            points_ = *verdict.points;
            const QScopedValueRollback handing(committing_, true);
            if (onCommit_)
                onCommit_(points_);
        }
    }
    refresh();
    return taken;
}

QString MeasurementField::message() const
{
    return message_->isHidden() ? QString() : message_->text();
}

void MeasurementField::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintMessage();
}

void MeasurementField::paintMessage()
{
    QPalette palette = message_->palette();
    palette.setColor(QPalette::WindowText, CardText::warningColor(palette));
    message_->setPalette(palette);
}

void MeasurementField::showMessage(const QString &text)
{
    message_->setObjectName(objectName() + QStringLiteral(".message"));
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
}

void MeasurementField::refresh()
{
    // A field that already shows the text keeps its caret and selection; either way the user's
    // edit has ended.
    const QString shown = measurement::format(points_, unit_, locale());
    if (edit_->text() != shown)
        edit_->setText(shown);
    edit_->setModified(false);
    const QString text = measurement::suffix(unit_);
    suffix_->setText(text);
    suffix_->setVisible(!text.isEmpty());
}
