#include "setup/PageSetupView.h"

#include "document/DocumentStore.h"
#include "edits/LengthLimits.h"
#include "model/PageLayout.h"
#include "setup/PageSetupEdits.h"
#include "widgets/CardSection.h"
#include "widgets/CardText.h"
#include "widgets/MeasurementField.h"
#include "widgets/SheetHeader.h"
#include "widgets/Stepper.h"
#include "widgets/WheelGuard.h"
#include "workspace/AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int labelWidth = 100;

// A caption in the small caption font and the secondary colour.
QLabel *caption(const QString &text, const QString &name, QWidget *parent)
{
    QLabel *label = CardText::note(text, parent);
    label->setObjectName(name);
    return label;
}

QCheckBox *checkBox(const QString &title, const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(title, parent);
    box->setObjectName(name);
    return box;
}

// A picker beside its title, both in one row.
QComboBox *picker(CardSection *card, const QString &title, const QString &name)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(title, card);
    row->addWidget(label);
    auto *box = new QComboBox(card);
    box->setObjectName(name);
    label->setBuddy(box);
    row->addWidget(box, 1);
    card->addLayout(row);
    return box;
}

// Selects the entry whose data is `value`, or none when no entry has it; emits nothing.
void showChoice(QComboBox *box, const QVariant &value)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(box->findData(value));
}

} // namespace

PageSetupView::PageSetupView(DocumentStore *store, AppSettings &settings,
                             std::function<void()> onClose, QWidget *parent)
    : QWidget(parent), settings_(settings), onClose_(std::move(onClose))
{
    setObjectName(u"PageSetupView"_s);
    setMinimumSize(420, 480);

    auto *close = new QPushButton(u"Close"_s, this);
    close->setObjectName(u"pagesetup.close"_s);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [this] {
        if (onClose_)
            onClose_();
    });

    auto *content = new QWidget;
    content->setObjectName(u"pagesetup.content"_s);
    auto *cards = new QVBoxLayout(content);
    cards->setContentsMargins(16, 16, 16, 16);
    cards->setSpacing(16);
    for (CardSection *section : {buildPageSize(), buildMargins(), buildContent(), buildColumns(),
                                 buildPagination(), buildAccessibility(), buildExpressions()}) {
        section->setParent(content);
        cards->addWidget(section);
    }
    cards->addStretch(1);
    // The labels stand in one column 100 points wide, wider where a caption needs it in the
    // user's font ("Column Spacing" does not fit 100 pixels at every size).
    for (const auto &[row, length] : std::as_const(lengths_))
        row->setLabelWidth(captionWidth_);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(u"pagesetup.scroll"_s);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_->setWidget(content);
    // A click on the sheet's buttons leaves the focus, and a length typed in it, where it is
    // (actOnTyping): the sheet around them takes no focus either.
    scroll_->setFocusPolicy(Qt::NoFocus);
    // Scrolling the sheet must not pick another entry of a picker that passes under the pointer:
    // a picker takes the wheel only while it has the focus.
    WheelGuard::guardPanel(this);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(sheetHeader(u"Page Setup"_s, {close}, this));
    column->addWidget(scroll_, 1);

    connect(&settings_, &AppSettings::measurementUnitChanged, this, &PageSetupView::refreshUnit);
    setStore(store);
}

void PageSetupView::setStore(DocumentStore *store)
{
    if (store == store_ && documentConnection_)
        return;
    disconnect(documentConnection_);
    // A message answered typing for the report shown before.
    if (store != store_)
        clearMessages();
    store_ = store;
    if (store_) {
        documentConnection_ =
            connect(store_, &DocumentStore::documentChanged, this, &PageSetupView::refresh);
    }
    refresh();
}

void PageSetupView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        clearMessages();
}

void PageSetupView::clearMessages()
{
    for (const auto &[row, length] : std::as_const(lengths_))
        row->clearMessage();
}

MeasurementField *PageSetupView::field(const QString &label, double ReportDocument::*length,
                                       const QString &name, QWidget *parent)
{
    auto *row = new MeasurementField(
        label, 0, settings_.measurementUnit(), labelWidth,
        [this, length](double points) {
            if (store_)
                PageSetupEdits::setLength(*store_, length, points);
        },
        parent);
    row->setObjectName(name);
    row->setCheck([this, length](double points, MeasurementUnit unit) {
        if (!store_)
            return LengthVerdict::accept(points);
        return LengthLimits::pageLength(store_->document(), length, points, unit);
    });
    captionWidth_ =
        std::max({captionWidth_, labelWidth, row->fontMetrics().horizontalAdvance(label) + 8});
    lengths_.append({row, length});
    return row;
}

