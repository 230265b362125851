package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JasperPrint;
import net.sf.jasperreports.engine.JasperReport;
import net.sf.jasperreports.engine.export.JRXmlExporter;
import net.sf.jasperreports.engine.util.JRSaver;
import net.sf.jasperreports.export.SimpleExporterInput;
import net.sf.jasperreports.export.SimpleXmlExporterOutput;

import java.io.PrintStream;
import java.io.StringWriter;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.Locale;
import java.util.TimeZone;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.regex.Pattern;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/**
 * Compares what the engine prints from two folders of the same reports: each report is compiled,
 * filled and exported as XML, from the first folder twice and from the second once, for each
 * fill (one empty record, and rows of data: {@link PrintFill}). A report whose two prints from
 * the first folder differ does not fill deterministically and is not compared. Every report of
 * both folders is compiled beside itself first, so subreports are found. Lists one line per
 * report and fill ("SAME", "DIFF", "UNSTABLE" or "FAIL", the fill's word, the report) and a
 * closing count line per fill.
 */
final class PrintComparison {

    private static final Pattern UUID = Pattern.compile(" uuid=\"[^\"]*\"");
    private static final Pattern PRINT_NAME = Pattern.compile("(<jasperPrint\\b[^>]*?) name=\"[^\"]*\"");
    // The table component names its table, columns and cells anew on every fill (random UUIDs and
    // identity hash codes): their values say nothing about the report.
    private static final Pattern TABLE_IDS = Pattern.compile(
            "(name=\"net\\.sf\\.jasperreports\\.export\\.headertoolbar\\."
                    + "(?:tableUUID|columnUUID|cellID)\" value=\")[^\"]*\"");
    private static final long TIMEOUT_SECONDS = 90;

    private PrintComparison() {
    }

    /** @return false when a folder does not exist */
    static boolean run(Path before, Path after, List<PrintFill> fills, PrintStream out)
            throws Exception {
        if (!Files.isDirectory(before) || !Files.isDirectory(after)) {
            System.err.println("compare-prints: no such folder: " + before + " or " + after);
            return false;
        }
        // The same print on every machine: dates and numbers that a report formats without a
        // locale or time zone of its own.
        Locale.setDefault(PrintFill.LOCALE);
        TimeZone.setDefault(PrintFill.TIME_ZONE);
        ReportEngine engine = new ReportEngine();
        List<Path> reports = reportsBelow(before);
        int threads = Math.max(1, Math.min(8, Runtime.getRuntime().availableProcessors()));
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        try {
            Map<Path, Object> compiled = new ConcurrentHashMap<>();
            compileAll(pool, engine, reports, compiled);
            compileAll(pool, engine, reportsBelow(after), compiled);
            List<Future<String>> outcomes = new ArrayList<>();
            for (Path report : reports) {
                Path other = after.resolve(before.relativize(report));
                for (PrintFill fill : fills) {
                    outcomes.add(pool.submit(
                            () -> compareOne(engine, compiled, report, other, fill)));
                }
            }
            int[] same = new int[fills.size()];
            int[] compared = new int[fills.size()];
            for (int i = 0; i < outcomes.size(); i++) {
                Path report = reports.get(i / fills.size());
                int f = i % fills.size();
                String name = before.relativize(report).toString().replace('\\', '/');
                String outcome;
                try {
                    outcome = outcomes.get(i).get(TIMEOUT_SECONDS, TimeUnit.SECONDS);
                } catch (TimeoutException e) {
                    outcomes.get(i).cancel(true);
                    outcome = "FAIL  : no print within " + TIMEOUT_SECONDS + " s";
                }
                if (outcome.startsWith("SAME")) {
                    same[f]++;
                }
                if (outcome.startsWith("SAME") || outcome.startsWith("DIFF")) {
                    compared[f]++;
                }
                int cut = outcome.indexOf(':');
                String head = String.format("%-8s  %-6s  %s",
                        cut < 0 ? outcome.strip() : outcome.substring(0, cut).strip(),
                        fills.get(f).word, name);
                out.println(cut < 0 ? head : head + outcome.substring(cut));
            }
            for (int f = 0; f < fills.size(); f++) {
                out.println("same print for " + same[f] + " of " + compared[f]
                        + " reports that fill deterministically with "
                        + fills.get(f).description + " (" + reports.size() + " reports)");
            }
        } finally {
            pool.shutdownNow();
        }
        return true;
    }

