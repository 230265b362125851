#include "inspector/EvaluationTimeControls.h"

#include "editors/ExpressionScope.h"
#include "inspector/CardChoices.h"
#include "inspector/InspectorTexts.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int captionWidth = 60;

} // namespace

EvaluationTimeControls::EvaluationTimeControls(const ElementWriter &writer, const QString &prefix,
                                               QWidget *parent)
    : QWidget(parent), writer_(writer), time_(new QComboBox(this)),
      note_(InspectorRows::secondaryText(InspectorTexts::subreportEvaluationNote(), this)),
      groupRow_(new QWidget(this)), group_(new QComboBox(groupRow_))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(SectionCard::spacing);

    time_->setObjectName(prefix + u".evaluationTime"_s);
    WheelGuard::ignoreUnlessFocused(time_);
    WheelGuard::ignoreUnlessFocused(group_);
    time_->setToolTip(InspectorTexts::evaluationTimeHelp());
    column->addWidget(InspectorRows::pickerRow(u"Evaluation Time"_s, time_, this));
    connect(time_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            choose(time_->itemText(index));
    });
    note_->setObjectName(prefix + u".note"_s);
    note_->hide();
    column->addWidget(note_);

    groupRow_->setObjectName(prefix + u".groupRow"_s);
    auto *row = new QHBoxLayout(groupRow_);
    row->setContentsMargins(0, 0, 0, 0);
    auto *caption = new QLabel(u"Group"_s, groupRow_);
    caption->setTextFormat(Qt::PlainText);
    caption->setFixedWidth(captionWidth);
    row->addWidget(caption, 0, Qt::AlignVCenter);
    group_->setObjectName(prefix + u".group"_s);
    row->addWidget(group_, 1, Qt::AlignVCenter);
    column->addWidget(groupRow_);
    connect(group_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            CardChoices::chooseEvaluationGroup(writer_, group_->itemText(index));
    });
}

void EvaluationTimeControls::choose(const QString &time)
{
    CardChoices::chooseEvaluationTime(writer_, time);
}

void EvaluationTimeControls::refresh(const ReportElement &element, const ReportDocument &document)
{
    // An element inside a list runs in the list's dataset and is evaluated on its groups.
    const QStringList groups = expressions::groupsOfElement(document, element.id);
    const QStringList times =
        InspectorTexts::offeredEvaluationTimes(element.kind, element.evaluationTime);
    if (times != shownTimes_) {
        const QSignalBlocker blocker(time_);
        time_->clear();
        time_->addItems(times);
        shownTimes_ = times;
    }
    // "Group" stays in its place, greyed out while the element's dataset has no group to name.
    if (auto *model = qobject_cast<QStandardItemModel *>(time_->model())) {
        if (QStandardItem *item = model->item(int(times.indexOf(u"Group"_s))))
            item->setEnabled(!groups.isEmpty());
    }
    InspectorRows::showIndex(time_, int(times.indexOf(element.evaluationTime)));
    note_->setVisible(element.kind.is<ElementKind::Subreport>());
    groupRow_->setVisible(element.evaluationTime == u"Group"_s);

    if (groups != shownGroups_) {
        const QSignalBlocker blocker(group_);
        group_->clear();
        group_->addItems(groups);
        shownGroups_ = groups;
    }
    const QString shown = element.evaluationGroup.value_or(groups.value(0));
    InspectorRows::showIndex(group_, int(groups.indexOf(shown)));
}

EvaluationCard::EvaluationCard(const ElementWriter &writer, const QString &title, QWidget *parent)
    : SectionCard(title, parent),
      controls_(new EvaluationTimeControls(writer, u"inspector.evaluation"_s, this))
{
    setObjectName(u"inspector.evaluation"_s);
    addWidget(controls_);
}

void EvaluationCard::refresh(const ReportElement &element, const ReportDocument &document)
{
    controls_->refresh(element, document);
}
