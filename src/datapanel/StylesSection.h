#pragma once

#include "datapanel/DataPanelPart.h"
#include "widgets/DataRowCard.h"
#include "widgets/KeyedWidgets.h"

#include <QUuid>

class ConditionalStylesEditor;
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
// and "Add Style" under them. It follows the document and the canvas selection.
class StylesSection : public DataPanelPart {
    Q_OBJECT

public:
    StylesSection(const DataPanelContext &context, QWidget *parent = nullptr);

    void refresh() override;

    const QList<StyleRow *> &rows() const { return rows_.widgets(); }
    QPushButton *addButton() const { return add_; }

private:
    DataPanelContext context_;
    QVBoxLayout *rowColumn_;
    KeyedWidgets<StyleRow> rows_;
    QPushButton *add_;
};
