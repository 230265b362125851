#pragma once

#include "ReportBand.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <optional>

struct ReportParameter {
    QUuid id = newId();
    QString name;
    QString className;
    std::optional<QString> defaultValueExpression;
    bool isForPrompting = false;
    std::optional<QString> parameterDescription;

    // The default shown (and prefilled) in the parameter prompt when the default expression is a
    // plain literal: a quoted text without its quotes, true or false, or a decimal number.
    std::optional<QString> literalDefaultDisplayValue() const;

    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportParameter &) const = default;
};

struct ReportField {
    QUuid id = newId();
    QString name;
    QString className;
    std::optional<QString> fieldDescription;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportField &) const = default;
};

struct ReportVariable {
    QUuid id = newId();
    QString name;
    QString className;
    QString calculation;
    QString resetType;
    std::optional<QString> resetGroup;
    std::optional<QString> incrementType;
    std::optional<QString> incrementGroup;
    QString expression;
    std::optional<QString> initialValueExpression;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportVariable &) const = default;
};

// A report group; its header and footer are held here, not as ReportBand values.
struct ReportGroup {
    QUuid id = newId();
    QString name;
    QString expression;
    bool isStartNewPage = false;
    bool isResetPageNumber = false;
    bool isReprintHeaderOnEachPage = false;
    bool isKeepTogether = false;
    bool isStartNewColumn = false;
    GroupFooterPosition footerPosition = GroupFooterPosition::normal;
    double headerHeight = 0;
    ElementList headerElements;
    double footerHeight = 0;
    ElementList footerElements;
    std::optional<QString> headerPrintWhenExpression;
    std::optional<QString> footerPrintWhenExpression;
    // The file had no header (footer) section; it stays out while it is as read.
    bool isHeaderAbsent = false;
    bool isFooterAbsent = false;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportGroup &) const = default;
};

struct ReportSortField {
    QUuid id = newId();
    QString name;
    SortFieldOrder order = SortFieldOrder::ascending;
    SortFieldType type = SortFieldType::field;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportSortField &) const = default;
};

struct ReportScriptlet {
    QUuid id = newId();
    QString name;
    QString className;
    std::optional<QString> scriptletDescription;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportScriptlet &) const = default;
};

struct ReportTemplate {
    QUuid id = newId();
    QString expression;
    QString className;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportTemplate &) const = default;
};

struct ReportSubDataset {
    QUuid id = newId();
    QString name;
    QList<ReportParameter> parameters;
    QString queryString;
    QString queryLanguage;
    QList<ReportField> fields;
    QList<ReportVariable> variables;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportSubDataset &) const = default;
};

// Overrides that apply while the condition holds; no value inherits the style's value.
struct ConditionalStyleRule {
    QUuid id = newId();
    QString conditionExpression;
    std::optional<QString> fontName;
    std::optional<double> fontSize;
    std::optional<bool> isBold;
    std::optional<bool> isItalic;
    std::optional<bool> isUnderline;
    std::optional<ElementColor> foreColor;
    std::optional<ElementColor> backColor;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ConditionalStyleRule &) const = default;
};

struct ReportStyle {
    QUuid id = newId();
    QString name;
    bool isDefault = false;
    QString fontName = QStringLiteral("SansSerif");
    double fontSize = 10;
    bool isBold = false;
    bool isItalic = false;
    bool isUnderline = false;
    TextAlignment textAlignment = TextAlignment::left;
    std::optional<ElementColor> foreColor;
    std::optional<ElementColor> backColor;
    double penWidth = 1.0;
    std::optional<QString> pdfFontName;
    std::optional<QString> pdfEncoding;
    bool isPdfEmbedded = false;
    QList<ConditionalStyleRule> conditionalStyles;
    KeptParts kept; // what the file held that the model does not
    bool operator==(const ReportStyle &) const = default;
};

// The whole report definition as one value. Lists are implicitly shared, so a copy costs a few
// reference counts and an edit copies only the lists on its path (of an element list only the
// element it changes, see ElementList).
struct ReportDocument {
    QString name;
    double pageWidth = 595;
    double pageHeight = 842;
    double columnWidth = 555;
    double leftMargin = 20;
    double rightMargin = 20;
    double topMargin = 20;
    double bottomMargin = 20;
    QList<ReportParameter> parameters;
    QString queryString;
    QString queryLanguage = QStringLiteral("sql");
    QString language = QStringLiteral("java");
    bool isPdfTagged = false;
    QString pdfTagLanguage;
    // Packages and classes the report's expressions import ("net.sf.jasperreports.engine.*").
    QStringList imports;
    QList<ReportField> fields;
    QList<ReportVariable> variables;
    QList<ReportGroup> groups;
    QList<ReportStyle> styles;
    QList<ReportSubDataset> subDatasets;
    QList<ReportSortField> sortFields;
    QList<ReportScriptlet> scriptlets;
    QList<ReportTemplate> reportTemplates;
    WhenNoDataType whenNoDataType = WhenNoDataType::noPages;
    bool isFloatColumnFooter = false;
    bool isSummaryWithPageHeaderAndFooter = false;
    bool isSummaryNewPage = false;
    qint64 columnCount = 1;
    PrintOrder printOrder = PrintOrder::vertical;
    double columnSpacing = 0;
    QList<ReportBand> bands;
    QList<ReportBand> detailBands = {ReportBand::defaultDetailBand()};
    // The file had no detail band; the detail section stays out while it is as read.
    bool isDetailAbsent = false;
    KeptParts kept; // what the file held that the model does not
    // Read from a file in the older form, whose root has no namespace, so that the engine reads
    // it by the grammar of the report document type (DocumentTypeGrammar): the keys of what that
    // grammar refused in the file as read. The writer keeps the older form while the report holds
    // nothing else the grammar refuses, and writes the namespace form once it does. No value for
    // a report read in the namespace form or made here.
    std::optional<QStringList> olderFormAsRead;
    // While items of one list share a name (a field, variable, group, style or sub-dataset
    // renamed to another's), whose references to that name are whose: by the id of each sharing
    // item, the ids of what names it (elements, variables, styles, sort fields). Not written
    // to the file; kept here so that undo and redo restore it with the names (NameTies).
    QHash<QUuid, QSet<QUuid>> nameTies;

    // The expression languages and query languages offered by the editors.
    static const QStringList languages;
    static const QStringList queryLanguages;
    // Where a query language stands in `queryLanguages`, whatever its letter case ("SQL" and
    // "xPath" are the engine's spellings too); -1 for one not offered.
    static qsizetype queryLanguageIndex(const QString &language);

    // A copy of the first band of that type in `bands` (detail bands and groups are not
    // looked at), or no value.
    std::optional<ReportBand> band(BandType type) const;
    // The same band in place, or null: nothing is copied.
    const ReportBand *findBand(BandType type) const;

    // Every subreport expression: bands, then detail bands, then each group's header and
    // footer; frames and lists are descended into, table cells are not.
    QStringList allSubreportExpressions() const;

    bool operator==(const ReportDocument &) const = default;
};
