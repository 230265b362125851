package com.quillmark.sidecar;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Proxy;
import java.sql.Connection;
import java.sql.SQLException;
import java.sql.SQLTimeoutException;
import java.sql.Statement;
import java.util.concurrent.TimeUnit;

/**
 * Tells a statement stopped by the designer's time limit from one the database server cancelled
 * for a reason of its own (an administrator's pg_cancel_backend, say): both fail alike, with the
 * SQLState of a cancelled statement. A statement of a watched connection that fails so after it
 * has run at least the limit fails with {@link Reached}; one cancelled sooner keeps the server's
 * error, since the limit cancels nothing before it has passed.
 */
final class QueryTimeLimit {

    /** A statement that the time limit stopped; the server's error is its cause. */
    static final class Reached extends SQLTimeoutException {
        private static final long serialVersionUID = 1L;

        Reached(SQLException cause) {
            super(cause.getMessage(), cause.getSQLState(), cause.getErrorCode(), cause);
        }
    }

    private QueryTimeLimit() {
    }

    /** The connection, its statements watched. Closing it closes the connection. */
    static Connection watched(Connection connection) {
        return (Connection) Proxy.newProxyInstance(QueryTimeLimit.class.getClassLoader(),
                new Class<?>[] {Connection.class}, (proxy, method, args) -> {
                    Object result = call(connection, method, args);
                    Class<?> type = method.getReturnType();
                    if (result instanceof Statement && Statement.class.isAssignableFrom(type)
                            && type.isInterface()) {
                        return watched((Statement) result, type);
                    }
                    return result;
                });
    }

    private static Object watched(Statement statement, Class<?> type) {
        return Proxy.newProxyInstance(QueryTimeLimit.class.getClassLoader(), new Class<?>[] {type},
                (proxy, method, args) -> {
                    if (!method.getName().startsWith("execute")) {
                        return call(statement, method, args);
                    }
                    long start = System.nanoTime();
                    try {
                        return call(statement, method, args);
                    } catch (SQLException e) {
                        if (isCancel(e) && System.nanoTime() - start
                                >= TimeUnit.SECONDS.toNanos(Database.statementTimeoutSeconds())) {
                            throw new Reached(e);
                        }
                        throw e;
                    }
                });
    }

    private static Object call(Object target, Method method, Object[] args) throws Throwable {
        try {
            return method.invoke(target, args);
        } catch (InvocationTargetException e) {
            throw e.getCause();
        }
    }

    /**
     * Whether the statement was cancelled: SQLState 57014 (query_canceled, as PostgreSQL and H2
     * say it), or a time-out or cancel as SQL Server reports it.
     */
    static boolean isCancel(SQLException e) {
        String state = e.getSQLState();
        return e instanceof SQLTimeoutException || "57014".equals(state) || "HYT00".equals(state)
                || "HY008".equals(state);
    }

    /**
     * What a query that ended by a cancel or a lost connection fails with, wherever it ran: the
     * limit's words when the limit stopped it, the server's cancel and the server's end of the
     * connection named as such, and anything else as it is.
     */
    static Exception explained(Exception e) {
        if (Causes.first(e, Reached.class) != null) {
            return stopped();
        }
        SQLException cancel = Causes.first(e, SQLException.class, QueryTimeLimit::isCancel);
        if (cancel != null) {
            return new RequestException("The database server cancelled the query before it "
                    + "finished: the designer's time limit did not stop it, so someone or "
                    + "something on the server did (an administrator, say). Run it again, or ask "
                    + "the database's administrator why it was cancelled.", cancel);
        }
        SQLException lost = Causes.first(e, SQLException.class, QueryTimeLimit::isConnectionLost);
        if (lost != null) {
            return new RequestException("The database server ended the connection before the "
                    + "query finished: the server was stopped or restarted, or the connection to "
                    + "it broke. Check that the server runs again (or ask the database's "
                    + "administrator), then run the query again.", lost);
        }
        return e;
    }

    /**
     * Whether the server ended the connection: SQLState class 57P (PostgreSQL's administrator or
     * crash shutdown), or a connection failure or a connection that no longer exists (08006,
     * 08003, and SQL Server's 08S01).
     */
    static boolean isConnectionLost(SQLException e) {
        String state = e.getSQLState();
        return state != null && (state.startsWith("57P") || "08006".equals(state)
                || "08003".equals(state) || "08S01".equals(state));
    }

    /** What a query stopped by the time limit fails with. */
    static RequestException stopped() {
        int seconds = Database.statementTimeoutSeconds();
        return new RequestException("The query was stopped after " + seconds
                + (seconds == 1 ? " second" : " seconds")
                + ", the longest a query may run in the designer. Narrow it down (a WHERE"
                + " clause or a LIMIT) or make it quicker, and try again.");
    }
}
