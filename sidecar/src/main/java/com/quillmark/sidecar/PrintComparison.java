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
 * filled on one empty record and exported as XML, from the first folder twice and from the
 * second once. A report whose two prints from the first folder differ does not fill
 * deterministically and is not compared. Every report of both folders is compiled beside itself
 * first, so subreports are found. Lists one line per report ("SAME", "DIFF", "UNSTABLE" or
 * "FAIL") and a closing count line.
 */
final class PrintComparison {

    private static final Pattern UUID = Pattern.compile(" uuid=\"[^\"]*\"");
    private static final Pattern PRINT_NAME = Pattern.compile("(<jasperPrint\\b[^>]*?) name=\"[^\"]*\"");
    // The table component names its table, columns and cells anew on every fill (random UUIDs and
    // identity hash codes): their values say nothing about the report.
    private static final Pattern TABLE_IDS = Pattern.compile(
            "(name=\"net\\.sf\\.jasperreports\\.export\\.headertoolbar\\."
                    + "(?:tableUUID|columnUUID|cellID)\" value=\")[^\"]*\"");
    private static final long TIMEOUT_SECONDS = 60;

    private PrintComparison() {
    }

    /** @return false when a folder does not exist */
    static boolean run(Path before, Path after, PrintStream out) throws Exception {
        if (!Files.isDirectory(before) || !Files.isDirectory(after)) {
            System.err.println("compare-prints: no such folder: " + before + " or " + after);
            return false;
        }
        ReportEngine engine = new ReportEngine();
        List<Path> reports = reportsBelow(before);
        int threads = Math.max(1, Math.min(4, Runtime.getRuntime().availableProcessors()));
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        try {
            compileAll(pool, engine, reports);
            compileAll(pool, engine, reportsBelow(after));
            List<Future<String>> outcomes = new ArrayList<>();
            for (Path report : reports) {
                Path other = after.resolve(before.relativize(report));
                outcomes.add(pool.submit(() -> compareOne(engine, report, other)));
            }
            int same = 0;
            int compared = 0;
            for (int i = 0; i < reports.size(); i++) {
                String name = before.relativize(reports.get(i)).toString().replace('\\', '/');
                String outcome;
                try {
                    outcome = outcomes.get(i).get(TIMEOUT_SECONDS, TimeUnit.SECONDS);
                } catch (TimeoutException e) {
                    outcomes.get(i).cancel(true);
                    outcome = "FAIL  : no print within " + TIMEOUT_SECONDS + " s";
                }
                if (outcome.startsWith("SAME")) {
                    same++;
                }
                if (outcome.startsWith("SAME") || outcome.startsWith("DIFF")) {
                    compared++;
                }
                int cut = outcome.indexOf(':');
                out.println(cut < 0 ? outcome + "  " + name
                        : outcome.substring(0, cut).strip() + "  " + name + outcome.substring(cut));
            }
            out.println("same print for " + same + " of " + compared
                    + " reports that fill deterministically (" + reports.size() + " reports)");
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

    /** Compiles every report to a .jasper file beside it; reports that fail are left out. */
    private static void compileAll(ExecutorService pool, ReportEngine engine, List<Path> reports)
            throws Exception {
        List<Future<?>> done = new ArrayList<>();
        for (Path report : reports) {
            done.add(pool.submit(() -> {
                try {
                    JasperReport compiled =
                            ReportEngine.compileFile(report, engine.baseContext());
                    String file = report.getFileName().toString().replaceAll("\\.jrxml$", ".jasper");
                    JRSaver.saveObject(compiled, report.resolveSibling(file).toFile());
                } catch (Throwable t) {
                    // reported when the report itself is compared
                }
                return null;
            }));
        }
        for (Future<?> f : done) {
            f.get();
        }
    }

    private static String compareOne(ReportEngine engine, Path before, Path after) {
        String first;
        try {
            first = print(engine, before);
        } catch (Throwable t) {
            return "FAIL  : " + summary(Server.message(t));
        }
        String changed;
        try {
            changed = print(engine, after);
        } catch (Throwable t) {
            return "DIFF  : the saved report does not fill: " + summary(Server.message(t));
        }
        String second;
        try {
            second = print(engine, before);
        } catch (Throwable t) {
            return "UNSTABLE";
        }
        if (!first.equals(second)) {
            return "UNSTABLE";
        }
        return first.equals(changed) ? "SAME" : "DIFF  : " + firstDifference(first, changed);
    }

    private static String print(ReportEngine engine, Path jrxml) throws Exception {
        JasperReport report = ReportEngine.compileFile(jrxml, engine.baseContext());
        JasperPrint print = engine.fillReport(report, jrxml.getParent(), null, null);
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
