#include "ExportFormat.h"

QString fileDialogFilter(ExportFormat format)
{
    QString kind;
    switch (format) {
    case ExportFormat::pdf:
        kind = QStringLiteral("PDF document");
        break;
    case ExportFormat::rtf:
        kind = QStringLiteral("Rich Text document");
        break;
    case ExportFormat::xlsx:
        kind = QStringLiteral("Excel workbook");
        break;
    case ExportFormat::html:
        kind = QStringLiteral("HTML document");
        break;
    case ExportFormat::csv:
        kind = QStringLiteral("Comma-separated values");
        break;
    case ExportFormat::xml:
        kind = QStringLiteral("XML document");
        break;
    case ExportFormat::odt:
        kind = QStringLiteral("OpenDocument text");
        break;
    }
    return kind % QStringLiteral(" (*.") % rawValue(format) % QLatin1Char(')');
}
