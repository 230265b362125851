#pragma once

#include "model/ReportDocument.h"
#include "setup/PageFormatPreset.h"
#include "setup/StarterHeaderStyle.h"

#include <QList>
#include <QObject>

// The choices of the new-report wizard while it is shown: the paper, a custom size, the starter
// header and the styles prepared for the new report, in display order. Every change is
// announced. The values are never stored in the preferences. Main thread only.
class NewReportWizardState : public QObject {
    Q_OBJECT

public:
    explicit NewReportWizardState(QObject *parent = nullptr);

    PageFormatPreset preset() const { return preset_; }
    void setPreset(PageFormatPreset preset);
    double customWidth() const { return customWidth_; }
    void setCustomWidth(double width);
    double customHeight() const { return customHeight_; }
    void setCustomHeight(double height);
    StarterHeaderStyle headerStyle() const { return headerStyle_; }
    void setHeaderStyle(StarterHeaderStyle style);
    const QList<ReportStyle> &styles() const { return styles_; }
    void setStyles(const QList<ReportStyle> &styles);

    // The preset's size, or the custom width and height as they stand (unchecked).
    PageSize resolvedSize() const;
    // The preset matching the default size (or Custom), the custom size set to it and no
    // styles; the header style stays.
    void reset(double defaultWidth, double defaultHeight);

    // The wizard's style actions. "Add Style": a new style named "Style" and the count after
    // the append. An imported style is appended as a copy with a fresh id and without the
    // default flag. Replacing, moving and removing ignore positions outside the list.
    void addStyle();
    void addImportedStyle(const ReportStyle &style);
    void replaceStyle(qsizetype index, const ReportStyle &style);
    void moveStyle(qsizetype index, int offset);
    void removeStyle(qsizetype index);

signals:
    void presetChanged();
    void customWidthChanged();
    void customHeightChanged();
    void headerStyleChanged();
    void stylesChanged();

private:
    PageFormatPreset preset_ = PageFormatPreset::a4Portrait;
    double customWidth_ = 595;
    double customHeight_ = 842;
    StarterHeaderStyle headerStyle_ = StarterHeaderStyle::none;
    QList<ReportStyle> styles_;
};
