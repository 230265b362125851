package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.ArrayNode;
import com.fasterxml.jackson.databind.node.JsonNodeFactory;
import com.fasterxml.jackson.databind.node.ObjectNode;

import java.math.BigDecimal;
import java.net.InetAddress;
import java.net.SocketTimeoutException;
import java.net.UnknownHostException;
import java.net.URLEncoder;
import java.nio.charset.StandardCharsets;
import java.sql.Array;
import java.sql.Blob;
import java.sql.Clob;
import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.SQLXML;
import java.sql.Timestamp;
import java.time.format.DateTimeFormatter;
import java.util.ArrayList;
import java.util.List;
import java.util.Properties;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/** The "testConnection", "executeQuery" and "readFieldsLive" commands, and opening connections. */
final class Database {
    static final int DEFAULT_MAX_ROWS = 200;
    private static final int LOGIN_TIMEOUT_SECONDS = 15;
    static final int DEFAULT_STATEMENT_TIMEOUT_SECONDS = 40;
    private static final int MAX_CELL_CHARS = 10_000;
    private static final DateTimeFormatter TIMESTAMP =
            DateTimeFormatter.ofPattern("yyyy-MM-dd HH:mm:ss");

    ObjectNode testConnection(Params p) throws Exception {
        JsonNode connection = requireConnection(p);
        try (OpenConnections.Lease lease = OpenConnections.track(open(connection))) {
            Connection c = lease.connection();
            DatabaseMetaData meta = c.getMetaData();
            ObjectNode result = JsonNodeFactory.instance.objectNode();
            result.put("productName", meta.getDatabaseProductName());
            result.put("productVersion", meta.getDatabaseProductVersion());
            return result;
        }
    }

    ObjectNode executeQuery(Params p) throws Exception {
        String query = requireQuery(p);
        int maxRows = p.integer("maxRows", DEFAULT_MAX_ROWS);
        if (maxRows < 0) {
            throw new RequestException("Parameter \"maxRows\" must not be negative.");
        }
        JsonNode connection = p.object("connection");
        String sql = previewStatement(query, connection);
        ObjectNode result = JsonNodeFactory.instance.objectNode();
        try (OpenConnections.Lease lease = openForPreview(connection);
                PreparedStatement st =
                        QueryTimeLimit.watched(lease.connection()).prepareStatement(sql)) {
            Connection c = lease.connection();
            try {
                st.setQueryTimeout(statementTimeoutSeconds());
                if (maxRows > 0) {
                    st.setMaxRows(maxRows);
                }
                try (ResultSet rs = executeForResults(st)) {
                    ResultSetMetaData meta = rs.getMetaData();
                    int n = meta.getColumnCount();
                    ArrayNode columns = result.putArray("columns");
                    for (int i = 1; i <= n; i++) {
                        columns.add(meta.getColumnLabel(i));
                    }
                    ArrayNode rows = result.putArray("rows");
                    int count = 0;
                    while (count < maxRows && rs.next()) {
                        ArrayNode row = rows.addArray();
                        for (int i = 1; i <= n; i++) {
                            String cell = cellText(rs.getObject(i));
                            if (cell == null) {
                                row.addNull();
                            } else {
                                row.add(cell);
                            }
                        }
                        count++;
                    }
                }
            } finally {
                rollBack(c);
            }
        }
        return result;
    }

    ObjectNode readFieldsLive(Params p) throws Exception {
        String query = requireQuery(p);
        JsonNode connection = p.object("connection");
        String sql = previewStatement(query, connection);
        ObjectNode result = JsonNodeFactory.instance.objectNode();
        ArrayNode fields = result.putArray("fields");
        try (OpenConnections.Lease lease = openForPreview(connection);
                PreparedStatement st =
                        QueryTimeLimit.watched(lease.connection()).prepareStatement(sql)) {
            try {
                st.setQueryTimeout(statementTimeoutSeconds());
                st.setMaxRows(1);
                try (ResultSet rs = executeForResults(st)) {
                    ResultSetMetaData meta = rs.getMetaData();
                    for (int i = 1; i <= meta.getColumnCount(); i++) {
                        ObjectNode field = fields.addObject();
                        field.put("name", meta.getColumnLabel(i));
                        field.put("className",
                                FieldClasses.declaredName(meta.getColumnClassName(i)));
                    }
                }
            } finally {
                rollBack(lease.connection());
            }
        }
        return result;
    }

    /**
     * How long one statement may run on the server: a little under the designer's 45 s wait for
     * a reply, so the statement is cancelled before the designer gives up on the engine.
     * QUILLMARK_STATEMENT_TIMEOUT (seconds) sets it otherwise.
     */
    static int statementTimeoutSeconds() {
        String given = System.getenv("QUILLMARK_STATEMENT_TIMEOUT");
        if (given != null && given.trim().matches("\\d{1,6}") && Integer.parseInt(given.trim()) > 0) {
            return Integer.parseInt(given.trim());
        }
        return DEFAULT_STATEMENT_TIMEOUT_SECONDS;
    }

