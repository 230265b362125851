#pragma once

#include "document/DocumentStore.h"
#include "model/ReportDocument.h"

#include <QList>
#include <QObject>
#include <QString>

// What the random edits pick from: the report's elements and bands as the canvas shows them.
namespace randomedits {

// An element at any depth (in frames and lists), with the band that holds it or its outermost
// container.
struct Placed {
    ReportElement element;
    BandTarget band;
    bool topLevel = false;
};
QList<Placed> placedElements(const ReportDocument &document);

// The elements the store's element operations reach: in every section, in frames and lists.
QList<ReportElement> elementsOf(const ReportDocument &document);

// Every band that holds elements: the standard bands, the detail bands, the groups' bands.
QList<BandTarget> targetsOf(const ReportDocument &document);
// Whether a save writes the band of `target`: the first standard band of its type while it is
// shown, a detail band, a group's header or footer. A hidden band is left out of the file with
// everything in it.
bool isWritten(const ReportDocument &document, const BandTarget &target);

// "what 'name'", as a failure message shows it.
QString describe(const QString &what, const QString &name);
// "Kind at x, y", and with the band that holds it, as a failure message shows an element.
QString placeOf(const ReportElement &element);
QString whereOf(const Placed &placed);

// Counts what the store says when it adds nothing, while it lives.
class Refusals {
public:
    explicit Refusals(DocumentStore &store)
    {
        const auto count = [this] { ++said_; };
        connections_ = {
            QObject::connect(&store, &DocumentStore::insertRefused, &store, count),
            QObject::connect(&store, &DocumentStore::bandLimitReached, &store, count),
            QObject::connect(&store, &DocumentStore::bandTakesNoElements, &store, count),
            QObject::connect(&store, &DocumentStore::containerHasNoRoom, &store, count)};
    }
    ~Refusals()
    {
        for (const QMetaObject::Connection &connection : std::as_const(connections_))
            QObject::disconnect(connection);
    }
    Refusals(const Refusals &) = delete;
    Refusals &operator=(const Refusals &) = delete;
    bool said() const { return said_ > 0; }

private:
    int said_ = 0;
    QList<QMetaObject::Connection> connections_;
};

} // namespace randomedits
