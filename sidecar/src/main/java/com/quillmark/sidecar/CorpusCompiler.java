package com.quillmark.sidecar;

import net.sf.jasperreports.engine.DefaultJasperReportsContext;

import java.io.IOException;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/**
 * Compiles every {@code .jrxml} below a folder, as it is, in this one process, and lists the
 * outcome per report ("OK" or "FAIL" with the engine's first lines) and a closing count line.
 */
final class CorpusCompiler {

    private CorpusCompiler() {
    }

    /** @return false when the folder does not exist */
    static boolean run(Path dir, PrintStream out) throws Exception {
        if (!Files.isDirectory(dir)) {
            System.err.println("compile-corpus: no such folder: " + dir);
            return false;
        }
        List<Path> reports;
        try (Stream<Path> walk = Files.walk(dir)) {
            reports = walk.filter(f -> f.toString().endsWith(".jrxml") && Files.isRegularFile(f))
                    .sorted().collect(Collectors.toList());
        }
        new ReportEngine(); // sets the engine defaults used by every mode
        int threads = Math.max(1, Math.min(4, Runtime.getRuntime().availableProcessors()));
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        try {
            List<Future<String>> outcomes = new ArrayList<>();
            for (Path report : reports) {
                outcomes.add(pool.submit(() -> compileOne(report)));
            }
            int compiled = 0;
            for (int i = 0; i < reports.size(); i++) {
                String failure = outcomes.get(i).get();
                String name = dir.relativize(reports.get(i)).toString().replace('\\', '/');
                if (failure == null) {
                    compiled++;
                    out.println("OK    " + name);
                } else {
                    out.println("FAIL  " + name + ": " + failure);
                }
            }
            out.println("compiled " + compiled + " of " + reports.size() + " reports");
        } finally {
            pool.shutdownNow();
        }
        return true;
    }

    /** @return null when the report compiles, else a one-line reason */
    private static String compileOne(Path report) throws IOException {
        try {
            ReportEngine.compileFile(report, DefaultJasperReportsContext.getInstance());
            return null;
        } catch (Throwable t) {
            return summary(Server.message(t));
        }
    }

    private static String summary(String message) {
        String text = message.lines().map(String::strip).filter(l -> !l.isEmpty()).limit(3)
                .collect(Collectors.joining(" | "));
        return text.length() > 300 ? text.substring(0, 300) + "..." : text;
    }
}