    // ---- connections -------------------------------------------------------------------------

    /** Opens a connection described by the designer's connection object. */
    static Connection open(JsonNode connection) throws Exception {
        String type = field(connection, "type");
        String host = field(connection, "host").trim();
        if (host.isEmpty()) {
            host = "localhost";
        }
        if (host.indexOf(':') >= 0 && !host.startsWith("[")) {
            host = "[" + host + "]"; // IPv6 literal
        }
        String database = field(connection, "database");
        Properties props = new Properties();
        props.setProperty("user", field(connection, "user"));
        props.setProperty("password", field(connection, "password"));
        String url;
        int port;
        switch (type) {
            case "postgres":
                port = port(connection, 5432);
                url = "jdbc:postgresql://" + host + ":" + port + "/"
                        + URLEncoder.encode(database, StandardCharsets.UTF_8);
                props.setProperty("connectTimeout", String.valueOf(LOGIN_TIMEOUT_SECONDS));
                props.setProperty("ApplicationName", "Quillmark");
                // the server's own limit, a little after ours: it holds even when this process
                // is killed before it can cancel anything
                props.setProperty("options", "-c statement_timeout="
                        + (statementTimeoutSeconds() + 2) * 1000);
                break;
            case "sqlserver":
                port = port(connection, 1433);
                url = "jdbc:sqlserver://" + host + ":" + port + ";";
                if (!database.isEmpty()) {
                    props.setProperty("databaseName", database);
                }
                props.setProperty("loginTimeout", String.valueOf(LOGIN_TIMEOUT_SECONDS));
                props.setProperty("applicationName", "Quillmark");
                // development servers mostly run with self-signed certificates
                props.setProperty("trustServerCertificate", "true");
                break;
            default:
                throw new RequestException("Unsupported database type \"" + type
                        + "\"; expected \"postgres\" or \"sqlserver\".");
        }
        try {
            return DriverManager.getConnection(url, props);
        } catch (SQLException e) {
            // the driver's words ("The connection attempt failed.") say neither which host it
            // did not find nor where it waited
            if (Causes.first(e, UnknownHostException.class) != null || !resolves(host)) {
                throw new SQLException("Unknown host " + host + ". " + e.getMessage(),
                        e.getSQLState(), e);
            }
            if (Causes.first(e, SocketTimeoutException.class) != null) {
                throw new SQLException("No answer from " + host + ":" + port + ". "
                        + e.getMessage(), e.getSQLState(), e);
            }
            throw e;
        }
    }

    /**
     * Whether the host name has an address. SQL Server's driver tells a host it did not find only
     * in its own words, so the name is looked up again (the system has the answer at hand).
     */
    private static boolean resolves(String host) {
        try {
            InetAddress.getAllByName(host.startsWith("[") ? host.substring(1, host.length() - 1)
                    : host);
            return true;
        } catch (UnknownHostException e) {
            return false;
        } catch (RuntimeException e) {
            return true; // not ours to judge
        }
    }

    /**
     * A connection for looking at data: one transaction, read-only where the server enforces
     * that (SQL Server takes it only as a hint), and always rolled back after the query. Without
     * a connection, an empty in-memory database of this request's own.
     */
    private static OpenConnections.Lease openForPreview(JsonNode connection) throws Exception {
        OpenConnections.Lease lease;
        if (connection == null) {
            StandaloneDatabase standalone = StandaloneDatabase.open();
            lease = OpenConnections.track(standalone.connection(), standalone);
        } else {
            lease = OpenConnections.track(open(connection));
        }
        try {
            lease.connection().setAutoCommit(false);
            lease.connection().setReadOnly(true);
            return lease;
        } catch (SQLException e) {
            lease.close();
            throw e;
        }
    }

    private static JsonNode requireConnection(Params p) throws RequestException {
        JsonNode connection = p.object("connection");
        if (connection == null) {
            throw new RequestException(
                    "No database connection was given. Choose a connection for the report first.");
        }
        return connection;
    }

    private static String requireQuery(Params p) throws RequestException {
        String query = p.text("query");
        if (query.isBlank()) {
            throw new RequestException("The query is empty.");
        }
        return query;
    }

    private static String field(JsonNode connection, String key) throws RequestException {
        JsonNode v = connection.get(key);
        if (v == null || v.isNull()) {
            if (key.equals("type")) {
                throw new RequestException("The connection has no \"type\".");
            }
            return "";
        }
        if (!v.isValueNode()) {
            throw new RequestException("Connection field \"" + key + "\" must be a text.");
        }
        return v.asText();
    }

