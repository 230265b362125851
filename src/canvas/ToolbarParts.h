#pragma once

#include <QString>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

// Small pieces the canvas's toolbars share.
namespace ToolbarParts {

// A vertical divider 16 points high.
QFrame *divider(QWidget *parent);
// A one-line caption in a smaller font and the secondary text colour, never truncated.
QLabel *captionLabel(const QString &text, QWidget *parent);
// A borderless button showing only the symbol's icon in a 22 × 22 frame, with a tooltip; the
// symbol name stays on the button.
QToolButton *symbolButton(const QString &symbol, const QString &help, QWidget *parent);

} // namespace ToolbarParts
