#include "setup/NewReportWizardState.h"

#include "model/FreshName.h"
#include "model/Identifiers.h"

#include <utility>

namespace {

template <typename T> bool assignIfChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

NewReportWizardState::NewReportWizardState(QObject *parent) : QObject(parent) {}

void NewReportWizardState::setPreset(PageFormatPreset preset)
{
    if (assignIfChanged(preset_, preset))
        emit presetChanged();
}

void NewReportWizardState::setCustomWidth(double width)
{
    if (assignIfChanged(customWidth_, width))
        emit customWidthChanged();
}

void NewReportWizardState::setCustomHeight(double height)
{
    if (assignIfChanged(customHeight_, height))
        emit customHeightChanged();
}

void NewReportWizardState::setHeaderStyle(StarterHeaderStyle style)
{
    if (assignIfChanged(headerStyle_, style))
        emit headerStyleChanged();
}

void NewReportWizardState::setStyles(const QList<ReportStyle> &styles)
{
    if (assignIfChanged(styles_, styles))
        emit stylesChanged();
}

PageSize NewReportWizardState::resolvedSize() const
{
    return PageFormatPresets::size(preset_).value_or(PageSize{customWidth_, customHeight_});
}

void NewReportWizardState::reset(double defaultWidth, double defaultHeight)
{
    setPreset(PageFormatPresets::matching(defaultWidth, defaultHeight));
    setCustomWidth(defaultWidth);
    setCustomHeight(defaultHeight);
    setStyles({});
}

void NewReportWizardState::addStyle()
{
    ReportStyle style;
    style.name = firstFreeName(QStringLiteral("Style"), styles_);
    setStyles(styles_ + QList<ReportStyle>{style});
}

void NewReportWizardState::addImportedStyle(const ReportStyle &style)
{
    ReportStyle copy = style;
    copy.id = newId();
    copy.isDefault = false;
    setStyles(styles_ + QList<ReportStyle>{copy});
}

void NewReportWizardState::replaceStyle(qsizetype index, const ReportStyle &style)
{
    if (index < 0 || index >= styles_.size())
        return;
    QList<ReportStyle> styles = styles_;
    styles[index] = style;
    setStyles(styles);
}

void NewReportWizardState::moveStyle(qsizetype index, int offset)
{
    const qsizetype other = index + offset;
    if (index < 0 || index >= styles_.size() || other < 0 || other >= styles_.size())
        return;
    QList<ReportStyle> styles = styles_;
    styles.swapItemsAt(index, other);
    setStyles(styles);
}

void NewReportWizardState::removeStyle(qsizetype index)
{
    if (index < 0 || index >= styles_.size())
        return;
    QList<ReportStyle> styles = styles_;
    styles.removeAt(index);
    setStyles(styles);
}