    private static int port(JsonNode connection, int defaultPort) throws RequestException {
        JsonNode v = connection.get("port");
        if (v == null || v.isNull() || v.isIntegralNumber() && v.intValue() == 0) {
            return defaultPort;
        }
        if (v.isIntegralNumber() && v.canConvertToInt() && v.intValue() > 0
                && v.intValue() < 65536) {
            return v.intValue();
        }
        if (v.isTextual() && v.asText().trim().matches("\\d{1,5}")) {
            return Integer.parseInt(v.asText().trim());
        }
        throw new RequestException("Connection field \"port\" is not a port number: " + v);
    }

    // ---- queries -----------------------------------------------------------------------------

    private static final Pattern REPORT_TOKEN =
            Pattern.compile("\\$P!\\{[^}]*\\}|\\$P\\{[^}]*\\}|\\$X\\{[^}]*\\}");

    /**
     * The one statement that looking at data runs for a query text: report tokens made harmless,
     * a trailing {@code ;} dropped, and a text with several statements refused.
     */
    private static String previewStatement(String query, JsonNode connection)
            throws RequestException {
        boolean sqlServer = connection != null && "sqlserver".equals(field(connection, "type"));
        return SingleStatement.require(withoutReportTokens(query), sqlServer);
    }

    /**
     * The data panel shows a report's query as it stands, so its report tokens are made harmless,
     * as the engine treats a parameter without a value: {@code $P{x}} becomes NULL,
     * {@code $P!{x}} disappears and a {@code $X{...}} clause becomes {@code 0 = 0}.
     */
    static String withoutReportTokens(String query) {
        StringBuilder sql = new StringBuilder();
        Matcher m = REPORT_TOKEN.matcher(query);
        int last = 0;
        while (m.find()) {
            sql.append(query, last, m.start());
            String token = m.group();
            if (token.startsWith("$X")) {
                sql.append("0 = 0");
            } else if (!token.startsWith("$P!")) {
                sql.append("NULL");
            }
            last = m.end();
        }
        sql.append(query.substring(last));
        return sql.toString();
    }

    /**
     * Ends the read-only transaction, on a connection still open: one the server has closed meanwhile
     * has nothing to roll back, and the query's own failure, not the closed connection, is what the
     * user reads.
     */
    private static void rollBack(Connection c) throws SQLException {
        if (!c.isClosed()) {
            c.rollback();
        }
    }

    /** Runs a statement and returns its first result set, skipping update counts before it. */
    private static ResultSet executeForResults(PreparedStatement st) throws Exception {
        boolean isResultSet;
        try {
            isResultSet = st.execute();
        } catch (SQLException e) {
            throw QueryTimeLimit.explained(e);
        }
        while (!isResultSet) {
            if (st.getUpdateCount() == -1) {
                throw new RequestException("The query returned no rows or columns.");
            }
            isResultSet = st.getMoreResults();
        }
        return st.getResultSet();
    }

    /**
     * One cell as the data panel shows it, or {@code null} for SQL NULL: at most
     * {@code MAX_CELL_CHARS} characters of it, so that tables with document columns stay viewable.
     */
    static String cellText(Object value) throws SQLException {
        return Texts.cut(fullCellText(value), MAX_CELL_CHARS);
    }

    private static String fullCellText(Object value) throws SQLException {
        if (value == null) {
            return null;
        }
        if (value instanceof String) {
            return (String) value;
        }
        if (value instanceof Timestamp) {
            Timestamp ts = (Timestamp) value;
            String text = ts.toLocalDateTime().format(TIMESTAMP);
            if (ts.getNanos() != 0) {
                String fraction = String.format("%09d", ts.getNanos()).replaceAll("0+$", "");
                text += "." + fraction;
            }
            return text;
        }
        if (value instanceof BigDecimal) {
            return ((BigDecimal) value).toPlainString();
        }
        if (value instanceof byte[]) {
            return "(" + ((byte[]) value).length + " bytes)";
        }
        if (value instanceof Blob) {
            return "(" + ((Blob) value).length() + " bytes)";
        }
        if (value instanceof Clob) {
            Clob clob = (Clob) value;
            return clob.getSubString(1, (int) Math.min(clob.length(), MAX_CELL_CHARS));
        }
        if (value instanceof SQLXML) {
            return ((SQLXML) value).getString();
        }
        if (value instanceof Array) {
            Object items = ((Array) value).getArray();
            List<String> texts = new ArrayList<>();
            if (items instanceof Object[]) {
                for (Object item : (Object[]) items) {
                    texts.add(String.valueOf(fullCellText(item)));
                }
            }
            return "{" + String.join(",", texts) + "}";
        }
        return String.valueOf(value);
    }
}
