#include "datapanel/GenerateColumnsSheet.h"

#include "datapanel/DataPanelView.h"
#include "datapanel/GenerateColumnsSheetVisibility.h"
#include "document/DocumentStore.h"
#include "edits/BandLimitRefusal.h"
#include "model/ReportParts.h"
#include "widgets/CardText.h"
#include "widgets/SheetDialog.h"
#include "widgets/SheetHeader.h"
#include "widgets/WheelGuard.h"
#include "workspace/AppSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString sheetName = u"datapanel.generateColumns"_s;

} // namespace

GenerateColumnsView::GenerateColumnsView(DocumentStore *store, AppSettings &settings,
                                         std::function<void()> onDismiss, QWidget *parent)
    : QWidget(parent), store_(store), settings_(settings), onDismiss_(std::move(onDismiss))
{
    setObjectName(sheetName);
    // Scrolling the sheet changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    setFixedWidth(sheetWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(12);

    column->addWidget(sheetTitle(u"Generate Columns from Fields"_s, this));
    column->addWidget(CardText::note(
        u"Adds a Column Header label and a Detail text field bound to $F{name} for each checked "
        "field below, evenly spaced across the page. Reorder fields in the Fields card of the "
        "Report Data sheet first if you want a different column order - this only picks which ones "
        "to "
        "include."_s,
        this));

    fieldsPart_ = new QWidget(this);
    auto *fieldsColumn = new QVBoxLayout(fieldsPart_);
    fieldsColumn->setContentsMargins(0, 0, 0, 0);
    fieldsColumn->setSpacing(8);
    auto *selectButtons = new QHBoxLayout;
    selectButtons->setSpacing(8);
    selectAll_ = sheetButton(u"Select All"_s, sheetName, u"selectAll"_s, fieldsPart_);
    selectNone_ = sheetButton(u"Select None"_s, sheetName, u"selectNone"_s, fieldsPart_);
    selectButtons->addWidget(selectAll_);
    selectButtons->addWidget(selectNone_);
    selectButtons->addStretch(1);
    fieldsColumn->addLayout(selectButtons);

    scroll_ = new QScrollArea(fieldsPart_);
    scroll_->setObjectName(sheetName + u".list"_s);
    scroll_->setWidgetResizable(true);
    scroll_->setMaximumHeight(listMaximumHeight);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *list = new QWidget(scroll_);
    fieldColumn_ = new QVBoxLayout(list);
    fieldColumn_->setContentsMargins(8, 8, 8, 8);
    fieldColumn_->setSpacing(6);
    fieldColumn_->addStretch(1);
    scroll_->setWidget(list);
    fieldsColumn->addWidget(scroll_);

    bandRow_ = new QWidget(fieldsPart_);
    auto *bandLine = new QHBoxLayout(bandRow_);
    bandLine->setContentsMargins(0, 0, 0, 0);
    bandLine->setSpacing(8);
    bandLine->addWidget(new QLabel(u"Target Detail Band"_s, bandRow_));
    bandPicker_ = new QComboBox(bandRow_);
    bandPicker_->setObjectName(sheetName + u".band"_s);
    bandLine->addWidget(bandPicker_, 1);
    fieldsColumn->addWidget(bandRow_);
    column->addWidget(fieldsPart_);

    emptyText_ = new QLabel(
        u"No fields declared yet - add some in the Fields card of Report Data first."_s, this);
    emptyText_->setObjectName(sheetName + u".empty"_s);
    emptyText_->setWordWrap(true);
    CardText::makeSecondary(emptyText_);
    column->addWidget(emptyText_);

    refusal_ = CardText::warning(this);
    refusal_->setObjectName(sheetName + u".refusal"_s);
    column->addWidget(refusal_);
    // A report of parts takes no columns: the sheet says so where they would go.
    partsText_ = new QLabel(this);
    partsText_->setObjectName(sheetName + u".parts"_s);
    partsText_->setWordWrap(true);
    CardText::makeSecondary(partsText_);
    column->addWidget(partsText_);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = sheetButton(u"Cancel"_s, sheetName, u"cancel"_s, this);
    cancel_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Escape));
    generate_ = sheetButton(u"Generate"_s, sheetName, u"generate"_s, this);
    generate_->setDefault(true);
    buttons->addWidget(cancel_);
    buttons->addWidget(generate_);
    column->addLayout(buttons);

    connect(selectAll_, &QPushButton::clicked, this, [this] {
        selection_.selectedIDs.clear();
        if (store_)
            for (const ReportField &field : store_->document().fields)
                selection_.selectedIDs.insert(field.id);
        showSelection();
    });
    connect(selectNone_, &QPushButton::clicked, this, [this] {
        selection_.selectedIDs.clear();
        showSelection();
    });
    connect(bandPicker_, &QComboBox::activated, this, [this](int index) {
        if (!store_ || index < 0 || index >= store_->document().detailBands.size())
            return;
        selection_.detailTarget =
            BandTarget::detailBand(store_->document().detailBands.at(index).id);
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (onDismiss_)
            onDismiss_();
    });
    connect(generate_, &QPushButton::clicked, this, &GenerateColumnsView::generate);
    if (store_)
        connect(store_, &DocumentStore::documentChanged, this, &GenerateColumnsView::refresh);
    refresh();
}

