#pragma once

#include "datapanel/DataListSection.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class DocumentStore;
class ExpressionBuilderButton;
class SidecarModel;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QHBoxLayout;
class QLayout;
class QVBoxLayout;

// One line of a row of several lines: controls side by side, vertically centred.
class DataRowLine : public QWidget {
    Q_OBJECT

public:
    explicit DataRowLine(int spacing, QWidget *parent = nullptr);

    void add(QWidget *control, int stretch = 0);
    void addStretch();
    QHBoxLayout *layout() const { return line_; }

private:
    QHBoxLayout *line_;
};

// The body of a list row that shows its item on several lines (a parameter with its
// description, a variable's five lines). The lines stack in one control of the row, the row's
// move and remove buttons end the first line, and the controls inside the lines are named
// after the row's place ("datapanel.params.row2.default"), as the row names its own controls.
class DataRowLines : public QWidget {
    Q_OBJECT

public:
    DataRowLines(DataListRow &row, int lineSpacing);

    // A new line under the others; a line in the smaller caption size when `pointSize` is set.
    DataRowLine *addLine(double pointSize = 0);
    // The row's move and remove buttons go to the end of this line.
    void endWithRowButtons(DataRowLine *line);
    // The control is named "<row>.<name>".
    void name(QWidget *control, const QString &name);
    // How the row shows its item's values (see DataListRow::setRefresh).
    void setRefresh(std::function<void(const ReportDocument &)> refresh);

private:
    DataListRow &row_;
    QVBoxLayout *lines_;
};

namespace DataRowControls {

// Takes a widget out of whichever layout under `root` holds it; true when one did.
bool takeFromLayout(QLayout *root, QWidget *widget);
// A text field with its placeholder; fixed to that width when one is given.
QLineEdit *textField(const QString &placeholder, int width, QWidget *parent);
// A stretching text field with its expression builder after it, at the end of the line. Typing
// and the builder both write through `write`; the builder reads through `read` and offers the
// store's report as it is when it opens.
std::pair<QLineEdit *, ExpressionBuilderButton *>
expressionField(const QString &placeholder, std::function<QString()> read,
                std::function<void(const QString &)> write, DocumentStore *store,
                SidecarModel *sidecar, DataRowLine *line);
// Ticks or clears a checkbox without a click, so showing a value never writes it.
void showChecked(QCheckBox *box, bool checked);
// A picker with its caption in front, both in a box of that width, or wider where the caption
// and the picker's longest entry need more.
QWidget *labelled(const QString &label, QComboBox *picker, int width, QWidget *parent);
// A picker of fixed texts: each entry shows and stores its own text.
QComboBox *textPicker(const QStringList &entries, int width, QWidget *parent);
// Shows a stored text: the entry of that value (its data, else its text), or none when no
// entry has it.
void showValue(QComboBox *picker, const QString &value);
// Greys the entry of that value out, or offers it again; it keeps its place.
void offerEntry(QComboBox *picker, const QString &value, bool offered);

} // namespace DataRowControls
