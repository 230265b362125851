#include "inspector/BandInspector.h"

#include "document/DocumentStore.h"
#include "edits/InspectorEdits.h"
#include "edits/LengthLimits.h"
#include "inspector/InspectorTexts.h"
#include "inspector/SectionCard.h"
#include "model/ReportParts.h"
#include "widgets/InspectorRows.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

BandInspector::BandInspector(const InspectorContext &context, const BandTarget &band,
                             QWidget *parent)
    : InspectorPage(parent), store_(context.store), band_(band),
      header_(InspectorRows::heading({}, this))
{
    setObjectName(u"inspector.band"_s);
    header_->setObjectName(u"inspector.band.header"_s);
    auto *frame = new SectionCard(u"Frame"_s, this);
    frame->setObjectName(u"inspector.band.frame"_s);
    height_ = new LengthRow(
        u"Height"_s, store_->height(band_), *context.settings,
        [this](double value) {
            if (store_)
                InspectorEdits::setBandHeight(*store_, band_, value);
        },
        frame);
    height_->setObjectName(u"inspector.band.height"_s);
    height_->setCheck([this](double value, MeasurementUnit unit) {
        if (!store_)
            return LengthVerdict::accept(value);
        return LengthLimits::bandHeight(*store_, band_, value, unit);
    });
    frame->addWidget(height_);
    hint_ = InspectorRows::secondaryText(InspectorTexts::bandHint(), this);
    hint_->setObjectName(u"inspector.band.hint"_s);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(header_);
    column->addWidget(frame);
    column->addWidget(hint_);
}

void BandInspector::refresh(const DocumentStore &store, const InspectorChoice &)
{
    header_->setText(InspectorTexts::bandHeader(store.label(band_)));
    height_->setPoints(store.height(band_));
    // A report of parts takes no element from the palette.
    hint_->setText(ReportParts::isPartReport(store.document())
                       ? ReportParts::noElementsMessage(store.label(band_))
                       : InspectorTexts::bandHint());
}
