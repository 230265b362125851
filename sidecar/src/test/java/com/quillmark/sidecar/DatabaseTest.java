package com.quillmark.sidecar;

import static com.quillmark.sidecar.TestSidecar.error;
import static com.quillmark.sidecar.TestSidecar.ok;
import static com.quillmark.sidecar.TestSidecar.params;
import static com.quillmark.sidecar.TestSidecar.texts;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ObjectNode;

import org.junit.jupiter.api.Test;

import java.io.IOException;
import java.net.InetAddress;
import java.net.ServerSocket;
import java.net.Socket;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.concurrent.TimeUnit;

/**
 * The database commands and a live-data render. They run against the PostgreSQL server that
 * test.sh starts and describes in QUILLMARK_TEST_PG_* variables, and skip without it.
 */
class DatabaseTest extends SharedSidecarTest {
    static final String NO_DB = "no test database: QUILLMARK_TEST_PG_PORT is unset "
            + "(sidecar/test.sh starts one)";


    private static ObjectNode postgres() {
        String port = System.getenv("QUILLMARK_TEST_PG_PORT");
        assumeTrue(port != null && !port.isEmpty(), NO_DB);
        ObjectNode c = Client.params();
        c.put("type", "postgres");
        c.put("host", System.getenv("QUILLMARK_TEST_PG_HOST"));
        c.put("port", Integer.parseInt(port));
        c.put("database", System.getenv("QUILLMARK_TEST_PG_DB"));
        c.put("user", System.getenv("QUILLMARK_TEST_PG_USER"));
        c.put("password", System.getenv("QUILLMARK_TEST_PG_PASSWORD"));
        return c;
    }

    private static JsonNode query(String sql, int maxRows) throws Exception {
        return sidecar.request("executeQuery", params("query", sql, "maxRows", maxRows,
                "connection", postgres()));
    }

    @Test
    void longTextCellsAreCutSoTheTableStaysViewable() throws Exception {
        JsonNode result = ok(query("select repeat('x', 20000) as doc, 'short' as s, "
                + "array[repeat('y', 20000)] as arr", 200));
        JsonNode row = result.get("rows").get(0);
        assertEquals("x".repeat(10_000) + "\u2026", row.get(0).asText());
        assertEquals("short", row.get(1).asText());
        assertEquals(10_001, row.get(2).asText().length(), "an array's text is cut as a whole");
    }

    @Test
    void testConnectionReportsTheProductOrTheServersRefusal() throws Exception {
        JsonNode result = ok(sidecar.request("testConnection", params("connection", postgres())));
        assertEquals("PostgreSQL", result.get("productName").asText());
        assertTrue(result.get("productVersion").asText().matches("\\d+(\\.\\d+)*.*"));

        ObjectNode wrong = postgres().put("password", "not the password");
        String text = error(sidecar.request("testConnection", params("connection", wrong)));
        assertTrue(text.startsWith("FATAL: password authentication failed"), text);
    }

    @Test
    void executeQueryGivesColumnsAndCellTexts() throws Exception {
        JsonNode result = ok(query("SELECT id, name, city, balance, joined, active "
                + "FROM customers WHERE id IN (1, 3, 5) ORDER BY id", 200));
        assertEquals(List.of("id", "name", "city", "balance", "joined", "active"),
                texts(result.get("columns")));
        JsonNode rows = result.get("rows");
        assertEquals(3, rows.size());
        assertEquals(List.of("1", "Ada Lovelace", "London", "1250.50", "2021-03-14", "true"),
                texts(rows.get(0)));
        assertTrue(rows.get(1).get(2).isNull(), "SQL NULL is a JSON null");
        assertEquals("0.00", rows.get(1).get(3).asText());
        assertTrue(rows.get(2).get(3).isNull());

        // report tokens in the query are tolerated: $P{...} binds NULL
        JsonNode withParam = ok(query(
                "SELECT name FROM customers WHERE city = $P{City} OR $P{City} IS NULL", 200));
        assertEquals(5, withParam.get("rows").size());
    }

    @Test
    void executeQueryStopsAtMaxRowsAndNeverChangesData() throws Exception {
        String series = "SELECT g FROM generate_series(1, 500) AS g";
        assertEquals(200, ok(query(series, 200)).get("rows").size());
        JsonNode three = ok(query(series, 3));
        assertEquals(List.of("1", "2", "3"), List.of(three.get("rows").get(0).get(0).asText(),
                three.get("rows").get(1).get(0).asText(), three.get("rows").get(2).get(0).asText()));

        String refused = error(query("DELETE FROM customers RETURNING id", 200));
        assertTrue(refused.contains("read-only"), refused);
        assertEquals("5", ok(query("SELECT count(*) FROM customers", 200))
                .get("rows").get(0).get(0).asText());
    }

