package com.quillmark.sidecar;

import static com.quillmark.sidecar.TestSidecar.error;
import static com.quillmark.sidecar.TestSidecar.ok;
import static com.quillmark.sidecar.TestSidecar.params;
import static com.quillmark.sidecar.TestSidecar.texts;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.fasterxml.jackson.databind.JsonNode;

import org.junit.jupiter.api.Test;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;

/** Queries without a connection run on an empty in-memory database of their own. */
class StandaloneQueryTest extends SharedSidecarTest {

    private static JsonNode query(String sql, int maxRows) throws Exception {
        return sidecar.request("executeQuery", params("query", sql, "maxRows", maxRows));
    }

    @Test
    void literalValuesComeBackAsRows() throws Exception {
        JsonNode result = ok(query(
                "select 1 as id, 'Ann' as name union all select 2, 'Bob'", 200));
        assertEquals(List.of("id", "name"), texts(result.get("columns")));
        assertEquals(2, result.get("rows").size());
        assertEquals(List.of("1", "Ann"), texts(result.get("rows").get(0)));
        assertEquals(List.of("2", "Bob"), texts(result.get("rows").get(1)));

        // PostgreSQL's casts and functions, a NULL, and the report's tokens made harmless
        JsonNode pg = ok(query("select 1.5::numeric(10,2) as amount, upper('x') as u, "
                + "null as nothing, $P{Missing} as p from generate_series(1, 3) as g(x);", 200));
        assertEquals(3, pg.get("rows").size());
        assertEquals(List.of("1.50", "X"), texts(pg.get("rows").get(0)).subList(0, 2));
        assertTrue(pg.get("rows").get(0).get(2).isNull());
        assertTrue(pg.get("rows").get(0).get(3).isNull());

        JsonNode fields = ok(sidecar.request("readFieldsLive",
                params("query", "select 1 as id, 'Ann' as name")));
        assertEquals("java.lang.Integer", fields.get("fields").get(0).get("className").asText());
        assertEquals("name", fields.get("fields").get(1).get("name").asText());
    }

    @Test
    void aTableReferenceGetsTheDatabasesNotFoundMessage() throws Exception {
        String text = error(query("select name from customers", 200));
        assertTrue(text.contains("Table \"customers\" not found"), text);
    }

    @Test
    void theRulesOfAConnectedQueryHold() throws Exception {
        JsonNode capped = ok(query("select x from generate_series(1, 500) as g(x)", 200));
        assertEquals(200, capped.get("rows").size());

        assertEquals(SingleStatement.MORE_THAN_ONE,
                error(query("select 1; select 2", 200)));

        // nothing can be created or changed, and no file read or written
        Path written = dir.resolve("written.csv");
        String[] refused = {
            "create table t (x int)",
            "create alias env for 'java.lang.System.getenv'",
            "select csvwrite('" + written + "', 'select 1')",
            "select file_read('" + dir.resolve("stderr.log") + "')",
        };
        for (String sql : refused) {
            String text = error(query(sql, 200));
            assertTrue(text.contains("rights") || text.contains("read only")
                    || text.contains("Admin"), sql + " -> " + text);
        }
        assertTrue(Files.notExists(written));

        // each request gets a fresh, empty database
        error(query("create table kept (x int)", 200));
        String text = error(query("select * from kept", 200));
        assertTrue(text.contains("not found"), text);
    }

    @Test
    void aLongQueryIsCancelledAtTheStatementTimeOut() throws Exception {
        try (Client quick = Client.start(TestSidecar.jar(), dir.resolve("quick.log"),
                Map.of("QUILLMARK_STATEMENT_TIMEOUT", "1"))) {
            long start = System.nanoTime();
            String text = error(quick.request("executeQuery", params("query",
                    "select count(*) from system_range(1, 100000000) a, "
                            + "system_range(1, 100000000) b", "maxRows", 200)));
            long seconds = (System.nanoTime() - start) / 1_000_000_000L;
            assertEquals("The query was stopped after 1 second, the longest a query may run in"
                    + " the designer. Narrow it down (a WHERE clause or a LIMIT) or make it"
                    + " quicker, and try again.", text);
            assertTrue(seconds < 20, "took " + seconds + " s");
        }
    }
}
