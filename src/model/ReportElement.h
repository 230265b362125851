#pragma once

#include "CopyOnWriteList.h"
#include "KeptXml.h"
#include "ReportEnums.h"
#include "SharedOptional.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <optional>
#include <variant>

struct ReportElement;

// The elements of a band or container, back to front. Snapshots share each element's value
// until one side changes it.
using ElementList = CopyOnWriteList<ReportElement>;

// A colour as "#RRGGBB", held exactly as given: the model does not check or normalise it.
struct ElementColor {
    QString hex;
    bool operator==(const ElementColor &) const = default;
};

// One side of an element's box.
struct BoxSidePen {
    double width = 1.0;
    std::optional<ElementColor> color;
    PenLineStyle style = PenLineStyle::solid;
    bool operator==(const BoxSidePen &) const = default;
};

// A parameter passed to a subreport, or a dataset parameter of a list or table.
struct SubreportParameter {
    QUuid id;
    QString name;
    QString expression;
    // What the file held on the parameter's element besides its name and expression.
    KeptXml kept;
    bool operator==(const SubreportParameter &) const = default;
};

// Style and box pen of one table cell; no value means the cell sets nothing.
struct TableCellFormatting {
    std::optional<QString> styleName;
    std::optional<double> boxPenWidth;
    std::optional<ElementColor> boxPenColor;
    // What the file held on the cell ("") and on its box ("box", "box/topPen"…) besides these.
    KeptParts kept;
    bool operator==(const TableCellFormatting &) const = default;
};

// One table column with its three cells, each holding at most one element.
struct ReportTableColumn {
    QUuid id;
    double width = 0;
    double columnHeaderHeight = 0;
    SharedOptional<ReportElement> columnHeaderElement;
    TableCellFormatting columnHeaderFormatting;
    double detailCellHeight = 0;
    SharedOptional<ReportElement> detailCellElement;
    TableCellFormatting detailCellFormatting;
    double columnFooterHeight = 0;
    SharedOptional<ReportElement> columnFooterElement;
    TableCellFormatting columnFooterFormatting;
    // What the file held on the column besides its width and three cells: its other attributes
    // (uuid…) and children (properties, table and group header and footer cells…).
    KeptParts kept;
    bool operator==(const ReportTableColumn &) const = default;

    // A new column: a fresh id, 100 points wide, three empty cells 20 points high, no formatting.
    static ReportTableColumn blank();
    // A new column for a table of these columns: blank, its cells as high as the table's rows
    // (the engine refuses a cell of another height than its row), 20 where the table has no
    // such row.
    static ReportTableColumn blankFor(const QList<ReportTableColumn> &columns);

    // One of the column's three cells, each in the table's row of its kind.
    enum class Cell { header, detail, footer };
    double &height(Cell cell);
    double height(Cell cell) const;
    SharedOptional<ReportElement> &element(Cell cell);
    const SharedOptional<ReportElement> &element(Cell cell) const;
    TableCellFormatting &formatting(Cell cell);
    const TableCellFormatting &formatting(Cell cell) const;
    // Whether the file holds the cell: the detail cell always, a header or footer cell when it
    // holds an element or formatting.
    bool holds(Cell cell) const;
    // The first of the columns, other than `except`, whose file holds that cell: the one whose
    // cell gives the row its height; null where none does.
    static const ReportTableColumn *rowOf(const QList<ReportTableColumn> &columns, Cell cell,
                                          const QUuid &except = {});
    // The column's cell takes the height and row span of its row's other cells (the engine
    // refuses a row whose cells differ in either); it keeps its own where no other column
    // holds a cell in the row.
    void joinRow(const QList<ReportTableColumn> &columns, Cell cell);
};

// What an element is, with its payload.
struct ElementKind {
    struct StaticText {
        QString text;
        bool operator==(const StaticText &) const = default;
    };
    struct TextField {
        QString expression;
        bool operator==(const TextField &) const = default;
    };
    struct Image {
        QString expression;
        bool operator==(const Image &) const = default;
    };
    struct Subreport {
        QString expression;
        std::optional<QString> connectionExpression;
        std::optional<QString> dataSourceExpression;
        QList<SubreportParameter> parameters;
        bool operator==(const Subreport &) const = default;
    };
    struct Frame {
        ElementList children;
        bool operator==(const Frame &) const;
    };
    struct List {
        QString datasetName;
        QString connectionExpression;
        PrintOrder printOrder = PrintOrder::vertical;
        QList<SubreportParameter> parameters;
        ElementList children;
        // The prefix the file binds to the components namespace for the list, when it is not
        // "jr" (the writer's own).
        QString prefix;
        // What the file held on the list ("": other attributes and children) and on its dataset
        // run ("datasetRun": uuid, data source expression…).
        KeptParts kept;
        bool operator==(const List &) const;
    };
    struct Table {
        QString datasetName;
        QString connectionExpression;
        QList<SubreportParameter> parameters;
        QList<ReportTableColumn> columns;
        // A column group of the file, which the model does not hold, as it was written, with the
        // column it stood before (none: after the last column).
        struct KeptColumnGroup {
            std::optional<QUuid> beforeColumn;
            QString xml;
            bool operator==(const KeptColumnGroup &) const = default;
        };
        QList<KeptColumnGroup> keptColumnGroups;
        // The prefix the file binds to the components namespace for the table, when it is not
        // "jr" (the writer's own).
        QString prefix;
        // What the file held on the table ("": other attributes, the table's own rows and no-data
        // cell) and on its dataset run ("datasetRun": uuid, data source expression…).
        KeptParts kept;
        // For a copy: fresh column identifiers (the column groups keep their places) and none of
        // the file's identifiers kept with the table, its columns and cells. The cells' elements
        // are the caller's.
        void renewIdentifiers();
        bool operator==(const Table &) const = default;
    };
    struct ReportBreak {
        BreakType type = BreakType::page;
        bool operator==(const ReportBreak &) const = default;
    };
    // Charts, crosstabs, other components and generic elements keep their XML as text and
    // write it back unchanged.
    struct Chart {
        QString tag;
        QString chartAttrs;
        QString chartBodyXML;
        QString siblingXML;
        bool operator==(const Chart &) const = default;
    };
    struct Crosstab {
        QString crosstabAttrs;
        QString bodyXML;
        bool operator==(const Crosstab &) const = default;
    };
    struct ComponentPlaceholder {
        QString tag;
        QString componentXML;
        bool operator==(const ComponentPlaceholder &) const = default;
    };
    struct GenericElement {
        QString elementAttrs;
        QString bodyXML;
        bool operator==(const GenericElement &) const = default;
    };
    struct Rectangle {
        bool operator==(const Rectangle &) const = default;
    };
    struct Ellipse {
        bool operator==(const Ellipse &) const = default;
    };
    struct Line {
        bool operator==(const Line &) const = default;
    };

