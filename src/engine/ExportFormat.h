#pragma once

#include "model/RawEnum.h"

#include <QString>

// The formats a report can be exported to. The text of a case is both the output's file extension
// and the format name the engine receives.
enum class ExportFormat { pdf, rtf, xlsx, html, csv, xml, odt };
QUILLMARK_ENUM_TEXTS(ExportFormat, {ExportFormat::pdf, "pdf"}, {ExportFormat::rtf, "rtf"},
                     {ExportFormat::xlsx, "xlsx"}, {ExportFormat::html, "html"},
                     {ExportFormat::csv, "csv"}, {ExportFormat::xml, "xml"},
                     {ExportFormat::odt, "odt"});

// The save dialog's name filter for the format's files, e.g. "PDF document (*.pdf)".
QString fileDialogFilter(ExportFormat format);
