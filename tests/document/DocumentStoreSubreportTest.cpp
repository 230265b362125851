#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace storetest;

namespace {

const QString subreportDir = QStringLiteral("SUBREPORT_DIR");

ReportParameter parameter(const QString &name, const QString &className)
{
    ReportParameter p;
    p.name = name;
    p.className = className;
    return p;
}

ReportElement subreport(const QString &expression)
{
    ElementKind::Subreport payload;
    payload.expression = expression;
    return element(payload);
}

QStringList names(const QList<ReportParameter> &parameters)
{
    QStringList out;
    for (const ReportParameter &p : parameters)
        out.append(p.name);
    return out;
}

class DocumentStoreSubreport : public StoreTest {
protected:
    // Saves the report as `fileName` in the temporary folder.
    void saveAs(const QString &fileName)
    {
        ASSERT_TRUE(dir.isValid());
        store.save(QUrl::fromLocalFile(dir.filePath(fileName)));
    }

    void addParameters(const QList<ReportParameter> &parameters)
    {
        ReportDocument document = store.document();
        document.parameters.append(parameters);
        store.setDocument(document);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DocumentStoreSubreport, DeclaresTheDirectoryParameterOnce)
{
    store.ensureSubreportDirParameter();
    ASSERT_EQ(store.document().parameters.size(), 1);
    const ReportParameter &added = store.document().parameters.first();
    EXPECT_EQ(added.name, subreportDir);
    EXPECT_EQ(added.className, QStringLiteral("java.lang.String"));
    EXPECT_EQ(added.defaultValueExpression, QStringLiteral("\"/\""));
    EXPECT_FALSE(added.isForPrompting);
    EXPECT_FALSE(added.parameterDescription);
    EXPECT_TRUE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());

    store.setIsDirty(false);
    store.ensureSubreportDirParameter();
    EXPECT_EQ(store.document().parameters.size(), 1);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DocumentStoreSubreport, WritesANewReportBesideTheSavedOne)
{
    addParameters({parameter(QStringLiteral("A"), QStringLiteral("java.lang.Integer")),
                   parameter(QStringLiteral("B"), QStringLiteral("java.util.Date"))});
    // Names already used, in any case and folder; files on disk play no part.
    place({subreport(QStringLiteral(R"($P{SUBREPORT_DIR} + "Invoice_Subreport1.jasper")")),
           frame({subreport(QStringLiteral(R"("sub/invoice_subreport2.jasper")"))})});
    saveAs(QStringLiteral("Invoice.jrxml"));

    const DocumentStore::AutoSubreport result = store.createAutoSubreport(400, 300);
    EXPECT_EQ(result.expression,
              QStringLiteral(R"($P{SUBREPORT_DIR} + "Invoice_Subreport3.jasper")"));
    ASSERT_EQ(result.parameters.size(), 2);
    EXPECT_EQ(result.parameters[0].name, QStringLiteral("A"));
    EXPECT_EQ(result.parameters[0].expression, QStringLiteral("$P{A}"));
    EXPECT_EQ(result.parameters[1].expression, QStringLiteral("$P{B}"));
    EXPECT_EQ(names(store.document().parameters),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), subreportDir}));
    EXPECT_TRUE(store.isDirty());

    ASSERT_EQ(result.jrxmlPath, dir.filePath(QStringLiteral("Invoice_Subreport3.jrxml")));
    EXPECT_EQ(result.jasperPath, dir.filePath(QStringLiteral("Invoice_Subreport3.jasper")));
    const ReportDocument written = JrxmlCodec::parse(testsupport::readFile(*result.jrxmlPath));
    EXPECT_EQ(written.name, QStringLiteral("Invoice_Subreport3"));
    EXPECT_EQ(written.pageWidth, 400);
    EXPECT_EQ(written.pageHeight, 300);
    EXPECT_EQ(written.columnWidth, 400);
    EXPECT_EQ(written.leftMargin + written.rightMargin + written.topMargin + written.bottomMargin,
              0);
    EXPECT_EQ(names(written.parameters), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    ASSERT_EQ(written.parameters.size(), 2);
    EXPECT_EQ(written.parameters[0].className, QStringLiteral("java.lang.Integer"));
    EXPECT_EQ(written.parameters[1].className, QStringLiteral("java.util.Date"));
    EXPECT_EQ(written.detailBands.size(), 1);
}

