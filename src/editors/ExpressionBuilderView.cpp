#include "ExpressionBuilderView.h"

#include "AdaptiveGridLayout.h"
#include "CodeEditorView.h"
#include "CodeTextView.h"
#include "ExpressionSnippet.h"
#include "ExpressionTestPanel.h"
#include "ExpressionTestState.h"
#include "ExpressionValidation.h"
#include "JavaExpressionSyntaxHighlighter.h"
#include "PendingInsertion.h"
#include "widgets/ColorHex.h"
#include "widgets/PlainToolTip.h"
#include "widgets/SymbolIcons.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QFont sized(QFont font, qreal points, QFont::Weight weight = QFont::Normal)
{
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

// A frame drawn with a thin rounded outline or a faint rounded fill, in shades of grey that read
// on light and dark palettes alike.
QFrame *roundedFrame(QWidget *content, int radius, bool filled, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(u"roundedFrame"_s);
    frame->setStyleSheet(
        filled
            ? u"#roundedFrame { background: rgba(128, 128, 128, 20); border-radius: %1px; }"_s.arg(
                  radius)
            : u"#roundedFrame { border: 1px solid rgba(128, 128, 128, 77); border-radius: %1px; }"_s
                  .arg(radius));
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(filled ? 0 : 1, filled ? 0 : 1, filled ? 0 : 1, filled ? 0 : 1);
    layout->addWidget(content);
    return frame;
}

// A button's text with every "&" shown as itself rather than marking a shortcut.
QString literalButtonText(const QString &text)
{
    return QString(text).replace(u'&', u"&&"_s);
}

// A chip of the grid: one line, cut short with an ellipsis when its column is too narrow, the
// whole title in its tooltip. Titles are names from the report, shown as they are.
class ChipButton : public QPushButton {
public:
    ChipButton(const QString &title, QWidget *parent)
        : QPushButton(literalButtonText(title), parent), title_(title)
    {
        setObjectName(title);
        setToolTip(plainToolTip(title));
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QPushButton::resizeEvent(event);
        const int room = width() - 12;
        setText(
            literalButtonText(fontMetrics().elidedText(title_, Qt::ElideRight, std::max(room, 0))));
    }

private:
    QString title_;
};

} // namespace

ExpressionBuilderView::ExpressionBuilderView(TextBinding expression, const ReportDocument &document,
                                             ExpressionEngine *engine, std::function<void()> onDone,
                                             QWidget *parent)
    : QWidget(parent), expression_(std::move(expression)), onDone_(std::move(onDone)),
      document_(document), testState_(new ExpressionTestState(this)),
      pendingInsertion_(new PendingInsertion(this)), done_(new QPushButton(tr("Done"), this)),
      editor_(new CodeEditorView(
          JavaExpressionSyntaxHighlighter::scheme(), true,
          [this](QChar letter) { return tokenCompletions(letter); }, pendingInsertion_, this)),
      warnings_(new QWidget(this)),
      testPanel_(new ExpressionTestPanel(testState_, document, engine, this))
{
    setMinimumSize(460, 420);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(10);

    auto *header = new QHBoxLayout;
    auto *title = new QLabel(tr("Expression Builder"), this);
    title->setFont(sized(title->font(), 13, QFont::DemiBold));
    done_->setDefault(true);
    done_->setAutoDefault(true);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(done_);
    column->addLayout(header);
    connect(done_, &QPushButton::clicked, this, [this] {
        // A copy: closing the sheet releases the builder, which drops `onDone_`.
        if (const std::function<void()> onDone = onDone_)
            onDone();
    });

    editor_->setMinimumHeight(140);
    QWidget *editorFrame = roundedFrame(editor_, 4, false, this);
    editorFrame->setMinimumHeight(142);
    column->addWidget(editorFrame, 2);

    auto *warningRows = new QVBoxLayout(warnings_);
    warningRows->setContentsMargins(0, 0, 0, 0);
    warningRows->setSpacing(2);
    column->addWidget(warnings_);

    column->addWidget(roundedFrame(testPanel_, 6, true, this));

    auto *hint = new QLabel(tr("Click below to insert - edit the text directly for precise "
                               "placement or anything not listed here."),
                            this);
    hint->setFont(sized(hint->font(), 8));
    hint->setForegroundRole(QPalette::PlaceholderText);
    hint->setWordWrap(true);
    column->addWidget(hint);
    column->addWidget(chipArea(), 3);

    const QString text = expression_.get ? expression_.get() : QString();
    editor_->setText(text);
    connect(editor_, &CodeEditorView::textEdited, this, &ExpressionBuilderView::expressionEdited);
    testPanel_->setExpression(text);
    refreshWarnings(text);
    editor_->textView()->setFocus();
}

void ExpressionBuilderView::release()
{
    expression_ = {};
    onDone_ = {};
    testPanel_->setEngine(nullptr);
}

