#include "app/Placeholder.h"

Placeholder::Placeholder(const QString &objectName, const QSize &idealSize, QWidget *parent)
    : QWidget(parent), idealSize_(idealSize)
{
    setObjectName(objectName);
}
