package com.quillmark.sidecar;

/** Small operations on the texts the engine reports. */
final class Texts {

    private Texts() {
    }

    /**
     * At most {@code longest} characters of the text, followed by an ellipsis when it was longer;
     * a character of two UTF-16 units is never split.
     */
    static String cut(String text, int longest) {
        if (text == null || text.length() <= longest) {
            return text;
        }
        int end = longest;
        if (Character.isHighSurrogate(text.charAt(end - 1))) {
            --end;
        }
        return text.substring(0, end) + "\u2026";
    }
}
