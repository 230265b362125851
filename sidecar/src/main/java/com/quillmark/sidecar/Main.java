package com.quillmark.sidecar;

import java.io.BufferedOutputStream;
import java.io.FileDescriptor;
import java.io.FileOutputStream;
import java.io.OutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Arrays;
import java.util.List;
import java.util.logging.ConsoleHandler;
import java.util.logging.Handler;
import java.util.logging.Level;
import java.util.logging.Logger;
import java.util.stream.Collectors;

/**
 * Entry point. {@code serve} speaks the JSON-lines protocol on stdin/stdout; {@code compile-corpus
 * DIR} compiles every JRXML below a folder and lists which compile; {@code read-values} prints
 * the values the engine fills reports with; {@code bench} times the engine.
 */
public final class Main {

    private Main() {
    }

    public static void main(String[] args) throws Exception {
        if (System.getProperty("java.awt.headless") == null) {
            System.setProperty("java.awt.headless", "true");
        }
        SystemFontFamilies.install();
        String mode = args.length == 0 ? "serve" : args[0];
        String[] rest = Arrays.copyOfRange(args, Math.min(1, args.length), args.length);
        switch (mode) {
            case "serve":
                serve();
                break;
            case "compile-corpus":
                if (rest.length != 1) {
                    usage();
                }
                compileCorpus(Paths.get(rest[0]));
                break;
            case "compare-prints":
                comparePrints(rest);
                break;
            case "read-values":
                if (rest.length != 1) {
                    usage();
                }
                readValues(Paths.get(rest[0]));
                break;
            case "bench":
                Bench.run(rest, jarPath());
                break;
            default:
                usage();
        }
    }

    /**
     * Keeps the real standard output for replies only. Everything else that prints — the engine,
     * the drivers, a report's own scriptlet or expression — goes to standard error.
     */
    private static void serve() throws Exception {
        OutputStream replies = new BufferedOutputStream(new FileOutputStream(FileDescriptor.out));
        System.setOut(System.err);
        routeLoggingToStderr();
        // Once the designer closes our input while a request still runs, nobody will read its
        // reply: end the process rather than finish a request that may never end.
        new Server().serve(System.in, replies, () -> System.exit(0));
    }

    private static void compileCorpus(Path dir) throws Exception {
        PrintStream listing = new PrintStream(new FileOutputStream(FileDescriptor.out), true,
                StandardCharsets.UTF_8);
        System.setOut(System.err);
        routeLoggingToStderr();
        System.exit(CorpusCompiler.run(dir, listing) ? 0 : 2);
    }

    /** {@code read-values PATH}: the values the engine fills a report, or every report below, with. */
    private static void readValues(Path path) throws Exception {
        PrintStream listing = new PrintStream(new FileOutputStream(FileDescriptor.out), false,
                StandardCharsets.UTF_8);
        System.setOut(System.err);
        routeLoggingToStderr();
        boolean found = DesignValues.run(path, listing);
        listing.flush();
        System.exit(found ? 0 : 2);
    }

    /** {@code compare-prints [--fill record|rows] BEFORE AFTER}: every fill unless one is named. */
    private static void comparePrints(String[] args) throws Exception {
        List<PrintFill> fills = List.of(PrintFill.values());
        int at = 0;
        if (args.length == 4 && args[0].equals("--fill")) {
            fills = Arrays.stream(PrintFill.values()).filter(f -> f.word.equals(args[1]))
                    .collect(Collectors.toList());
            at = 2;
        }
        if (fills.isEmpty() || args.length != at + 2) {
            usage();
        }
        PrintStream listing = new PrintStream(new FileOutputStream(FileDescriptor.out), true,
                StandardCharsets.UTF_8);
        System.setOut(System.err);
        routeLoggingToStderr();
        System.exit(PrintComparison.run(Paths.get(args[at]), Paths.get(args[at + 1]), fills,
                listing) ? 0 : 2);
    }

    static void routeLoggingToStderr() {
        // commons-logging (the engine's) falls back to java.util.logging when nothing else is on
        // the class path; make sure that ends in a stderr console handler and nowhere else.
        System.setProperty("org.apache.commons.logging.Log",
                "org.apache.commons.logging.impl.Jdk14Logger");
        Logger root = Logger.getLogger("");
        for (Handler h : root.getHandlers()) {
            root.removeHandler(h);
        }
        ConsoleHandler console = new ConsoleHandler(); // writes to System.err
        console.setLevel(Level.ALL);
        root.addHandler(console);
        root.setLevel(Level.WARNING);
    }

    private static Path jarPath() throws Exception {
        return Paths.get(Main.class.getProtectionDomain().getCodeSource().getLocation().toURI());
    }

    private static void usage() {
        System.err.println("usage: java -jar sidecar.jar serve");
        System.err.println("       java -jar sidecar.jar compile-corpus DIR");
        System.err.println("       java -jar sidecar.jar compare-prints [--fill record|rows] BEFORE AFTER");
        System.err.println("       java -jar sidecar.jar read-values REPORT|DIR");
        System.err.println("       java -jar sidecar.jar bench [--iterations N]");
        System.exit(2);
    }
}
