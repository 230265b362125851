#pragma once

#include "Identifiers.h"
#include "KeptXml.h"
#include "ReportElement.h"

#include <QHashFunctions>
#include <functional>

// One band section of the page.
struct ReportBand {
    QUuid id = newId();
    BandType type = BandType::detail;
    double height = 0;
    ElementList elements; // top level, back to front
    bool isPresent = true;
    std::optional<QString> printWhenExpression;
    KeptParts kept; // what the file held that the model does not

    // The band a new document and a new detail section start with.
    static ReportBand defaultDetailBand();

    bool operator==(const ReportBand &) const = default;
};

// The address of one band-like section: a standard band by type, a detail band by id, or a
// group's header or footer by the group's id. It names the section; it may name one that no
// longer exists.
class BandTarget {
public:
    enum class Case { standard, detailBand, groupHeader, groupFooter };

    static BandTarget standard(BandType type) { return BandTarget(Case::standard, type, {}); }
    static BandTarget detailBand(const QUuid &id)
    {
        return {Case::detailBand, BandType::detail, id};
    }
    static BandTarget groupHeader(const QUuid &id)
    {
        return {Case::groupHeader, BandType::detail, id};
    }
    static BandTarget groupFooter(const QUuid &id)
    {
        return {Case::groupFooter, BandType::detail, id};
    }

    Case kind() const { return case_; }
    // The band type of a standard target.
    BandType bandType() const { return type_; }
    // The detail band's or group's id; null for a standard target.
    QUuid uuid() const { return uuid_; }

    // "standard.pageHeader", "detailBand.<UUID>", "groupHeader.<UUID>", "groupFooter.<UUID>".
    QString id() const;

    bool operator==(const BandTarget &other) const
    {
        return case_ == other.case_ &&
               (case_ == Case::standard ? type_ == other.type_ : uuid_ == other.uuid_);
    }

private:
    BandTarget(Case c, BandType type, const QUuid &uuid) : case_(c), type_(type), uuid_(uuid) {}

    Case case_;
    BandType type_;
    QUuid uuid_;
};

size_t qHash(const BandTarget &target, size_t seed = 0) noexcept;

template <> struct std::hash<BandTarget> {
    size_t operator()(const BandTarget &t) const noexcept { return qHash(t); }
};
