package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JasperPrint;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.export.HtmlExporter;
import net.sf.jasperreports.engine.export.JRCsvExporter;
import net.sf.jasperreports.engine.export.JRPdfExporter;
import net.sf.jasperreports.engine.export.JRRtfExporter;
import net.sf.jasperreports.engine.export.JRXmlExporter;
import net.sf.jasperreports.engine.export.oasis.JROdtExporter;
import net.sf.jasperreports.engine.export.ooxml.JRXlsxExporter;
import net.sf.jasperreports.export.SimpleExporterInput;
import net.sf.jasperreports.export.SimpleHtmlExporterOutput;
import net.sf.jasperreports.export.SimpleHtmlReportConfiguration;
import net.sf.jasperreports.export.SimpleOutputStreamExporterOutput;
import net.sf.jasperreports.export.SimpleWriterExporterOutput;
import net.sf.jasperreports.export.SimpleXmlExporterOutput;

import java.io.File;
import java.io.FileOutputStream;
import java.io.OutputStream;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.Locale;
import java.util.stream.Collectors;

/** The seven export formats; the name is both the file extension and the wire value. */
enum ExportFormat {
    PDF, RTF, XLSX, HTML, CSV, XML, ODT;

    static ExportFormat named(String name) throws RequestException {
        for (ExportFormat f : values()) {
            if (f.wireName().equals(name)) {
                return f;
            }
        }
        throw new RequestException("Unknown export format \"" + name + "\"; expected one of "
                + Arrays.stream(values()).map(ExportFormat::wireName)
                        .collect(Collectors.joining(", ")) + ".");
    }

    String wireName() {
        return name().toLowerCase(Locale.ROOT);
    }

    void export(JasperReportsContext context, JasperPrint print, Path output) throws Exception {
        AtomicFiles.write(output, file -> exportTo(context, print, file));
    }

    private void exportTo(JasperReportsContext context, JasperPrint print, File file)
            throws Exception {
        SimpleExporterInput input = new SimpleExporterInput(print);
        switch (this) {
            case PDF: {
                JRPdfExporter e = new JRPdfExporter(context);
                e.setExporterInput(input);
                e.setExporterOutput(new SimpleOutputStreamExporterOutput(file));
                e.exportReport();
                break;
            }
            case RTF: {
                JRRtfExporter e = new JRRtfExporter(context);
                e.setExporterInput(input);
                e.setExporterOutput(new SimpleWriterExporterOutput(file));
                e.exportReport();
                break;
            }
            case XLSX: {
                JRXlsxExporter e = new JRXlsxExporter(context);
                e.setExporterInput(input);
                e.setExporterOutput(new SimpleOutputStreamExporterOutput(file));
                e.exportReport();
                break;
            }
            case HTML: {
                // one self-contained file: images go inline rather than into a side folder
                try (OutputStream out = new FileOutputStream(file)) {
                    HtmlExporter e = new HtmlExporter(context);
                    e.setExporterInput(input);
                    SimpleHtmlReportConfiguration config = new SimpleHtmlReportConfiguration();
                    config.setEmbedImage(Boolean.TRUE);
                    e.setConfiguration(config);
                    e.setExporterOutput(new SimpleHtmlExporterOutput(out, "UTF-8"));
                    e.exportReport();
                }
                break;
            }
            case CSV: {
                JRCsvExporter e = new JRCsvExporter(context);
                e.setExporterInput(input);
                e.setExporterOutput(new SimpleWriterExporterOutput(file, "UTF-8"));
                e.exportReport();
                break;
            }
            case XML: {
                JRXmlExporter e = new JRXmlExporter(context);
                e.setExporterInput(input);
                SimpleXmlExporterOutput out = new SimpleXmlExporterOutput(file, "UTF-8");
                out.setEmbeddingImages(Boolean.TRUE);
                e.setExporterOutput(out);
                e.exportReport();
                break;
            }
            case ODT: {
                JROdtExporter e = new JROdtExporter(context);
                e.setExporterInput(input);
                e.setExporterOutput(new SimpleOutputStreamExporterOutput(file));
                e.exportReport();
                break;
            }
            default:
                throw new IllegalStateException(name());
        }
    }
}
