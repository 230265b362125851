#pragma once

#include "widgets/KeyedWidgets.h"
#include "widgets/StyleCoreEditor.h"

#include <QHash>
#include <QList>
#include <QToolButton>
#include <QUuid>
#include <optional>

class ColorWell;
class ExpressionBuilderButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class SidecarModel;

// A toggle over an optional flag, cycling unset, on, off, unset. Its small square is clear when
// unset, the accent colour when on and red when off. A click hands the next state to the action;
// the toggle shows only what it is told.
class TriStateToggle : public QToolButton {
    Q_OBJECT

public:
    TriStateToggle(const QString &label, std::function<void(std::optional<bool>)> onChange,
                   QWidget *parent = nullptr);

    void showState(const std::optional<bool> &state);
    const std::optional<bool> &state() const { return state_; }

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<bool> state_;
};

// One conditional style of a style: the condition with its builder and remove button, then the
// bold, italic and underline toggles and the text and fill colours, each colour with "clear"
// while it is set. Under the condition of the report's default style, a warning of what it names
// that a crosstab lacks (DatasetLacks::conditionNotes). Font name and size overrides are never
// touched.
class ConditionalRuleCard : public QWidget {
    Q_OBJECT

public:
    ConditionalRuleCard(const QUuid &id, const StyleBinding &style, SidecarModel *sidecar,
                        QWidget *parent = nullptr);

    const QUuid &id() const { return id_; }
    void refresh(const ConditionalStyleRule &rule, const ReportDocument *document);
    void setNames(const QString &name);

    QLineEdit *conditionField() const { return condition_; }
    TriStateToggle *boldToggle() const { return bold_; }
    ColorWell *textWell() const { return text_; }
    ColorWell *fillWell() const { return fill_; }
    QPushButton *textClear() const { return textClear_; }
    QPushButton *fillClear() const { return fillClear_; }
    QLabel *lackWarning() const { return lacks_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void write(const std::function<void(ConditionalStyleRule &)> &change) const;
    std::optional<ConditionalStyleRule> current() const;

    QUuid id_;
    StyleBinding style_;
    QLineEdit *condition_;
    ExpressionBuilderButton *builder_;
    QToolButton *remove_;
    TriStateToggle *bold_;
    TriStateToggle *italic_;
    TriStateToggle *underline_;
    ColorWell *text_;
    QPushButton *textClear_;
    ColorWell *fill_;
    QPushButton *fillClear_;
    QLabel *lacks_;
};

// The conditional styles of one style: the title while there are rules, one card per rule in
// list order (keyed by the rule's id), and "Add Condition". Every change is a write of the
// whole style through the binding.
class ConditionalStylesEditor : public QWidget {
    Q_OBJECT

public:
    ConditionalStylesEditor(StyleBinding style, SidecarModel *sidecar, QWidget *parent = nullptr);

    // Shows the bound style's rules in place; `document` is what the condition builders offer.
    void refresh(const ReportDocument *document = nullptr);
    // Names the editor "<name>", its add button "<name>.add" and its cards "<name>.rule<i>".
    void setNames(const QString &name);

    QLabel *title() const { return title_; }
    QPushButton *addButton() const { return add_; }
    const QList<ConditionalRuleCard *> &cards() const { return cards_.widgets(); }

private:
    StyleBinding style_;
    SidecarModel *sidecar_;
    QString name_;
    QLabel *title_;
    QVBoxLayout *cardColumn_;
    KeyedWidgets<ConditionalRuleCard> cards_;
    QPushButton *add_;
};
