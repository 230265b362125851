#pragma once

#include "document/DocumentStoreTypes.h"
#include "model/ReportDocument.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>
#include <optional>

class DocumentStore;

// What the outline's rows mark as selected or active, read from a store.
struct OutlineSelection {
    bool isReportRootSelected = false;
    std::optional<InspectorDataSelection> selectedDataItem;
    QSet<QUuid> selectedFieldIDs;
    QSet<QUuid> selectedElementIDs;
    std::optional<BandTarget> activeBandTarget;

    static OutlineSelection of(const DocumentStore &store);
};

// The tint of an element row's icon.
enum class OutlineTint {
    primary,
    secondary,
    blue,
    green,
    orange,
    purple,
    indigo,
    red,
    pink,
    brown,
    grey
};

// One line of the outline, flattened: what it shows and what a click or menu on it addresses.
struct OutlineRow {
    enum class Kind { root, section, parameter, field, group, band, element };

    Kind kind = Kind::root;
    // The row's identity among the rows of one outline, stable over updates: "root",
    // "parameters", "fields", "param.<UUID>", "field.<UUID>", "group.<UUID>", "band.<target>",
    // "element.<UUID>".
    QString key;
    // Indentation levels before the row's parts.
    int depth = 0;
    // The collapse key of a row with a disclosure chevron; none for rows without one.
    std::optional<HashableKey> collapseKey;
    bool isExpanded = false;
    // Symbol name of the row's icon; none for band rows.
    QString icon;
    OutlineTint iconTint = OutlineTint::primary;
    QString label;
    // The trailing text: a band's height; empty for every other row.
    QString detail;
    // A standard band the report holds but does not print.
    bool isHidden = false;
    // The band is the active band; the report root is selected.
    bool isActive = false;
    // The parameter, field or element is selected.
    bool isSelected = false;
    // The parameter, field, group or element.
    QUuid id;
    // The band of a band row, and the band an element row's element lies on.
    std::optional<BandTarget> target;

    bool operator==(const OutlineRow &) const = default;
};

namespace OutlineRows {

// The collapse keys of the fixed nodes and of a group section.
QString rootKey();
QString parametersKey();
QString fieldsKey();
QString groupKey(const QUuid &groupID);

// The rows, top to bottom, for the report, the collapsed nodes and the selection.
QList<OutlineRow> build(const ReportDocument &document, const QSet<HashableKey> &collapsed,
                        const OutlineSelection &selection);

// Sets what `row` shows of the selection: the report root or a band active, a parameter, field
// or element selected.
void markSelection(OutlineRow &row, const OutlineSelection &selection);

// A band height as a whole number (truncated toward zero); empty for a height that is not a
// finite number or lies outside the integer range.
QString heightText(double height);

// Whether a standard band the report holds is set not to print. Detail and group bands never
// are, nor a band type the report lacks.
bool isBandHidden(const ReportDocument &document, const BandTarget &target);

// An element row's parts by kind.
QString icon(const ElementKind &kind);
OutlineTint iconTint(const ElementKind &kind);
QString label(const ReportElement &element);

} // namespace OutlineRows
