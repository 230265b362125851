#include "engine/FriendlyErrorTranslator.h"
#include "TestSupport.h"
#include "engine/PrivateWorkFolder.h"
#include "model/ReportDocument.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const char *const syntaxAdvice = "The expression has a syntax error - check for a missing value, "
                                 "a stray or missing operator, or a typo.";
const char *const subreportAdvice =
    "A subreport file couldn't be found. Check the subreport's file path/expression, and make "
    "sure it's been compiled (its .jasper file exists next to this report).";
const char *const componentAdvice =
    "Quillmark is missing an optional component needed for this feature. Try the Report a Bug "
    "button on the toolbar so this can be looked into.";
const char *const anonymousClassAdvice =
    "An expression defines a class of its own (such as new Object() { ... }), which the engine "
    "cannot load. Write the expression without defining a class - a method call or a condition "
    "(a ? b : c) usually does the same.";
const char *const importAdvice =
    "The report imports the class \"com.acme.barcode.JasperUtil\", which is not on the report "
    "engine's class path: it is the report's own (a library of its own, say), not part of "
    "Quillmark. The engine here runs only the classes it comes with, so take the import out of "
    "the report's JRXML (the </> button) to preview it.";
const char *const parseAdvice = "A value couldn't be parsed as a date/number - check that the "
                                "pattern (e.g. \"MM/dd/yyyy\") matches what the actual data "
                                "looks like.";
const char *const nullAdvice =
    "Something the report needed turned out to be empty (null) - likely a field, parameter, or "
    "variable with no value. Consider a null check in the expression (e.g. $F{x} == null ? \"\" "
    ": $F{x}.toString()) or turning on \"Blank When Null\".";
const char *const schemaAdvice = "The query references a table or column that doesn't exist in "
                                 "the database. Check the spelling against the actual database "
                                 "schema.";

} // namespace