    @Test
    void severalStatementsAreRefusedBeforeTheyReachTheDatabase() throws Exception {
        String[] attacks = {
            "COMMIT; DELETE FROM customers WHERE id=2 RETURNING id",
            "COMMIT; SET TRANSACTION READ WRITE; CREATE TABLE intruder (x int)",
        };
        for (String attack : attacks) {
            assertEquals(SingleStatement.MORE_THAN_ONE, error(query(attack, 200)), attack);
            String fields = error(sidecar.request("readFieldsLive",
                    params("query", attack, "connection", postgres())));
            assertEquals(SingleStatement.MORE_THAN_ONE, fields, attack);
        }
        JsonNode unchanged = ok(query("SELECT count(*), bool_or(id = 2), "
                + "to_regclass('intruder') IS NULL FROM customers;", 200));
        assertEquals(List.of("5", "true", "true"), texts(unchanged.get("rows").get(0)));
        JsonNode trailing = ok(query("SELECT ';' AS s, $$a;b$$ AS d /* ; */ ; -- done", 200));
        assertEquals(List.of(";", "a;b"), texts(trailing.get("rows").get(0)));
    }

    @Test
    void readFieldsLiveGivesLabelsAndJavaClasses() throws Exception {
        JsonNode result = ok(sidecar.request("readFieldsLive", params("query",
                "SELECT id, name AS customer, balance, joined, active FROM customers",
                "connection", postgres())));
        List<String> fields = new ArrayList<>();
        result.get("fields").forEach(f ->
                fields.add(f.get("name").asText() + ":" + f.get("className").asText()));
        assertEquals(List.of("id:java.lang.Integer", "customer:java.lang.String",
                "balance:java.math.BigDecimal", "joined:java.sql.Date",
                "active:java.lang.Boolean"), fields);

        // Arrays by the names a report declares them by, not the JVM's.
        JsonNode arrays = ok(sidecar.request("readFieldsLive", params("query",
                "SELECT decode('00ff', 'hex') AS picture FROM customers",
                "connection", postgres())));
        assertEquals("byte[]", arrays.get("fields").get(0).get("className").asText());
    }

    @Test
    void renderWithALiveDataSourceRunsTheReportsQueryWithItsParameters() throws Exception {
        Path jrxml = TestSidecar.report("customers.jrxml", dir);
        ObjectNode dataSource = Client.params();
        dataSource.put("type", "jdbc");
        dataSource.set("connection", postgres());
        dataSource.put("query", "SELECT name, balance FROM customers");
        JsonNode result = ok(sidecar.request("render", params(
                "jrxmlPath", jrxml.toString(),
                "jasperPath", dir.resolve("customers.jasper").toString(),
                "jrprintPath", dir.resolve("customers.jrprint").toString(),
                "pdfPath", dir.resolve("customers.pdf").toString(),
                "paramValues", params("MinBalance", "50"),
                "dataSource", dataSource)));
        assertTrue(result.get("pageCount").asInt() >= 1);
        Path csv = dir.resolve("customers.csv");
        ok(sidecar.request("export", params("jrprintPath",
                dir.resolve("customers.jrprint").toString(), "outputPath", csv.toString(),
                "format", "csv")));
        String text = Files.readString(csv);
        assertTrue(text.contains("Ada Lovelace,1250.50"), text);
        assertTrue(text.contains("Alan Turing,99.00"), text);
        assertFalse(text.contains("Edsger Dijkstra"), "balance below the parameter: " + text);
    }

    /** How many statements holding {@code marker} the server is running now. */
    private static int runningOnServer(String marker) throws Exception {
        ObjectNode c = postgres();
        String url = "jdbc:postgresql://" + c.get("host").asText() + ":" + c.get("port").asInt()
                + "/" + c.get("database").asText();
        try (Connection db = DriverManager.getConnection(url, c.get("user").asText(),
                c.get("password").asText());
                PreparedStatement st = db.prepareStatement("SELECT count(*) FROM pg_stat_activity "
                        + "WHERE state = 'active' AND pid <> pg_backend_pid() AND query LIKE ?")) {
            st.setString(1, "%" + marker + "%");
            try (ResultSet rs = st.executeQuery()) {
                rs.next();
                return rs.getInt(1);
            }
        }
    }

    /** Waits up to {@code seconds} for the count of running statements to become {@code n}. */
    private static boolean becomes(String marker, int n, int seconds) throws Exception {
        long end = System.nanoTime() + seconds * 1_000_000_000L;
        while (System.nanoTime() < end) {
            if (runningOnServer(marker) == n) {
                return true;
            }
            Thread.sleep(100);
        }
        return runningOnServer(marker) == n;
    }

    private static String sleepRequest(String marker) throws Exception {
        ObjectNode request = Client.params();
        request.put("id", 1);
        request.put("cmd", "executeQuery");
        request.set("params", params("query", "SELECT pg_sleep(60) AS " + marker,
                "maxRows", 200, "connection", postgres()));
        return Server.JSON.writeValueAsString(request);
    }

