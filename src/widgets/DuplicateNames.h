#pragma once

#include <QList>
#include <QString>

#include <algorithm>

class QLabel;
class QVBoxLayout;
class QWidget;

// The warning a row shows under its name while another item of its list carries the same name:
// the engine refuses a report that declares two of one name.
namespace DuplicateNames {

// "Another field has this name: the engine refuses two fields of one name."
QString warning(const QString &itemKind);
// The warning's label, in the caption size and the warnings' colour, hidden until shown.
QLabel *warningLabel(QWidget *parent);
// A column of a name's editor with its warning under it.
QVBoxLayout *underEditor(QWidget *editor, QLabel *warning);
// Shows the text, or hides the label for an empty one.
void showWarning(QLabel *label, const QString &text);

// Whether more than one of the items carries the name.
template <typename T> bool isShared(const QList<T> &items, const QString &name)
{
    return std::count_if(items.cbegin(), items.cend(),
                         [&](const T &item) { return item.name == name; }) > 1;
}

} // namespace DuplicateNames
