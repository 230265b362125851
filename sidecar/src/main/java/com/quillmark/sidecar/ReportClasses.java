package com.quillmark.sidecar;

/**
 * Tells a class the report names itself (a chart customizer, a scriptlet, a parameter's class)
 * from a class of the engine's own. The engine loads a report's classes by name, from its own
 * class path, and fails with a ClassNotFoundException for one that is not there; a class the
 * engine's own code was built against and misses fails with a NoClassDefFoundError instead.
 */
final class ReportClasses {

    private ReportClasses() {
    }

    /**
     * The failure as the designer reports it: one that a class of the report's own (of a package
     * neither the engine's class path nor the Java runtime holds) is missing from names that class
     * first, the engine's words following; any other as it is.
     */
    static Throwable explained(Throwable t) {
        if (t instanceof RequestException || Causes.first(t, NoClassDefFoundError.class) != null) {
            return t;
        }
        ClassNotFoundException missing = Causes.first(t, ClassNotFoundException.class);
        String name = missing == null || missing.getMessage() == null ? ""
                : missing.getMessage().trim();
        if (name.isEmpty() || name.contains(" ") || isEngines(name)) {
            return t;
        }
        return new RequestException("The report needs the class " + name
                + ", which is not on the engine's class path.", t);
    }

    /** Whether the engine's class path or the Java runtime holds the package of the class. */
    static boolean isEngines(String className) {
        int dot = className.lastIndexOf('.');
        if (dot <= 0) {
            return false; // the unnamed package holds no class of the engine's
        }
        String pkg = className.substring(0, dot);
        for (Module module : ModuleLayer.boot().modules()) {
            if (module.getPackages().contains(pkg)) {
                return true;
            }
        }
        return ReportClasses.class.getClassLoader().getResource(pkg.replace('.', '/') + "/")
                != null;
    }
}