void PageSetupView::addLengths(CardSection *section, const QList<Length> &lengths)
{
    for (const Length &length : lengths)
        section->addWidget(field(length.label, length.member, length.name, section));
}

CardSection *PageSetupView::card(const QString &title, const QString &name)
{
    auto *section = new CardSection(title, std::nullopt, this);
    section->setObjectName(name);
    return section;
}

CardSection *PageSetupView::buildPageSize()
{
    CardSection *section = card(u"Page Size"_s, u"pagesetup.page"_s);
    addLengths(section, {{u"Width"_s, &ReportDocument::pageWidth, u"pagesetup.page.width"_s},
                         {u"Height"_s, &ReportDocument::pageHeight, u"pagesetup.page.height"_s}});
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    for (const auto &[title, name, portrait] :
         {std::tuple{u"Portrait"_s, u"pagesetup.page.portrait"_s, true},
          std::tuple{u"Landscape"_s, u"pagesetup.page.landscape"_s, false}}) {
        auto *button = new QPushButton(title, section);
        button->setObjectName(name);
        button->setAutoDefault(false);
        actOnTyping(button, [this, portrait](bool) {
            if (store_)
                CardText::showWarning(
                    orientationWarning_,
                    PageSetupEdits::setOrientation(*store_, portrait, settings_.measurementUnit()));
        });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    section->addLayout(buttons);
    orientationWarning_ = CardText::warning(section);
    orientationWarning_->setObjectName(u"pagesetup.page.orientationWarning"_s);
    section->addWidget(orientationWarning_);
    return section;
}

CardSection *PageSetupView::buildMargins()
{
    CardSection *section = card(u"Margins"_s, u"pagesetup.margins"_s);
    addLengths(section,
               {{u"Left"_s, &ReportDocument::leftMargin, u"pagesetup.margins.left"_s},
                {u"Right"_s, &ReportDocument::rightMargin, u"pagesetup.margins.right"_s},
                {u"Top"_s, &ReportDocument::topMargin, u"pagesetup.margins.top"_s},
                {u"Bottom"_s, &ReportDocument::bottomMargin, u"pagesetup.margins.bottom"_s}});
    return section;
}

CardSection *PageSetupView::buildContent()
{
    CardSection *section = card(u"Content"_s, u"pagesetup.contentCard"_s);
    section->addWidget(field(u"Column Width"_s, &ReportDocument::columnWidth,
                             u"pagesetup.content.columnWidth"_s, section));
    contentCaption_ =
        caption(PageSetupEdits::contentCaption(1), u"pagesetup.content.caption"_s, section);
    section->addWidget(contentCaption_);
    auto *fit = new QPushButton(u"Fit Column Width to Margins"_s, section);
    fit->setObjectName(u"pagesetup.content.fit"_s);
    fit->setAutoDefault(false);
    actOnTyping(fit, [this](bool) {
        if (store_)
            PageSetupEdits::fitColumnWidthToMargins(*store_);
    });
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(fit);
    row->addStretch(1);
    section->addLayout(row);
    fitWarning_ = new QLabel(PageSetupEdits::columnsDoNotFitWarning(), section);
    fitWarning_->setObjectName(u"pagesetup.content.fitWarning"_s);
    fitWarning_->setWordWrap(true);
    fitWarning_->setFont(CardText::sized(fitWarning_->font(), CardText::captionPointSize));
    fitWarning_->hide();
    paintFitWarning();
    section->addWidget(fitWarning_);
    return section;
}

void PageSetupView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && fitWarning_)
        paintFitWarning();
}

void PageSetupView::paintFitWarning()
{
    QPalette palette = fitWarning_->palette();
    palette.setColor(QPalette::WindowText, CardText::warningColor(palette));
    fitWarning_->setPalette(palette);
}

