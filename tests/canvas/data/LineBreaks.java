// Prints where the Java runtime's line breaking (java.text.BreakIterator.getLineInstance()) ends
// the pieces of each text read from standard input: one text a line, as hexadecimal UTF-16 code
// units apart; one line of piece ends, apart, for each.
import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.text.BreakIterator;

public class LineBreaks {
    public static void main(String[] args) throws IOException {
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, "US-ASCII"));
        BreakIterator breaks = BreakIterator.getLineInstance();
        for (String line; (line = in.readLine()) != null;) {
            StringBuilder text = new StringBuilder();
            for (String unit : line.trim().split(" ")) {
                if (!unit.isEmpty())
                    text.append((char) Integer.parseInt(unit, 16));
            }
            breaks.setText(text.toString());
            StringBuilder ends = new StringBuilder();
            for (int end = breaks.next(); end != BreakIterator.DONE; end = breaks.next())
                ends.append(ends.length() > 0 ? " " : "").append(end);
            System.out.println(ends);
        }
    }
}
