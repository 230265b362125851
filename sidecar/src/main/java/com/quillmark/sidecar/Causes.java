package com.quillmark.sidecar;

import java.util.Collections;
import java.util.IdentityHashMap;
import java.util.Set;
import java.util.function.Predicate;

/** Looks through a failure and the chain of its causes, loops cut. */
final class Causes {

    private Causes() {
    }

    /** The first of {@code t} and its causes that is a {@code type} and passes the test, or null. */
    static <T extends Throwable> T first(Throwable t, Class<T> type, Predicate<? super T> test) {
        Set<Throwable> seen = Collections.newSetFromMap(new IdentityHashMap<>());
        for (Throwable c = t; c != null && seen.add(c); c = c.getCause()) {
            if (type.isInstance(c) && test.test(type.cast(c))) {
                return type.cast(c);
            }
        }
        return null;
    }

    /** The first of {@code t} and its causes that is a {@code type}, or null. */
    static <T extends Throwable> T first(Throwable t, Class<T> type) {
        return first(t, type, c -> true);
    }
}
