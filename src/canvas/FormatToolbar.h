#pragma once

#include "canvas/FormatToolbarValues.h"
#include "document/DocumentStore.h"

#include <QPointer>
#include <QWidget>

class AppSettings;
class QButtonGroup;
class QComboBox;
class QLabel;
class QToolButton;
class ToolbarToggleIcon;

// The row of text-formatting controls: font, size, bold, italic, underline, horizontal and
// vertical alignment of the selected text elements, then the snap-to-grid switch. It shows the
// first selected text element's values and writes each change once through the store, to
// every selected element. It keeps no state of its own.
class FormatToolbar : public QWidget {
    Q_OBJECT

public:
    explicit FormatToolbar(AppSettings &settings, QWidget *parent = nullptr);

    void setStore(DocumentStore *store);

    // The controls, for tests and the host.
    QWidget *textGroup() const { return textGroup_; }
    QComboBox *fontPicker() const { return fontPicker_; }
    QLabel *sizeLabel() const { return sizeLabel_; }
    QToolButton *sizeUpButton() const { return sizeUp_; }
    QToolButton *sizeDownButton() const { return sizeDown_; }
    // "bold", "italic", "underline" or "grid".
    ToolbarToggleIcon *toggle(const QString &symbol) const;
    // "text.alignleft" … "align.vertical.bottom".
    QToolButton *alignmentButton(const QString &symbol) const;

private:
    void buildTextGroup();
    void write(const DocumentStore::ElementMutation &mutation);
    void stepSize(int step);
    void refresh();

    AppSettings &settings_;
    QPointer<DocumentStore> store_;
    QList<QMetaObject::Connection> storeConnections_;
    FormatToolbarValues shown_;

    QWidget *textGroup_ = nullptr;
    QComboBox *fontPicker_ = nullptr;
    QLabel *sizeLabel_ = nullptr;
    QToolButton *sizeUp_ = nullptr;
    QToolButton *sizeDown_ = nullptr;
    ToolbarToggleIcon *bold_ = nullptr;
    ToolbarToggleIcon *italic_ = nullptr;
    ToolbarToggleIcon *underline_ = nullptr;
    ToolbarToggleIcon *snap_ = nullptr;
    QButtonGroup *horizontal_ = nullptr;
    QButtonGroup *vertical_ = nullptr;
};
