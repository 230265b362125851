#include "app/ReaderWarningsBar.h"

#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"

#include <QTimer>

using namespace Qt::StringLiterals;

ReaderWarningsBar::ReaderWarningsBar(QWidget *parent) : NoticeBar(parent)
{
    setObjectName(QStringLiteral("ReaderWarningsBar"));
}

void ReaderWarningsBar::showFor(DocumentStore *store)
{
    if (store != store_) {
        disconnect(changed_);
        store_ = store;
        if (store)
            changed_ = connect(store, &DocumentStore::documentChanged, this,
                               &ReaderWarningsBar::refreshSoon);
    }
    refresh();
}

QString ReaderWarningsBar::headerChangeWords(const QString &fileName, const QStringList &refusals)
{
    if (refusals.isEmpty())
        return {};
    QString what = refusals.first();
    for (qsizetype i = 1; i < refusals.size(); ++i)
        what += (i + 1 == refusals.size() ? u" and "_s : u", "_s) + refusals.at(i);
    return u"\u201C%1\u201D is in the older form of a report, with a DOCTYPE line and no "
           u"namespace, which cannot hold %2. Saving writes it in the namespace form instead: "
           u"its header changes."_s.arg(fileName, what);
}

void ReaderWarningsBar::refreshSoon()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refresh();
    });
}

QString ReaderWarningsBar::fileName() const
{
    return store_->fileURL() ? store_->fileURL()->fileName() : store_->document().name;
}

void ReaderWarningsBar::refresh()
{
    headerWords_.clear();
    if (!store_) {
        tell({});
        return;
    }
    QStringList parts;
    if (!store_->readerWarnings().isEmpty() && !dismissed_.contains(store_->id())) {
        // Each line says what the report holds in place of what the file has, and so what a
        // save writes: content left out, a value read otherwise, text kept as it stands.
        parts.append(u"Some content of \u201C%1\u201D is not held as the file has it; saving "
                     u"writes the report as it is held here:\n"_s.arg(fileName()) +
                     store_->readerWarnings().join(QLatin1Char('\n')));
    }
    headerWords_ = headerChangeWords(fileName(), JrxmlCodec::olderFormRefusals(store_->document()));
    if (!headerWords_.isEmpty() && headerDismissed_.value(store_->id()) != headerWords_)
        parts.append(headerWords_);
    tell(parts.join(QLatin1Char('\n')));
}

void ReaderWarningsBar::dismiss()
{
    if (store_) {
        dismissed_.insert(store_->id());
        if (!headerWords_.isEmpty())
            headerDismissed_.insert(store_->id(), headerWords_);
    }
    NoticeBar::dismiss();
}
