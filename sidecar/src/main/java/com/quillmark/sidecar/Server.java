package com.quillmark.sidecar;

import com.fasterxml.jackson.core.JsonProcessingException;
import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.ObjectMapper;
import com.fasterxml.jackson.databind.node.ArrayNode;
import com.fasterxml.jackson.databind.node.JsonNodeFactory;
import com.fasterxml.jackson.databind.node.ObjectNode;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStream;
import java.io.InputStreamReader;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.IdentityHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.Collections;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.LinkedBlockingQueue;
import java.util.concurrent.atomic.AtomicBoolean;

/**
 * The request loop: one JSON request per line in, exactly one JSON reply per line out, in order.
 * A request never ends the loop; only the end of the input does.
 */
public final class Server {

    /** One command of the protocol. */
    @FunctionalInterface
    interface Command {
        ObjectNode run(Params params) throws Exception;
    }

    static final ObjectMapper JSON = new ObjectMapper();
    private static final int MAX_CAUSES = 20;

    /** Marks the end of the input in the queue of request lines; compared by identity. */
    @SuppressWarnings("StringOperationCanBeSimplified")
    private static final String END_OF_INPUT = new String("");

    private final Map<String, Command> commands;

    public Server() {
        ReportEngine engine = new ReportEngine();
        Database database = new Database();
        ExpressionEvaluator evaluator = new ExpressionEvaluator(engine);
        commands = Map.of(
                "render", engine::render,
                "compile", engine::compile,
                "fill", engine::fill,
                "export", engine::export,
                "testConnection", database::testConnection,
                "executeQuery", database::executeQuery,
                "readFieldsLive", database::readFieldsLive,
                "evaluateExpression", evaluator::evaluate);
    }

    /** Serves until {@code in} ends. Replies are flushed one by one. */
    public void serve(InputStream in, OutputStream out) throws IOException, InterruptedException {
        serve(in, out, () -> { });
    }

    /**
     * Serves until {@code in} ends. Requests are read on a thread of their own, so the end of
     * the input is seen even while a request runs: the designer has let go of us, nobody will
     * read the reply, and {@code abandon} runs at once (the process passes one that exits,
     * so a request that never ends cannot keep the engine alive).
     */
    public void serve(InputStream in, OutputStream out, Runnable abandon)
            throws IOException, InterruptedException {
        BlockingQueue<String> requests = new LinkedBlockingQueue<>();
        AtomicBoolean busy = new AtomicBoolean();
        AtomicBoolean inputClosed = new AtomicBoolean();
        Thread reader = new Thread(() -> {
            try (BufferedReader lines =
                    new BufferedReader(new InputStreamReader(in, StandardCharsets.UTF_8))) {
                String line;
                while ((line = lines.readLine()) != null) {
                    requests.put(line);
                }
            } catch (IOException | InterruptedException e) {
                System.err.println("sidecar: reading requests failed: " + e);
            }
            // Closed first and busy checked second, while the loop below does the opposite:
            // one of the two always sees the other.
            inputClosed.set(true);
            if (busy.get()) {
                abandon.run();
            }
            requests.add(END_OF_INPUT);
        }, "sidecar-requests");
        reader.setDaemon(true);
        reader.start();
        for (;;) {
            String line = requests.take();
            if (line == END_OF_INPUT) { // NOPMD: the marker is compared by identity
                return;
            }
            if (line.isBlank()) {
                continue; // not a request: answering it would shift every later reply
            }
            busy.set(true);
            if (inputClosed.get()) {
                return; // nobody is left to read the reply
            }
            out.write(handle(line));
            out.write('\n');
            out.flush();
            busy.set(false);
        }
    }

    /** The reply line (without the line feed) for one request line. */
    byte[] handle(String line) {
        JsonNode id = JsonNodeFactory.instance.nullNode();
        ObjectNode reply;
        try {
            JsonNode request;
            try {
                request = JSON.readTree(line);
            } catch (JsonProcessingException e) {
                throw new RequestException("The request is not valid JSON: "
                        + e.getOriginalMessage());
            }
            if (request == null || !request.isObject()) {
                throw new RequestException("The request must be a JSON object.");
            }
            if (request.has("id")) {
                id = request.get("id");
            }
            JsonNode cmd = request.get("cmd");
            if (cmd == null || !cmd.isTextual()) {
                throw new RequestException("The request has no \"cmd\" text.");
            }
            Command command = commands.get(cmd.textValue());
            if (command == null) {
                throw new RequestException("Unknown command \"" + cmd.textValue() + "\".");
            }
            ObjectNode result = command.run(new Params(request.get("params")));
            reply = JSON.createObjectNode();
            reply.set("id", id);
            reply.put("ok", true);
            reply.set("result", result == null ? JSON.createObjectNode() : result);
        } catch (Throwable t) { // NOPMD: whatever happens, the request gets its reply
            reply = errorReply(id, ReportClasses.explained(t));
        }
        try {
            return JSON.writeValueAsBytes(reply);
        } catch (Throwable t) {
            try {
                return JSON.writeValueAsBytes(errorReply(id, t));
            } catch (JsonProcessingException again) {
                return "{\"id\":null,\"ok\":false,\"error\":{\"message\":\"Could not write the reply.\",\"causes\":[]}}"
                        .getBytes(StandardCharsets.UTF_8);
            }
        }
    }

    static ObjectNode errorReply(JsonNode id, Throwable t) {
        ObjectNode reply = JSON.createObjectNode();
        reply.set("id", id);
        reply.put("ok", false);
        ObjectNode error = reply.putObject("error");
        error.put("message", message(t));
        ArrayNode causes = error.putArray("causes");
        for (String cause : causes(t)) {
            causes.add(cause);
        }
        if (!(t instanceof RequestException)) {
            System.err.println("sidecar: request failed: " + t);
        }
        return reply;
    }

    /**
     * Our own errors read as they are written, and a database's errors lead with the database's
     * own sentence rather than the driver's class name; everything else as {@code toString()}.
     */
    static String message(Throwable t) {
        if (t instanceof RequestException
                || (t instanceof SQLException && t.getMessage() != null && !t.getMessage().isBlank())) {
            return t.getMessage();
        }
        return String.valueOf(t);
    }

    /** {@code toString()} of each cause below {@code t}, outermost first, loops cut. */
    static List<String> causes(Throwable t) {
        List<String> out = new ArrayList<>();
        Set<Throwable> seen = Collections.newSetFromMap(new IdentityHashMap<>());
        seen.add(t);
        for (Throwable c = t.getCause(); c != null && seen.add(c) && out.size() < MAX_CAUSES;
                c = c.getCause()) {
            out.add(String.valueOf(c));
        }
        return out;
    }
}
