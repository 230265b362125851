#include "datapanel/DataRowLines.h"

#include "editors/ExpressionBuilderButton.h"
#include "widgets/CardText.h"
#include "widgets/DataRowButtons.h"
#include "widgets/EnteredTextValidator.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DataRowLine::DataRowLine(int spacing, QWidget *parent)
    : QWidget(parent), line_(new QHBoxLayout(this))
{
    line_->setContentsMargins(0, 0, 0, 0);
    line_->setSpacing(spacing);
}

void DataRowLine::add(QWidget *control, int stretch)
{
    line_->addWidget(control, stretch, Qt::AlignVCenter);
}

void DataRowLine::addStretch()
{
    line_->addStretch(1);
}

DataRowLines::DataRowLines(DataListRow &row, int lineSpacing)
    : QWidget(&row), row_(row), lines_(new QVBoxLayout(this))
{
    lines_->setContentsMargins(0, 0, 0, 0);
    lines_->setSpacing(lineSpacing);
    row.addControl(this, u"lines"_s, 1);
}

DataRowLine *DataRowLines::addLine(double pointSize)
{
    auto *line = new DataRowLine(DataListRow::controlSpacing, this);
    if (pointSize > 0)
        line->setFont(CardText::sized(font(), pointSize));
    lines_->addWidget(line);
    // The warning under the name stands under the first line, which holds the name.
    if (lines_->count() == 1 && DataRowControls::takeFromLayout(row_.layout(), row_.nameWarning()))
        lines_->addWidget(row_.nameWarning());
    return line;
}

void DataRowLines::endWithRowButtons(DataRowLine *line)
{
    for (QWidget *button : {static_cast<QWidget *>(row_.moveButtons()),
                            static_cast<QWidget *>(row_.removeButton())}) {
        DataRowControls::takeFromLayout(row_.layout(), button);
        line->add(button);
    }
}

void DataRowLines::name(QWidget *control, const QString &name)
{
    row_.nameControl(control, name);
}

void DataRowLines::setRefresh(std::function<void(const ReportDocument &)> refresh)
{
    row_.setRefresh(std::move(refresh));
}

namespace DataRowControls {

bool takeFromLayout(QLayout *root, QWidget *widget)
{
    if (!root)
        return false;
    if (root->indexOf(widget) >= 0) {
        root->removeWidget(widget);
        return true;
    }
    for (int i = 0; i < root->count(); ++i)
        if (takeFromLayout(root->itemAt(i)->layout(), widget))
            return true;
    return false;
}

QLineEdit *textField(const QString &placeholder, int width, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setPlaceholderText(placeholder);
    EnteredTextValidator::install(field);
    if (width > 0)
        field->setFixedWidth(width);
    return field;
}

std::pair<QLineEdit *, ExpressionBuilderButton *>
expressionField(const QString &placeholder, std::function<QString()> read,
                std::function<void(const QString &)> write, DocumentStore *store,
                SidecarModel *sidecar, DataRowLine *line)
{
    QLineEdit *field = textField(placeholder, 0, line);
    QObject::connect(field, &QLineEdit::textEdited, field, write);
    auto *builder = new ExpressionBuilderButton(TextBinding{std::move(read), std::move(write)},
                                                store->document(), sidecar, line);
    // The builder offers the report as it is when it opens.
    builder->setDocumentSource([store = QPointer<DocumentStore>(store)] {
        return store ? store->document() : ReportDocument();
    });
    line->add(field, 1);
    line->add(builder);
    return {field, builder};
}

void showChecked(QCheckBox *box, bool checked)
{
    if (box->isChecked() != checked)
        box->setChecked(checked);
}

QWidget *labelled(const QString &label, QComboBox *picker, int width, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto *caption = new QLabel(label, box);
    row->addWidget(caption);
    picker->setParent(box);
    row->addWidget(picker, 1);
    // The picker never shrinks below its longest entry; the box grows for it instead.
    picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumWidth(width);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return box;
}

QComboBox *textPicker(const QStringList &entries, int width, QWidget *parent)
{
    auto *picker = new QComboBox(parent);
    WheelGuard::ignoreUnlessFocused(picker);
    for (const QString &entry : entries)
        picker->addItem(entry, entry);
    if (width > 0)
        picker->setFixedWidth(width);
    return picker;
}

void showValue(QComboBox *picker, const QString &value)
{
    InspectorRows::showIndex(picker, picker->findData(value));
}

void offerEntry(QComboBox *picker, const QString &value, bool offered)
{
    auto *model = qobject_cast<QStandardItemModel *>(picker->model());
    QStandardItem *entry = model ? model->item(picker->findData(value)) : nullptr;
    if (entry && entry->isEnabled() != offered)
        entry->setEnabled(offered);
}

} // namespace DataRowControls
