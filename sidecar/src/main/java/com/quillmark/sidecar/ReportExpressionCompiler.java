package com.quillmark.sidecar;

import net.sf.jasperreports.engine.JRExpression;
import net.sf.jasperreports.engine.JasperReportsContext;
import net.sf.jasperreports.engine.design.JRCompilationSourceCode;
import net.sf.jasperreports.engine.design.JRCompilationUnit;
import net.sf.jasperreports.engine.design.JRJdtCompiler;

import org.eclipse.jdt.core.compiler.IProblem;

import java.util.LinkedHashSet;
import java.util.Set;

/**
 * The engine's compiler of Java report expressions, whose errors name the expression each one is
 * in, as the report holds it: the engine's own list shows only the code it generated from it. A
 * line "&lt;the compiler's message&gt;, in the expression: &lt;the expression&gt;" for each
 * comes before that list. Reports it compiles record the engine's own compiler, so they load
 * anywhere.
 */
public class ReportExpressionCompiler extends JRJdtCompiler {
    /** Where the engine looks for the class that compiles Java expressions. */
    static final String PROPERTY = "net.sf.jasperreports.compiler.java";
    static final String IN_THE_EXPRESSION = ", in the expression: ";
    /** An expression is named by at most this many characters. */
    private static final int LONGEST = 300;

    public ReportExpressionCompiler(JasperReportsContext context) {
        super(context);
    }

    @Override
    protected CompilerRequestor getCompilerRequestor(JRCompilationUnit[] units) {
        return new CompilerRequestor(jasperReportsContext, this, units) {
            @Override
            public String getFormattedProblems() {
                String listing = super.getFormattedProblems();
                if (listing == null || listing.isEmpty()) {
                    return listing;
                }
                Set<String> named = new LinkedHashSet<>();
                for (int i = 0; i < units.length; i++) {
                    IProblem[] problems = unitResults[i].getProblems();
                    JRCompilationSourceCode source = units[i].getCompilationSource();
                    if (problems == null || source == null) {
                        continue;
                    }
                    for (IProblem problem : problems) {
                        JRExpression expression = problem.isError()
                                ? source.getExpressionAtLine(problem.getSourceLineNumber())
                                : null;
                        if (expression != null && expression.getText() != null) {
                            named.add(problem.getMessage() + IN_THE_EXPRESSION
                                    + oneLine(expression.getText()));
                        }
                    }
                }
                return named.isEmpty() ? listing : String.join("\n", named) + "\n" + listing;
            }
        };
    }

    /** The expression on one line, its line breaks and indents as single spaces, cut when long. */
    static String oneLine(String text) {
        return Texts.cut(text.strip().replaceAll("\\s*\\R\\s*", " "), LONGEST);
    }
}
