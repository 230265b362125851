#pragma once

#include "datapanel/DataPanelPart.h"
#include "widgets/DataRowCard.h"

#include <QUuid>

class ConditionalStylesEditor;
class LazyRowColumn;
class QLabel;
class QPushButton;
class QVBoxLayout;
class StyleCoreEditor;

// One style of the report: its core editor, its conditional styles and the usage line, which
// counts the elements that name the style, offers "Reapply" while there are any and "Apply to
// Selected Element" while exactly one element is selected (otherwise a hint). Every control
// writes into the style of its id in the store's document.
class StyleRow : public DataRowCard {
    Q_OBJECT

public:
    StyleRow(const QUuid &id, const DataPanelContext &context, QWidget *parent = nullptr);

    const QUuid &id() const { return id_; }
    // Shows the style in place, with the move actions its place allows.
    void refresh(int index, int count);

    StyleCoreEditor *editor() const { return editor_; }
    ConditionalStylesEditor *conditions() const { return conditions_; }
    QLabel *usage() const { return usage_; }
    QPushButton *reapplyButton() const { return reapply_; }
    QPushButton *applyButton() const { return apply_; }
    QLabel *hint() const { return hint_; }

private:
    std::optional<ReportStyle> current() const;

    QUuid id_;
    QPointer<DocumentStore> store_;
    Dialogs *dialogs_;
    StyleCoreEditor *editor_;
    ConditionalStylesEditor *conditions_;
    QLabel *usage_;
    QPushButton *reapply_;
    QPushButton *apply_;
    QLabel *hint_;
    QLabel *nameWarning_;
};

// The styles card: one row per style of the report, in list order and keyed by the style's id,
// built when it comes near view, and "Add Style" under them. It follows the document and the
// canvas selection.
class StylesSection : public DataPanelPart {
    Q_OBJECT

public:
    StylesSection(const DataPanelContext &context, QWidget *parent = nullptr);

    void refresh() override;

    // The rows in list order; a row not built yet is null.
    QList<StyleRow *> rows() const;
    // Scrolls the sheet to the row at that place, which is built when it was not.
    StyleRow *showRow(int index);
    LazyRowColumn *rowColumn() const { return rowColumn_; }
    QPushButton *addButton() const { return add_; }

private:
    DataPanelContext context_;
    LazyRowColumn *rowColumn_;
    QPushButton *add_;
};