CardSection *PageSetupView::buildColumns()
{
    CardSection *section = card(u"Columns"_s, u"pagesetup.columns"_s);
    auto *countRow = new QHBoxLayout;
    countRow->setContentsMargins(0, 0, 0, 0);
    countRow->addWidget(new QLabel(u"Column Count"_s, section));
    countRow->addStretch(1);
    columnCount_ = new Stepper(double(PageSetupEdits::minimumColumnCount),
                               double(PageSetupEdits::maximumColumnCount), QString(), section);
    columnCount_->setObjectName(u"pagesetup.columns.count"_s);
    connect(columnCount_, &Stepper::valueChanged, this, [this](double count) {
        if (store_)
            PageSetupEdits::setColumnCount(*store_, qint64(count));
    });
    countRow->addWidget(columnCount_);
    section->addLayout(countRow);

    // Spacing, print order and their caption only mean something from two columns on.
    multiColumn_ = new QWidget(section);
    multiColumn_->setObjectName(u"pagesetup.columns.multiColumn"_s);
    auto *more = new QVBoxLayout(multiColumn_);
    more->setContentsMargins(0, 0, 0, 0);
    more->setSpacing(CardSection::spacing);
    more->addWidget(field(u"Column Spacing"_s, &ReportDocument::columnSpacing,
                          u"pagesetup.columns.spacing"_s, multiColumn_));
    auto *orderRow = new QHBoxLayout;
    orderRow->setContentsMargins(0, 0, 0, 0);
    auto *orderLabel = new QLabel(u"Print Order"_s, multiColumn_);
    orderRow->addWidget(orderLabel);
    printOrder_ = new QComboBox(multiColumn_);
    printOrder_->setObjectName(u"pagesetup.columns.printOrder"_s);
    orderLabel->setBuddy(printOrder_);
    printOrder_->addItem(u"Horizontal (across, then down)"_s, int(PrintOrder::horizontal));
    printOrder_->addItem(u"Vertical (down, then across)"_s, int(PrintOrder::vertical));
    connect(printOrder_, &QComboBox::activated, this, [this](int index) {
        if (store_)
            PageSetupEdits::setGuarded(*store_, &ReportDocument::printOrder,
                                       PrintOrder(printOrder_->itemData(index).toInt()));
    });
    orderRow->addWidget(printOrder_, 1);
    more->addLayout(orderRow);
    columnsCaption_ =
        caption(PageSetupEdits::columnsCaption(2), u"pagesetup.columns.caption"_s, multiColumn_);
    more->addWidget(columnsCaption_);
    section->addWidget(multiColumn_);
    return section;
}

CardSection *PageSetupView::buildPagination()
{
    CardSection *section = card(u"Pagination"_s, u"pagesetup.pagination"_s);
    whenNoData_ = picker(section, u"When No Data"_s, u"pagesetup.pagination.whenNoData"_s);
    for (WhenNoDataType type : allCases<WhenNoDataType>())
        whenNoData_->addItem(whenNoDataTypeLabel(type), int(type));
    connect(whenNoData_, &QComboBox::activated, this, [this](int index) {
        if (store_)
            PageSetupEdits::setGuarded(*store_, &ReportDocument::whenNoDataType,
                                       WhenNoDataType(whenNoData_->itemData(index).toInt()));
    });
    const std::tuple<QCheckBox **, QString, QString, bool ReportDocument::*> flags[] = {
        {&summaryNewPage_, u"Summary On New Page"_s, u"pagesetup.pagination.summaryNewPage"_s,
         &ReportDocument::isSummaryNewPage},
        {&summaryWithHeaderAndFooter_, u"Summary With Page Header/Footer"_s,
         u"pagesetup.pagination.summaryWithPageHeaderAndFooter"_s,
         &ReportDocument::isSummaryWithPageHeaderAndFooter},
        {&floatColumnFooter_, u"Float Column Footer"_s, u"pagesetup.pagination.floatColumnFooter"_s,
         &ReportDocument::isFloatColumnFooter}};
    for (const auto &[box, title, name, flag] : flags) {
        *box = checkBox(title, name, section);
        actOnTyping(*box, [this, flag](bool on) {
            if (store_)
                PageSetupEdits::setGuarded(*store_, flag, on);
        });
        section->addWidget(*box);
    }
    return section;
}

