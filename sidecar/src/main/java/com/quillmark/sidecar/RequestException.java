package com.quillmark.sidecar;

/**
 * A failure whose message is written for the report author and goes into the error reply as it
 * stands (without the exception's class name). Engine and driver exceptions are reported by their
 * {@code toString()} instead.
 */
public class RequestException extends Exception {
    private static final long serialVersionUID = 1L;

    public RequestException(String message) {
        super(message);
    }

    public RequestException(String message, Throwable cause) {
        super(message, cause);
    }
}
