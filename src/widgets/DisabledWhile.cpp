#include "DisabledWhile.h"

DisabledWhile::DisabledWhile(std::initializer_list<QWidget *> widgets)
{
    for (QWidget *widget : widgets) {
        if (!widget)
            continue;
        // Whether the widget itself was switched off, not whether a disabled parent greys it.
        m_widgets.append({widget, !widget->testAttribute(Qt::WA_ForceDisabled)});
        widget->setEnabled(false);
    }
}

DisabledWhile::~DisabledWhile()
{
    for (const auto &[widget, wasEnabled] : std::as_const(m_widgets))
        if (widget)
            widget->setEnabled(wasEnabled);
}
