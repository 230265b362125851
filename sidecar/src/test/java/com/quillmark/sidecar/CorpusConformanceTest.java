package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.stream.Collectors;

/**
 * Compiles every report of the shared JRXML corpus, as it is, with the jar's compile-corpus mode
 * (one process) and checks that every report of the recorded baseline still compiles.
 */
class CorpusConformanceTest {

    @TempDir
    Path dir;

    @Test
    void everyBaselineReportOfTheCorpusStillCompiles() throws Exception {
        Path corpus = Paths.get(System.getProperty("corpus.dir",
                "../../shared/corpus/jrxml-samples"));
        assumeTrue(Files.isDirectory(corpus), "corpus not found at " + corpus + "; skipped");

        Path listing = dir.resolve("listing.txt");
        Process p = new ProcessBuilder(Client.javaExecutable(), "-Djava.awt.headless=true",
                "-jar", TestSidecar.jar().toString(), "compile-corpus", corpus.toString())
                .redirectOutput(listing.toFile())
                .redirectError(dir.resolve("stderr.log").toFile())
                .start();
        assertTrue(p.waitFor(5, TimeUnit.MINUTES), "compile-corpus did not finish");
        assertEquals(0, p.exitValue());

        List<String> lines = Files.readAllLines(listing);
        Files.createDirectories(Paths.get("target"));
        Files.write(Paths.get("target", "corpus-compile.txt"), lines);
        String summary = lines.get(lines.size() - 1);
        long files;
        try (var walk = Files.walk(corpus)) {
            files = walk.filter(f -> f.toString().endsWith(".jrxml")).count();
        }
        assertTrue(summary.matches("compiled \\d+ of " + files + " reports"), summary);

        List<String> compiled = lines.stream().filter(l -> l.startsWith("OK "))
                .map(l -> l.substring(2).trim()).collect(Collectors.toList());
        List<String> lost = new ArrayList<>();
        for (String report : baseline()) {
            if (!compiled.contains(report)) {
                lines.stream().filter(l -> l.contains(report)).forEach(lost::add);
            }
        }
        assertTrue(lost.isEmpty(), () -> "no longer compile:\n" + String.join("\n", lost));
        System.out.println("sidecar corpus: " + summary);
    }

    private static List<String> baseline() throws Exception {
        try (InputStream in = CorpusConformanceTest.class
                .getResourceAsStream("/corpus-compile-baseline.txt")) {
            return new String(in.readAllBytes(), StandardCharsets.UTF_8).lines()
                    .filter(l -> !l.isBlank() && !l.startsWith("#"))
                    .collect(Collectors.toList());
        }
    }
}
