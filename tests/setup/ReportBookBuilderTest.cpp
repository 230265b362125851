#include "setup/ReportBookBuilder.h"
#include "../engine/EngineTestSupport.h"
#include "TestSupport.h"
#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "setup/ImageExpression.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testsupport::waitFor;

namespace {

ReportDocument bookOf(const QStringList &chapterPaths)
{
    QList<QUrl> urls;
    for (const QString &path : chapterPaths)
        urls.append(QUrl::fromLocalFile(path));
    return ReportBookBuilder::buildReportBook(u"ReportBook"_s, 595, 842, 30, 30, 20, 20, urls);
}

// The element as the book makes it, with the id, kind and frame of `made`.
ReportElement withDefaults(const ReportElement &made)
{
    ReportElement expected;
    expected.id = made.id;
    expected.kind = made.kind;
    expected.x = made.x;
    expected.y = made.y;
    expected.width = made.width;
    expected.height = made.height;
    return expected;
}

const ElementKind::Subreport *chapterIn(const ReportBand &band)
{
    return band.elements.size() == 1 ? band.elements.at(0).kind.as<ElementKind::Subreport>()
                                     : nullptr;
}

} // namespace

TEST(ReportBookBuilder, TwoChaptersGiveChapterBreakChapter)
{
    const ReportDocument book = bookOf({u"/reports/A.jrxml"_s, u"/reports/B.jrxml"_s});
    EXPECT_EQ(book.name, u"ReportBook"_s);
    EXPECT_EQ(book.columnWidth, 535);
    EXPECT_EQ(book.columnCount, 1);
    EXPECT_EQ(book.printOrder, PrintOrder::vertical);
    EXPECT_EQ(book.whenNoDataType, WhenNoDataType::noPages);
    EXPECT_EQ(book.pdfTagLanguage, u"en-US"_s);
    EXPECT_FALSE(book.isPdfTagged);
    EXPECT_EQ(book.queryLanguage, u"sql"_s);
    EXPECT_TRUE(book.queryString.isEmpty());
    EXPECT_TRUE(book.fields.isEmpty());

    ASSERT_EQ(book.parameters.size(), 1);
    EXPECT_EQ(book.parameters[0].name, u"SUBREPORT_DIR"_s);
    EXPECT_EQ(book.parameters[0].className, u"java.lang.String"_s);
    EXPECT_EQ(book.parameters[0].defaultValueExpression, u"\"/\""_s);
    EXPECT_FALSE(book.parameters[0].isForPrompting);

    ASSERT_EQ(book.bands.size(), 9);
    QList<BandType> types;
    for (const ReportBand &band : book.bands) {
        types.append(band.type);
        EXPECT_EQ(band.height, 0);
        EXPECT_TRUE(band.isPresent);
        EXPECT_TRUE(band.elements.isEmpty());
    }
    QList<BandType> expectedTypes = bandDisplayOrder();
    expectedTypes.removeAll(BandType::detail);
    EXPECT_EQ(types, expectedTypes);

    // A chapter that a page break follows leaves the break's point on its page (else the engine
    // carries the break to a blank page of its own); the last chapter fills its page.
    ASSERT_EQ(book.detailBands.size(), 3);
    EXPECT_EQ(book.detailBands[0].height, 801);
    EXPECT_EQ(book.detailBands[1].height, 1);
    EXPECT_EQ(book.detailBands[2].height, 802);
    for (int i : {0, 2}) {
        const ReportBand &band = book.detailBands[i];
        const ElementKind::Subreport *chapter = chapterIn(band);
        ASSERT_NE(chapter, nullptr);
        EXPECT_EQ(chapter->expression, i == 0 ? u"$P{SUBREPORT_DIR} + \"A.jasper\""_s
                                              : u"$P{SUBREPORT_DIR} + \"B.jasper\""_s);
        EXPECT_EQ(chapter->dataSourceExpression,
                  u"new net.sf.jasperreports.engine.JREmptyDataSource(1)"_s);
        EXPECT_EQ(chapter->connectionExpression, std::nullopt);
        EXPECT_TRUE(chapter->parameters.isEmpty());
        const ReportElement &element = band.elements.at(0);
        EXPECT_EQ(element, withDefaults(element)) << "every other property at the defaults";
        EXPECT_EQ(QRectF(element.x, element.y, element.width, element.height),
                  QRectF(0, 0, 535, band.height));
    }
    const ReportBand &separator = book.detailBands[1];
    ASSERT_EQ(separator.elements.size(), 1);
    const ReportElement &pageBreak = separator.elements.at(0);
    ASSERT_TRUE(pageBreak.kind.is<ElementKind::ReportBreak>());
    EXPECT_EQ(pageBreak.kind.as<ElementKind::ReportBreak>()->type, BreakType::page);
    EXPECT_EQ(QRectF(pageBreak.x, pageBreak.y, pageBreak.width, pageBreak.height),
              QRectF(0, 0, 535, 1));
    EXPECT_EQ(pageBreak, withDefaults(pageBreak));

    QSet<QUuid> ids;
    for (const ReportBand &band : book.bands + book.detailBands) {
        ids.insert(band.id);
        for (const ReportElement &element : band.elements)
            ids.insert(element.id);
    }
    EXPECT_EQ(ids.size(), 9 + 3 + 3) << "every band and element has an id of its own";
}

