#pragma once

#include "InheritedStyle.h"
#include "ReportDocument.h"

#include <QByteArray>
#include <QStringList>
#include <exception>

// The reader's error. Its text is the one shown to the user.
class JrxmlCodecError : public std::exception {
public:
    enum class Kind { malformed, notAJasperReport, unreadableEncoding };

    static JrxmlCodecError malformed(const QString &text) { return {Kind::malformed, text}; }
    static JrxmlCodecError notAJasperReport() { return {Kind::notAJasperReport, {}}; }
    // A file in an encoding the designer does not read, named as its declaration names it.
    static JrxmlCodecError unreadableEncoding(const QString &name)
    {
        return {Kind::unreadableEncoding, name};
    }

    Kind kind() const { return kind_; }
    // "Malformed .jrxml: <text>", "Root element is not <jasperReport> - not a valid .jrxml file."
    // or "The file is in the encoding “<name>”, which the designer does not read."
    QString message() const;
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    JrxmlCodecError(Kind kind, const QString &text);

    Kind kind_;
    QString text_;
    QByteArray utf8_;
};

// The JRXML reader and writer: values in, values out; no files, no state.
namespace JrxmlCodec {

// The UTF-8 bytes of the JRXML text of a whole report. Never fails.
QByteArray serialize(const ReportDocument &document);
// The same; notes on text that XML cannot carry (left out of the file) go to `diagnostics`
// instead of standard output.
QByteArray serialize(const ReportDocument &document, QStringList *diagnostics);

// What the report holds that the older form of its file cannot: a report read from a file whose
// root has no namespace (under the DOCTYPE line of the report document type) is written in that
// form again while the document type's grammar takes what it holds; once it holds more than that
// grammar takes (a second detail band, a list or table, a sort field on a variable), it is written
// in the namespace form. The user's words for each such thing, each once; empty while the report
// is written in the older form, and for a report that was not read in it.
QStringList olderFormRefusals(const ReportDocument &document);

// The report read from JRXML bytes. Throws JrxmlCodecError. Content the reader does not keep is
// described in `warnings` when it is given (for example "2 <unknownThing> elements were not kept"),
// else on standard output.
ReportDocument parse(const QByteArray &data, QStringList *warnings = nullptr);
// The same for text already decoded (what the user typed in the source sheet): it is read as it
// stands, whatever encoding its XML declaration names.
ReportDocument parseText(const QString &text, QStringList *warnings = nullptr);

// Why the engine would refuse the root of this text, which parse() takes: a <jasperReport> in
// a namespace other than the report format's (a report without a namespace, as a DOCTYPE file
// has, it reads). No value where it takes the root, or where parse() itself refuses the text.
std::optional<QString> rootRefusal(const QByteArray &data);

// Declares in the sub-dataset a group of each of those names that it lacks, after what it
// declares, without an expression: each then holds all the records at once. The groups of a
// sub-dataset declared anew for what a copy names of it, known by their names alone.
void declareGroups(ReportSubDataset &dataset, const QStringList &names);

// The JRXML text of one element as it stands inside a band (whole lines, each ending with a line
// feed). With no styles no style reference is written: the form snippets store.
QString serializeElement(const ReportElement &element, const QList<ReportStyle> &styles);

// The first element of a snippet fragment, or no value. Never throws.
std::optional<ReportElement> parseSnippet(const QString &fragment);

// The values the element inherits (those its file left out, which the reader took from its
// style) taken again from what its style now gives (`style`, one of inheritedStyles()), or from
// the engine's defaults without one, as when the style it inherits from is gone. The values it
// sets itself stay.
void inheritStyle(ReportElement &element, const InheritedStyle *style);

// The same for a style: the values it inherits from its parent style taken again from `parent`,
// or from the engine's defaults without one.
void inheritParentStyle(ReportStyle &style, const ReportStyle *parent);

// The values of the element that a condition of its style may set while the engine fills (one
// of conditionedStyles()) left to that style: each holds what the style itself gives (`style`,
// one of inheritedStyles()) and is noted inherited, so the writer leaves it out and a condition
// that holds prints its own. The values a style gives an element when it is applied: the font,
// the text alignment, the colours with the fill's mode, and the pen width of lines and shapes.
void leaveToConditions(ReportElement &element, const InheritedStyle &conditioned,
                       const InheritedStyle &style);

// What the elements of each style take from it as the engine reads the styles once written: each
// value that the style or a style it inherits from sets, none where no style of its chain does.
// One for each style, in their order.
QList<InheritedStyle> inheritedStyles(const QList<ReportStyle> &styles);

// The report fonts an older report declares (`<reportFont>` at its top, kept as written), one XML
// text each. To the engine they are styles of their own, declared before the others: a text whose
// element names no style takes the one its font names; one marked default is the report's default
// style unless a style is marked so after it; each inherits what it leaves out from the report's
// default style as a style without a parent does. The engine does not read their size.
QStringList reportFonts(const ReportDocument &document);

// What the report's styles and report fonts give, as the engine reads them once written.
struct StyleSources {
    // The report fonts' values, each with what it gives, in their order.
    QList<ReportStyle> fonts;
    QList<InheritedStyle> fontChains;
    // What each of the styles gives (inheritedStyles()), in their order.
    QList<InheritedStyle> styleChains;

    // What the element takes the values it leaves out from (`styles`: those these were read
    // from): the style it names, else the report font its font names, else the report's default
    // style or report font; null where none gives it anything.
    const InheritedStyle *of(const ReportElement &element, const QList<ReportStyle> &styles) const;
    // The report font that is marked default last, or -1: the report's default style where no
    // style is marked default, and then the parent of the styles that name none.
    qsizetype defaultFont() const;
};
StyleSources styleSources(const QList<ReportStyle> &styles, const QStringList &reportFonts);

// What the conditional styles of each style may set, as the engine collects them for an element
// of that style while it fills: those of the style and of each parent style it names, up the
// chain (not those of the default style, which the engine leaves to elements without a style).
// A value where one of them sets one, none elsewhere. One for each style, in their order.
QList<InheritedStyle> conditionedStyles(const QList<ReportStyle> &styles);

} // namespace JrxmlCodec
