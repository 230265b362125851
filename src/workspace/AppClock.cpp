#include "workspace/AppClock.h"

#include <QGuiApplication>
#include <QStyleHints>

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

int SystemClock::doubleClickIntervalMs() const
{
    return QGuiApplication::styleHints()->mouseDoubleClickInterval();
}
