#include "ui/numbertext.h"

QString hex8Text(quint32 value)
{
    return QString::number(value, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

QString hexText(quint32 value)
{
    return QString::number(value, 16).toUpper();
}

QString inhibitTimeMsText(quint32 units)
{
    return QString::number(units / 10.0, 'f', 1);
}
