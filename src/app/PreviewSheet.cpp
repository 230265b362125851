#include "app/PreviewSheet.h"

#include "app/ErrorDisplay.h"
#include "engine/PDFPreviewView.h"
#include "engine/SidecarModel.h"
#include "widgets/SheetHeader.h"
#include "widgets/Spinner.h"
#include "widgets/SymbolIcons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

void useSecondaryColour(QWidget *widget, qreal scale)
{
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    widget->setFont(font);
    widget->setForegroundRole(QPalette::PlaceholderText);
}

} // namespace

PreviewSheet::PreviewSheet(SidecarModel &engine, QWidget *parent)
    : QWidget(parent), engine_(engine), body_(new QStackedWidget(this)),
      errorArea_(new QScrollArea(this))
{
    setObjectName(u"PreviewSheetContent"_s);
    auto *close = new QPushButton(u"Close"_s, this);
    close->setAutoDefault(false);
    errorArea_->setWidgetResizable(true);
    errorArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    errorArea_->setFrameShape(QFrame::NoFrame);
    body_->addWidget(buildProgress());
    body_->addWidget(errorArea_);
    body_->addWidget(buildResult());

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(sheetHeader(u"Preview"_s, {close}, this));
    column->addWidget(body_, 1);

    connect(close, &QPushButton::clicked, &engine_,
            [this] { engine_.setPreviewSession(std::nullopt); });
    for (auto changed : {&SidecarModel::isRenderingChanged, &SidecarModel::errorMessageChanged,
                         &SidecarModel::lastRenderStatsChanged})
        connect(&engine_, changed, this, &PreviewSheet::refresh);
    // Every published PDF is read afresh, also when a run writes to the same place again.
    connect(&engine_, &SidecarModel::pdfURLChanged, this,
            [this] { pdfView_->setUrl(engine_.pdfURL().value_or(QUrl())); });
    pdfView_->setUrl(engine_.pdfURL().value_or(QUrl()));
    refresh();
}

QWidget *PreviewSheet::buildProgress()
{
    auto *page = new QWidget(this);
    auto *label = new QLabel(u"Compiling & filling report…"_s, page);
    useSecondaryColour(label, 1.0);
    auto *column = new QVBoxLayout(page);
    column->setSpacing(12);
    column->addStretch(1);
    column->addWidget(new Spinner(32, page), 0, Qt::AlignHCenter);
    column->addWidget(label, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return page;
}

QWidget *PreviewSheet::buildResult()
{
    auto *page = new QWidget(this);
    statsRow_ = new QWidget(page);
    statsRow_->setObjectName(u"ReportStateLine"_s);
    auto *row = new QHBoxLayout(statsRow_);
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(12);
    for (const QString &symbol : {u"doc.plaintext"_s, u"hammer"_s, u"tablecells"_s}) {
        auto *item = new QHBoxLayout;
        item->setSpacing(4);
        auto *image = new QLabel(statsRow_);
        image->setPixmap(SymbolIcons::icon(symbol).pixmap(12, 12));
        image->setProperty("symbolName", symbol);
        auto *text = new QLabel(statsRow_);
        useSecondaryColour(text, 0.85);
        statsLabels_.append(text);
        item->addWidget(image);
        item->addWidget(text);
        row->addLayout(item);
    }
    row->addStretch(1);

    statsDivider_ = horizontalDivider(page);
    pdfView_ = new PDFPreviewView(page);

    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(statsRow_);
    column->addWidget(statsDivider_);
    column->addWidget(pdfView_, 1);
    return page;
}

QStringList PreviewSheet::reportStateTexts(const RenderStats &stats)
{
    return {QString::number(stats.pageCount) + u" page"_s + (stats.pageCount == 1 ? u""_s : u"s"_s),
            u"Compiled in "_s + QString::number(stats.compileMs) + u"ms"_s,
            u"Filled in "_s + QString::number(stats.fillMs) + u"ms"_s};
}

PreviewSheet::Body PreviewSheet::body() const
{
    return Body(body_->currentIndex());
}

void PreviewSheet::refresh()
{
    if (engine_.isRendering()) {
        body_->setCurrentIndex(int(Body::progress));
        return;
    }
    if (const auto &error = engine_.errorMessage()) {
        if (*error != shownError_ || !errorArea_->widget()) {
            shownError_ = *error;
            errorArea_->setWidget(new ErrorDisplay(*error, nullptr, report_ ? report_() : nullptr));
        }
        body_->setCurrentIndex(int(Body::error));
        return;
    }
    const auto &stats = engine_.lastRenderStats();
    statsRow_->setVisible(stats.has_value());
    statsDivider_->setVisible(stats.has_value());
    if (stats) {
        const QStringList texts = reportStateTexts(*stats);
        for (qsizetype i = 0; i < texts.size(); ++i)
            statsLabels_[i]->setText(texts[i]);
    }
    body_->setCurrentIndex(int(Body::result));
}
