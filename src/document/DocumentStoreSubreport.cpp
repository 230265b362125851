#include "document/DocumentStore.h"
#include "model/JrxmlCodec.h"
#include "model/SubreportNaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString subreportDirName = QStringLiteral("SUBREPORT_DIR");
const QString stringClass = QStringLiteral("java.lang.String");

// Writes a new file; never replaces one that exists (the open fails then). A failed write
// removes what it created, so no half-written report stays behind. Answers what the system said
// when the file could not be written.
std::optional<QString> writeNewFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file.errorString();
    QString failure;
    if (file.write(data) == data.size() && file.flush()) {
        file.close();
        if (file.error() == QFileDevice::NoError)
            return std::nullopt;
    }
    failure = file.errorString();
    // The file is ours: opening it created it. Closing may fail again on the unwritten rest,
    // which would keep QFile::remove() from removing it, so remove it by name.
    file.close();
    QFile::remove(path);
    return failure.isEmpty() ? QStringLiteral("the text could not be written completely") : failure;
}

} // namespace

void DocumentStore::ensureSubreportDirParameter()
{
    for (const ReportParameter &parameter : std::as_const(document_.parameters)) {
        if (parameter.name == subreportDirName)
            return;
    }
    ReportParameter parameter;
    parameter.id = newId();
    parameter.name = subreportDirName;
    parameter.className = stringClass;
    parameter.defaultValueExpression = QStringLiteral("\"/\"");
    parameter.isForPrompting = false;
    changeDocument([&](ReportDocument &document) { document.parameters.append(parameter); });
    setIsDirty(true);
}

DocumentStore::AutoSubreport DocumentStore::createAutoSubreport(double defaultPageWidth,
                                                                double defaultPageHeight)
{
    AutoSubreport result;
    // Made before SUBREPORT_DIR is declared: it is passed through only when declared already.
    for (const ReportParameter &parameter : std::as_const(document_.parameters)) {
        result.parameters.append(
            {newId(), parameter.name, QStringLiteral("$P{") + parameter.name + u'}'});
    }

    QString baseName = QStringLiteral("Report");
    if (fileURL_)
        baseName = withoutPathExtension(QFileInfo(fileURL_->toLocalFile()).fileName());
    else if (!document_.name.isEmpty())
        baseName = document_.name;

    QSet<QString> used;
    for (const QString &expression : document_.allSubreportExpressions()) {
        if (const std::optional<QString> name = candidateSubreportBaseName(expression))
            used.insert(*name);
    }
    // Files on disk play no part in the choice.
    QString name;
    for (int n = 1;; ++n) {
        name = baseName + QStringLiteral("_Subreport") + QString::number(n);
        if (!used.contains(name.toLower()))
            break;
    }
    result.expression = subreportDirExpression(name + QStringLiteral(".jasper"));
    if (!fileURL_) {
        ensureSubreportDirParameter();
        return result;
    }

    const QString folder = QFileInfo(fileURL_->toLocalFile()).absolutePath();
    const QString jrxmlPath = QDir(folder).filePath(name + QStringLiteral(".jrxml"));

    ReportDocument subreport = defaultDocument(defaultPageWidth, defaultPageHeight);
    subreport.name = name;
    subreport.columnWidth = defaultPageWidth;
    subreport.leftMargin = subreport.rightMargin = 0;
    subreport.topMargin = subreport.bottomMargin = 0;
    for (const SubreportParameter &passed : std::as_const(result.parameters)) {
        ReportParameter parameter;
        parameter.id = newId();
        parameter.name = passed.name;
        parameter.className = stringClass;
        for (const ReportParameter &master : std::as_const(document_.parameters)) {
            if (master.name == passed.name) {
                parameter.className = master.className;
                break;
            }
        }
        subreport.parameters.append(parameter);
    }

    // An existing file of that name is neither overwritten nor compiled; the element refers
    // to it all the same.
    const QFileInfo existing(jrxmlPath);
    if (existing.exists() || existing.isSymLink()) {
        ensureSubreportDirParameter();
        return result;
    }
    // A file that cannot be made leaves the report as it was: an element would name a file
    // that is nowhere.
    if (const std::optional<QString> failure =
            writeNewFile(jrxmlPath, JrxmlCodec::serialize(subreport))) {
        result.failure =
            QStringLiteral("The subreport's file \u201C%1\u201D could not be made "
                           "in the folder \u201C%2\u201D: %3. Nothing was added.")
                .arg(QFileInfo(jrxmlPath).fileName(), QDir::toNativeSeparators(folder), *failure);
        emit subreportFileFailed(*result.failure);
        return result;
    }
    ensureSubreportDirParameter();
    result.jrxmlPath = jrxmlPath;
    result.jasperPath = QDir(folder).filePath(name + QStringLiteral(".jasper"));
    return result;
}
