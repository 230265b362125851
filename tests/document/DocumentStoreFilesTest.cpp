#include "StoreTestSupport.h"
#include "TestSupport.h"
#include "model/JrxmlCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

using namespace storetest;

namespace {

class DocumentStoreFiles : public StoreTest {
protected:
    static QVariantMap stored(const QString &key) { return QSettings().value(key).toMap(); }
    static QString subreport(const QString &name)
    {
        return u"$P{SUBREPORT_DIR} + \""_s + name + u".jasper\""_s;
    }
    QUrl fileUrl(const QString &name) const { return QUrl::fromLocalFile(dir.filePath(name)); }
    // Saves the default report as Invoice.jrxml.
    QUrl invoice() const { return DocumentStore().save(fileUrl(u"Invoice.jrxml"_s)); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DocumentStoreFiles, SavesWhereThePanelSaysThenLoadsWithTheRememberedValues)
{
    place({textField(10, 5)});
    editDocument(store, [](ReportDocument &d) { d.name.clear(); });
    store.setIsDirty(true);
    const QUuid connection = newId();
    store.setActiveConnectionID(connection);
    EXPECT_FALSE(QSettings().contains(connectionIDsKey)) << "nothing is stored before a file";
    std::optional<SavePanelRequest> asked;
    std::optional<QUrl> answer;
    store.setSavePanel([&](const SavePanelRequest &request) {
        asked = request;
        return answer;
    });
    EXPECT_FALSE(store.promptSaveIfNeeded()) << "cancelled";
    EXPECT_EQ(asked.value().proposedFileName, u"report.jrxml"_s);
    const QUrl url = *(answer = fileUrl(u"Round.jrxml"_s));
    EXPECT_TRUE(store.promptSaveIfNeeded());
    EXPECT_EQ(store.fileURL(), url);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(testsupport::readFile(url.toLocalFile()), JrxmlCodec::serialize(store.document()));
    EXPECT_FALSE(QSettings().contains(parameterValuesKey)) << "a save writes no parameter values";
    store.setParameterValues({{u"Year"_s, u"2024"_s}});

    // With a file the panel is not asked and nothing is saved; a compile saves.
    asked.reset();
    store.setIsDirty(true);
    EXPECT_TRUE(store.promptSaveIfNeeded());
    EXPECT_FALSE(asked);
    EXPECT_TRUE(store.isDirty());
    store.saveIfNeededBeforeCompile();
    EXPECT_FALSE(store.isDirty());

    DocumentStore other;
    other.setIsDirty(true);
    other.load(url);
    EXPECT_EQ(other.elements(other.activeBandTarget()).value(0).x, 10)
        << "the read report's detail band is active";
    EXPECT_EQ(other.fileURL(), url);
    EXPECT_FALSE(other.isDirty());
    EXPECT_EQ(other.parameterValues(), store.parameterValues());
    EXPECT_EQ(other.activeConnectionID(), connection);
}

TEST_F(DocumentStoreFiles, LoadingStartsAFreshHistory)
{
    const QUrl url = invoice();
    const ReportElement e = textField();
    store.addElement(e, detail());
    store.addElement(textField(), detail());
    store.undo();
    store.updateElement(e.id, [](ReportElement &el) { el.x = 7; }); // a run still pending
    store.load(url);
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_TRUE(store.redoStack().isEmpty());
    const ReportDocument loaded = store.document();
    store.undo();
    store.redo();
    EXPECT_EQ(store.document(), loaded);
    EXPECT_FALSE(store.isDirty());
}

TEST_F(DocumentStoreFiles, FailedLoadsAndSavesChangeNothingButParsedSourceAndNewDocumentDo)
{
    const QUrl url = invoice();
    const QByteArray old = testsupport::readFile(url.toLocalFile());
    store.load(url);
    const ReportElement e = textField();
    store.addElement(e, detail());
    store.setActiveConnectionID(newId());
    const ReportDocument before = store.document();
    const auto unchanged = [&] {
        EXPECT_EQ(store.document(), before);
        EXPECT_EQ(store.fileURL(), url);
        EXPECT_TRUE(store.isDirty());
        EXPECT_EQ(store.selectedElementIDs(), QSet<QUuid>{e.id});
        EXPECT_EQ(store.undoStack().size(), 1);
    };

    EXPECT_THROW(store.load(fileUrl(u"missing.jrxml"_s)), DocumentFileError);
    unchanged();
    {
        QTemporaryFile empty;
        ASSERT_TRUE(empty.open());
        try {
            store.load(QUrl::fromLocalFile(empty.fileName()));
            ADD_FAILURE() << "an empty file loaded";
        } catch (const DocumentFileError &error) {
            EXPECT_EQ(error.message(), u"The report "_s +
                                           QDir::toNativeSeparators(empty.fileName()) +
                                           u" could not be opened: The file is empty."_s);
        }
        unchanged();
    }
    for (const char *content : {"<jasperReport name=\"x\">", "<html/>"}) {
        QTemporaryFile bad;
        ASSERT_TRUE(bad.open());
        bad.write(content);
        bad.close();
        EXPECT_THROW(store.load(QUrl::fromLocalFile(bad.fileName())), JrxmlCodecError) << content;
        unchanged();
    }

    const QUrl nowhere = fileUrl(u"missing/Report.jrxml"_s);
    EXPECT_THROW(store.save(nowhere), DocumentFileError);
    unchanged();
    EXPECT_FALSE(stored(connectionIDsKey).contains(nowhere.toLocalFile()));
    // A write cut short (the file size limit stands in for a full disk) leaves the previous file
    // byte for byte and no temporary file beside it.
    withWritesCutShort([&] { EXPECT_THROW(store.save(url), DocumentFileError); });
    unchanged();
    EXPECT_EQ(testsupport::readFile(url.toLocalFile()), old);
    EXPECT_EQ(files(), QStringList{u"Invoice.jrxml"_s});

    // Parsed source replaces the report as a step of its own; a new document starts afresh.
    const ReportDocument beforeApply = store.document();
    store.applyParsedSource(DocumentStore::defaultDocument());
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_TRUE(store.isDirty() && store.selectedElementIDs().isEmpty());
    store.undo();
    EXPECT_EQ(store.document(), beforeApply) << "back to the report the apply replaced";
    store.undo();
    EXPECT_TRUE(store.elements(detail()).isEmpty()) << "and before that, before the edit";

    // The report's own text applied as it stands changes nothing: no step, and a style renamed to
    // another's name keeps what names it, so that renaming it on takes that along alone.
    ReportDocument twoStyles = store.document();
    twoStyles.styles = {ReportStyle{.name = u"Total"_s}, ReportStyle{.name = u"Heading"_s}};
    store.applyParsedSource(twoStyles);
    ReportElement styled;
    styled.kind = ElementKind::TextField{u"\"x\""_s};
    styled.styleName = u"Heading"_s;
    store.addElement(styled, detail());
    const QUuid heading = store.document().styles.at(1).id;
    store.editStyle(heading, [](ReportStyle &style) { style.name = u"Total"_s; });
    const ReportDocument shared = store.document();
    store.applyParsedSource(JrxmlCodec::parse(JrxmlCodec::serialize(shared)));
    EXPECT_EQ(store.document(), shared);
    store.undo();
    EXPECT_EQ(store.document().styles.at(1).name, u"Heading"_s) << "the rename was the last step";
    store.redo();
    store.editStyle(heading, [](ReportStyle &style) { style.name = u"Header"_s; });
    EXPECT_EQ(store.elements(detail()).constLast().styleName, u"Header"_s);
    store.newDocument(842, 595);
    EXPECT_EQ(store.document().columnWidth, 782);
    EXPECT_EQ(store.activeBandTarget(), detail());
    EXPECT_FALSE(store.isDirty() || store.fileURL());
}

TEST_F(DocumentStoreFiles, PerReportMemoryKeysAndShapes)
{
    ASSERT_TRUE(QSettings().fileName().startsWith(settingsDir.path()));
    const QUrl url = invoice();
    const QString path = url.toLocalFile();
    const QString otherPath = u"/elsewhere/Other.jrxml"_s;
    QSettings().setValue(parameterValuesKey, QVariantMap{{otherPath, QVariantMap{{u"A"_s, u"1"_s}}},
                                                         {path, QVariantMap{{u"B"_s, u"2"_s}}}});
    QSettings().setValue(connectionIDsKey, QVariantMap{{path, u"not-a-uuid"_s}});

    store.load(url);
    EXPECT_EQ(store.parameterValues(), (QMap<QString, QString>{{u"B"_s, u"2"_s}}));
    EXPECT_EQ(store.activeConnectionID(), std::nullopt) << "an unreadable id counts as none";
    EXPECT_FALSE(stored(connectionIDsKey).contains(path)) << "load writes back what it read";

    store.setParameterValues({});
    EXPECT_EQ(stored(parameterValuesKey),
              (QVariantMap{{otherPath, QVariantMap{{u"A"_s, u"1"_s}}}, {path, QVariantMap()}}))
        << "an empty map stays as an entry";

    const QUuid id = newId();
    store.setActiveConnectionID(id);
    EXPECT_EQ(stored(connectionIDsKey), (QVariantMap{{path, idText(id)}}));
    store.setActiveConnectionID(std::nullopt);
    EXPECT_FALSE(stored(connectionIDsKey).contains(path));

    // A stored value of the wrong shape reads as empty and is replaced by the next write.
    QSettings().setValue(parameterValuesKey, QVariantMap{{otherPath, u"flat"_s}});
    store.load(url);
    EXPECT_TRUE(store.parameterValues().isEmpty());
    EXPECT_EQ(stored(parameterValuesKey), (QVariantMap{{path, QVariantMap()}}));

    // What a load writes back is stored already (as after the report's last load): the settings
    // file is not written again, which would sync the whole of it before the window shows.
    for (const std::optional<QUuid> &connection : {std::optional<QUuid>(), std::optional(id)}) {
        store.setActiveConnectionID(connection);
        store.setParameterValues({{u"Year"_s, u"2024"_s}});
        QSettings().sync();
        const QString settingsFile = QSettings().fileName();
        {
            QFile file(settingsFile);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write("; not written by the settings\n");
        }
        store.load(url);
        EXPECT_EQ(store.activeConnectionID(), connection);
        EXPECT_TRUE(testsupport::readFile(settingsFile).contains("; not written by the settings"))
            << "the settings were written again";
    }
}

TEST_F(DocumentStoreFiles, WindowTitle)
{
    const struct {
        const char *file; // empty: no file
        const char *name;
        bool dirty;
        const char *title;
    } cases[] = {
        {"", "Sales", false, "Sales"},
        {"", "", true, " \u2014 Edited"},
        {"a.b.jrxml", "ignored", false, "a.b"},
        {"Invoice.jrxml", "ignored", true, "Invoice \u2014 Edited"},
    };
    for (const auto &c : cases) {
        DocumentStore s;
        editDocument(s, [&](ReportDocument &d) { d.name = QString::fromUtf8(c.name); });
        if (*c.file)
            s.save(fileUrl(QString::fromUtf8(c.file)));
        s.setIsDirty(c.dirty);
        EXPECT_EQ(s.windowTitle(), QString::fromUtf8(c.title)) << c.file << "/" << c.name;
    }
}

TEST_F(DocumentStoreFiles, CreatesASubreportBesideTheSavedReport)
{
    editDocument(store, [](ReportDocument &d) {
        d.parameters = {{.name = u"A"_s, .className = u"java.lang.Integer"_s},
                        {.name = u"B"_s, .className = u"java.util.Date"_s}};
    });
    // Names already used, in any case and folder.
    place({element(ElementKind::Subreport{subreport(u"Invoice_Subreport1"_s)}),
           frame({element(ElementKind::Subreport{u"\"sub/invoice_subreport2.jasper\""_s})})});
    store.save(fileUrl(u"Invoice.jrxml"_s));

    const DocumentStore::AutoSubreport result = store.createAutoSubreport(400, 300);
    EXPECT_EQ(result.expression, subreport(u"Invoice_Subreport3"_s));
    ASSERT_EQ(result.parameters.size(), 2);
    EXPECT_EQ(result.parameters[1].name, u"B"_s);
    EXPECT_EQ(result.parameters[1].expression, u"$P{B}"_s);
    EXPECT_EQ(store.document().parameters.value(2).name, u"SUBREPORT_DIR"_s);
    EXPECT_TRUE(store.isDirty());
    EXPECT_TRUE(store.undoStack().isEmpty());

    ASSERT_EQ(result.jrxmlPath, dir.filePath(u"Invoice_Subreport3.jrxml"_s));
    EXPECT_EQ(result.jasperPath, dir.filePath(u"Invoice_Subreport3.jasper"_s));
    const QByteArray content = testsupport::readFile(*result.jrxmlPath);
    const ReportDocument written = JrxmlCodec::parse(content);
    EXPECT_EQ(written.name, u"Invoice_Subreport3"_s);
    EXPECT_EQ((QList<double>{written.pageWidth, written.pageHeight, written.columnWidth,
                             written.leftMargin, written.rightMargin, written.topMargin,
                             written.bottomMargin}),
              (QList<double>{400, 300, 400, 0, 0, 0, 0}));
    QStringList parameters;
    for (const ReportParameter &p : written.parameters)
        parameters << p.name + u' ' + p.className;
    EXPECT_EQ(parameters, (QStringList{u"A java.lang.Integer"_s, u"B java.util.Date"_s}));

    // Again: the same name, as files on disk play no part and the new element is not placed
    // yet; SUBREPORT_DIR is now passed through, still declared once. The file stays as it is.
    const DocumentStore::AutoSubreport again = store.createAutoSubreport(400, 300);
    EXPECT_EQ(again.expression, result.expression);
    ASSERT_EQ(again.parameters.size(), 3);
    EXPECT_EQ(again.parameters[2].expression, u"$P{SUBREPORT_DIR}"_s);
    EXPECT_EQ(store.document().parameters.size(), 3);
    EXPECT_FALSE(again.jrxmlPath || again.jasperPath);
    EXPECT_FALSE(again.failure) << "an existing file is referred to, not a failure";
    EXPECT_EQ(testsupport::readFile(*result.jrxmlPath), content);
}

TEST_F(DocumentStoreFiles, SubreportNamesWithoutAFileAndEscaped)
{
    // An unsaved report gets a name from the report's, or "Report", but no file.
    for (const auto &[name, expected] : {std::pair{u"Sales"_s, u"Sales_Subreport1"_s},
                                         std::pair{QString(), u"Report_Subreport1"_s}}) {
        DocumentStore fresh;
        editDocument(fresh, [&](ReportDocument &d) { d.name = name; });
        const DocumentStore::AutoSubreport result = fresh.createAutoSubreport(595, 842);
        EXPECT_EQ(result.expression, subreport(expected));
        EXPECT_FALSE(result.jrxmlPath);
    }

    // The file name is escaped as a Java string literal; a failed write leaves no file behind.
    const QString name = uR"(Say "hi" \ bye)"_s;
    store.save(fileUrl(name + u".jrxml"_s));
    const QString expression = uR"($P{SUBREPORT_DIR} + "Say \"hi\" \\ bye_Subreport1.jasper")"_s;
    DocumentStore::AutoSubreport result;
    const ReportDocument saved = store.document();
    QStringList told;
    QObject listener;
    QObject::connect(&store, &DocumentStore::subreportFileFailed, &listener,
                     [&told](const QString &message) { told.append(message); });
    withWritesCutShort([&] { result = store.createAutoSubreport(595, 842); });
    EXPECT_FALSE(result.jrxmlPath || result.jasperPath);
    EXPECT_EQ(files(), QStringList{name + u".jrxml"_s});
    // The failure names the file, its folder and what the system said, and changes nothing.
    ASSERT_TRUE(result.failure);
    EXPECT_TRUE(result.failure->contains(u"\u201C"_s + name + u"_Subreport1.jrxml\u201D"_s))
        << result.failure->toStdString();
    EXPECT_TRUE(result.failure->contains(QDir::toNativeSeparators(dir.path())));
    EXPECT_FALSE(result.failure->endsWith(u": . Nothing was added."_s));
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0], *result.failure);
    EXPECT_EQ(store.document(), saved) << "no SUBREPORT_DIR for a file that is nowhere";
    EXPECT_FALSE(store.isDirty());
    result = store.createAutoSubreport(595, 842);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(result.expression, expression);
    EXPECT_EQ(result.jrxmlPath, dir.filePath(name + u"_Subreport1.jrxml"_s));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(name + u"_Subreport1.jrxml"_s)));
}

