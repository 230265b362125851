#include "canvas/FormatToolbar.h"

#include "canvas/ToolbarParts.h"
#include "widgets/SymbolIcons.h"
#include "widgets/ToolbarToggleIcon.h"
#include "workspace/AppSettings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QStringList horizontalSymbols{u"text.alignleft"_s, u"text.aligncenter"_s,
                                    u"text.alignright"_s};
const QStringList verticalSymbols{u"align.vertical.top"_s, u"align.vertical.center"_s,
                                  u"align.vertical.bottom"_s};

// A picker of three icon segments, 120 points wide; the button ids are the segments' indexes.
QWidget *segmentedPicker(const QStringList &symbols, QButtonGroup *group, QWidget *parent)
{
    auto *picker = new QWidget(parent);
    picker->setFixedWidth(120);
    auto *row = new QHBoxLayout(picker);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < symbols.size(); ++i) {
        QToolButton *segment = ToolbarParts::symbolButton(symbols[i], QString(), picker);
        segment->setFixedWidth(40);
        segment->setCheckable(true);
        group->addButton(segment, i);
        row->addWidget(segment);
    }
    group->setExclusive(true);
    return picker;
}

QToolButton *stepButton(Qt::ArrowType arrow, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFixedSize(14, 10);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FormatToolbar::FormatToolbar(AppSettings &settings, QWidget *parent)
    : QWidget(parent), settings_(settings)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 12, 6);
    row->setSpacing(10);
    buildTextGroup();
    row->addWidget(textGroup_);
    row->addWidget(ToolbarParts::divider(this));
    snap_ = new ToolbarToggleIcon(
        u"grid"_s, settings_.isSnapToGridEnabled(), QString(),
        [this] { settings_.setIsSnapToGridEnabled(!settings_.isSnapToGridEnabled()); }, this);
    row->addWidget(snap_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    connect(&settings_, &AppSettings::isSnapToGridEnabledChanged, this, &FormatToolbar::refresh);
    refresh();
}

void FormatToolbar::buildTextGroup()
{
    textGroup_ = new QWidget(this);
    textGroup_->setGraphicsEffect(new QGraphicsOpacityEffect(textGroup_));
    auto *row = new QHBoxLayout(textGroup_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);

    auto *icon = new QLabel(textGroup_);
    icon->setPixmap(SymbolIcons::tintedPixmap(u"textformat"_s, {14, 14}, devicePixelRatioF(),
                                              palette().color(QPalette::PlaceholderText)));
    icon->setToolTip(u"Font"_s);
    icon->setProperty(SymbolIcons::symbolProperty, u"textformat"_s);
    row->addWidget(icon);

    fontPicker_ = new QComboBox(textGroup_);
    fontPicker_->setFixedWidth(140);
    fontPicker_->setFocusPolicy(Qt::NoFocus);
    QFont small = fontPicker_->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    fontPicker_->setFont(small);
    connect(fontPicker_, &QComboBox::activated, this, [this](int index) {
        // Re-picking the name shown writes nothing.
        const QString name = fontPicker_->itemData(index).toString();
        if (name != shown_.fontName)
            write([name](ReportElement &e) { e.fontName = name; });
    });
    row->addWidget(fontPicker_);

    // The size: its whole number in a 24-point frame, then the up and down arrows.
    auto *size = new QWidget(textGroup_);
    auto *sizeRow = new QHBoxLayout(size);
    sizeRow->setContentsMargins(0, 0, 0, 0);
    sizeRow->setSpacing(2);
    sizeLabel_ = new QLabel(size);
    sizeLabel_->setFixedWidth(24);
    sizeLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sizeLabel_->setFont(small);
    sizeRow->addWidget(sizeLabel_);
    auto *arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    sizeUp_ = stepButton(Qt::UpArrow, size);
    sizeDown_ = stepButton(Qt::DownArrow, size);
    arrows->addWidget(sizeUp_);
    arrows->addWidget(sizeDown_);
    sizeRow->addLayout(arrows);
    connect(sizeUp_, &QToolButton::clicked, this, [this] { stepSize(1); });
    connect(sizeDown_, &QToolButton::clicked, this, [this] { stepSize(-1); });
    row->addWidget(size);

    row->addWidget(ToolbarParts::divider(textGroup_));
    // Each style toggle writes the negation of the first text element's flag to all.
    bold_ = new ToolbarToggleIcon(
        u"bold"_s, false, u"Bold"_s,
        [this] { write([on = !shown_.isBold](ReportElement &e) { e.isBold = on; }); }, textGroup_);
    italic_ = new ToolbarToggleIcon(
        u"italic"_s, false, u"Italic"_s,
        [this] { write([on = !shown_.isItalic](ReportElement &e) { e.isItalic = on; }); },
        textGroup_);
    underline_ = new ToolbarToggleIcon(
        u"underline"_s, false, u"Underline"_s,
        [this] { write([on = !shown_.isUnderline](ReportElement &e) { e.isUnderline = on; }); },
        textGroup_);
    for (QWidget *toggle : {bold_, italic_, underline_})
        row->addWidget(toggle);
    row->addWidget(ToolbarParts::divider(textGroup_));

    horizontal_ = new QButtonGroup(textGroup_);
    vertical_ = new QButtonGroup(textGroup_);
    row->addWidget(segmentedPicker(horizontalSymbols, horizontal_, textGroup_));
    row->addWidget(segmentedPicker(verticalSymbols, vertical_, textGroup_));
    connect(horizontal_, &QButtonGroup::idClicked, this, [this](int index) {
        const auto value = TextAlignment(index);
        if (value != shown_.textAlignment)
            write([value](ReportElement &e) { e.textAlignment = value; });
    });
    connect(vertical_, &QButtonGroup::idClicked, this, [this](int index) {
        const auto value = VerticalTextAlignment(index);
        if (value != shown_.verticalAlignment)
            write([value](ReportElement &e) { e.verticalAlignment = value; });
    });
}

