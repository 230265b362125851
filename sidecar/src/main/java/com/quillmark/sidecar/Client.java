package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ObjectNode;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;

/**
 * Drives a sidecar child process over its standard input and output, the way the designer does.
 * Used by the benchmark and by the tests.
 */
public final class Client implements AutoCloseable {
    private final Process process;
    private final OutputStream stdin;
    private final BufferedReader stdout;
    private long nextId = 1;

    private Client(Process process) {
        this.process = process;
        this.stdin = process.getOutputStream();
        this.stdout = new BufferedReader(
                new InputStreamReader(process.getInputStream(), StandardCharsets.UTF_8));
    }

    /** Starts {@code java -Djava.awt.headless=true -jar JAR serve}; stderr goes to {@code log}. */
    public static Client start(Path jar, Path log, Map<String, String> extraEnv)
            throws IOException {
        List<String> command = new ArrayList<>();
        command.add(javaExecutable());
        command.add("-Djava.awt.headless=true");
        command.add("-jar");
        command.add(jar.toString());
        command.add("serve");
        ProcessBuilder pb = new ProcessBuilder(command);
        pb.environment().putAll(extraEnv);
        if (log == null) {
            pb.redirectError(ProcessBuilder.Redirect.DISCARD);
        } else {
            pb.redirectError(ProcessBuilder.Redirect.appendTo(log.toFile()));
        }
        return new Client(pb.start());
    }

    /** The Java that runs this process, so children use the same runtime. */
    public static String javaExecutable() {
        return Paths.get(System.getProperty("java.home"), "bin", "java").toString();
    }

    /** Sends one request and returns the whole reply object. */
    public JsonNode request(String cmd, ObjectNode params) throws IOException {
        ObjectNode request = Server.JSON.createObjectNode();
        request.put("id", nextId++);
        request.put("cmd", cmd);
        request.set("params", params);
        return Server.JSON.readTree(sendLine(Server.JSON.writeValueAsString(request)));
    }

    /** Writes one raw line and returns the next reply line; fails when the process has ended. */
    public String sendLine(String line) throws IOException {
        writeLine(line);
        return readLine();
    }

    /** Writes one raw line without waiting for anything. */
    public void writeLine(String line) throws IOException {
        stdin.write(line.getBytes(StandardCharsets.UTF_8));
        stdin.write('\n');
        stdin.flush();
    }

    /** The next line on the child's standard output. */
    public String readLine() throws IOException {
        String reply = stdout.readLine();
        if (reply == null) {
            throw new IOException("the sidecar ended its output");
        }
        return reply;
    }

    public static ObjectNode params() {
        return Server.JSON.createObjectNode();
    }

    public Process process() {
        return process;
    }

    /** Closes the child's input and waits for it to exit; returns its exit code. */
    public int finish() throws IOException, InterruptedException {
        stdin.close();
        if (!process.waitFor(30, TimeUnit.SECONDS)) {
            process.destroyForcibly();
            throw new IOException("the sidecar did not exit after its input ended");
        }
        return process.exitValue();
    }

    @Override
    public void close() {
        try {
            stdin.close();
        } catch (IOException ignored) {
            // already gone
        }
        try {
            if (!process.waitFor(10, TimeUnit.SECONDS)) {
                process.destroyForcibly();
            }
        } catch (InterruptedException e) {
            process.destroyForcibly();
            Thread.currentThread().interrupt();
        }
    }
}
