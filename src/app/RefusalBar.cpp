#include "app/RefusalBar.h"

#include "document/DocumentStore.h"
#include "edits/LengthLimits.h"
#include "model/ReportParts.h"
#include "widgets/BandHiding.h"
#include "workspace/AppSettings.h"

RefusalBar::RefusalBar(AppSettings &settings, QWidget *parent)
    : NoticeBar(parent), settings_(settings)
{
    setObjectName(QStringLiteral("RefusalBar"));
}

void RefusalBar::setStore(DocumentStore *store)
{
    if (store == store_)
        return;
    disconnect(refused_);
    disconnect(limited_);
    disconnect(noBand_);
    disconnect(noRoom_);
    disconnect(saveFailed_);
    disconnect(subreportFailed_);
    disconnect(lacked_);
    disconnect(fitted_);
    disconnect(changed_);
    tell({});
    store_ = store;
    if (!store)
        return;
    refused_ = connect(
        store, &DocumentStore::insertRefused, this,
        [this](const BandTarget &target, double height) {
            if (store_)
                tell(LengthLimits::bandHeight(*store_, target, height, settings_.measurementUnit())
                         .message);
        });
    limited_ = connect(store, &DocumentStore::bandLimitReached, this,
                       [this](const BandTarget &, double largest) {
                           tell(LengthLimits::bandLimitWords(largest, settings_.measurementUnit()));
                       });
    noBand_ =
        connect(store, &DocumentStore::bandTakesNoElements, this, [this](const BandTarget &target) {
            if (!store_)
                return;
            const QString band = store_->label(target);
            tell(ReportParts::isPartReport(store_->document())
                     ? ReportParts::noElementsMessage(band)
                     : BandHiding::noElementsMessage(band));
        });
    noRoom_ = connect(store, &DocumentStore::containerHasNoRoom, this, [this](const QUuid &id) {
        const std::optional<ReportElement> container = store_ ? store_->element(id) : std::nullopt;
        if (container)
            tell(LengthLimits::noRoomWords(*container, settings_.measurementUnit()));
    });
    saveFailed_ = connect(store, &DocumentStore::promptedSaveFailed, this,
                          [this](const QString &message) { tell(message); });
    subreportFailed_ = connect(store, &DocumentStore::subreportFileFailed, this,
                               [this](const QString &message) { tell(message); });
    lacked_ = connect(store, &DocumentStore::namesLacked, this,
                      [this](const QString &words) { tell(words); });
    fitted_ = connect(store, &DocumentStore::untouchedFitted, this,
                      [this](const QString &words) { tell(words); });
    changed_ = connect(store, &DocumentStore::documentChanged, this, [this] { tell({}); });
}
