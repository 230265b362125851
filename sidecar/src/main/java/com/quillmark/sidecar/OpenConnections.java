package com.quillmark.sidecar;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;

import org.postgresql.PGConnection;

/**
 * The database connections that requests hold right now. When the engine is ended (the designer
 * gave up on a request and closed our input, or signalled us to end), each one's running
 * statement is cancelled on the server and the connection closed, so no query outlives the
 * request it belonged to.
 */
final class OpenConnections {
    private static final Set<Connection> OPEN = ConcurrentHashMap.newKeySet();

    static {
        Runtime.getRuntime().addShutdownHook(
                new Thread(OpenConnections::endAll, "sidecar-end-connections"));
    }

    /** One connection in use; closing it closes the connection. */
    static final class Lease implements AutoCloseable {
        private final Connection connection;
        private final AutoCloseable owner;

        private Lease(Connection connection, AutoCloseable owner) {
            this.connection = connection;
            this.owner = owner;
        }

        Connection connection() {
            return connection;
        }

        @Override
        public void close() throws Exception {
            OPEN.remove(connection);
            owner.close();
        }
    }

    private OpenConnections() {
    }

    /** Tracks a connection until the lease is closed; closing the lease closes it. */
    static Lease track(Connection connection) {
        return track(connection, connection);
    }

    /** Tracks a connection that belongs to {@code owner}; closing the lease closes the owner. */
    static Lease track(Connection connection, AutoCloseable owner) {
        OPEN.add(connection);
        return new Lease(connection, owner);
    }

    static int count() {
        return OPEN.size();
    }

    /** Cancels what each open connection runs and closes it. */
    static void endAll() {
        for (Connection c : OPEN) {
            cancel(c);
            try {
                c.close();
            } catch (SQLException | RuntimeException e) {
                System.err.println("sidecar: closing a connection failed: " + e);
            }
            OPEN.remove(c);
        }
    }

    private static void cancel(Connection c) {
        try {
            if (c.isWrapperFor(PGConnection.class)) {
                // a cancel request on a connection of its own: the server stops the statement
                c.unwrap(PGConnection.class).cancelQuery();
            } else {
                c.abort(Runnable::run);
            }
        } catch (SQLException | RuntimeException e) {
            System.err.println("sidecar: cancelling a statement failed: " + e);
        }
    }
}
