package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.JsonNodeFactory;
import com.fasterxml.jackson.databind.node.ObjectNode;

import net.sf.jasperreports.engine.DefaultJasperReportsContext;
import net.sf.jasperreports.engine.JREmptyDataSource;
import net.sf.jasperreports.engine.JRException;
import net.sf.jasperreports.engine.JRParameter;
import net.sf.jasperreports.engine.JRQuery;
import net.sf.jasperreports.engine.JasperCompileManager;
import net.sf.jasperreports.engine.JasperFillManager;
import net.sf.jasperreports.engine.JasperPrint;
import net.sf.jasperreports.engine.JasperReport;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.SimpleJasperReportsContext;
import net.sf.jasperreports.engine.design.JasperDesign;
import net.sf.jasperreports.engine.query.JRJdbcQueryExecuterFactory;
import net.sf.jasperreports.engine.util.JRLoader;
import net.sf.jasperreports.engine.util.JRSaver;
import net.sf.jasperreports.engine.xml.JRXmlLoader;
import net.sf.jasperreports.repo.FileRepositoryPersistenceServiceFactory;
import net.sf.jasperreports.repo.FileRepositoryService;
import net.sf.jasperreports.repo.PersistenceServiceFactory;
import net.sf.jasperreports.repo.RepositoryService;

import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.sql.Connection;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;

/** The "compile", "fill", "export" and "render" commands. */
final class ReportEngine {
    static final String IGNORE_MISSING_FONT = "net.sf.jasperreports.awt.ignore.missing.font";

    private final JasperReportsContext base;

    ReportEngine() {
        DefaultJasperReportsContext context = DefaultJasperReportsContext.getInstance();
        context.setProperty(IGNORE_MISSING_FONT, "true");
        context.setProperty(ReportExpressionCompiler.PROPERTY,
                ReportExpressionCompiler.class.getName());
        context.setProperty(ReportGroovyCompiler.PROPERTY, ReportGroovyCompiler.class.getName());
        context.setProperty(JRJdbcQueryExecuterFactory.PROPERTY_JDBC_QUERY_TIMEOUT,
                String.valueOf(Database.statementTimeoutSeconds()));
        this.base = context;
        InMemoryFontFiles.install();
    }

    JasperReportsContext baseContext() {
        return base;
    }

    // ---- commands -------------------------------------------------------------------------

    ObjectNode compile(Params p) throws Exception {
        long start = System.nanoTime();
        compileToFile(p.path("jrxmlPath"), p.path("jasperPath"));
        ObjectNode result = JsonNodeFactory.instance.objectNode();
        result.put("compileMs", millisSince(start));
        return result;
    }

    ObjectNode fill(Params p) throws Exception {
        Path jasper = p.path("jasperPath");
        Path jrprint = p.path("jrprintPath");
        JsonNode values = p.object("paramValues");
        JsonNode dataSource = p.object("dataSource");
        JasperReport report = loadReport(jasper);
        long start = System.nanoTime();
        JasperPrint print = fillReport(report, jasper.getParent(), values, dataSource);
        long fillMs = millisSince(start);
        AtomicFiles.write(jrprint, f -> JRSaver.saveObject(print, f));
        ObjectNode result = JsonNodeFactory.instance.objectNode();
        result.put("pageCount", print.getPages().size());
        result.put("fillMs", fillMs);
        return result;
    }

    ObjectNode export(Params p) throws Exception {
        Path jrprint = p.path("jrprintPath");
        Path output = p.path("outputPath");
        ExportFormat format = ExportFormat.named(p.text("format"));
        JasperPrint print = loadPrint(jrprint);
        long start = System.nanoTime();
        format.export(base, print, output);
        ObjectNode result = JsonNodeFactory.instance.objectNode();
        result.put("exportMs", millisSince(start));
        return result;
    }

    ObjectNode render(Params p) throws Exception {
        Path jrxml = p.path("jrxmlPath");
        Path jasper = p.path("jasperPath");
        Path pdf = p.path("pdfPath");
        Path jrprint = p.optionalPath("jrprintPath");
        JsonNode values = p.object("paramValues");
        JsonNode dataSource = p.object("dataSource");

        long start = System.nanoTime();
        JasperReport report = compileToFile(jrxml, jasper);
        long compileMs = millisSince(start);

        start = System.nanoTime();
        JasperPrint print = fillReport(report, jasper.getParent(), values, dataSource);
        long fillMs = millisSince(start);
        if (jrprint != null) {
            AtomicFiles.write(jrprint, f -> JRSaver.saveObject(print, f));
        }

        start = System.nanoTime();
        ExportFormat.PDF.export(base, print, pdf);
        long exportMs = millisSince(start);

        ObjectNode result = JsonNodeFactory.instance.objectNode();
        result.put("pageCount", print.getPages().size());
        result.put("compileMs", compileMs);
        result.put("fillMs", fillMs);
        result.put("exportMs", exportMs);
        return result;
    }

    // ---- engine steps ---------------------------------------------------------------------

    /** Compiles a JRXML file and writes the compiled report; returns it. */
    JasperReport compileToFile(Path jrxml, Path jasper) throws Exception {
        JasperReport report = compileFile(jrxml, base);
        AtomicFiles.write(jasper, f -> JRSaver.saveObject(report, f));
        return report;
    }