void GenerateColumnsView::showing()
{
    if (selection_.selectedIDs.isEmpty() && store_)
        for (const ReportField &field : store_->document().fields)
            selection_.selectedIDs.insert(field.id);
    refresh();
}

void GenerateColumnsView::refresh()
{
    // Said of the report as it was.
    CardText::showWarning(refusal_, {});
    if (!store_)
        return;
    const ReportDocument &document = store_->document();

    // The checkboxes follow the fields; each is made anew when the fields change, which the
    // sheet's modality keeps rare.
    QList<QUuid> ids;
    for (const ReportField &field : document.fields)
        ids.append(field.id);
    for (QCheckBox *box : std::as_const(boxes_))
        delete box->parentWidget();
    boxes_.clear();
    boxIDs_ = ids;
    QWidget *list = fieldColumn_->parentWidget();
    for (qsizetype i = 0; i < document.fields.size(); ++i) {
        const ReportField &field = document.fields.at(i);
        // The checkbox shows the name; the class stands under it in the small caption.
        auto *entry = new QWidget(list);
        auto *lines = new QVBoxLayout(entry);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(0);
        auto *box = new QCheckBox(field.name, entry);
        box->setObjectName(sheetName + u".field"_s + QString::number(i));
        lines->addWidget(box);
        QLabel *className = CardText::note(field.className, entry, CardText::caption2PointSize);
        className->setContentsMargins(
            box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box),
            0, 0, 0);
        lines->addWidget(className);
        connect(box, &QCheckBox::toggled, this, [this, id = field.id](bool checked) {
            if (checked)
                selection_.selectedIDs.insert(id);
            else
                selection_.selectedIDs.remove(id);
            showSelection();
        });
        fieldColumn_->insertWidget(int(i), entry);
        boxes_.append(box);
    }

    const bool hasFields = !document.fields.isEmpty();
    fieldsPart_->setVisible(hasFields);
    emptyText_->setVisible(!hasFields);
    const bool ofParts = ReportParts::isPartReport(document);
    partsText_->setVisible(ofParts);
    if (ofParts)
        partsText_->setText(
            ReportParts::noElementsMessage(store_->label(selection_.detailTarget.value_or(
                BandTarget::detailBand(document.detailBands.value(0).id)))));

    const qsizetype bandCount = document.detailBands.size();
    bandRow_->setVisible(hasFields && bandCount >= 2);
    {
        const QSignalBlocker blocker(bandPicker_);
        bandPicker_->clear();
        int chosen = 0;
        for (qsizetype i = 0; i < bandCount; ++i) {
            bandPicker_->addItem(u"Detail "_s + QString::number(i + 1));
            if (selection_.detailTarget &&
                *selection_.detailTarget == BandTarget::detailBand(document.detailBands.at(i).id))
                chosen = int(i);
        }
        bandPicker_->setCurrentIndex(bandCount > 0 ? chosen : -1);
    }
    showSelection();
}

void GenerateColumnsView::showSelection()
{
    for (qsizetype i = 0; i < boxes_.size(); ++i) {
        const QSignalBlocker blocker(boxes_[i]);
        boxes_[i]->setChecked(selection_.selectedIDs.contains(boxIDs_.at(i)));
    }
    generate_->setEnabled(!selection_.selectedIDs.isEmpty() && store_ &&
                          !ReportParts::isPartReport(store_->document()));
}

void GenerateColumnsView::generate()
{
    if (store_) {
        const ReportDocument &document = store_->document();
        QList<ReportField> fields;
        for (const ReportField &field : document.fields)
            if (selection_.selectedIDs.contains(field.id))
                fields.append(field);
        std::optional<BandTarget> target = selection_.detailTarget;
        if (!target && !document.detailBands.isEmpty())
            target = BandTarget::detailBand(document.detailBands.first().id);
        if (target) {
            // A layout the page cannot hold adds nothing: the sheet stays and says why.
            const BandLimitRefusal refusal(*store_, settings_.measurementUnit());
            store_->generateColumnarLayout(fields, *target, settings_.defaultBlankWhenNull(),
                                           std::nullopt);
            if (!refusal.words().isEmpty()) {
                CardText::showWarning(refusal_, refusal.words());
                return;
            }
        }
    }
    if (onDismiss_)
        onDismiss_();
}

GenerateColumnsSheet *GenerateColumnsSheet::follow(DataPanelView *panel)
{
    return new GenerateColumnsSheet(panel);
}

GenerateColumnsSheet::GenerateColumnsSheet(DataPanelView *panel) : PanelInnerSheet(panel)
{
    connect(GenerateColumnsSheetVisibility::of(panel),
            &GenerateColumnsSheetVisibility::visibleChanged, this, &GenerateColumnsSheet::setShown);
}

GenerateColumnsView *GenerateColumnsSheet::view() const
{
    return view_;
}

QWidget *GenerateColumnsSheet::makeContent(SheetDialog *dialog)
{
    dialog->setWindowTitle(u"Generate Columns from Fields"_s);
    view_ = new GenerateColumnsView(
        panel()->store(), *panel()->context().settings,
        [self = QPointer<GenerateColumnsSheet>(this)] {
            if (self)
                self->dismissed();
        },
        dialog);
    return view_;
}

void GenerateColumnsSheet::dismissed()
{
    GenerateColumnsSheetVisibility::of(panel())->setVisible(false);
}

void GenerateColumnsSheet::showing()
{
    view_->showing();
}
