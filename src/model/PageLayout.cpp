#include "PageLayout.h"

#include "KeptBands.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace PageLayout {

namespace {

// One band's share of a page: which band (none for one the designer keeps as written), and its
// height as written (0 while it is hidden).
struct Share {
    std::optional<BandTarget> target;
    double height = 0;
};
using Rule = QList<Share>;

Share standardShare(const ReportDocument &document, BandType type)
{
    const ReportBand *band = document.findBand(type);
    return {BandTarget::standard(type), band && band->isPresent ? asWritten(band->height) : 0};
}

bool isTitleOnPageOfItsOwn(const ReportDocument &document)
{
    const QString *flag = document.kept.part({}).attribute(u"isTitleNewPage");
    return flag && *flag == u"true"_s;
}

// The sets of bands that the engine requires to fit one page together with the margins.
QList<Rule> pageRules(const ReportDocument &document)
{
    const Share pageHeader = standardShare(document, BandType::pageHeader);
    const Share columnHeader = standardShare(document, BandType::columnHeader);
    const Share columnFooter = standardShare(document, BandType::columnFooter);
    const Share pageFooter = standardShare(document, BandType::pageFooter);
    const Share title = standardShare(document, BandType::title);
    const bool titleAlone = isTitleOnPageOfItsOwn(document);
    // A band between the page's and the column's headers and footers.
    const auto framed = [&](const Share &band) {
        return Rule{pageHeader, columnHeader, band, columnFooter, pageFooter};
    };
    // A group's band also fits the first page, below the title.
    const auto groupBand = [&](const std::optional<BandTarget> &target, double height) {
        Rule rule = framed({target, asWritten(height)});
        if (!titleAlone)
            rule.append(title);
        return rule;
    };
    QList<Rule> rules{
        {standardShare(document, BandType::background)},
        titleAlone ? Rule{title} : framed(title),
        {pageHeader, columnHeader, columnFooter, pageFooter},
        {pageHeader, columnHeader, columnFooter, standardShare(document, BandType::lastPageFooter)},
        {standardShare(document, BandType::summary)},
        {standardShare(document, BandType::noData)}};
    for (const ReportBand &detail : document.detailBands)
        rules.append(framed({BandTarget::detailBand(detail.id), asWritten(detail.height)}));
    // Each band of a group's header or footer fits a page on its own, those kept as written too.
    for (const ReportGroup &group : document.groups) {
        rules.append(groupBand(BandTarget::groupHeader(group.id), group.headerHeight));
        rules.append(groupBand(BandTarget::groupFooter(group.id), group.footerHeight));
        for (const bool footer : {false, true}) {
            for (const double height : KeptBands::heights(group, footer))
                rules.append(groupBand(std::nullopt, height));
        }
    }
    return rules;
}

double sum(const Rule &rule)
{
    double total = 0;
    for (const Share &share : rule)
        total += share.height;
    return total;
}

double verticalMargins(const ReportDocument &document)
{
    return asWritten(document.topMargin) + asWritten(document.bottomMargin);
}

} // namespace

double asWritten(double points)
{
    return std::isnan(points) ? 0 : std::round(points);
}

double fittedColumnWidth(const ReportDocument &document)
{
    const double n = double(std::max<qint64>(document.columnCount, 1));
    const double room = asWritten(document.pageWidth) - asWritten(document.leftMargin) -
                        asWritten(document.rightMargin) -
                        (n - 1) * asWritten(document.columnSpacing);
    // A margin as far left as a file carries may leave more room than a file carries.
    return std::clamp(std::floor(room / n), 0.0, largestLength);
}

namespace {

bool fitsWith(const ReportDocument &document, double columnWidth, double (*as)(double))
{
    const double n = double(std::max<qint64>(document.columnCount, 1));
    return as(document.leftMargin) + n * as(columnWidth) + (n - 1) * as(document.columnSpacing) +
               as(document.rightMargin) <=
           as(document.pageWidth);
}

double itself(double value)
{
    return value;
}

} // namespace

bool columnsFit(const ReportDocument &document)
{
    return fitsWith(document, document.columnWidth, asWritten);
}

double writtenColumnWidth(const ReportDocument &document)
{
    if (!columnsFit(document) && fitsWith(document, document.columnWidth, itself))
        return fittedColumnWidth(document);
    return asWritten(document.columnWidth);
}

double neededPageHeight(const ReportDocument &document)
{
    double tallest = 0;
    for (const Rule &rule : pageRules(document))
        tallest = std::max(tallest, sum(rule));
    return verticalMargins(document) + tallest;
}

double largestBandHeight(const ReportDocument &document, const BandTarget &target)
{
    double others = 0;
    for (const Rule &rule : pageRules(document)) {
        const auto own = std::find_if(rule.cbegin(), rule.cend(),
                                      [&](const Share &share) { return share.target == target; });
        if (own != rule.cend())
            others = std::max(others, sum(rule) - own->height);
    }
    return asWritten(document.pageHeight) - verticalMargins(document) - others;
}

double wholePointsBelow(double tallest, double length)
{
    return std::floor(tallest - length);
}

} // namespace PageLayout
