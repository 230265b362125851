#pragma once

#include "app/NoticeBar.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QUuid>

class DocumentStore;

// The bar above the working area that tells the user what the reader did not keep of the
// active report, once per opening: dismissing it, or opening the file again, ends it. It also
// tells, while the report holds it, what a report read in the older form (a DOCTYPE line, no
// namespace) now holds that this form cannot, so that saving writes the namespace form with a new
// header; dismissed, that stays away until the report needs the change for something else.
class ReaderWarningsBar : public NoticeBar {
    Q_OBJECT

public:
    explicit ReaderWarningsBar(QWidget *parent = nullptr);

    // Shows the store's warnings unless they were dismissed already, and follows its report.
    void showFor(DocumentStore *store);

    // What the bar says of the header of `fileName` when the report holds what the older form
    // cannot (`refusals`, JrxmlCodec::olderFormRefusals); empty without refusals.
    static QString headerChangeWords(const QString &fileName, const QStringList &refusals);

protected:
    void dismiss() override;

private:
    // Tells again what holds for the store now; at most once for each turn of the event loop.
    void refreshSoon();
    void refresh();
    QString fileName() const;

    QPointer<DocumentStore> store_;
    QMetaObject::Connection changed_;
    bool refreshPending_ = false;
    // By store: its reader warnings dismissed, and the header words dismissed.
    QSet<QUuid> dismissed_;
    QHash<QUuid, QString> headerDismissed_;
    // The header words shown now.
    QString headerWords_;
};
