package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JRDataset;
import net.sf.jasperreports.engine.JRField;
import net.sf.jasperreports.engine.design.JasperDesign;
import net.sf.jasperreports.engine.util.JRClassLoader;

import java.util.ArrayList;
import java.util.List;

/** The classes of report fields as the engine loads them. */
final class FieldClasses {

    static final String ANY = "java.lang.Object";

    private FieldClasses() {
    }

    /**
     * The name a report declares a field's class by, for a class the JVM names: an array by its
     * element's name and brackets ({@code [B} is {@code byte[]}, {@code [Ljava.lang.String;} is
     * {@code java.lang.String[]}). A class the engine cannot load, or no name at all, gives
     * {@code java.lang.Object}, which takes any value.
     */
    static String declaredName(String jvmName) {
        if (jvmName == null || jvmName.isBlank()) {
            return ANY;
        }
        Class<?> type;
        try {
            type = Class.forName(jvmName, false, FieldClasses.class.getClassLoader());
        } catch (ClassNotFoundException | LinkageError e) {
            return ANY;
        }
        StringBuilder brackets = new StringBuilder();
        while (type.isArray()) {
            brackets.append("[]");
            type = type.getComponentType();
        }
        String name = type.getName() + brackets;
        return loads(name) ? name : ANY;
    }

    /** Whether the engine loads the class a report declares by that name, as it checks a field. */
    static boolean loads(String declared) {
        try {
            JRClassLoader.loadClassForRealName(JRClassLoader.getClassRealName(declared));
            return true;
        } catch (ClassNotFoundException | LinkageError e) {
            return false;
        }
    }

    /**
     * One sentence for each field of the report (of its main dataset or a sub-dataset) whose class
     * the engine cannot load, naming the field and the class.
     */
    static List<String> unloadable(JasperDesign design) {
        List<String> found = new ArrayList<>();
        add(found, design.getMainDataset(), null);
        for (JRDataset dataset : design.getDatasetsList()) {
            add(found, dataset, dataset.getName());
        }
        return found;
    }

    private static void add(List<String> found, JRDataset dataset, String datasetName) {
        if (dataset == null || dataset.getFields() == null) {
            return;
        }
        for (JRField field : dataset.getFields()) {
            String declared = field.getValueClassName();
            if (declared != null && !loads(declared)) {
                found.add("Field \"" + field.getName() + "\""
                        + (datasetName == null ? "" : " of dataset \"" + datasetName + "\"")
                        + " is declared with the class " + declared
                        + ", which the engine cannot load.");
            }
        }
    }
}
