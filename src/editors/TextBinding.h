#pragma once

#include <QString>
#include <functional>

// A text owned elsewhere, read and written in place (the field beside an expression button).
struct TextBinding {
    std::function<QString()> get;
    std::function<void(const QString &)> set;
};
