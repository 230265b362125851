package com.quillmark.sidecar;

import static com.quillmark.sidecar.TestSidecar.error;
import static com.quillmark.sidecar.TestSidecar.ok;
import static com.quillmark.sidecar.TestSidecar.params;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.fasterxml.jackson.databind.JsonNode;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.concurrent.TimeUnit;

/** Framing and robustness of the request loop, against the real jar in a child process. */
class ProtocolTest {

    @TempDir
    Path dir;

    private static JsonNode parse(String line) throws Exception {
        return Server.JSON.readTree(line);
    }

    @Test
    void everyRequestGetsOneReplyInOrderAndBadInputNeverEndsTheProcess() throws Exception {
        try (Client c = TestSidecar.start(dir)) {
            JsonNode notJson = parse(c.sendLine("this is not json"));
            assertTrue(notJson.get("id").isNull());
            assertTrue(error(notJson).contains("not valid JSON"));

            JsonNode array = parse(c.sendLine("[1, 2]"));
            assertTrue(array.get("id").isNull());
            assertTrue(error(array).contains("must be a JSON object"));

            JsonNode noCmd = parse(c.sendLine("{\"id\": 7, \"params\": {}}"));
            assertEquals(7, noCmd.get("id").asInt());
            assertTrue(error(noCmd).contains("\"cmd\""));

            JsonNode unknown = parse(c.sendLine("{\"id\": \"abc\", \"cmd\": \"explode\"}"));
            assertEquals("abc", unknown.get("id").asText());
            assertTrue(error(unknown).contains("Unknown command \"explode\""));

            JsonNode badParams = parse(c.sendLine(
                    "{\"id\": 8, \"cmd\": \"compile\", \"params\": [\"x\"]}"));
            assertTrue(error(badParams).contains("\"params\" must be an object"));

            JsonNode missing = c.request("compile", params("jrxmlPath", "/tmp/x.jrxml"));
            assertTrue(error(missing).contains("Missing parameter \"jasperPath\""));

            JsonNode noFile = c.request("compile", params("jrxmlPath",
                    dir.resolve("absent.jrxml").toString(), "jasperPath",
                    dir.resolve("absent.jasper").toString()));
            assertTrue(error(noFile).startsWith("Report file not found: "));

            // a blank line is not a request: the next reply still belongs to the next request
            c.writeLine("");
            JsonNode after = parse(c.sendLine("{\"id\": 42, \"cmd\": \"evaluateExpression\", "
                    + "\"params\": {\"expression\": \"40 + 2\", \"language\": \"java\"}}"));
            assertEquals(42, after.get("id").asInt());
            assertEquals("42", ok(after).get("value").asText());

            assertEquals(0, c.finish(), "the process exits cleanly when its input ends");
        }
    }

    @Test
    void closingTheInputWhileARequestNeverEndsEndsTheProcess() throws Exception {
        try (Client c = TestSidecar.start(dir)) {
            ok(c.request("evaluateExpression", params("expression", "1", "language", "java")));
            c.writeLine("{\"id\": 2, \"cmd\": \"evaluateExpression\", \"params\": "
                    + "{\"expression\": \"{ while (true) {} }()\", \"language\": \"groovy\"}}");
            Thread.sleep(500);
            c.process().getOutputStream().close();
            assertTrue(c.process().waitFor(20, TimeUnit.SECONDS), "still running");
        }
    }

    @Test
    void printsOfTheEngineOrOfAReportGoToStandardErrorNotIntoReplies() throws Exception {
        Path jrxml = TestSidecar.report("stray-print.jrxml", dir);
        try (Client c = TestSidecar.start(dir)) {
            JsonNode rendered = c.request("render", params(
                    "jrxmlPath", jrxml.toString(),
                    "jasperPath", dir.resolve("stray.jasper").toString(),
                    "jrprintPath", dir.resolve("stray.jrprint").toString(),
                    "pdfPath", dir.resolve("stray.pdf").toString()));
            assertEquals(1, ok(rendered).get("pageCount").asInt());

            JsonNode evaluated = c.request("evaluateExpression", params(
                    "expression", "{ println 'stray groovy output'; 5 }()",
                    "language", "groovy"));
            assertEquals("5", ok(evaluated).get("value").asText());

            JsonNode next = c.request("evaluateExpression", params("expression", "\"still\"",
                    "language", "java"));
            assertEquals("still", ok(next).get("value").asText());
            assertEquals(0, c.finish());
        }
        String stderr = Files.readString(dir.resolve("stderr.log"));
        assertTrue(stderr.contains("stray output from a report"), stderr);
        assertTrue(stderr.contains("stray groovy output"), stderr);
    }
}