    @Test
    void noStatementOutlivesItsRequest() throws Exception {
        // the statement's own time-out cancels it on the server
        try (Client quick = Client.start(TestSidecar.jar(), dir.resolve("timeout.log"),
                Map.of("QUILLMARK_STATEMENT_TIMEOUT", "2"))) {
            String text = error(quick.request("executeQuery", params("query",
                    "SELECT pg_sleep(60) AS timeout_probe", "maxRows", 200,
                    "connection", postgres())));
            assertTrue(text.startsWith("The query was stopped after 2 seconds, "), text);
            assertEquals(0, runningOnServer("timeout_probe"));
        }
        // the designer gives up on the request: it closes the engine's input, or signals it
        for (String how : List.of("input_closed_probe", "terminated_probe")) {
            Client engine = Client.start(TestSidecar.jar(), dir.resolve(how + ".log"), Map.of());
            engine.writeLine(sleepRequest(how));
            assertTrue(becomes(how, 1, 20), how + " never started on the server");
            if (how.startsWith("input")) {
                engine.close();
            } else {
                engine.process().destroy();
                engine.process().waitFor(10, TimeUnit.SECONDS);
            }
            assertTrue(becomes(how, 0, 3), how + " still runs on the server");
        }
    }

    @Test
    void anUnknownHostIsNamedForEitherServer() throws Exception {
        for (String type : List.of("postgres", "sqlserver")) {
            ObjectNode c = Client.params();
            c.put("type", type).put("host", "nosuchhost.invalid").put("port", 0)
                    .put("database", "x").put("user", "u").put("password", "p");
            String text = error(sidecar.request("testConnection", params("connection", c)));
            assertTrue(text.startsWith("Unknown host nosuchhost.invalid. "), text);
        }
    }

    @Test
    void aQueryStoppedByItsTimeOutReadsAlikeInTheDataPanelAndInAFill() throws Exception {
        Path jrxml = dir.resolve("sleepy.jrxml");
        Files.writeString(jrxml, "<jasperReport xmlns=\"http://jasperreports.sourceforge.net/"
                + "jasperreports\" name=\"Sleepy\" pageWidth=\"595\" pageHeight=\"842\" "
                + "columnWidth=\"555\"><queryString><![CDATA[SELECT pg_sleep(60) AS z]]>"
                + "</queryString><field name=\"z\" class=\"java.lang.Object\"/>"
                + "<detail><band height=\"20\"/></detail></jasperReport>");
        ObjectNode dataSource = Client.params();
        dataSource.put("type", "jdbc");
        dataSource.set("connection", postgres());
        dataSource.put("query", "SELECT pg_sleep(60) AS z");
        try (Client quick = Client.start(TestSidecar.jar(), dir.resolve("stopped.log"),
                Map.of("QUILLMARK_STATEMENT_TIMEOUT", "1"))) {
            String query = error(quick.request("executeQuery", params("query",
                    "SELECT pg_sleep(60) AS z", "maxRows", 200, "connection", postgres())));
            assertTrue(query.startsWith("The query was stopped after 1 second, "), query);
            String render = error(quick.request("render", params(
                    "jrxmlPath", jrxml.toString(),
                    "jasperPath", dir.resolve("sleepy.jasper").toString(),
                    "pdfPath", dir.resolve("sleepy.pdf").toString(),
                    "dataSource", dataSource)));
            assertEquals(query, render);
            String fill = error(quick.request("fill", params(
                    "jasperPath", dir.resolve("sleepy.jasper").toString(),
                    "jrprintPath", dir.resolve("sleepy.jrprint").toString(),
                    "dataSource", dataSource)));
            assertEquals(query, fill);
        }
    }

    @Test
    void aServerThatNeverAnswersIsNamedByItsAddress() throws Exception {
        try (ServerSocket silent = new ServerSocket(0, 5, InetAddress.getLoopbackAddress())) {
            List<Socket> held = new ArrayList<>();
            Thread acceptor = new Thread(() -> {
                try {
                    while (true) {
                        held.add(silent.accept());
                    }
                } catch (IOException closed) {
                    // the test is over
                }
            });
            acceptor.setDaemon(true);
            acceptor.start();
            ObjectNode c = Client.params();
            c.put("type", "postgres").put("host", "127.0.0.1").put("port", silent.getLocalPort())
                    .put("database", "x").put("user", "u").put("password", "p");
            String text = error(sidecar.request("testConnection", params("connection", c)));
            assertTrue(text.startsWith("No answer from 127.0.0.1:" + silent.getLocalPort()
                    + ". "), text);
            assertTrue(text.contains("SocketTimeoutException"), "the driver's words stay: " + text);
        }
    }

    @Test
    void sqlServerDriverIsInsideTheJar() throws Exception {
        int closedPort;
        try (ServerSocket s = new ServerSocket(0)) {
            closedPort = s.getLocalPort();
        }
        ObjectNode c = Client.params();
        c.put("type", "sqlserver").put("host", "127.0.0.1").put("port", closedPort)
                .put("database", "x").put("user", "sa").put("password", "x");
        String text = error(sidecar.request("testConnection", params("connection", c)));
        assertFalse(text.contains("No suitable driver"), text);
        // the driver's own sentence, without its class name in front
        assertTrue(text.startsWith("The TCP/IP connection to the host 127.0.0.1, port "
                + closedPort + " has failed."), text);

        String badType = error(sidecar.request("testConnection",
                params("connection", c.deepCopy().put("type", "oracle"))));
        assertTrue(badType.contains("Unsupported database type \"oracle\""), badType);
    }
}