TEST_F(DocumentStoreFiles, KnowsWhenAnotherProgramChangedItsFile)
{
    const QUrl url = invoice();
    const QString file = url.toLocalFile();
    EXPECT_FALSE(store.hasFileChangedOnDisk()) << "no file yet";
    store.load(url);
    EXPECT_FALSE(store.hasFileChangedOnDisk());
    const QByteArray loaded = testsupport::readFile(file);

    const auto rewrite = [&](const QByteArray &bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    // Other bytes of the same size: only the bytes tell.
    QByteArray sameSize = loaded;
    sameSize[sameSize.indexOf("name=\"") + 6] ^= 1;
    rewrite(sameSize);
    EXPECT_TRUE(store.hasFileChangedOnDisk());
    rewrite(loaded + "\n");
    EXPECT_TRUE(store.hasFileChangedOnDisk());
    // The same bytes again under a new time: no change.
    rewrite(loaded);
    QFile touched(file);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime);
    touched.close();
    EXPECT_FALSE(store.hasFileChangedOnDisk());

    // A save takes the file as it is now; so does a save elsewhere, for the new file.
    rewrite(sameSize);
    store.save(url);
    EXPECT_FALSE(store.hasFileChangedOnDisk());
    const QUrl copy = fileUrl(u"Copy.jrxml"_s);
    rewrite(sameSize);
    store.save(copy);
    EXPECT_FALSE(store.hasFileChangedOnDisk()) << "the report's file is now the copy";
    // The quiet save before a compile leaves a changed file alone.
    rewrite(sameSize);
    QFile::remove(copy.toLocalFile());
    QFile::copy(file, copy.toLocalFile());
    store.setIsDirty(true);
    store.saveIfNeededBeforeCompile();
    EXPECT_EQ(testsupport::readFile(copy.toLocalFile()), sameSize);
    EXPECT_TRUE(store.isDirty());
    // A file that is gone holds nothing of anyone's.
    QFile::remove(copy.toLocalFile());
    EXPECT_FALSE(store.hasFileChangedOnDisk());
    store.saveIfNeededBeforeCompile();
    EXPECT_FALSE(store.isDirty());
}
