#pragma once

#include "model/ReportDocument.h"

#include <QWidget>
#include <functional>
#include <optional>

class ColorWell;
class MoveButtons;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

// Where an editor of one style reads and writes it: `get` gives the style as its embedder holds
// it now (no value once it is gone), `set` stores the whole changed style there.
struct StyleBinding {
    std::function<std::optional<ReportStyle>()> get;
    std::function<void(const ReportStyle &)> set;

    // Reads the style, changes it and stores it when the change made a difference. Nothing
    // happens when the style is gone.
    void write(const std::function<void(ReportStyle &)> &change) const;
};

// The editor of a style's basic properties: name, default flag, font, size, bold, italic,
// underline, alignment and the text and fill colours, in three rows. It keeps no style of its
// own: every control shows the bound style on refresh() and writes through the binding when the
// user changes it. It knows nothing of documents, undo or the dirty flag; the embedder decides
// where the style lives and what moving and removing it do.
class StyleCoreEditor : public QWidget {
    Q_OBJECT

public:
    static constexpr int nameWidth = 130;
    static constexpr int fontWidth = 130;
    static constexpr int sizeWidth = 40;
    static constexpr int alignmentWidth = 90;

    // The row actions. The move pair shows while either move action is there (each button is
    // enabled only with its action); the remove button shows only with `onRemove`.
    struct Actions {
        std::function<void()> onMoveUp;
        std::function<void()> onMoveDown;
        std::function<void()> onRemove;
    };

    explicit StyleCoreEditor(StyleBinding style, QWidget *parent = nullptr);

    void setActions(Actions actions);
    // Shows the bound style in place; never writes.
    void refresh();
    // Names the controls after their row `name`: "<name>.name", ".default", ".font", ".size",
    // ".bold", ".italic", ".underline", ".alignment", ".text", ".fill", ".up", ".down",
    // ".remove"; the editor itself is "<name>.core".
    void setNames(const QString &name);

    QLineEdit *nameField() const { return name_; }
    QComboBox *fontPicker() const { return font_; }
    QLineEdit *sizeField() const { return size_; }
    QComboBox *alignmentPicker() const { return alignment_; }
    ColorWell *textWell() const { return text_; }
    ColorWell *fillWell() const { return fill_; }
    MoveButtons *moveButtons() const { return move_; }
    QToolButton *removeButton() const { return remove_; }

private:
    QCheckBox *checkbox(const QString &label, bool ReportStyle::*flag);

    StyleBinding style_;
    Actions actions_;
    QLineEdit *name_;
    QCheckBox *default_;
    MoveButtons *move_;
    QToolButton *remove_;
    QComboBox *font_;
    QLineEdit *size_;
    QCheckBox *bold_;
    QCheckBox *italic_;
    QCheckBox *underline_;
    QComboBox *alignment_;
    ColorWell *text_;
    ColorWell *fill_;
};

class QHBoxLayout;

namespace StyleEditorParts {

// A colour well after its caption ("Text", "Fill") in `font`, and the well's "clear" button
// after it when there is one. The well is named for the caption, for screen readers.
QHBoxLayout *captionedWell(const QString &caption, ColorWell *well, const QFont &font,
                           QWidget *clear = nullptr);

} // namespace StyleEditorParts
