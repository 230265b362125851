#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "model/JrxmlCodec.h"

#include <QFile>
#include <QTemporaryDir>

using namespace storetest;

namespace {

const QByteArray invoiceJrxml = R"(<?xml version="1.0" encoding="UTF-8"?>
<jasperReport xmlns="http://jasperreports.sourceforge.net/jasperreports" name="Invoice" pageWidth="612" pageHeight="792" columnWidth="552" leftMargin="30" rightMargin="30" topMargin="20" bottomMargin="20">
    <detail>
        <band height="40"/>
    </detail>
</jasperReport>
)";

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QVariantMap storedMap(const QString &key)
{
    return QSettings().value(key).toMap();
}

class DocumentStoreFiles : public StoreTest {
protected:
    QUrl fileUrl(const QString &name) const { return QUrl::fromLocalFile(dir.filePath(name)); }
    QUrl invoice()
    {
        const QUrl url = fileUrl(QStringLiteral("Invoice.jrxml"));
        writeFile(url.toLocalFile(), invoiceJrxml);
        return url;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DocumentStoreFiles, NewStoreAndNewDocumentHoldTheDefaultReport)
{
    QList<BandType> types;
    for (const ReportBand &band : store.document().bands) {
        types.append(band.type);
        EXPECT_EQ(band.height, 20);
    }
    QList<BandType> expected = bandDisplayOrder();
    expected.removeOne(BandType::detail);
    EXPECT_EQ(types, expected);
    EXPECT_EQ(store.document().detailBands.first().height, 40);
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_EQ(store.document().columnWidth, 535);

    store.setIsDirty(true);
    store.newDocument(842, 595);
    EXPECT_EQ(store.document().columnWidth, 782);
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DocumentStoreFiles, SaveThenLoadRoundTripsAndRestoresTheRememberedValues)
{
    place({textField(10, 5)});
    ReportDocument doc = store.document();
    doc.name = QStringLiteral("Roundtrip");
    doc.pageWidth = 700;
    store.setDocument(doc);
    store.setIsDirty(true);
    const QUuid connection = newId();
    store.setActiveConnectionID(connection);
    EXPECT_FALSE(QSettings().contains(connectionIDsKey)) << "nothing is stored before a file";

    const QUrl url = fileUrl(QStringLiteral("Round.jrxml"));
    EXPECT_EQ(store.save(url), url);
    EXPECT_EQ(store.fileURL(), url);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(testsupport::readFile(url.toLocalFile()), JrxmlCodec::serialize(doc));
    EXPECT_EQ(storedMap(connectionIDsKey).value(url.toLocalFile()), idText(connection));
    EXPECT_FALSE(QSettings().contains(parameterValuesKey)) << "a save writes no parameter values";
    store.setParameterValues({{QStringLiteral("Year"), QStringLiteral("2024")}});

    DocumentStore other;
    other.load(url);
    EXPECT_EQ(other.document().name, QStringLiteral("Roundtrip"));
    EXPECT_EQ(other.document().pageWidth, 700);
    const QList<ReportElement> read =
        other.elements(BandTarget::detailBand(other.document().detailBands.first().id));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].x, 10);
    EXPECT_EQ(read[0].kind, ElementKind(ElementKind::TextField{QStringLiteral("$F{name}")}));
    EXPECT_EQ(other.fileURL(), url);
    EXPECT_FALSE(other.isDirty());
    EXPECT_EQ(other.activeBandTarget(),
              BandTarget::detailBand(other.document().detailBands.first().id));
    EXPECT_EQ(other.parameterValues().value(QStringLiteral("Year")), QStringLiteral("2024"));
    EXPECT_EQ(other.activeConnectionID(), connection);
}

TEST_F(DocumentStoreFiles, FailedLoadChangesNothing)
{
    const QUrl kept = invoice();
    store.load(kept);
    const ReportElement e = textField();
    store.addElement(e, detail());
    const ReportDocument before = store.document();

    struct Case {
        const char *name;
        std::optional<QByteArray> content; // no value: the file does not exist
        bool codecError;
    };
    const Case cases[] = {
        {"missing.jrxml", std::nullopt, false},
        {"broken.jrxml", QByteArray("<jasperReport name=\"x\">"), true},
        {"other.jrxml", QByteArray("<html/>"), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QUrl url = fileUrl(QString::fromLatin1(c.name));
        if (c.content)
            writeFile(url.toLocalFile(), *c.content);
        if (c.codecError)
            EXPECT_THROW(store.load(url), JrxmlCodecError);
        else
            EXPECT_THROW(store.load(url), DocumentFileError);
        EXPECT_EQ(store.document(), before);
        EXPECT_EQ(store.fileURL(), kept);
        EXPECT_TRUE(store.isDirty());
        EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{e.id});
        EXPECT_EQ(store.undoStack().size(), 1);
    }
}

TEST_F(DocumentStoreFiles, FailedSaveKeepsTheOldFileAndTheStore)
{
    const QUrl url = invoice();
    store.load(url);
    store.setIsDirty(true);
    const QUuid connection = newId();
    store.setActiveConnectionID(connection);

    // Into a folder that does not exist.
    const QUrl nowhere = fileUrl(QStringLiteral("missing/Report.jrxml"));
    EXPECT_THROW(store.save(nowhere), DocumentFileError);
    EXPECT_EQ(store.fileURL(), url);
    EXPECT_TRUE(store.isDirty());
    EXPECT_FALSE(storedMap(connectionIDsKey).contains(nowhere.toLocalFile()));

    // A write cut short (the file size limit stands in for a full disk) leaves the previous file
    // byte for byte.
    withWritesCutShort([&] { EXPECT_THROW(store.save(url), DocumentFileError); });
    EXPECT_EQ(testsupport::readFile(url.toLocalFile()), invoiceJrxml);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Invoice.jrxml")});
}

