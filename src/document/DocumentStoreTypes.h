#pragma once

#include "model/ReportBand.h"

#include <QString>
#include <QUrl>
#include <QUuid>
#include <QtCore/qnamespace.h>
#include <exception>
#include <functional>
#include <optional>
#include <variant>

// A key that is compared by kind and value: an element id, a band, or a text. Keys of
// different kinds never match, even when they name the same thing. Undo runs and the outline's
// collapsed nodes use it.
class HashableKey {
public:
    HashableKey(const QUuid &id) : value_(id) {}
    HashableKey(const BandTarget &target) : value_(target) {}
    HashableKey(const QString &text) : value_(text) {}

    const std::variant<QUuid, BandTarget, QString> &value() const { return value_; }

    bool operator==(const HashableKey &) const = default;

private:
    std::variant<QUuid, BandTarget, QString> value_;
};

size_t qHash(const HashableKey &key, size_t seed = 0) noexcept;

// The one declared field or parameter the inspector shows.
struct InspectorDataSelection {
    enum class Kind { field, parameter };

    static InspectorDataSelection field(const QUuid &id) { return {Kind::field, id}; }
    static InspectorDataSelection parameter(const QUuid &id) { return {Kind::parameter, id}; }

    Kind kind = Kind::field;
    QUuid id;

    bool operator==(const InspectorDataSelection &) const = default;
};

// A key press as the store needs it: which key, the modifiers held, and whether a text editor
// has the keyboard focus (then the key belongs to the editor).
struct KeyDown {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    bool textFieldHasFocus = false;
};

// What a save panel is asked to show; the panel answers the chosen location or no value.
struct SavePanelRequest {
    QString message;
    QString proposedFileName;
    QString fileExtension;
};
using SavePanel = std::function<std::optional<QUrl>(const SavePanelRequest &)>;

// A report file that could not be read or written. Its text is the one shown to the user.
class DocumentFileError : public std::exception {
public:
    explicit DocumentFileError(const QString &message) : message_(message), utf8_(message.toUtf8())
    {
    }

    QString message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