TEST(ReportBookBuilder, ChapterNamesBecomeCompiledFileLiterals)
{
    const ReportDocument one = bookOf({u"/r/Intro.jrxml"_s});
    ASSERT_EQ(one.detailBands.size(), 1) << "one chapter, no page break";
    EXPECT_EQ(one.detailBands[0].height, 802);
    EXPECT_EQ(chapterIn(one.detailBands[0])->expression, u"$P{SUBREPORT_DIR} + \"Intro.jasper\""_s);

    const ReportDocument twice = bookOf({u"/r/Same.jrxml"_s, u"/r/Same.jrxml"_s});
    ASSERT_EQ(twice.detailBands.size(), 3);
    EXPECT_EQ(chapterIn(twice.detailBands[0])->expression,
              chapterIn(twice.detailBands[2])->expression);

    // Only the last extension goes; a name without one stays whole. A quote or backslash in a
    // file name would end or break the literal, so it is escaped and reads back as the name.
    for (const auto &[file, jasper] :
         {std::pair{u"/r/Sales.2024.jrxml"_s, u"Sales.2024.jasper"_s},
          std::pair{u"/r/README"_s, u"README.jasper"_s},
          std::pair{u"/r/My \"Big\" Report.jrxml"_s, u"My \"Big\" Report.jasper"_s},
          std::pair{u"/r/back\\slash.jrxml"_s, u"back\\slash.jasper"_s}}) {
        SCOPED_TRACE(file.toStdString());
        const QString expression = ReportBookBuilder::chapterExpression(QUrl::fromLocalFile(file));
        EXPECT_EQ(ImageExpression::subreportDirLiteral(expression), jasper);
    }
    EXPECT_EQ(ReportBookBuilder::chapterExpression(QUrl::fromLocalFile(u"/r/a\"b.jrxml"_s)),
              u"$P{SUBREPORT_DIR} + \"a\\\"b.jasper\""_s);

    // The book survives its own file: written and read back, it is the same book.
    const ReportDocument book = bookOf({u"/r/A.jrxml"_s, u"/r/B.jrxml"_s});
    const ReportDocument reread = JrxmlCodec::parse(JrxmlCodec::serialize(book));
    ASSERT_EQ(reread.detailBands.size(), 3);
    EXPECT_EQ(chapterIn(reread.detailBands[2])->expression,
              chapterIn(book.detailBands[2])->expression);
    EXPECT_TRUE(reread.detailBands[1].elements.at(0).kind.is<ElementKind::ReportBreak>());
}

TEST(ReportBookBuilder, TheEngineCompilesTheBookAndPrintsOneChapterPerPage)
{
    QUILLMARK_REQUIRE_ENGINE();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QTemporaryDir work;
    SidecarModel model{PrivateWorkFolder(work.path())};
    model.setLocationProvider([location] { return *location; });

    // Two chapters of one line each, compiled beside their files as the book command does.
    QStringList chapters;
    for (const QString &name : {u"A"_s, u"B"_s}) {
        ReportDocument chapter = DocumentStore::defaultDocument();
        chapter.name = name;
        ReportElement line =
            testsupport::element(ElementKind{ElementKind::StaticText{u"Chapter "_s + name}});
        line.width = 200;
        chapter.detailBands[0].elements.append(line);
        const QString path = dir.filePath(name + u".jrxml"_s);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(JrxmlCodec::serialize(chapter));
        file.close();
        chapters.append(path);

        std::optional<std::optional<QString>> outcome;
        model.compileTab(chapter, QUrl::fromLocalFile(path), &model,
                         [&](const std::optional<QString> &error) { outcome = error; });
        ASSERT_TRUE(waitFor([&] { return outcome.has_value(); }, std::chrono::seconds(90)));
        ASSERT_EQ(*outcome, std::nullopt) << outcome->value_or(QString()).toStdString();
        EXPECT_TRUE(QFile::exists(dir.filePath(name + u".jasper"_s)));
    }

    const ReportDocument book = bookOf(chapters);
    const QUrl bookFile = QUrl::fromLocalFile(dir.filePath(u"ReportBook.jrxml"_s));
    model.compileAndPreview(book, bookFile, {}, {}, std::nullopt);
    ASSERT_TRUE(waitFor([&] { return !model.isBusy(); }, std::chrono::seconds(90)));
    ASSERT_EQ(model.errorMessage(), std::nullopt) << model.errorMessage()->toStdString();
    ASSERT_TRUE(model.lastRenderStats());
    EXPECT_EQ(model.lastRenderStats()->pageCount, 2)
        << "chapter A, then after the page break chapter B, without a blank page between";
}