TEST_F(DocumentStoreFiles, PerReportMemoryKeysAndShapes)
{
    ASSERT_TRUE(QSettings().fileName().startsWith(settingsDir.path()));
    const QUrl url = invoice();
    const QString path = url.toLocalFile();
    const QString otherPath = QStringLiteral("/elsewhere/Other.jrxml");
    QSettings().setValue(
        parameterValuesKey,
        QVariantMap{{otherPath, QVariantMap{{QStringLiteral("A"), QStringLiteral("1")}}},
                    {path, QVariantMap{{QStringLiteral("B"), QStringLiteral("2")}}}});
    QSettings().setValue(connectionIDsKey, QVariantMap{{path, QStringLiteral("not-a-uuid")}});

    store.load(url);
    EXPECT_EQ(store.parameterValues(),
              (QMap<QString, QString>{{QStringLiteral("B"), QStringLiteral("2")}}));
    EXPECT_EQ(store.activeConnectionID(), std::nullopt) << "an unreadable id counts as none";
    EXPECT_FALSE(storedMap(connectionIDsKey).contains(path)) << "load writes back what it read";

    store.setParameterValues({});
    const QVariantMap values = storedMap(parameterValuesKey);
    EXPECT_EQ(values.value(path), QVariantMap()) << "an empty map stays as an entry";
    EXPECT_TRUE(values.contains(path));
    EXPECT_EQ(values.value(otherPath).toMap().value(QStringLiteral("A")), QStringLiteral("1"));

    const QUuid id = newId();
    store.setActiveConnectionID(id);
    EXPECT_EQ(storedMap(connectionIDsKey).value(path).toString(), idText(id));
    store.setActiveConnectionID(std::nullopt);
    EXPECT_FALSE(storedMap(connectionIDsKey).contains(path));

    // A stored value of the wrong shape reads as empty and is replaced by the next write.
    QSettings().setValue(parameterValuesKey, QVariantMap{{otherPath, QStringLiteral("flat")}});
    QSettings().remove(connectionIDsKey);
    store.load(url);
    EXPECT_TRUE(store.parameterValues().isEmpty());
    EXPECT_EQ(storedMap(parameterValuesKey), (QVariantMap{{path, QVariantMap()}}));

    DocumentStore::persistActiveConnectionID(id, otherPath);
    EXPECT_EQ(storedMap(connectionIDsKey).value(otherPath).toString(), idText(id));
}

TEST_F(DocumentStoreFiles, WindowTitle)
{
    struct Case {
        const char *file; // empty: no file
        const char *name;
        bool dirty;
        const char *title;
    };
    const Case cases[] = {
        {"", "Sales", false, "Sales"},
        {"", "", false, ""},
        {"", "", true, " \u2014 Edited"},
        {"a.b.jrxml", "ignored", false, "a.b"},
        {"Invoice.jrxml", "ignored", true, "Invoice \u2014 Edited"},
    };
    for (const Case &c : cases) {
        DocumentStore s;
        ReportDocument doc = s.document();
        doc.name = QString::fromUtf8(c.name);
        s.setDocument(doc);
        if (*c.file)
            s.save(fileUrl(QString::fromUtf8(c.file)));
        s.setIsDirty(c.dirty);
        EXPECT_EQ(s.windowTitle(), QString::fromUtf8(c.title)) << c.file << "/" << c.name;
    }
}

TEST_F(DocumentStoreFiles, PromptSaveIfNeeded)
{
    std::optional<SavePanelRequest> asked;
    std::optional<QUrl> answer;
    store.setSavePanel([&](const SavePanelRequest &request) {
        asked = request;
        return answer;
    });
    ReportDocument doc = store.document();
    doc.name.clear();
    store.setDocument(doc);

    EXPECT_FALSE(store.promptSaveIfNeeded()) << "cancelled";
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->proposedFileName, QStringLiteral("report.jrxml"));
    EXPECT_EQ(asked->fileExtension, QStringLiteral("jrxml"));
    EXPECT_EQ(asked->message, QStringLiteral("Save this report first - a Subreport needs a real "
                                             "location to create its file next to."));

    answer = fileUrl(QStringLiteral("Chosen.jrxml"));
    EXPECT_TRUE(store.promptSaveIfNeeded());
    EXPECT_EQ(store.fileURL(), answer);

    asked.reset();
    store.setIsDirty(true);
    EXPECT_TRUE(store.promptSaveIfNeeded());
    EXPECT_FALSE(asked) << "a report with a file is not asked again";
    EXPECT_TRUE(store.isDirty()) << "and its changes stay unsaved";

    store.saveIfNeededBeforeCompile();
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DocumentStoreFiles, ApplyParsedSourceKeepsTheUndoStack)
{
    const ReportElement e = textField();
    store.addElement(e, detail());
    const ReportDocument edited = store.document();
    ReportDocument parsed = DocumentStore::defaultDocument();
    parsed.name = QStringLiteral("FromSource");

    store.applyParsedSource(parsed);
    EXPECT_EQ(store.document(), parsed);
    EXPECT_TRUE(store.selectedElementIDs().isEmpty());
    EXPECT_EQ(store.activeBandTarget(), BandTarget::detailBand(parsed.detailBands.first().id));
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.undoStack().size(), 1);
    store.undo();
    EXPECT_TRUE(store.document().detailBands.first().elements.isEmpty());
    EXPECT_EQ(store.document().name, QStringLiteral("report"));
    store.redo();
    EXPECT_EQ(store.document(), parsed);
    EXPECT_NE(store.document(), edited);
}