    using Payload = std::variant<StaticText, TextField, Image, Subreport, Frame, List, Table,
                                 ReportBreak, Chart, Crosstab, ComponentPlaceholder, GenericElement,
                                 Rectangle, Ellipse, Line>;

    Payload payload = Rectangle{};

    ElementKind() = default;
    template <typename P>
    requires std::is_constructible_v<Payload, P &&> ElementKind(P &&p) : payload(std::forward<P>(p))
    {
    }

    template <typename P> bool is() const { return std::holds_alternative<P>(payload); }
    template <typename P> const P *as() const { return std::get_if<P>(&payload); }
    template <typename P> P *as() { return std::get_if<P>(&payload); }

    // The children of a frame or list; null for every other kind.
    const ElementList *children() const;
    ElementList *children();

    bool isTextKind() const { return is<StaticText>() || is<TextField>(); }
    // Whether the element's own tag carries `evaluationTime` and `evaluationGroup`: text fields
    // and images, and subreports as a file may spell them (the engine takes none there).
    bool hasEvaluationTime() const { return is<TextField>() || is<Image>() || is<Subreport>(); }

    // The name shown at the head of the element's inspector.
    QString displayName() const;

    bool operator==(const ElementKind &) const = default;
};

// An element group of the file that an element stands in. Groups are numbered from 1 in order
// among the groups of the same parent; what the group's own XML element holds besides report
// elements (attributes, unknown children, groups without elements) is kept with it.
struct ElementGroupLevel {
    int ordinal = 0;
    KeptXml kept;
    bool operator==(const ElementGroupLevel &) const = default;
};

// One positioned element. x and y are measured from the top-left of the section or container
// that holds it.
struct ReportElement {
    QUuid id;
    ElementKind kind;
    std::optional<QString> styleName;
    double x = 0;
    double y = 0;
    double width = 100;
    double height = 20;
    QString fontName = QStringLiteral("SansSerif");
    double fontSize = 10;
    bool isBold = false;
    bool isItalic = false;
    bool isUnderline = false;
    TextAlignment textAlignment = TextAlignment::left;
    VerticalTextAlignment verticalAlignment = VerticalTextAlignment::top;
    std::optional<ElementColor> foreColor;
    std::optional<ElementColor> backColor;
    double penWidth = 1.0;
    std::optional<QString> pdfFontName;
    std::optional<QString> pdfEncoding;
    bool isPdfEmbedded = false;
    std::optional<QString> markup;
    QString evaluationTime = QStringLiteral("Now");
    std::optional<QString> evaluationGroup;
    std::optional<QString> pattern;
    bool isBlankWhenNull = false;
    StretchType stretchType = StretchType::noStretch;
    PositionType positionType = PositionType::fixRelativeToTop;
    std::optional<TextAdjust> textAdjust;
    std::optional<QString> printWhenExpression;
    std::optional<QString> hyperlinkExpression;
    double paddingLeft = 0;
    double paddingRight = 0;
    double paddingTop = 0;
    double paddingBottom = 0;
    std::optional<BoxSidePen> topPen;
    std::optional<BoxSidePen> leftPen;
    std::optional<BoxSidePen> bottomPen;
    std::optional<BoxSidePen> rightPen;
    bool isUsingCache = true;
    bool runToBottom = true;
    std::optional<QString> overflowType;
    std::optional<WhenNoDataType> tableWhenNoDataType;
    // What the file held of the element that the model does not, by part ("reportElement",
    // "box", "textElement/font"…); copies carry it along.
    KeptParts kept;
    // The element groups it stands in within its band or container, outermost first. Elements
    // next to each other with the same groups are written inside one group element; an element
    // placed in another band or container, or a copy, leaves its groups.
    QList<ElementGroupLevel> elementGroups;

    bool operator==(const ReportElement &) const = default;

    // The width and height the engine lays the element out and checks it with: a line's side
    // that the file carries as 0 is one point there. The model holds the 0 the file or the user
    // gave, so that it is written back as given; whatever shows, measures, places or checks the
    // element takes these.
    double printedWidth() const;
    double printedHeight() const;
};