QStringList ExpressionBuilderView::tokenCompletions(QChar letter) const
{
    QStringList names;
    if (letter == u'F') {
        for (const ReportField &field : document_.fields)
            names.append(field.name);
    } else if (letter == u'P') {
        for (const ReportParameter &parameter : document_.parameters)
            names.append(parameter.name);
    } else if (letter == u'V') {
        for (const ReportVariable &variable : document_.variables)
            names.append(variable.name);
        names << u"PAGE_NUMBER"_s << u"PAGE_COUNT"_s << u"COLUMN_NUMBER"_s << u"REPORT_COUNT"_s
              << u"COLUMN_COUNT"_s;
    }
    return names;
}

void ExpressionBuilderView::expressionEdited(const QString &text)
{
    if (expression_.set)
        expression_.set(text);
    testPanel_->setExpression(text);
    refreshWarnings(text);
}

void ExpressionBuilderView::refreshWarnings(const QString &text)
{
    const QStringList messages = expressions::validateExpression(text, document_);
    if (messages == shownWarnings_)
        return;
    shownWarnings_ = messages;
    qDeleteAll(warnings_->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    for (const QString &message : messages) {
        auto *row = new QWidget(warnings_);
        auto *line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        auto *icon = new QLabel(row);
        icon->setPixmap(SymbolIcons::icon(u"exclamationmark.triangle.fill"_s).pixmap(12, 12));
        icon->setProperty(SymbolIcons::symbolProperty, u"exclamationmark.triangle.fill"_s);
        auto *label = new QLabel(message, row);
        label->setTextFormat(Qt::PlainText); // warnings quote the expression's names
        label->setFont(sized(label->font(), 8));
        label->setWordWrap(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ColorHex::warning());
        label->setPalette(palette);
        line->addWidget(icon, 0, Qt::AlignTop);
        line->addWidget(label, 1);
        warnings_->layout()->addWidget(row);
    }
    warnings_->setVisible(!messages.isEmpty());
}

QStringList ExpressionBuilderView::warnings() const
{
    return shownWarnings_;
}

QWidget *ExpressionBuilderView::chipArea()
{
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *content = new QWidget(scroll);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto tokens = [](const auto &items, const QString &opening) {
        QList<std::pair<QString, QString>> chips;
        for (const auto &item : items) {
            const QString token = opening + item.name + u"}"_s;
            chips.append({token, token});
        }
        return chips;
    };
    if (!document_.fields.isEmpty())
        addSection(column, tr("Fields"), 90, tokens(document_.fields, u"$F{"_s), true);
    if (!document_.parameters.isEmpty())
        addSection(column, tr("Parameters"), 90, tokens(document_.parameters, u"$P{"_s), true);
    if (!document_.variables.isEmpty())
        addSection(column, tr("Variables"), 90, tokens(document_.variables, u"$V{"_s), true);
    QList<std::pair<QString, QString>> snippets;
    for (const ExpressionSnippet &snippet : expressionSnippets())
        snippets.append({snippet.label, snippet.templateText});
    addSection(column, tr("Snippets"), 110, snippets, false);
    column->addStretch(1);
    scroll->setWidget(content);
    return scroll;
}

void ExpressionBuilderView::addSection(QVBoxLayout *column, const QString &title,
                                       int minimumColumnWidth,
                                       const QList<std::pair<QString, QString>> &chips,
                                       bool monospaced)
{
    auto *section = new QVBoxLayout;
    section->setSpacing(4);
    auto *heading = new QLabel(title.toUpper(), this);
    heading->setFont(sized(heading->font(), 9, QFont::DemiBold));
    heading->setForegroundRole(QPalette::PlaceholderText);
    section->addWidget(heading);
    sectionTitles_.append(heading->text());

    const QFont chipFont = monospaced
                               ? sized(QFontDatabase::systemFont(QFontDatabase::FixedFont), 10)
                               : sized(font(), 10);
    // The minimum column widths are meant for a 10 pt face about 6 units per character; a wider
    // face gets proportionally wider columns, so a chip still holds as many characters.
    const qreal scale = std::max(1.0, QFontMetricsF(chipFont).averageCharWidth() / 6.0);
    auto *grid = new QWidget(this);
    auto *layout = new AdaptiveGridLayout(int(std::lround(minimumColumnWidth * scale)), 4, grid);
    for (const auto &[caption, token] : chips) {
        auto *chip = new ChipButton(caption, grid);
        chip->setFont(chipFont);
        connect(chip, &QPushButton::clicked, this,
                [this, token = token] { pendingInsertion_->setToken(token); });
        layout->addWidget(chip);
    }
    section->addWidget(grid);
    column->addLayout(section);
}

QPushButton *ExpressionBuilderView::chip(const QString &title) const
{
    return findChild<QPushButton *>(title);
}

QStringList ExpressionBuilderView::sectionTitles() const
{
    return sectionTitles_;
}