    private static List<Path> reportsBelow(Path dir) throws Exception {
        try (Stream<Path> walk = Files.walk(dir)) {
            return walk.filter(f -> f.toString().endsWith(".jrxml") && Files.isRegularFile(f))
                    .sorted().collect(Collectors.toList());
        }
    }

    /**
     * Compiles every report to a .jasper file beside it, for the subreports of others, and notes
     * the compiled report, or why it does not compile, in {@code compiled}: every fill of the
     * report starts from it.
     */
    private static void compileAll(ExecutorService pool, ReportEngine engine, List<Path> reports,
            Map<Path, Object> compiled) throws Exception {
        List<Future<?>> done = new ArrayList<>();
        for (Path report : reports) {
            done.add(pool.submit(() -> {
                try {
                    JasperReport design = ReportEngine.compileFile(report, engine.baseContext());
                    compiled.put(report, design);
                    String file = report.getFileName().toString().replaceAll("\\.jrxml$", ".jasper");
                    JRSaver.saveObject(design, report.resolveSibling(file).toFile());
                } catch (Throwable t) {
                    compiled.putIfAbsent(report, t); // reported when the report is compared
                }
                return null;
            }));
        }
        for (Future<?> f : done) {
            f.get();
        }
    }

    private static String compareOne(ReportEngine engine, Map<Path, Object> compiled,
            Path before, Path after, PrintFill fill) {
        String first;
        try {
            first = print(engine, compiled, before, fill);
        } catch (Throwable t) {
            return "FAIL  : " + summary(Server.message(t));
        }
        String changed;
        try {
            changed = print(engine, compiled, after, fill);
        } catch (Throwable t) {
            return "DIFF  : the saved report does not fill: " + summary(Server.message(t));
        }
        String second;
        try {
            second = print(engine, compiled, before, fill);
        } catch (Throwable t) {
            return "UNSTABLE";
        }
        if (!first.equals(second)) {
            return "UNSTABLE";
        }
        return first.equals(changed) ? "SAME" : "DIFF  : " + firstDifference(first, changed);
    }

    private static String print(ReportEngine engine, Map<Path, Object> compiled, Path jrxml,
            PrintFill fill) throws Throwable {
        Object report = compiled.get(jrxml);
        if (!(report instanceof JasperReport)) {
            throw report instanceof Throwable ? (Throwable) report
                    : new RequestException("Report file not found: " + jrxml);
        }
        JasperPrint print = fill.fill(engine, (JasperReport) report, jrxml.getParent());
        StringWriter text = new StringWriter();
        JRXmlExporter exporter = new JRXmlExporter(engine.baseContext());
        exporter.setExporterInput(new SimpleExporterInput(print));
        exporter.setExporterOutput(new SimpleXmlExporterOutput(text));
        exporter.exportReport();
        String xml = UUID.matcher(text.toString()).replaceAll("");
        xml = TABLE_IDS.matcher(xml).replaceAll("$1\"");
        return PRINT_NAME.matcher(xml).replaceFirst("$1");
    }

    private static String firstDifference(String a, String b) {
        int i = 0;
        while (i < a.length() && i < b.length() && a.charAt(i) == b.charAt(i)) {
            i++;
        }
        int from = Math.max(0, a.lastIndexOf('\n', i) + 1);
        return "first difference in line: "
                + a.substring(from, Math.min(a.length(), from + 160)).strip().replace('\n', ' ')
                + " | after: "
                + b.substring(Math.min(from, b.length()), Math.min(b.length(), from + 160)).strip()
                        .replace('\n', ' ');
    }

    private static String summary(String message) {
        String text = message.lines().map(String::strip).filter(l -> !l.isEmpty()).limit(2)
                .collect(Collectors.joining(" | "));
        return text.length() > 200 ? text.substring(0, 200) + "..." : text;
    }
}