void FormatToolbar::setStore(DocumentStore *store)
{
    for (const QMetaObject::Connection &connection : std::as_const(storeConnections_))
        disconnect(connection);
    storeConnections_.clear();
    store_ = store;
    if (store_) {
        storeConnections_ = {connect(store_, &DocumentStore::selectedElementIDsChanged, this,
                                     &FormatToolbar::refresh),
                             // It shows the selected elements' values only: without a selection no
                             // change of the report shows anything new.
                             connect(store_, &DocumentStore::documentChanged, this, [this] {
                                 if (!store_->selectedElementIDs().isEmpty())
                                     refresh();
                             })};
    }
    refresh();
}

ToolbarToggleIcon *FormatToolbar::toggle(const QString &symbol) const
{
    for (ToolbarToggleIcon *icon : {bold_, italic_, underline_, snap_}) {
        if (icon->systemImage() == symbol)
            return icon;
    }
    return nullptr;
}

QToolButton *FormatToolbar::alignmentButton(const QString &symbol) const
{
    const qsizetype h = horizontalSymbols.indexOf(symbol);
    if (h >= 0)
        return static_cast<QToolButton *>(horizontal_->button(int(h)));
    const qsizetype v = verticalSymbols.indexOf(symbol);
    return v >= 0 ? static_cast<QToolButton *>(vertical_->button(int(v))) : nullptr;
}

void FormatToolbar::write(const DocumentStore::ElementMutation &mutation)
{
    if (store_)
        store_->updateSelectedElements(mutation);
}

void FormatToolbar::stepSize(int step)
{
    if (const std::optional<double> size = FormatToolbarValues::steppedSize(shown_.fontSize, step))
        write([value = *size](ReportElement &e) { e.fontSize = value; });
}

void FormatToolbar::refresh()
{
    shown_ = store_ ? FormatToolbarValues::of(*store_) : FormatToolbarValues();

    const QStringList options = shown_.fontOptions();
    {
        const QSignalBlocker blocker(fontPicker_);
        QStringList listed;
        for (int i = 0; i < fontPicker_->count(); ++i)
            listed.append(fontPicker_->itemData(i).toString());
        if (listed != options) {
            fontPicker_->clear();
            for (const QString &name : options)
                fontPicker_->addItem(name, name);
        }
        fontPicker_->setCurrentIndex(int(options.indexOf(shown_.fontName)));
    }
    sizeLabel_->setText(FormatToolbarValues::sizeLabel(shown_.fontSize));
    sizeUp_->setEnabled(FormatToolbarValues::steppedSize(shown_.fontSize, 1).has_value());
    sizeDown_->setEnabled(FormatToolbarValues::steppedSize(shown_.fontSize, -1).has_value());
    bold_->setOn(shown_.isBold);
    italic_->setOn(shown_.isItalic);
    underline_->setOn(shown_.isUnderline);
    horizontal_->button(int(shown_.textAlignment))->setChecked(true);
    vertical_->button(int(shown_.verticalAlignment))->setChecked(true);

    textGroup_->setEnabled(shown_.hasTextElement);
    static_cast<QGraphicsOpacityEffect *>(textGroup_->graphicsEffect())
        ->setOpacity(shown_.hasTextElement ? 1.0 : 0.5);

    const bool snapping = settings_.isSnapToGridEnabled();
    snap_->setOn(snapping);
    snap_->setToolTip(snapping ? u"Snap to Grid: On (click to disable)"_s
                               : u"Snap to Grid: Off (click to enable)"_s);
}
