#include "app/ReaderWarningsBar.h"

#include "document/DocumentStore.h"
#include "widgets/SymbolIcons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ReaderWarningsBar::ReaderWarningsBar(QWidget *parent) : QWidget(parent), label_(new QLabel(this))
{
    setObjectName(QStringLiteral("ReaderWarningsBar"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);
    auto *icon = new QLabel(this);
    icon->setPixmap(SymbolIcons::icon(QStringLiteral("exclamationmark.triangle")).pixmap(16));
    icon->setProperty(SymbolIcons::symbolProperty, QStringLiteral("exclamationmark.triangle"));
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *close = new QPushButton(QStringLiteral("Dismiss"), this);
    connect(close, &QPushButton::clicked, this, &ReaderWarningsBar::dismiss);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(label_, 1);
    row->addWidget(close, 0, Qt::AlignTop);
    hide();
}

void ReaderWarningsBar::showFor(DocumentStore *store)
{
    store_ = store;
    const bool show =
        store && !store->readerWarnings().isEmpty() && !dismissed_.contains(store->id());
    if (show) {
        const QString name =
            store->fileURL() ? store->fileURL()->fileName() : store->document().name;
        label_->setText(QStringLiteral("Some content of \u201C%1\u201D was not kept when it was "
                                       "opened; saving writes the report without it:\n")
                            .arg(name) +
                        store->readerWarnings().join(QLatin1Char('\n')));
    }
    setVisible(show);
}

QString ReaderWarningsBar::text() const
{
    return isVisible() ? label_->text() : QString();
}

void ReaderWarningsBar::dismiss()
{
    if (store_)
        dismissed_.insert(store_->id());
    hide();
}
