#pragma once

#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QWidget>

class DocumentStore;
class QLabel;

// The bar above the working area that tells the user what the reader did not keep of the
// active report, once per opening: dismissing it, or opening the file again, ends it.
class ReaderWarningsBar : public QWidget {
    Q_OBJECT

public:
    explicit ReaderWarningsBar(QWidget *parent = nullptr);

    // Shows the store's warnings unless they were dismissed already.
    void showFor(DocumentStore *store);
    QString text() const;

private:
    void dismiss();

    QLabel *label_;
    QPointer<DocumentStore> store_;
    QSet<QUuid> dismissed_;
};
