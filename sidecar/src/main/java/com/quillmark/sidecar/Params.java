package com.quillmark.sidecar;

import com.fasterxml.jackson.databind.JsonNode;
import com.fasterxml.jackson.databind.node.JsonNodeFactory;
import com.fasterxml.jackson.databind.node.ObjectNode;

import java.nio.file.Path;
import java.nio.file.Paths;

/** Typed access to the "params" object of one request; every problem is a clear error. */
final class Params {
    private final ObjectNode node;

    Params(JsonNode node) throws RequestException {
        if (node == null || node.isNull() || node.isMissingNode()) {
            this.node = JsonNodeFactory.instance.objectNode();
        } else if (node.isObject()) {
            this.node = (ObjectNode) node;
        } else {
            throw new RequestException("\"params\" must be an object.");
        }
    }

    boolean has(String key) {
        JsonNode v = node.get(key);
        return v != null && !v.isNull();
    }

    String text(String key) throws RequestException {
        JsonNode v = node.get(key);
        if (v == null || v.isNull()) {
            throw new RequestException("Missing parameter \"" + key + "\".");
        }
        if (!v.isTextual()) {
            throw new RequestException("Parameter \"" + key + "\" must be a text.");
        }
        return v.textValue();
    }

    String optionalText(String key) throws RequestException {
        return has(key) ? text(key) : null;
    }

    /** A file-system path parameter; it must be a non-empty text. */
    Path path(String key) throws RequestException {
        String text = text(key);
        if (text.isEmpty()) {
            throw new RequestException("Parameter \"" + key + "\" is an empty path.");
        }
        try {
            return Paths.get(text).toAbsolutePath();
        } catch (RuntimeException e) {
            throw new RequestException("Parameter \"" + key + "\" is not a valid path: " + text, e);
        }
    }

    Path optionalPath(String key) throws RequestException {
        return has(key) ? path(key) : null;
    }

    int integer(String key, int defaultValue) throws RequestException {
        JsonNode v = node.get(key);
        if (v == null || v.isNull()) {
            return defaultValue;
        }
        if (!v.isIntegralNumber() || !v.canConvertToInt()) {
            throw new RequestException("Parameter \"" + key + "\" must be a whole number.");
        }
        return v.intValue();
    }

    /** An object parameter, or {@code null} when absent. */
    JsonNode object(String key) throws RequestException {
        JsonNode v = node.get(key);
        if (v == null || v.isNull()) {
            return null;
        }
        if (!v.isObject()) {
            throw new RequestException("Parameter \"" + key + "\" must be an object.");
        }
        return v;
    }

    /** An array parameter; absent means empty. */
    JsonNode array(String key) throws RequestException {
        JsonNode v = node.get(key);
        if (v == null || v.isNull()) {
            return JsonNodeFactory.instance.arrayNode();
        }
        if (!v.isArray()) {
            throw new RequestException("Parameter \"" + key + "\" must be an array.");
        }
        return v;
    }

    /** The text of a scalar JSON value as the designer meant it; {@code null} for JSON null. */
    static String scalarText(JsonNode v, String what) throws RequestException {
        if (v == null || v.isNull()) {
            return null;
        }
        if (v.isValueNode()) {
            return v.asText();
        }
        throw new RequestException(what + " must be a text.");
    }
}
