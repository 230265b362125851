package com.quillmark.sidecar;

import java.security.SecureRandom;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.HexFormat;

/**
 * The database a query runs on when no connection was given: an empty in-memory H2 database in
 * its PostgreSQL mode, made for one request and dropped when it is closed. Literal values,
 * {@code VALUES}, unions and the database's own functions work; a table reference gets the
 * database's own "not found" message.
 *
 * <p>The query runs as a user without any rights of its own: it can create or change nothing,
 * and the functions that read or write files need rights it does not have.
 */
final class StandaloneDatabase implements AutoCloseable {
    private static final SecureRandom RANDOM = new SecureRandom();
    private static final String SETTINGS =
            ";MODE=PostgreSQL;DATABASE_TO_LOWER=TRUE;DEFAULT_NULL_ORDERING=HIGH";

    private final Connection owner;
    private final Connection reader;

    private StandaloneDatabase(Connection owner, Connection reader) {
        this.owner = owner;
        this.reader = reader;
    }

    static StandaloneDatabase open() throws SQLException {
        // the name only keeps the two connections of one request together: an in-memory
        // database is private to this process and gone when its last connection closes
        String url = "jdbc:h2:mem:standalone-" + secret() + SETTINGS;
        String ownerPassword = secret();
        String readerPassword = secret();
        Connection owner = DriverManager.getConnection(url, "owner", ownerPassword);
        try {
            try (Statement st = owner.createStatement()) {
                st.execute("CREATE USER reader PASSWORD '" + readerPassword + "'");
            }
            return new StandaloneDatabase(owner,
                    DriverManager.getConnection(url, "reader", readerPassword));
        } catch (SQLException e) {
            owner.close();
            throw e;
        }
    }

    /** The connection the query runs on. */
    Connection connection() {
        return reader;
    }

    @Override
    public void close() throws SQLException {
        try {
            reader.close();
        } finally {
            owner.close();
        }
    }

    private static String secret() {
        byte[] bytes = new byte[12];
        RANDOM.nextBytes(bytes);
        return HexFormat.of().formatHex(bytes);
    }
}