TEST_F(DocumentStoreSubreport, PassesADeclaredDirectoryParameterThrough)
{
    addParameters({parameter(subreportDir, QStringLiteral("java.lang.Object"))});
    saveAs(QStringLiteral("Master.jrxml"));
    const DocumentStore::AutoSubreport result = store.createAutoSubreport(595, 842);
    ASSERT_EQ(result.parameters.size(), 1);
    EXPECT_EQ(result.parameters[0].expression, QStringLiteral("$P{SUBREPORT_DIR}"));
    EXPECT_EQ(store.document().parameters.size(), 1);
    ASSERT_TRUE(result.jrxmlPath);
    const ReportDocument written = JrxmlCodec::parse(testsupport::readFile(*result.jrxmlPath));
    ASSERT_EQ(written.parameters.size(), 1);
    EXPECT_EQ(written.parameters[0].className, QStringLiteral("java.lang.Object"));
}

TEST_F(DocumentStoreSubreport, LeavesAnExistingFileAsItIs)
{
    saveAs(QStringLiteral("Invoice.jrxml"));
    const QString existing = dir.filePath(QStringLiteral("Invoice_Subreport1.jrxml"));
    const QByteArray content = "not a report, and not ours";
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const DocumentStore::AutoSubreport result = store.createAutoSubreport(595, 842);
    EXPECT_EQ(result.expression,
              QStringLiteral(R"($P{SUBREPORT_DIR} + "Invoice_Subreport1.jasper")"));
    EXPECT_FALSE(result.jrxmlPath);
    EXPECT_FALSE(result.jasperPath);
    EXPECT_EQ(testsupport::readFile(existing), content);
}

TEST_F(DocumentStoreSubreport, AFailedWriteLeavesNoFileBehind)
{
    saveAs(QStringLiteral("Invoice.jrxml"));
    DocumentStore::AutoSubreport result;
    withWritesCutShort([&] { result = store.createAutoSubreport(595, 842); });
    EXPECT_EQ(result.expression,
              QStringLiteral(R"($P{SUBREPORT_DIR} + "Invoice_Subreport1.jasper")"));
    EXPECT_FALSE(result.jrxmlPath);
    EXPECT_FALSE(result.jasperPath);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Invoice.jrxml")});
}

TEST_F(DocumentStoreSubreport, UnsavedReportsGetNamesButNoFiles)
{
    for (const auto &[reportName, expected] :
         {std::pair{QStringLiteral("Sales"), QStringLiteral("Sales_Subreport1")},
          std::pair{QString(), QStringLiteral("Report_Subreport1")}}) {
        DocumentStore fresh;
        ReportDocument document = fresh.document();
        document.name = reportName;
        fresh.setDocument(document);
        const DocumentStore::AutoSubreport result = fresh.createAutoSubreport(595, 842);
        EXPECT_EQ(result.expression, QStringLiteral("$P{SUBREPORT_DIR} + \"") + expected +
                                         QStringLiteral(".jasper\""));
        EXPECT_FALSE(result.jrxmlPath);
        EXPECT_FALSE(result.jasperPath);
    }
}

TEST_F(DocumentStoreSubreport, EscapesTheFileNameInTheExpression)
{
    saveAs(QStringLiteral(R"(Say "hi" \ bye.jrxml)"));
    const DocumentStore::AutoSubreport result = store.createAutoSubreport(595, 842);
    EXPECT_EQ(result.expression,
              QStringLiteral(R"($P{SUBREPORT_DIR} + "Say \"hi\" \\ bye_Subreport1.jasper")"));
    ASSERT_TRUE(result.jrxmlPath);
    EXPECT_EQ(QFileInfo(*result.jrxmlPath).fileName(),
              QStringLiteral(R"(Say "hi" \ bye_Subreport1.jrxml)"));
    EXPECT_TRUE(QFileInfo::exists(*result.jrxmlPath));
}
