package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ObjectNode;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;

/** Starts the built jar as a child process and helps read its replies. */
final class TestSidecar {

    private TestSidecar() {
    }

    static Path jar() {
        Path jar = Paths.get(System.getProperty("sidecar.jar", "target/sidecar.jar"));
        assertTrue(Files.isRegularFile(jar), "build the jar first (mvn package): " + jar);
        return jar;
    }

    /** A running sidecar whose standard error is kept in {@code dir/stderr.log}. */
    static Client start(Path dir) throws IOException {
        return Client.start(jar(), dir.resolve("stderr.log"), Map.of());
    }

    /** Copies a report of the test resources into {@code dir}. */
    static Path report(String name, Path dir) throws IOException {
        Path target = dir.resolve(name);
        try (InputStream in = TestSidecar.class.getResourceAsStream("/reports/" + name)) {
            Files.copy(in, target);
        }
        return target;
    }

    /** Builds a params object from key/value pairs; values are texts, numbers or JSON nodes. */
    static ObjectNode params(Object... keysAndValues) {
        ObjectNode p = Client.params();
        for (int i = 0; i < keysAndValues.length; i += 2) {
            String key = (String) keysAndValues[i];
            Object v = keysAndValues[i + 1];
            if (v instanceof JsonNode) {
                p.set(key, (JsonNode) v);
            } else if (v instanceof Integer) {
                p.put(key, (Integer) v);
            } else {
                p.put(key, String.valueOf(v));
            }
        }
        return p;
    }

    /** The "result" of a reply that must be a success. */
    /** The texts of a JSON array, a JSON null as null. */
    static List<String> texts(JsonNode array) {
        List<String> out = new ArrayList<>();
        array.forEach(v -> out.add(v.isNull() ? null : v.asText()));
        return out;
    }

    static JsonNode ok(JsonNode reply) {
        assertTrue(reply.path("ok").asBoolean(), () -> "expected success, got " + reply);
        assertTrue(reply.path("result").isObject(), () -> "no result object in " + reply);
        return reply.path("result");
    }

    /** Message and causes of a reply that must be a failure, one per line as the designer shows. */
    static String error(JsonNode reply) {
        assertFalse(reply.path("ok").asBoolean(), () -> "expected an error, got " + reply);
        JsonNode error = reply.path("error");
        assertTrue(error.path("message").isTextual(), () -> "no message in " + reply);
        assertTrue(error.path("causes").isArray(), () -> "no causes array in " + reply);
        StringBuilder text = new StringBuilder(error.path("message").asText());
        error.path("causes").forEach(c -> text.append('\n').append(c.asText()));
        return text.toString();
    }
}
