#pragma once

#include "app/NoticeBar.h"

#include <QPointer>
#include <QSet>
#include <QUuid>

class DocumentStore;

// The bar above the working area that tells the user what the reader did not keep of the
// active report, once per opening: dismissing it, or opening the file again, ends it.
class ReaderWarningsBar : public NoticeBar {
    Q_OBJECT

public:
    explicit ReaderWarningsBar(QWidget *parent = nullptr);

    // Shows the store's warnings unless they were dismissed already.
    void showFor(DocumentStore *store);

protected:
    void dismiss() override;

private:
    QPointer<DocumentStore> store_;
    QSet<QUuid> dismissed_;
};
