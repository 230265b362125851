#pragma once

#include "model/ReportDocument.h"
#include "widgets/DataRowCard.h"
#include "widgets/KeyedWidgets.h"

#include <QList>
#include <QPointer>
#include <QUuid>
#include <QWidget>

class NewReportWizardState;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class StyleCoreEditor;

// The tile of one style the wizard prepares: its core editor, bound to the style of its id in
// the wizard's list, and under it the warning that another of the styles has its name.
class NewReportStyleBox : public DataRowCard {
    Q_OBJECT

public:
    NewReportStyleBox(const QUuid &id, NewReportWizardState &state, QWidget *parent = nullptr);

    const QUuid &id() const { return id_; }
    // Shows the style in place, with the move actions its place in the list allows.
    void refresh();
    StyleCoreEditor *editor() const { return editor_; }

private:
    qsizetype index() const;

    QUuid id_;
    NewReportWizardState &state_;
    StyleCoreEditor *editor_;
    QLabel *nameWarning_;
};

// The wizard's styles: a title, a note, one tile per prepared style in list order, "Add Style"
// and, while any are left to offer, the menu "Add From a Previous Report" with the styles of the
// recent reports (read once by the wizard and handed in).
class NewReportStylesCard : public QWidget {
    Q_OBJECT

public:
    NewReportStylesCard(NewReportWizardState &state, QList<QList<ReportStyle>> recentStyles,
                        QWidget *parent = nullptr);

    const QList<NewReportStyleBox *> &boxes() const { return boxes_.widgets(); }
    QPushButton *addButton() const { return add_; }
    QToolButton *importButton() const { return import_; }
    // The names the import menu offers now, in menu order.
    QStringList importableNames() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void refresh();

    NewReportWizardState &state_;
    QList<QList<ReportStyle>> recentStyles_;
    QList<ReportStyle> importable_;
    // Holds the tiles, with a palette that keeps their controls' outlines visible.
    QWidget *boxHost_;
    QVBoxLayout *boxColumn_;
    KeyedWidgets<NewReportStyleBox> boxes_;
    QPushButton *add_;
    QToolButton *import_;
};
