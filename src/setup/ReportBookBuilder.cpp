#include "setup/ReportBookBuilder.h"

#include "model/SubreportNaming.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The band between two chapters, which holds the page break.
constexpr double separatorHeight = 1;

ReportElement bookElement(ElementKind kind, double width, double height)
{
    ReportElement element;
    element.id = newId();
    element.kind = std::move(kind);
    element.x = 0;
    element.y = 0;
    element.width = width;
    element.height = height;
    return element;
}

ReportBand detailBand(double height, const ReportElement &element)
{
    ReportBand band;
    band.type = BandType::detail;
    band.height = height;
    band.elements.append(element);
    return band;
}

} // namespace

QString ReportBookBuilder::chapterDataSourceExpression()
{
    return u"new net.sf.jasperreports.engine.JREmptyDataSource(1)"_s;
}

QString ReportBookBuilder::chapterExpression(const QUrl &chapterURL)
{
    const QString baseName = withoutPathExtension(QFileInfo(chapterURL.path()).fileName());
    // The name stands in a Java string literal: a quote or backslash in it must not end it.
    return subreportDirExpression(baseName + u".jasper"_s);
}

ReportDocument ReportBookBuilder::buildReportBook(const QString &name, double pageWidth,
                                                  double pageHeight, double leftMargin,
                                                  double rightMargin, double topMargin,
                                                  double bottomMargin,
                                                  const QList<QUrl> &chapterURLs)
{
    const double contentWidth = pageWidth - leftMargin - rightMargin;
    const double contentHeight = pageHeight - topMargin - bottomMargin;

    ReportDocument book;
    book.name = name;
    book.pageWidth = pageWidth;
    book.pageHeight = pageHeight;
    book.leftMargin = leftMargin;
    book.rightMargin = rightMargin;
    book.topMargin = topMargin;
    book.bottomMargin = bottomMargin;
    book.columnWidth = contentWidth;
    book.queryString.clear();
    book.queryLanguage = u"sql"_s;
    book.language = u"java"_s;
    book.isPdfTagged = false;
    book.pdfTagLanguage = u"en-US"_s;
    book.whenNoDataType = WhenNoDataType::noPages;
    book.isFloatColumnFooter = false;
    book.isSummaryWithPageHeaderAndFooter = false;
    book.isSummaryNewPage = false;
    book.columnCount = 1;
    book.printOrder = PrintOrder::vertical;
    book.columnSpacing = 0;

    ReportParameter subreportDir;
    subreportDir.id = newId();
    subreportDir.name = u"SUBREPORT_DIR"_s;
    subreportDir.className = u"java.lang.String"_s;
    subreportDir.defaultValueExpression = u"\"/\""_s;
    subreportDir.isForPrompting = false;
    book.parameters = {subreportDir};

    for (BandType type : bandDisplayOrder()) {
        if (type == BandType::detail)
            continue;
        ReportBand band;
        band.type = type;
        band.height = 0;
        book.bands.append(band);
    }

    book.detailBands.clear();
    for (qsizetype i = 0; i < chapterURLs.size(); ++i) {
        if (i >= 1) {
            book.detailBands.append(
                detailBand(separatorHeight, bookElement(ElementKind::ReportBreak{BreakType::page},
                                                        contentWidth, 1)));
        }
        // A chapter followed by a page break leaves room for it on its page: a break band that
        // no longer fits is carried to a page of its own, and breaking from there prints a
        // blank page between the chapters.
        const bool isLast = i == chapterURLs.size() - 1;
        const double height = isLast ? contentHeight : contentHeight - separatorHeight;
        ElementKind::Subreport chapter;
        chapter.expression = chapterExpression(chapterURLs.at(i));
        chapter.dataSourceExpression = chapterDataSourceExpression();
        book.detailBands.append(detailBand(height, bookElement(chapter, contentWidth, height)));
    }
    return book;
}
