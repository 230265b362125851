package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ObjectNode;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Locale;
import java.util.Map;

/**
 * Times the engine through the protocol, as the designer sees it: the cold start of a sidecar
 * process, then, in one warm process, compile, fill and PDF export of a sample report (a
 * 400-row list over about ten pages), a whole render and an expression evaluation.
 */
final class Bench {

    private Bench() {
    }

    @FunctionalInterface
    private interface Step {
        JsonNode run() throws IOException;
    }

    static void run(String[] args, Path jar) throws Exception {
        int iterations = 20;
        int coldRuns = 5;
        int warmup = 5;
        for (int i = 0; i + 1 < args.length; i += 2) {
            switch (args[i]) {
                case "--iterations":
                    iterations = Integer.parseInt(args[i + 1]);
                    break;
                case "--cold":
                    coldRuns = Integer.parseInt(args[i + 1]);
                    break;
                default:
                    throw new IllegalArgumentException("unknown option " + args[i]);
            }
        }
        Path dir = Files.createTempDirectory("quillmark-bench");
        try {
            run(jar, dir, iterations, coldRuns, warmup);
        } finally {
            deleteTree(dir);
        }
    }

    private static void run(Path jar, Path dir, int iterations, int coldRuns, int warmup)
            throws Exception {
        Path jrxml = dir.resolve("sample.jrxml");
        try (InputStream in = Bench.class.getResourceAsStream("/bench/sample.jrxml")) {
            Files.copy(in, jrxml, StandardCopyOption.REPLACE_EXISTING);
        }
        Path jasper = dir.resolve("sample.jasper");
        Path jrprint = dir.resolve("sample.jrprint");
        Path pdf = dir.resolve("sample.pdf");

        ObjectNode compile = Client.params();
        compile.put("jrxmlPath", jrxml.toString());
        compile.put("jasperPath", jasper.toString());
        ObjectNode fill = Client.params();
        fill.put("jasperPath", jasper.toString());
        fill.put("jrprintPath", jrprint.toString());
        fill.putObject("paramValues");
        ObjectNode export = Client.params();
        export.put("jrprintPath", jrprint.toString());
        export.put("outputPath", pdf.toString());
        export.put("format", "pdf");
        ObjectNode render = compile.deepCopy();
        render.put("pdfPath", pdf.toString());
        render.put("jrprintPath", jrprint.toString());
        render.putObject("paramValues");
        ObjectNode evaluate = Client.params();
        evaluate.put("expression", "$F{Name}.toUpperCase() + \" \" + ($P{Count} + 1)");
        evaluate.put("language", "java");
        evaluate.putArray("fields").addObject().put("name", "Name")
                .put("class", "java.lang.String").put("value", "ada");
        evaluate.putArray("parameters").addObject().put("name", "Count")
                .put("class", "java.lang.Integer").put("value", "41");

        System.out.println("Quillmark sidecar benchmark (" + iterations + " warm iterations, "
                + coldRuns + " cold starts; times in ms)");
        System.out.println("java: " + Client.javaExecutable() + " "
                + System.getProperty("java.version") + ", cores: "
                + Runtime.getRuntime().availableProcessors());

        List<Double> toFirstReply = new ArrayList<>();
        List<Double> firstCompile = new ArrayList<>();
        List<Double> firstRender = new ArrayList<>();
        for (int i = 0; i < coldRuns; i++) {
            long t0 = System.nanoTime();
            try (Client c = Client.start(jar, null, Map.of())) {
                c.request("ping", Client.params()); // unknown command: the smallest round trip
                long t1 = System.nanoTime();
                expectOk(c.request("compile", compile));
                long t2 = System.nanoTime();
                expectOk(c.request("render", render));
                long t3 = System.nanoTime();
                toFirstReply.add(ms(t1 - t0));
                firstCompile.add(ms(t2 - t1));
                firstRender.add(ms(t3 - t2));
                c.finish();
            }
        }
        header();
        line("cold: start to first reply", toFirstReply);
        line("cold: first compile", firstCompile);
        line("cold: first render after it", firstRender);

        try (Client c = Client.start(jar, null, Map.of())) {
            for (int i = 0; i < warmup; i++) {
                expectOk(c.request("render", render));
                expectOk(c.request("evaluateExpression", evaluate));
            }
            int pages = expectOk(c.request("fill", fill)).path("result").path("pageCount").asInt();
            line("warm: compile", time(iterations, () -> c.request("compile", compile)));
            line("warm: fill (" + pages + " pages)", time(iterations, () -> c.request("fill", fill)));
            line("warm: export pdf", time(iterations, () -> c.request("export", export)));
            line("warm: render (all three)", time(iterations, () -> c.request("render", render)));
            line("warm: evaluateExpression",
                    time(iterations, () -> c.request("evaluateExpression", evaluate)));
            c.finish();
        }
    }

    private static List<Double> time(int iterations, Step step) throws IOException {
        List<Double> times = new ArrayList<>();
        for (int i = 0; i < iterations; i++) {
            long t0 = System.nanoTime();
            expectOk(step.run());
            times.add(ms(System.nanoTime() - t0));
        }
        return times;
    }

    private static JsonNode expectOk(JsonNode reply) {
        if (!reply.path("ok").asBoolean()) {
            throw new IllegalStateException("benchmark request failed: " + reply);
        }
        return reply;
    }

    private static double ms(long nanos) {
        return nanos / 1e6;
    }

    private static void header() {
        System.out.println(String.format(Locale.ROOT, "%-32s %9s %9s %9s %5s", "step", "median",
                "min", "max", "n"));
    }

    private static void line(String name, List<Double> times) {
        List<Double> sorted = new ArrayList<>(times);
        Collections.sort(sorted);
        double median = sorted.get(sorted.size() / 2);
        System.out.println(String.format(Locale.ROOT, "%-32s %9.1f %9.1f %9.1f %5d", name,
                median, sorted.get(0), sorted.get(sorted.size() - 1), sorted.size()));
    }

    private static void deleteTree(Path dir) throws IOException {
        try (var walk = Files.walk(dir)) {
            for (Path p : (Iterable<Path>) walk.sorted(Collections.reverseOrder())::iterator) {
                Files.deleteIfExists(p);
            }
        }
    }
}