CardSection *PageSetupView::buildAccessibility()
{
    CardSection *section = card(u"Accessibility"_s, u"pagesetup.accessibility"_s);
    pdfTagged_ =
        checkBox(u"Tagged PDF (508 Accessibility)"_s, u"pagesetup.accessibility.tagged"_s, section);
    actOnTyping(pdfTagged_, [this](bool on) {
        if (store_)
            PageSetupEdits::setGuarded(*store_, &ReportDocument::isPdfTagged, on);
    });
    section->addWidget(pdfTagged_);

    tagLanguageRow_ = new QWidget(section);
    auto *row = new QHBoxLayout(tagLanguageRow_);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(u"Tag Language"_s, tagLanguageRow_);
    row->addWidget(label);
    tagLanguage_ = new QLineEdit(tagLanguageRow_);
    tagLanguage_->setObjectName(u"pagesetup.accessibility.tagLanguage"_s);
    tagLanguage_->setPlaceholderText(u"en-US"_s);
    tagLanguage_->setFixedWidth(100);
    label->setBuddy(tagLanguage_);
    connect(tagLanguage_, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (store_)
            PageSetupEdits::setGuarded(*store_, &ReportDocument::pdfTagLanguage, text,
                                       u"pageSetup.pdfTagLanguage"_s);
    });
    row->addWidget(tagLanguage_);
    row->addStretch(1);
    section->addWidget(tagLanguageRow_);

    section->addWidget(caption(u"Marks exported PDFs as tagged (accessible to screen readers) - "
                               u"an enterprise/government report requirement."_s,
                               u"pagesetup.accessibility.caption"_s, section));
    return section;
}

CardSection *PageSetupView::buildExpressions()
{
    CardSection *section = card(u"Expressions"_s, u"pagesetup.expressions"_s);
    language_ = picker(section, u"Language"_s, u"pagesetup.expressions.language"_s);
    for (const QString &language : ReportDocument::languages)
        language_->addItem(language, language);
    connect(language_, &QComboBox::activated, this, [this](int index) {
        if (store_)
            PageSetupEdits::setGuarded(*store_, &ReportDocument::language,
                                       language_->itemData(index).toString());
    });
    section->addWidget(caption(
        u"Controls how every expression in the report is compiled - separate from the Query's "
        u"own language above. Groovy/JavaScript reports need this set correctly or real "
        u"expression syntax (e.g. Groovy's null-safe string concatenation) won't compile."_s,
        u"pagesetup.expressions.caption"_s, section));
    return section;
}

void PageSetupView::actOnTyping(QAbstractButton *button, std::function<void(bool checked)> action)
{
    // The click leaves the focus in the field; the length typed there is committed as the button
    // is let go, before it acts (HeldTyping).
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QAbstractButton::clicked, this,
            [action = std::move(action)](bool checked) { action(checked); });
}

void PageSetupView::refresh()
{
    // Said of the page as it was.
    CardText::showWarning(orientationWarning_, {});
    setEnabled(store_ != nullptr);
    if (!store_)
        return;
    const ReportDocument &document = store_->document();
    for (const auto &[row, length] : std::as_const(lengths_))
        row->setPoints(document.*length);

    contentCaption_->setText(PageSetupEdits::contentCaption(document.columnCount));
    fitWarning_->setVisible(!PageLayout::columnsFit(document));
    // The stepper shows a count outside its range as it is; only a step writes.
    columnCount_->setValue(double(document.columnCount));
    multiColumn_->setVisible(document.columnCount >= 2);
    showChoice(printOrder_, int(document.printOrder));
    columnsCaption_->setText(PageSetupEdits::columnsCaption(document.columnCount));

    showChoice(whenNoData_, int(document.whenNoDataType));
    for (const auto &[box, flag] :
         {std::pair{summaryNewPage_, &ReportDocument::isSummaryNewPage},
          std::pair{summaryWithHeaderAndFooter_, &ReportDocument::isSummaryWithPageHeaderAndFooter},
          std::pair{floatColumnFooter_, &ReportDocument::isFloatColumnFooter},
          std::pair{pdfTagged_, &ReportDocument::isPdfTagged}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(document.*flag);
    }
    tagLanguageRow_->setVisible(document.isPdfTagged);
    // Typing writes each change at once, so the text already matches while the user types.
    if (tagLanguage_->text() != document.pdfTagLanguage) {
        const QSignalBlocker blocker(tagLanguage_);
        tagLanguage_->setText(document.pdfTagLanguage);
    }
    showChoice(language_, document.language);
}

void PageSetupView::refreshUnit()
{
    for (const auto &[row, length] : std::as_const(lengths_))
        row->setUnit(settings_.measurementUnit());
}
