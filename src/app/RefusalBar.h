#pragma once

#include "app/NoticeBar.h"

#include <QPointer>

class AppSettings;
class DocumentStore;

// The bar above the working area that tells why an edit of the active report added nothing: a
// paste, drop or duplicate of an element taller than its band may grow, a group, a detail band,
// columns or a band shown that the page does not hold, in the Band Height field's own words, or
// an insert into a report of parts, which takes no elements, or into a frame or list that leaves
// no room to print in, a gesture on what a hidden band holds; why a band shown stands lower than
// it was; why the save asked for before a subreport's file failed, or the subreport's file
// itself; what a paste, duplicate, snippet or dataset switch put where the dataset lacks what its
// expressions name; and what an edit fitted into a frame, list or table it did not touch. The
// next change of the report, another tab, or Dismiss ends it.
class RefusalBar : public NoticeBar {
    Q_OBJECT

public:
    explicit RefusalBar(AppSettings &settings, QWidget *parent = nullptr);

    // Follows the refusals of `store`, the active tab's; a bar about another store goes.
    void setStore(DocumentStore *store);

private:
    AppSettings &settings_;
    QPointer<DocumentStore> store_;
    QMetaObject::Connection refused_;
    QMetaObject::Connection limited_;
    QMetaObject::Connection noBand_;
    QMetaObject::Connection noRoom_;
    QMetaObject::Connection saveFailed_;
    QMetaObject::Connection subreportFailed_;
    QMetaObject::Connection lacked_;
    QMetaObject::Connection fitted_;
    QMetaObject::Connection changed_;
};
