#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <optional>

// The bytes read as UTF-8; no value when they are not valid UTF-8.
inline std::optional<QString> strictUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}
