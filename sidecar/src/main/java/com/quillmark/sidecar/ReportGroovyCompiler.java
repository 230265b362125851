package com.quillmark.sidecar;

import net.sf.jasperreports.compilers.JRGroovyCompiler;
import net.sf.jasperreports.compilers.JRGroovyGenerator;
import net.sf.jasperreports.engine.JRException;
import net.sf.jasperreports.engine.JRExpression;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.design.JRCompilationSourceCode;
import net.sf.jasperreports.engine.design.JRCompilationUnit;
import net.sf.jasperreports.engine.design.JRDefaultCompilationSourceCode;
import net.sf.jasperreports.engine.design.JRSourceCompileTask;

import org.codehaus.groovy.control.MultipleCompilationErrorsException;
import org.codehaus.groovy.control.messages.Message;
import org.codehaus.groovy.control.messages.SyntaxErrorMessage;
import org.codehaus.groovy.syntax.SyntaxException;

import java.io.File;
import java.util.LinkedHashSet;
import java.util.Set;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * The engine's compiler of Groovy report expressions, whose errors name the expression each one
 * is in, as the report holds it: Groovy reports a line of the class the engine generated, and
 * quotes that class's code. The class is generated as the engine does, noting which expression
 * each of its lines evaluates (the engine notes none for Groovy); a line "&lt;Groovy's
 * message&gt;, in the expression: &lt;the expression&gt;" for each error then comes before the
 * engine's own message, as for Java ({@link ReportExpressionCompiler}). Reports it compiles
 * record the engine's own compiler, so they load anywhere.
 */
public class ReportGroovyCompiler extends JRGroovyCompiler {
    /** Where the engine looks for the class that compiles Groovy expressions. */
    static final String PROPERTY = "net.sf.jasperreports.compiler.groovy";
    /** The engine names the class of each compilation unit so. */
    private static final String CLASS_PREFIX = "calculator_";
    /** Where the generated class evaluates an expression, by its id, and where that ends. */
    private static final Pattern EXPRESSION_START =
            Pattern.compile("\\s*(?:else )?if \\(id == (\\d+)\\)\\s*");
    private static final String EXPRESSION_END = "        }";

    public ReportGroovyCompiler(JasperReportsContext context) {
        super(context);
    }

    @Override
    protected String getCompilerClass() {
        return JRGroovyCompiler.class.getName();
    }

    @Override
    protected JRCompilationSourceCode generateSourceCode(JRSourceCompileTask task)
            throws JRException {
        String code = JRGroovyGenerator.generateClass(task, reportClassFilter);
        return new JRDefaultCompilationSourceCode(code, lineExpressions(code, task));
    }

    /**
     * The expression each line of the generated class evaluates, line 1 first: the lines of its
     * block "if (id == N) { value = (...); }", the expression's own line breaks included.
     */
    static JRExpression[] lineExpressions(String code, JRSourceCompileTask task) {
        String[] lines = code.split("\n", -1);
        JRExpression[] byLine = new JRExpression[lines.length];
        JRExpression current = null;
        for (int i = 0; i < lines.length; i++) {
            Matcher start = EXPRESSION_START.matcher(lines[i]);
            if (start.matches()) {
                current = task.getExpression(Integer.parseInt(start.group(1)));
            }
            byLine[i] = current;
            if (lines[i].equals(EXPRESSION_END)) {
                current = null;
            }
        }
        return byLine;
    }

    @Override
    protected String compileUnits(JRCompilationUnit[] units, String classpath, File tempDirFile)
            throws JRException {
        try {
            return super.compileUnits(units, classpath, tempDirFile);
        } catch (JRException e) {
            MultipleCompilationErrorsException failed =
                    Causes.first(e, MultipleCompilationErrorsException.class);
            Set<String> named = failed == null ? Set.of() : named(failed, units);
            if (named.isEmpty()) {
                throw e;
            }
            throw new JRException(String.join("\n", named) + "\n" + e.getMessage(), e.getCause());
        }
    }

    /** Each error that falls in an expression, as a line that names the expression. */
    private static Set<String> named(MultipleCompilationErrorsException failed,
            JRCompilationUnit[] units) {
        Set<String> named = new LinkedHashSet<>();
        for (Message message : failed.getErrorCollector().getErrors()) {
            if (!(message instanceof SyntaxErrorMessage)) {
                continue;
            }
            SyntaxException error = ((SyntaxErrorMessage) message).getCause();
            JRExpression expression = expressionAt(units, error);
            if (expression != null && expression.getText() != null) {
                named.add(said(error) + ReportExpressionCompiler.IN_THE_EXPRESSION
                        + ReportExpressionCompiler.oneLine(expression.getText()));
            }
        }
        return named;
    }

    /** The expression whose code holds the error's line in the unit it names. */
    private static JRExpression expressionAt(JRCompilationUnit[] units, SyntaxException error) {
        for (JRCompilationUnit unit : units) {
            JRCompilationSourceCode source = unit.getCompilationSource();
            if (source != null && (CLASS_PREFIX + unit.getCompileName())
                    .equals(error.getSourceLocator())) {
                return source.getExpressionAtLine(error.getLine());
            }
        }
        return null;
    }

    /**
     * Groovy's words, on one line, without the generated code it quotes: a quote that runs over
     * lines (Groovy writes each break as a backslash and an n) or holds the generated assignment
     * is of the class around the expression, and is left out.
     */
    static String said(SyntaxException error) {
        String text = String.valueOf(error.getOriginalMessage()).strip();
        int quote = text.indexOf(": '");
        if (quote >= 0) {
            String quoted = text.substring(quote + 3);
            if (quoted.contains("\\n") || quoted.contains("\n") || quoted.contains("value = (")) {
                return text.substring(0, quote).strip();
            }
        }
        int lineBreak = text.indexOf('\n');
        return lineBreak < 0 ? text : text.substring(0, lineBreak).strip();
    }
}
