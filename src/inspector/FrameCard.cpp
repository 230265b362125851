#include "inspector/FrameCard.h"

#include "inspector/InspectorTexts.h"
#include "widgets/InspectorRows.h"
#include "widgets/WheelGuard.h"

#include <QComboBox>

namespace {

// A picker of every case of the enumeration, in order, by its inspector label. A choice the
// element already has writes nothing.
template <typename Enum>
QComboBox *casePicker(const QString &name, QString (*label)(Enum), Enum ReportElement::*field,
                      const ElementWriter &writer, QWidget *parent)
{
    auto *picker = new QComboBox(parent);
    picker->setObjectName(name);
    WheelGuard::ignoreUnlessFocused(picker);
    for (Enum value : allCases<Enum>())
        picker->addItem(label(value));
    QObject::connect(picker, &QComboBox::activated, parent, [writer, field](int index) {
        const QList<Enum> cases = allCases<Enum>();
        if (index < 0 || index >= cases.size())
            return;
        const std::optional<ReportElement> element = writer.current();
        if (element && (*element).*field != cases.at(index))
            writer.update([&](ReportElement &e) { e.*field = cases.at(index); });
    });
    return picker;
}

} // namespace

FrameCard::FrameCard(const ElementWriter &writer, const ReportElement &element,
                     AppSettings &settings, QWidget *parent)
    : SectionCard(QStringLiteral("Frame"), parent), writer_(writer)
{
    setObjectName(QStringLiteral("inspector.frame"));
    using Which = LengthLimits::ElementLength;
    x_ = lengthRow(QStringLiteral("X"), QStringLiteral("x"), element.x, &ReportElement::x, Which::x,
                   settings);
    y_ = lengthRow(QStringLiteral("Y"), QStringLiteral("y"), element.y, &ReportElement::y, Which::y,
                   settings);
    // A line of no height or width shows the point the engine gives it.
    width_ = lengthRow(QStringLiteral("Width"), QStringLiteral("width"), element.printedWidth(),
                       &ReportElement::width, Which::width, settings);
    height_ = lengthRow(QStringLiteral("Height"), QStringLiteral("height"), element.printedHeight(),
                        &ReportElement::height, Which::height, settings);

    position_ =
        casePicker(QStringLiteral("inspector.frame.position"), &InspectorTexts::positionLabel,
                   &ReportElement::positionType, writer_, this);
    position_->setToolTip(InspectorTexts::positionHelp());
    addWidget(InspectorRows::pickerRow(QStringLiteral("Position"), position_, this));
    stretch_ = casePicker(QStringLiteral("inspector.frame.stretch"), &InspectorTexts::stretchLabel,
                          &ReportElement::stretchType, writer_, this);
    addWidget(InspectorRows::pickerRow(QStringLiteral("Stretch"), stretch_, this));
}

LengthRow *FrameCard::lengthRow(const QString &label, const QString &name, double points,
                                double ReportElement::*field, LengthLimits::ElementLength which,
                                AppSettings &settings)
{
    auto *row = new LengthRow(
        label, points, settings,
        [this, field](double value) {
            writer_.update([&](ReportElement &e) { e.*field = value; });
            // The report may keep another length (a frame keeps holding what it holds), also
            // when that changes nothing: the fields show what it holds.
            if (const std::optional<ReportElement> element = writer_.current())
                showLengths(*element);
        },
        this);
    row->setObjectName(QStringLiteral("inspector.frame.") + name);
    row->setCheck([writer = writer_, which](double value, MeasurementUnit unit) {
        if (!writer.acceptsWrites())
            return LengthVerdict::accept(value);
        return LengthLimits::elementLength(*writer.store(), writer.elementID(), which, value, unit);
    });
    addWidget(row);
    return row;
}

void FrameCard::refresh(const ReportElement &element, const ReportDocument &)
{
    showLengths(element);
    InspectorRows::showIndex(position_,
                             int(allCases<PositionType>().indexOf(element.positionType)));
    InspectorRows::showIndex(stretch_, int(allCases<StretchType>().indexOf(element.stretchType)));
}

void FrameCard::showLengths(const ReportElement &element)
{
    x_->setPoints(element.x);
    y_->setPoints(element.y);
    width_->setPoints(element.printedWidth());
    height_->setPoints(element.printedHeight());
}