    static JasperReport compileFile(Path jrxml, JasperReportsContext context) throws Exception {
        if (!Files.isRegularFile(jrxml)) {
            throw new RequestException("Report file not found: " + jrxml);
        }
        JasperDesign design;
        try (InputStream in = Files.newInputStream(jrxml)) {
            design = JRXmlLoader.load(context, in);
        }
        return compileDesign(design, context);
    }

    /**
     * Compiles a report design. A field class the engine cannot load is reported by the fields
     * that declare it, since the engine's own message names only the class.
     */
    static JasperReport compileDesign(JasperDesign design, JasperReportsContext context)
            throws JRException, RequestException {
        try {
            return JasperCompileManager.getInstance(context).compile(design);
        } catch (JRException e) {
            if (String.valueOf(e.getMessage()).contains("ClassNotFoundException")) {
                List<String> fields = FieldClasses.unloadable(design);
                if (!fields.isEmpty()) {
                    throw new RequestException(String.join(" ", fields) + " (" + e + ")", e);
                }
            }
            throw e;
        }
    }

    /**
     * Fills a compiled report. Without a live data source it gets one empty record, so its static
     * content shows; with one, the report's own query runs on the connection.
     */
    JasperPrint fillReport(JasperReport report, Path reportDir, JsonNode paramValues,
            JsonNode dataSource) throws Exception {
        Map<String, Object> params =
                ParameterValues.convert(report.getParameters(), paramValues, reportDir);
        JasperFillManager filler = JasperFillManager.getInstance(contextFor(reportDir));
        if (dataSource == null) {
            return filler.fill(report, params, new JREmptyDataSource(1));
        }
        JsonNode connection = liveConnection(dataSource);
        try (OpenConnections.Lease lease = OpenConnections.track(Database.open(connection))) {
            Connection c = QueryTimeLimit.watched(lease.connection());
            if (hasQuery(report)) {
                return filler.fill(report, params, c);
            }
            params.put(JRParameter.REPORT_CONNECTION, c);
            return filler.fill(report, params, new JREmptyDataSource(1));
        } catch (Exception e) {
            // a query of the report or of a subreport that was stopped or cancelled reads as the
            // data panel's does, not as the engine's wrapping of the driver's words
            throw QueryTimeLimit.explained(e);
        }
    }

    private static JsonNode liveConnection(JsonNode dataSource) throws RequestException {
        JsonNode type = dataSource.get("type");
        if (type == null || !"jdbc".equals(type.asText())) {
            throw new RequestException("Unsupported data source type "
                    + (type == null ? "(none)" : "\"" + type.asText() + "\"")
                    + "; only \"jdbc\" is supported.");
        }
        JsonNode connection = dataSource.get("connection");
        if (connection == null || !connection.isObject()) {
            throw new RequestException("The data source has no \"connection\" object.");
        }
        return connection;
    }

    private static boolean hasQuery(JasperReport report) {
        JRQuery query = report.getQuery();
        return query != null && query.getText() != null && !query.getText().isBlank();
    }

    /** A context that finds subreports, images and templates relative to the report's folder. */
    JasperReportsContext contextFor(Path reportDir) {
        if (reportDir == null) {
            return base;
        }
        SimpleJasperReportsContext context = new SimpleJasperReportsContext(base);
        List<RepositoryService> services = new ArrayList<>();
        services.add(new FileRepositoryService(context, reportDir.toString(), true));
        List<RepositoryService> inherited = base.getExtensions(RepositoryService.class);
        if (inherited != null) {
            services.addAll(inherited);
        }
        context.setExtensions(RepositoryService.class, services);
        // the engine registers no loader for files of a FileRepositoryService by default
        List<PersistenceServiceFactory> factories = new ArrayList<>();
        factories.add(FileRepositoryPersistenceServiceFactory.getInstance());
        List<PersistenceServiceFactory> inheritedFactories =
                base.getExtensions(PersistenceServiceFactory.class);
        if (inheritedFactories != null) {
            factories.addAll(inheritedFactories);
        }
        context.setExtensions(PersistenceServiceFactory.class, factories);
        return context;
    }

    static JasperReport loadReport(Path jasper) throws Exception {
        if (!Files.isRegularFile(jasper)) {
            throw new RequestException("Compiled report not found: " + jasper);
        }
        Object loaded = JRLoader.loadObject(jasper.toFile());
        if (!(loaded instanceof JasperReport)) {
            throw new RequestException("Not a compiled report: " + jasper);
        }
        return (JasperReport) loaded;
    }

    static JasperPrint loadPrint(Path jrprint) throws Exception {
        if (!Files.isRegularFile(jrprint)) {
            throw new RequestException("Filled report not found: " + jrprint);
        }
        Object loaded = JRLoader.loadObject(jrprint.toFile());
        if (!(loaded instanceof JasperPrint)) {
            throw new RequestException("Not a filled report: " + jrprint);
        }
        return (JasperPrint) loaded;
    }

    static long millisSince(long startNanos) {
        return (System.nanoTime() - startNanos) / 1_000_000L;
    }
}