TEST(FriendlyErrorTranslator, AppliesTheFirstRuleThatMatchesAndAnnotates)
{
    // Each message with its advice, or nullptr when it is not recognised.
    const std::pair<const char *, const char *> cases[] = {
        // Rules in their order; a message that two rules match gets the earlier one's advice.
        {"Field \"picture\" of dataset \"Rows\" is declared with the class com.example.Blob, "
         "which the engine cannot load. (JRValidationException: 1. "
         "java.lang.ClassNotFoundException: com.example.Blob)",
         "The field \"picture\" is declared with the class com.example.Blob, which the engine "
         "cannot load. Change the field's class in the Report Data sheet (the Data button); "
         "java.lang.Object takes any value."},
        // An expression that defines a class of its own, as the engine reports it in a fill and
        // in a test evaluation; a missing nested class of a library is a missing component.
        {"net.sf.jasperreports.engine.fill.JRExpressionEvalException: Error evaluating "
         "expression for source text: new Object(){ public String toString() { return \"x\"; } "
         "}.toString()\njava.lang.NoClassDefFoundError: Anon_f5718c6be60ac0b9$1\n"
         "java.lang.ClassNotFoundException: Anon_f5718c6be60ac0b9$1",
         anonymousClassAdvice},
        {"java.lang.ClassNotFoundException: ExpressionTest_9a$12", anonymousClassAdvice},
        {"java.lang.NoClassDefFoundError: ExpressionTest_af29 (wrong name: ExpressionTest_af29$1)",
         anonymousClassAdvice},
        {"java.lang.ClassNotFoundException: com.acme.Outer$Inner", componentAdvice},
        // A name declared twice, reported through the XML parser: the kind and the name.
        {"net.sf.jasperreports.engine.JRException: org.xml.sax.SAXParseException; lineNumber: 4; "
         "columnNumber: 38; Error at line 4 char 38: Duplicate declaration of report style: "
         "Title.\norg.xml.sax.SAXParseException; lineNumber: 4; columnNumber: 38; Error at line "
         "4 char 38: Duplicate declaration of report style: Title.",
         "The report declares the style \"Title\" twice. Rename or remove one of the two in the "
         "Styles card of the Report Data sheet (the Data button)."},
        {"org.xml.sax.SAXParseException; Error at line 3 char 87: Duplicate declaration of "
         "field: Amount (net).",
         "The report declares the field \"Amount (net)\" twice. Rename or remove one of the two "
         "in the Report Data sheet (the Data button)."},
        {"JRException: Duplicate declaration of sort field: F.",
         "The report declares the sort field \"F\" twice. Rename or remove one of the two in the "
         "Report Data sheet (the Data button)."},
        {"JRException: Duplicate declaration of dataset: Rows.",
         "The report declares the sub-dataset \"Rows\" twice. Rename or remove one of the two "
         "in the Report Data sheet (the Data button)."},
        {"JRException: Duplicate declaration of subreport parameter: Id.",
         "The report declares the subreport parameter \"Id\" twice. Rename or remove one of the "
         "two in the subreport's parameters in the Inspector."},
        {"JRException: Duplicate declaration of dataset parameter: Id.",
         "The report declares the dataset parameter \"Id\" twice. Rename or remove one of the "
         "two in the element's dataset parameters in the Inspector."},
        // Any other complaint of the XML parser is not about a value that did not parse; a
        // ParseException of its own still is.
        {"org.xml.sax.SAXParseException; lineNumber: 2; columnNumber: 9; cvc-complex-type.2.4.a: "
         "Invalid content was found starting with element 'bogus'.",
         nullptr},
        {"org.xml.sax.SAXParseException: x\njava.text.ParseException: Unparseable date",
         parseAdvice},
        {"JRException: Syntax error, Field not found : customerName.\nat x",
         "The report uses a field named \"customerName.\" that isn't declared. Check the "
         "spelling, or add a field with that name in the Report Data sheet (the Data button)."},
        {"Parameter not found:ReportTitle",
         "The report uses a parameter named \"ReportTitle\" that isn't declared. Check the "
         "spelling, or add a parameter with that name in the Report Data sheet (the Data button)."},
        {"Variable not found: PAGE_TOTAL",
         "The report uses a variable named \"PAGE_TOTAL\" that isn't declared. Check the "
         "spelling, or add a variable with that name in the Report Data sheet (the Data button)."},
        {"groovy.lang.MissingPropertyException: No such property: Größe for class: Script1",
         "The report uses \"Größe\", which isn't a declared field, parameter, or variable. Check "
         "the spelling, or add it in the Report Data sheet (the Data button)."},
        {"Error loading scriptlet class : ",
         "A Scriptlet is registered with a class name that doesn't exist (or is blank). Open the "
         "Scriptlets card of the Report Data sheet (the Data button) and either fill in a real "
         "Java "
         "class name or remove that scriptlet."},
        {"1. The detail band and margins do not fit the page height.",
         "The bands (plus margins, headers, and footers) are too tall to fit on one page. Reduce "
         "a band's height in the Inspector, or increase the page size in Page Setup."},
        // A subreport the page around it cannot hold: its own bands and margins are to lower,
        // before the rule for the report's own bands.
        {"net.sf.jasperreports.engine.design.JRValidationException: Band height validation for "
         "subreport \"ShapesReport\" failed in the current page context (height = 842, top "
         "margin = 50, bottom margin = 50) : \n\t 1. The title section, the page and column "
         "headers and footers and the margins do not fit the page height.",
         "The subreport \"ShapesReport\" does not fit the page it prints on: the engine lays it "
         "out on the page of the report around it, 842 points high, within both reports' top and "
         "bottom margins (50 points above and 50 below in all), and there the title section, the "
         "page and column headers and footers and the margins do not fit the page height. Lower "
         "the subreport's bands or its own margins in its report."},
        // A book's chapter the engine does not compile is named, with the advice for what the
        // engine says of it, or a pointer to what it says.
        {"The chapter \"B.jrxml\" of this book does not compile: JRValidationException: Report "
         "design not valid : \n\t 1. Parameter not found : Title",
         "The chapter \"B.jrxml\" of this book does not compile, so the book cannot print. Open "
         "the chapter and correct it there: The report uses a parameter named \"Title\" that "
         "isn't declared. Check the spelling, or add a parameter with that name in the Report "
         "Data sheet (the Data button)."},
        {"The chapter \"B.jrxml\" of this book does not compile: JRException: something new",
         "The chapter \"B.jrxml\" of this book does not compile, so the book cannot print. Open "
         "the chapter and correct it there; the engine's words are under Technical Details."},
        // A subreport compiled from another tab is named as its file, not as this report.
        {"The subreport \"Orders_Sub.jrxml\", open in another tab, does not compile: JRException: "
         "Errors were encountered when compiling report expressions class file:\nSyntax error on "
         "token \"+\", delete this token, in the expression: 1 + +\n1. Syntax error",
         "The subreport \"Orders_Sub.jrxml\", open in another tab, does not compile, so this "
         "report cannot print. Open that tab and correct it there: This expression has a syntax "
         "error - check it for a missing value, a stray or missing operator, or a typo:\n1 + +"},
        // A book's chapter that needs a class of its own is named.
        {"The chapter \"Sales.jrxml\" of this book needs the class BarChartCustomizer, which is "
         "not on the engine's class path.\njava.lang.ClassNotFoundException: BarChartCustomizer",
         "The chapter \"Sales.jrxml\" of this book needs the class \"BarChartCustomizer\", which "
         "is not on the report engine's class path: it is the chapter's own (a chart customizer "
         "or a scriptlet, say), not part of Quillmark. The engine here runs only the classes it "
         "comes with, so take the class's name out of the chapter to preview the book."},
        {"The operator + is undefined for the argument type(s) Integer, String",
         "The expression uses \"+\" between a Integer and a String - these aren't compatible. "
         "Check the field/parameter's declared type in the Report Data sheet, or convert the value "
         "first "
         "(e.g. wrap it in Integer.parseInt(...) or .toString())."},
        // A missing picture names the file and where it was looked for.
        {"net.sf.jasperreports.engine.JRException: Byte data not found at : /home/u/logo.png.",
         "The image file \"logo.png\" was not found: the engine looked for it at "
         "/home/u/logo.png. Put the picture there, or change the image's expression to where it "
         "is."},
        {"Byte data not found at: images/logo.png\n\tat x",
         "The image file \"logo.png\" was not found: the engine looked for it as "
         "\"images/logo.png\" in the report's folder. Put the picture there, or change the "
         "image's expression to where it is."},
        // A missing subreport in the engine's words: the file, and where it was looked for.
        {"net.sf.jasperreports.engine.JRException: Resource not found at: "
         "NoSuchSubreport.jasper.",
         "The subreport file \"NoSuchSubreport.jasper\" couldn't be found: the engine looked "
         "for it as \"NoSuchSubreport.jasper\" in the report's folder. Check the subreport's "
         "file path/expression, and make sure it's been compiled (its .jasper file exists where "
         "the expression points)."},
        {"JRException: Resource not found at : /srv/reports/parts/Orders.jasper.\nwhy",
         "The subreport file \"Orders.jasper\" couldn't be found: the engine looked for it at "
         "/srv/reports/parts/Orders.jasper. Check the subreport's file path/expression, and make "
         "sure it's been compiled (its .jasper file exists where the expression points)."},
        // A server that does not answer, as PostgreSQL and SQL Server say it.
        {"org.postgresql.util.PSQLException: Connection to 127.0.0.1:25465 refused. Check that "
         "the hostname and port are correct and that the postmaster is accepting TCP/IP "
         "connections.",
         "The database server at 127.0.0.1:25465 does not answer: it may not be running, or the "
         "connection's host or port may be wrong. Check the connection in the Report Data sheet "
         "(the Data button)."},
        // A server that took the connection but never answered, as the engine names it.
        {"No answer from db.local:5432. The connection attempt failed.\n"
         "org.postgresql.util.PSQLException: The connection attempt failed.\n"
         "java.net.SocketTimeoutException: Read timed out",
         "The database server at db.local:5432 did not answer in time: the host or port may "
         "belong to another program, or a firewall may be holding the connection. Check the "
         "connection in the Report Data sheet (the Data button)."},
        {"The TCP/IP connection to the host db.local, port 1433 has failed. Error: refused",
         "The database server at db.local:1433 does not answer: it may not be running, or the "
         "connection's host or port may be wrong. Check the connection in the Report Data sheet "
         "(the Data button)."},
        {"Syntax error, insert \")\" to complete Expression",
         "The expression is missing a closing parenthesis \")\"."},
        // The expression the engine names after the compiler's message, up to the line's end.
        {"JRException: Errors were encountered when compiling report expressions class file:\n"
         "Syntax error, insert \")\" to complete Expression, in the expression: (\"a\" + 1\n"
         "Syntax error on token \"+\", ++ expected, in the expression: 1 +* 2\n1. Syntax error",
         "This expression is missing a closing parenthesis \")\":\n(\"a\" + 1"},
        {"JRException: Errors were encountered when compiling report expressions class file:\n"
         "Syntax error on token \"2\", delete this token, in the expression: $F{a} 2\n"
         "Syntax error, insert \")\" to complete Expression, in the expression: (1",
         "This expression is missing a closing parenthesis \")\":\n(1"},
        {"Syntax error on token \"2\", delete this token, in the expression: $F{a} 2\n1. x",
         "This expression has a syntax error - check it for a missing value, a stray or missing "
         "operator, or a typo:\n$F{a} 2"},
        {"Type mismatch: cannot convert from int to String, in the expression: 1\nSyntax error",
         syntaxAdvice},
        // Groovy's parser, with the expression it stumbled on; other Groovy errors stand alone.
        {"JRException: Unexpected input, in the expression: \"Total: \" + +\nErrors were "
         "encountered when compiling report expressions class file: "
         "org.codehaus.groovy.control.MultipleCompilationErrorsException: startup failed:",
         "This expression has a syntax error - check it for a missing value, a stray or missing "
         "operator, or a typo:\n\"Total: \" + +"},
        {"JRException: Unexpected character: '\"', in the expression: \"abc\nErrors",
         "This expression has a syntax error - check it for a missing value, a stray or missing "
         "operator, or a typo:\n\"abc"},
        // A class the report names itself and the compiler does not find, in Java and Groovy:
        // the class, the import that names it, and the expression; a name in lower case is a
        // variable, not a class.
        {"net.sf.jasperreports.engine.JRException: Errors were encountered when compiling report "
         "expressions class file:\nJasperUtil cannot be resolved, in the expression: "
         "JasperUtil.barcode(\"123\")\n1. Only a type can be imported. "
         "com.acme.barcode.JasperUtil resolves to a package\nimport com.acme.barcode.JasperUtil;"
         "\n       <------------------------->\n2. JasperUtil cannot be resolved\n"
         "                value = JasperUtil.barcode(\"123\"); //$JR_EXPR_ID=8$\n2 errors\n.",
         "The report needs the class \"JasperUtil\", which it imports as "
         "com.acme.barcode.JasperUtil and which is not on the report engine's class path: it is "
         "the report's own (a chart customizer or a scriptlet, say), not part of Quillmark. The "
         "engine here runs only the classes it comes with, so take the class's name and its "
         "import out of the report to preview it.\nThe expression that names it: "
         "JasperUtil.barcode(\"123\")"},
        {"JRException: Errors were encountered when compiling report expressions class file:\n1. "
         "Only a type can be imported. com.acme.barcode.JasperUtil resolves to a package\nimport "
         "com.acme.barcode.JasperUtil;\n1 errors",
         importAdvice},
        {"JRException: Errors were encountered when compiling report expressions class file: "
         "org.codehaus.groovy.control.MultipleCompilationErrorsException: startup failed:\n"
         "calculator_Imp_1e7d: 13: unable to resolve class com.acme.barcode.JasperUtil\n @ line "
         "13, column 1.\n   import com.acme.barcode.JasperUtil;\n   ^\n\n1 error",
         importAdvice},
        {"JRException: unable to resolve class com.acme.Foo, in the expression: new "
         "com.acme.Foo()\nErrors were encountered when compiling report expressions class file: "
         "startup failed:\nx: 78: unable to resolve class com.acme.Foo\n @ line 78, column 21.",
         "The report needs the class \"com.acme.Foo\", which is not on the report engine's class "
         "path: it is the report's own (a chart customizer or a scriptlet, say), not part of "
         "Quillmark. The engine here runs only the classes it comes with, so take the class's "
         "name out of the report to preview it.\nThe expression that names it: new "
         "com.acme.Foo()"},
        // The report's own scriptlet class, which the compiler meets in the code it makes of
        // $P{REPORT_SCRIPTLET}.
        {"JRException: Errors were encountered when compiling report expressions class file:\n"
         "Scriptlet cannot be resolved to a type, in the expression: "
         "$P{REPORT_SCRIPTLET}.hello()\n1. Scriptlet cannot be resolved to a type\n"
         "                value = ((Scriptlet)parameter_REPORT_SCRIPTLET.getValue()).hello();",
         "The report needs the class \"Scriptlet\", which is not on the report engine's class "
         "path: it is the report's own (a chart customizer or a scriptlet, say), not part of "
         "Quillmark. The engine here runs only the classes it comes with, so take the class's "
         "name out of the report to preview it.\nThe expression that names it: "
         "$P{REPORT_SCRIPTLET}.hello()"},
        {"JRException: Errors were encountered when compiling report expressions class file:\n"
         "nmae cannot be resolved, in the expression: nmae.length()\n1. nmae cannot be resolved",
         nullptr},
        // A class of the report's own, named; the engine's own classes stay a missing component.
        {"The report needs the class BarChartCustomizer, which is not on the engine's class "
         "path.\nnet.sf.jasperreports.engine.JRRuntimeException: Could not create chart "
         "customizer instance.\njava.lang.ClassNotFoundException: BarChartCustomizer",
         "The report needs the class \"BarChartCustomizer\", which is not on the report engine's "
         "class path: it is the report's own (a chart customizer or a scriptlet, say), not part of "
         "Quillmark. The engine here runs only the classes it comes with, so take the class's name "
         "out of the report to preview it."},
        // A chapter's or a subreport's scriptlet is named with its report, which declares it.
        {"The chapter \"Sales.jrxml\" of this book needs the class com.acme.S, which is not on "
         "the engine's class path.\nnet.sf.jasperreports.engine.JRException: Error loading "
         "scriptlet class: com.acme.S.\njava.lang.ClassNotFoundException: com.acme.S",
         "The chapter \"Sales.jrxml\" of this book needs the class \"com.acme.S\", which is not "
         "on the report engine's class path: it is the chapter's own (a chart customizer or a "
         "scriptlet, say), not part of Quillmark. The engine here runs only the classes it comes "
         "with, so take the class's name out of the chapter to preview the book."},
        {"The subreport \"Orders.jrxml\" needs the class com.acme.S, which is not on the "
         "engine's class path.\nnet.sf.jasperreports.engine.JRException: Error loading "
         "scriptlet class: com.acme.S.",
         "The subreport \"Orders.jrxml\" needs the class \"com.acme.S\", which is not on the "
         "report engine's class path: it is the subreport's own (a chart customizer or a "
         "scriptlet, say), not part of Quillmark. The engine here runs only the classes it comes "
         "with, so take the class's name out of the subreport to preview this report."},
        {"JRException: Error loading scriptlet class: com.acme.S.\nThe report needs the class "
         "com.acme.S, which is not on the engine's class path.",
         "A Scriptlet is registered with a class name that doesn't exist (or is blank). Open the "
         "Scriptlets card of the Report Data sheet (the Data button) and either fill in a real "
         "Java class name or remove that scriptlet."},
        // A host that has no address, as the engine names it for either driver.
        {"Unknown host nosuchhost.invalid. The TCP/IP connection to the host nosuchhost.invalid, "
         "port 1433 has failed.",
         "The database server's host name \"nosuchhost.invalid\" was not found: it may be "
         "misspelt, or known only on a network this computer is not on. Check the connection in "
         "the Report Data sheet (the Data button)."},
        // A folder that cannot be written: the compiled report's, and any other file's.
        {"Cannot write \"/srv/shared reports/Invoice.jasper\": its folder cannot be written "
         "(permission denied).\njava.nio.file.AccessDeniedException: /srv/shared "
         "reports/.qm-x1y2z3w4",
         "The compiled report goes beside the report, to \"/srv/shared reports/Invoice.jasper\", "
         "but the folder \"/srv/shared reports\" cannot be written (permission denied). Save the "
         "report in a folder you can write to, or make this folder writable."},
        {"Cannot write \"/mnt/cd/out.pdf\": its folder cannot be written (Read-only file system).",
         "\"/mnt/cd/out.pdf\" cannot be written: the folder \"/mnt/cd\" cannot be written "
         "(Read-only file system). Choose a folder you can write to, or make this folder "
         "writable."},
        // A disk that is full: the compiled report beside the report, a work file of the
        // engine's, a file exported.
        {"Cannot write \"/srv/reports/Invoice.jasper\": the disk that holds it is full (No space "
         "left on device).\nnet.sf.jasperreports.engine.JRException: Error saving file: "
         "/srv/reports/.qm-e1j5fsb6.",
         "The compiled report goes beside the report, to \"/srv/reports/Invoice.jasper\", but the "
         "disk that holds it is full (No space left on device). Free some space on that disk and "
         "try again, or save the report on another disk."},
        {"Cannot write \"/mnt/usb/out.pdf\": the disk that holds it is full (Disk quota "
         "exceeded).\nExceptionConverter: java.io.IOException: Disk quota exceeded",
         "\"/mnt/usb/out.pdf\" cannot be written: the disk that holds it is full (Disk quota "
         "exceeded). Free some space on that disk and try again, or choose a folder on another "
         "disk."},
        {"Syntax error on token \"+\", ClassNotFoundException", syntaxAdvice},
        {"java.io.FileNotFoundException: sub.jasper", subreportAdvice},
        {"Could not load object from location : sub.jasper", subreportAdvice},
        {"java.lang.NoClassDefFoundError: org/jfree/chart/JFreeChart", componentAdvice},
        {"java.lang.ClassNotFoundException: com.acme.Thing", componentAdvice},
        {"NumberFormatException: For input string: \"x\", then a NullPointerException",
         "A value couldn't be converted to a number - check that the field or parameter actually "
         "contains numeric data, or that a pattern/format mask matches the real data."},
        {"java.text.ParseException: Unparseable date: \"2024\"", parseAdvice},
        {"java.lang.NullPointerException", nullAdvice},
        {"ERROR: relation \"customers\" does not exist", schemaAdvice},
        {"ERROR: column \"x\" does not exist", schemaAdvice},
        {"Invalid object name: table t does not exist", schemaAdvice},
        // A rule whose test passes only in part hands over to the later rules.
        {"No such property amount: NullPointerException", nullAdvice},
        // Not recognised.
        {"FATAL: database \"x\" does not exist", nullptr},
        {"java.lang.nullpointerexception", nullptr},
        {"", nullptr},
    };
    for (const auto &[raw, advice] : cases) {
        const auto expected = advice ? std::optional(QString::fromUtf8(advice)) : std::nullopt;
        EXPECT_EQ(FriendlyErrorTranslator::translate(QString::fromUtf8(raw)), expected) << raw;
    }

    // A scriptlet's class is edited in the Scriptlets card where the report declares the
    // scriptlet there; the report's own scriptlet class (its scriptletClass) is not in the card.
    const ReportDocument noScriptlets;
    ReportDocument declaring;
    declaring.scriptlets.append(ReportScriptlet());
    declaring.scriptlets.first().className = u"com.acme.S"_s;
    const QString loading =
        u"The report needs the class com.acme.S, which is not on the engine's "
        u"class path.\nJRException: Error loading scriptlet class: com.acme.S."_s;
    EXPECT_TRUE(FriendlyErrorTranslator::translate(loading, &declaring)
                    ->startsWith(u"A Scriptlet is registered with a class name"_s));
    EXPECT_EQ(FriendlyErrorTranslator::translate(loading, &noScriptlets),
              u"The report needs the class \"com.acme.S\", which is not on the report engine's "
              u"class path: it is the report's own (a chart customizer or a scriptlet, say), not "
              u"part of Quillmark. The engine here runs only the classes it comes with, so take "
              u"the class's name out of the report to preview it."_s);

    const QString workFile =
        u"/tmp/quillmark-0/Quillmark/"_s + PrivateWorkFolder::sessionName() + u"/Invoice.jrprint"_s;
    EXPECT_EQ(FriendlyErrorTranslator::translate(u"Cannot write \""_s + workFile +
                                                 u"\": the disk that holds it is full (No space "
                                                 u"left on device)."_s),
              u"Quillmark's work file \""_s + workFile +
                  u"\" cannot be written: the disk that holds it is full (No space left on "
                  u"device). Free some space on that disk and try again."_s);

    // annotate() puts the raw text after the advice as technical details, or alone.
    const QString raw = QStringLiteral("java.lang.NullPointerException\n\tat Report.fill");
    EXPECT_EQ(FriendlyErrorTranslator::annotate(raw),
              QString::fromUtf8(nullAdvice) + u"\n\n(Technical details: " + raw + u')');
    EXPECT_EQ(FriendlyErrorTranslator::annotate(QStringLiteral("Refused")), u"Refused");
}
