#include "widgets/ColorHex.h"

#include <cmath>

namespace ColorHex {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

int component(float value)
{
    return int(std::round(double(value) * 255.0));
}

} // namespace

std::optional<QColor> fromHex(QStringView text)
{
    if (text.startsWith(u'#'))
        text = text.mid(1);
    if (text.size() != 6)
        return std::nullopt;
    unsigned rgb = 0;
    for (QChar c : text) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        rgb = rgb * 16 + unsigned(digit);
    }
    return QColor::fromRgbF(float(((rgb >> 16) & 0xFF) / 255.0), float(((rgb >> 8) & 0xFF) / 255.0),
                            float((rgb & 0xFF) / 255.0), 1.0f);
}

QString toHex(const QColor &color)
{
    const QColor rgb = color.isValid() ? color.toRgb() : QColor(Qt::black);
    return QStringLiteral("#%1%2%3")
        .arg(component(rgb.redF()), 2, 16, QLatin1Char('0'))
        .arg(component(rgb.greenF()), 2, 16, QLatin1Char('0'))
        .arg(component(rgb.blueF()), 2, 16, QLatin1Char('0'))
        .toUpper();
}

const QColor &elementSelection()
{
    static const QColor selection = QColor::fromRgbF(0.2f, 0.47f, 0.98f, 1.0f);
    return selection;
}

const QColor &warning()
{
    static const QColor orange(0xE0, 0x7B, 0x00);
    return orange;
}

} // namespace ColorHex
