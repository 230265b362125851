#include "app/ReaderWarningsBar.h"

#include "document/DocumentStore.h"

ReaderWarningsBar::ReaderWarningsBar(QWidget *parent) : NoticeBar(parent)
{
    setObjectName(QStringLiteral("ReaderWarningsBar"));
}

void ReaderWarningsBar::showFor(DocumentStore *store)
{
    store_ = store;
    const bool show =
        store && !store->readerWarnings().isEmpty() && !dismissed_.contains(store->id());
    if (!show) {
        tell({});
        return;
    }
    const QString name = store->fileURL() ? store->fileURL()->fileName() : store->document().name;
    tell(QStringLiteral("Some content of \u201C%1\u201D was not kept when it was "
                        "opened; saving writes the report without it:\n")
             .arg(name) +
         store->readerWarnings().join(QLatin1Char('\n')));
}

void ReaderWarningsBar::dismiss()
{
    if (store_)
        dismissed_.insert(store_->id());
    NoticeBar::dismiss();
}
